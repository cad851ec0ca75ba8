// The speech engine over SAPI 5, through its vtable interfaces (ISpVoice, ISpObjectToken):
// they need no VARIANTs and report plain HRESULTs. Files are written through a WAV output
// stream of the program's own (wav_stream_win.h). Every failing call becomes an EngineError
// carrying the HRESULT and the system's text for it, so the callers can swallow or report it
// as they choose. No engine events are used, and the stream's COM methods never throw, so no
// exception can cross COM.
#include "speech/sapi_engine_win.h"

#include <algorithm>

#include <windows.h>

#include <sapi.h>

#include <string>
#include <utility>

#include "base/files.h"
#include "base/string_table.h"
#include "speech/wav_stream_win.h"
#include "win/codepage_win.h"
#include "win/com.h"
#include "win/files_win.h"
#include "win/handles.h"

namespace {

// SPERR_NOT_FOUND from sperror.h, which MinGW does not ship: the value does not exist.
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004503AL);

// The one place where an HRESULT turns into an error. The message is what the user sees in
// the default handler's box, so it is the system's text, led by the code for support.
void Check(HRESULT hr) {
    if (FAILED(hr)) throw EngineError(DescribeHResult(hr));
}

// Takes ownership of a string the engine allocated with CoTaskMemAlloc.
std::wstring TakeCoString(wchar_t* s) {
    std::wstring result = s ? std::wstring(s) : std::wstring();
    if (s) CoTaskMemFree(s);
    return result;
}

class SapiToken : public IVoiceToken {
public:
    explicit SapiToken(ComPtr<ISpObjectToken> token) : token_(std::move(token)) {}

    // A token's display name is the default value of its registry key, which is what
    // "description for locale 0" means: no language-specific name is asked for.
    std::string Description() override {
        wchar_t* value = nullptr;
        HRESULT hr = token_->GetStringValue(nullptr, &value);
        if (SUCCEEDED(hr)) return WideToAnsi(TakeCoString(value));
        if (value) CoTaskMemFree(value);
        // A token without a default value has an empty name: it is still a voice.
        if (hr == kNotFound) return {};
        // An engine that cannot read token data at all (Wine's stub answers E_NOTIMPL) still
        // knows the token's id; its last part is the key name, which names the voice.
        if (hr == E_NOTIMPL) {
            wchar_t* id = nullptr;
            if (SUCCEEDED(token_->GetId(&id)) && id) {
                std::wstring key = TakeCoString(id);
                std::size_t slash = key.find_last_of(L'\\');
                return WideToAnsi(slash == std::wstring::npos ? key : key.substr(slash + 1));
            }
        }
        Check(hr);
        return {};
    }

    ISpObjectToken* Get() const { return token_.Get(); }

private:
    ComPtr<ISpObjectToken> token_;
};

// The file stream component over the program's own WAV stream, which SAPI writes into as
// into any output stream. Its failures are file errors: the box names the file and the
// system's reason, as for the log's files.
class SapiFileStream : public IFileStreamObject {
public:
    SapiFileStream() : stream_(WavFileStream::Create()) {}

    void SetFormat16kHz16BitMono() override { stream_->SetFormat(kPcm16kHz16BitMono); }

    void OpenForWrite(const std::string& utf8Path) override {
        path_ = utf8Path;
        CheckFile(stream_->Open(Utf8ToWide(utf8Path)));
    }

    // Under Wine 10 a voice whose engine speaks another format than the stream's writes
    // nothing and reports success all along; Close is where the file is known to be complete,
    // so that is where text without samples is reported, before the file could take the
    // place of an existing one.
    void Close() override {
        if (stream_->AudioExpected() && stream_->DataBytes() == 0) {
            stream_->Discard();
            PcmFormat f = stream_->FileFormat();
            throw EngineError(texts::NoAudioWritten(f.samplesPerSec, f.bitsPerSample, f.channels));
        }
        CheckFile(stream_->Close());
    }

    void Discard() override { stream_->Discard(); }

    const ComPtr<WavFileStream>& Get() const { return stream_; }

private:
    void CheckFile(HRESULT hr) const {
        if (SUCCEEDED(hr)) return;
        const std::string reason =
            HRESULT_FACILITY(hr) == FACILITY_WIN32 ? SystemErrorText(HRESULT_CODE(hr)) : DescribeHResult(hr);
        throw NamedFileError(FileCreateErrorMessage, path_, reason);
    }

    ComPtr<WavFileStream> stream_;
    std::string path_;
};

// The voice tokens opened one by one from the registry, in the order SAPI lists them, leaving
// out every one that cannot be opened. Wine's category enumeration fails as a whole when one
// token key denies reading, so this is the way to the others; the voices' token keys lie
// below HKEY_LOCAL_MACHINE, where the category's id (SPCAT_VOICES) says.
std::vector<ComPtr<ISpObjectToken>> OpenTokensOneByOne() {
    std::vector<ComPtr<ISpObjectToken>> result;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens", 0, KEY_ENUMERATE_SUB_KEYS,
                      &opened) != ERROR_SUCCESS)
        return result;
    UniqueRegKey tokens(opened);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        LONG r = RegEnumKeyExW(tokens.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        ComPtr<ISpObjectToken> token;
        const std::wstring id = std::wstring(SPCAT_VOICES) + L"\\Tokens\\" + name;
        HRESULT hr = CoCreateInstance(__uuidof(SpObjectToken), nullptr, CLSCTX_ALL, IID_PPV_ARGS(token.GetAddressOf()));
        if (SUCCEEDED(hr)) hr = token->SetId(nullptr, id.c_str(), FALSE);
        if (SUCCEEDED(hr)) result.push_back(std::move(token));
    }
    return result;
}

class SapiVoice : public IVoiceObject {
public:
    explicit SapiVoice(ComPtr<ISpVoice> voice) : voice_(std::move(voice)) {}

    // Releasing a voice does not reliably stop what it is saying: purge its queue first, so
    // that dropping the object ends its speech at once. Failures are of no interest here.
    // The purge is asynchronous, so an engine that no longer answers cannot hold the caller.
    ~SapiVoice() override {
        if (voice_) voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK | SPF_ASYNC, nullptr);
    }

    std::vector<VoiceTokenPtr> GetVoices(bool* complete) override {
        if (complete) *complete = true;
        ComPtr<ISpObjectTokenCategory> category;
        Check(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_ALL,
                               IID_PPV_ARGS(category.GetAddressOf())));
        Check(category->SetId(SPCAT_VOICES, FALSE));
        ComPtr<IEnumSpObjectTokens> tokens;
        // No required and no optional attributes: every installed voice, in engine order.
        HRESULT listed = category->EnumTokens(nullptr, nullptr, tokens.GetAddressOf());
        ULONG count = 0;
        if (SUCCEEDED(listed)) listed = tokens->GetCount(&count);
        std::vector<VoiceTokenPtr> result;
        if (FAILED(listed)) {
            // One unreadable token must not cost the others; with none left, the engine's
            // own error says why.
            if (complete) *complete = false;
            for (auto& token : OpenTokensOneByOne()) result.push_back(std::make_shared<SapiToken>(std::move(token)));
            if (result.empty()) Check(listed);
            return result;
        }
        auto item = [&tokens](ULONG i, ISpObjectToken** token) { return tokens->Item(i, token); };
        for (auto& token : TokensOf(count, item, complete))
            result.push_back(std::make_shared<SapiToken>(std::move(token)));
        AddOneCoreVoices(result);
        return result;
    }

    // The voices Windows 10 and 11 install for each language (Huihui, Yaoyao, Kangkang for
    // Chinese) are registered only for the newer speech platform, which SAPI 5 does not list;
    // a category pointed at their key reaches them. Each voice is listed once, by its name,
    // after SAPI's own; where the key is missing (older Windows), SetId fails and nothing is
    // added.
    static void AddOneCoreVoices(std::vector<VoiceTokenPtr>& voices) {
        ComPtr<ISpObjectTokenCategory> category;
        ComPtr<IEnumSpObjectTokens> tokens;
        ULONG count = 0;
        if (FAILED(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_ALL,
                                    IID_PPV_ARGS(category.GetAddressOf()))) ||
            FAILED(category->SetId(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech_OneCore\\Voices", FALSE)) ||
            FAILED(category->EnumTokens(nullptr, nullptr, tokens.GetAddressOf())) || FAILED(tokens->GetCount(&count)))
            return;
        std::vector<std::string> names;
        for (const VoiceTokenPtr& v : voices) names.push_back(v->Description());
        auto item = [&tokens](ULONG i, ISpObjectToken** token) { return tokens->Item(i, token); };
        for (auto& token : TokensOf(count, item, nullptr)) {
            auto voice = std::make_shared<SapiToken>(std::move(token));
            std::string name;
            try {
                name = voice->Description();
            } catch (const EngineError&) {
                continue;  // a token whose name cannot be read cannot be chosen or stored
            }
            if (std::find(names.begin(), names.end(), name) != names.end()) continue;
            names.push_back(name);
            voices.push_back(std::move(voice));
        }
    }

    void SetVoice(const VoiceTokenPtr& token) override {
        auto* sapi = dynamic_cast<SapiToken*>(token.get());
        if (!sapi) throw EngineError(texts::kTokenOfAnotherEngine);
        Check(voice_->SetVoice(sapi->Get()));
    }

    void SetRate(int rate) override { Check(voice_->SetRate(rate)); }
    void SetVolume(int volume) override { Check(voice_->SetVolume(static_cast<USHORT>(volume))); }

    void Speak(const std::string& ansiText) override {
        std::wstring text = AnsiToWide(ansiText);
        // Chat text is never markup: a "<" in a message is spoken, not parsed.
        Check(voice_->Speak(text.c_str(), SPF_ASYNC | SPF_IS_NOT_XML, nullptr));
        if (fileOutput_ && !text.empty()) fileOutput_->ExpectAudio();
    }

    // Microsoft documents two ways to learn without blocking that a voice is done:
    // SpeakCompleteEvent, an event signalled once the voice has spoken all pending requests
    // (the voice owns it: never closed here), and GetStatus (SPRS_DONE). Wine 10 implements
    // neither (a null event, E_NOTIMPL), so without the event WaitUntilDone is asked with no
    // time-out, which is documented to answer S_FALSE while speech goes on.
    bool Done() override {
        if (HANDLE done = voice_->SpeakCompleteEvent()) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
        HRESULT hr = voice_->WaitUntilDone(0);
        Check(hr);
        return hr == S_OK;
    }

    // ISpVoice takes this flag with the output itself; keep it for the next SetOutput.
    void AllowAudioOutputFormatChangesOnNextSet(bool allow) override { allowFormatChanges_ = allow; }

    void SetOutputToStream(IFileStreamObject& stream) override {
        auto* sapi = dynamic_cast<SapiFileStream*>(&stream);
        if (!sapi) throw EngineError(texts::kStreamOfAnotherEngine);
        Check(voice_->SetOutput(static_cast<ISpStreamFormat*>(sapi->Get().Get()), allowFormatChanges_ ? TRUE : FALSE));
        allowFormatChanges_ = true;
        fileOutput_ = sapi->Get();
    }

    void SetOutputToDefault() override {
        Check(voice_->SetOutput(nullptr, TRUE));
        allowFormatChanges_ = true;
        fileOutput_.Reset();
    }

private:
    ComPtr<ISpVoice> voice_;
    bool allowFormatChanges_ = true;
    // The file the voice speaks into, told of each text so that its Close can tell a voice
    // that wrote nothing from a text that had nothing to say.
    ComPtr<WavFileStream> fileOutput_;
};

class SapiEngine : public ISpeechEngine {
public:
    std::unique_ptr<IVoiceObject> CreateVoice() override {
        ComPtr<ISpVoice> voice;
        Check(CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL, IID_PPV_ARGS(voice.GetAddressOf())));
        return std::make_unique<SapiVoice>(std::move(voice));
    }

    std::unique_ptr<IFileStreamObject> CreateFileStream() override { return std::make_unique<SapiFileStream>(); }
};

}  // namespace

std::vector<ComPtr<ISpObjectToken>> TokensOf(ULONG count, const TokenItem& item, bool* complete) {
    std::vector<ComPtr<ISpObjectToken>> result;
    result.reserve(count);
    for (ULONG i = 0; i < count; ++i) {
        ComPtr<ISpObjectToken> token;
        if (FAILED(item(i, token.GetAddressOf())) || !token) {
            if (complete) *complete = false;
            continue;
        }
        result.push_back(std::move(token));
    }
    return result;
}

std::unique_ptr<ISpeechEngine> CreateSapiEngine() { return std::make_unique<SapiEngine>(); }

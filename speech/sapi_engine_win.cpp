// The speech engine over SAPI 5, through its vtable interfaces (ISpVoice, ISpObjectToken,
// ISpStream): they need no VARIANTs and report plain HRESULTs. Every failing call becomes an
// EngineError carrying the HRESULT and the system's text for it, so the callers can swallow
// or report it as they choose. No engine events are used, so no callback ever runs into
// this code and no exception can cross COM.
#include "speech/sapi_engine_win.h"

#include <windows.h>

#include <mmsystem.h>
#include <sapi.h>

#include <string>
#include <utility>

#include "win/codepage_win.h"
#include "win/com.h"

namespace {

// MinGW declares SPDFID_WaveFormatEx but no library defines it: "the stream carries a
// WAVEFORMATEX", {C31ADBAE-527F-4FF5-A230-F62BB61FF70C}.
const GUID kWaveFormatExId = {0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};

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

class SapiFileStream : public IFileStreamObject {
public:
    explicit SapiFileStream(ComPtr<ISpStream> stream) : stream_(std::move(stream)) {
        // The engine's own default for a new file stream: 22 kHz, 16-bit, mono.
        SetFormat(22050);
    }

    void SetFormat16kHz16BitMono() override { SetFormat(16000); }

    void OpenForWrite(const std::string& ansiPath) override {
        std::wstring path = AnsiToWide(ansiPath);
        // SPFM_CREATE_ALWAYS: created, or replaced when it exists. No events are wanted.
        Check(stream_->BindToFile(path.c_str(), SPFM_CREATE_ALWAYS, &kWaveFormatExId, &format_, 0));
    }

    void Close() override { Check(stream_->Close()); }

    ISpStream* Get() const { return stream_.Get(); }

private:
    void SetFormat(DWORD samplesPerSec) {
        format_ = {};
        format_.wFormatTag = WAVE_FORMAT_PCM;
        format_.nChannels = 1;
        format_.nSamplesPerSec = samplesPerSec;
        format_.wBitsPerSample = 16;
        format_.nBlockAlign = static_cast<WORD>(format_.nChannels * format_.wBitsPerSample / 8);
        format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
        format_.cbSize = 0;
    }

    ComPtr<ISpStream> stream_;
    WAVEFORMATEX format_{};
};

class SapiVoice : public IVoiceObject {
public:
    explicit SapiVoice(ComPtr<ISpVoice> voice) : voice_(std::move(voice)) {}

    // Releasing a voice does not reliably stop what it is saying: purge its queue first, so
    // that dropping the object ends its speech at once. Failures are of no interest here.
    ~SapiVoice() override {
        if (voice_) voice_->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
    }

    std::vector<VoiceTokenPtr> GetVoices() override {
        ComPtr<ISpObjectTokenCategory> category;
        Check(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_ALL,
                               IID_PPV_ARGS(category.GetAddressOf())));
        Check(category->SetId(SPCAT_VOICES, FALSE));
        ComPtr<IEnumSpObjectTokens> tokens;
        // No required and no optional attributes: every installed voice, in engine order.
        Check(category->EnumTokens(nullptr, nullptr, tokens.GetAddressOf()));
        ULONG count = 0;
        Check(tokens->GetCount(&count));
        std::vector<VoiceTokenPtr> result;
        result.reserve(count);
        for (ULONG i = 0; i < count; ++i) {
            ComPtr<ISpObjectToken> token;
            Check(tokens->Item(i, token.GetAddressOf()));
            result.push_back(std::make_shared<SapiToken>(std::move(token)));
        }
        return result;
    }

    void SetVoice(const VoiceTokenPtr& token) override {
        auto* sapi = dynamic_cast<SapiToken*>(token.get());
        if (!sapi) throw EngineError("The voice token does not belong to this speech engine");
        Check(voice_->SetVoice(sapi->Get()));
    }

    void SetRate(int rate) override { Check(voice_->SetRate(rate)); }
    void SetVolume(int volume) override { Check(voice_->SetVolume(static_cast<USHORT>(volume))); }

    void Speak(const std::string& ansiText) override {
        std::wstring text = AnsiToWide(ansiText);
        // Chat text is never markup: a "<" in a message is spoken, not parsed.
        Check(voice_->Speak(text.c_str(), SPF_ASYNC | SPF_IS_NOT_XML, nullptr));
    }

    void WaitUntilDone() override { Check(voice_->WaitUntilDone(INFINITE)); }

    // ISpVoice takes this flag with the output itself; keep it for the next SetOutput.
    void AllowAudioOutputFormatChangesOnNextSet(bool allow) override { allowFormatChanges_ = allow; }

    void SetOutputToStream(IFileStreamObject& stream) override {
        auto* sapi = dynamic_cast<SapiFileStream*>(&stream);
        if (!sapi) throw EngineError("The file stream does not belong to this speech engine");
        Check(voice_->SetOutput(sapi->Get(), allowFormatChanges_ ? TRUE : FALSE));
        allowFormatChanges_ = true;
    }

    void SetOutputToDefault() override {
        Check(voice_->SetOutput(nullptr, TRUE));
        allowFormatChanges_ = true;
    }

private:
    ComPtr<ISpVoice> voice_;
    bool allowFormatChanges_ = true;
};

class SapiEngine : public ISpeechEngine {
public:
    std::unique_ptr<IVoiceObject> CreateVoice() override {
        ComPtr<ISpVoice> voice;
        Check(CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL, IID_PPV_ARGS(voice.GetAddressOf())));
        return std::make_unique<SapiVoice>(std::move(voice));
    }

    std::unique_ptr<IFileStreamObject> CreateFileStream() override {
        // The automation file stream also speaks ISpStream; where it does not, the plain
        // stream class offers the same file binding.
        ComPtr<ISpStream> stream;
        HRESULT hr = CoCreateInstance(__uuidof(SpFileStream), nullptr, CLSCTX_ALL, IID_PPV_ARGS(stream.GetAddressOf()));
        if (FAILED(hr)) {
            stream.Reset();
            Check(CoCreateInstance(__uuidof(SpStream), nullptr, CLSCTX_ALL, IID_PPV_ARGS(stream.GetAddressOf())));
        }
        return std::make_unique<SapiFileStream>(std::move(stream));
    }
};

}  // namespace

std::unique_ptr<ISpeechEngine> CreateSapiEngine() { return std::make_unique<SapiEngine>(); }

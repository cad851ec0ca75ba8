// Windows only. A SAPI 5 voice engine for tests: it "speaks" a short tone per character and
// writes down every request in a record file, so a test can see exactly what SAPI passed on:
// which voice, rate, volume and flags, which text fragments, whether the request completed
// or was cut off, and how much audio went out. Everything it needs comes from its voice
// token (see install.sh): display name, tone, sample rate and the record file.
//
// SAPI calls Speak on a worker thread of its own and expects the call to last as long as the
// speech; under Wine the site's Write returns at once, so the engine paces itself to real
// time. It checks for an abort between chunks of a few milliseconds, so a purge stops it
// almost at once.
#include <windows.h>

#include <objbase.h>
#include <sapi.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "tools/test_voice/record_clock_win.h"
#include "tools/test_voice/record_format.h"
#include "tools/test_voice/sapi_engine_interfaces_win.h"
#include "tools/test_voice/test_voice_ids.h"
#include "tools/test_voice/tone.h"

namespace {

// {C31ADBAE-527F-4FF5-A230-F62BB61FF70C}: "the stream carries a WAVEFORMATEX". MinGW
// declares SPDFID_WaveFormatEx but no library defines it.
const GUID kWaveFormatExId = {0xc31adbae, 0x527f, 0x4ff5, {0xa2, 0x30, 0xf6, 0x2b, 0xb6, 0x1f, 0xf7, 0x0c}};

// Live objects and server locks: the DLL may be unloaded only when both are gone.
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
// Numbers the requests of this process; with the process id it makes the record's ids.
std::atomic<unsigned long> g_requests{0};

// Abort checks and pacing happen per chunk; 10 ms keeps the stop latency that short.
constexpr unsigned kChunkMs = 10;

std::string Utf8(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
    return out;
}

// One line, one WriteFile, in append mode: lines of several voices and processes sharing the
// file never mix within a line. The file is opened per line so that a test may clear or
// delete it at any moment.
void AppendRecordLine(const std::wstring& path, const std::string& line) {
    if (path.empty()) return;
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(f);
}

std::wstring TokenString(ISpObjectToken* token, const wchar_t* name) {
    wchar_t* value = nullptr;
    std::wstring out;
    if (SUCCEEDED(token->GetStringValue(name, &value)) && value) out = value;
    if (value) CoTaskMemFree(value);
    return out;
}

unsigned long TokenNumber(ISpObjectToken* token, const wchar_t* name, unsigned long fallback) {
    std::wstring text = TokenString(token, name);
    wchar_t* end = nullptr;
    unsigned long value = text.empty() ? 0 : wcstoul(text.c_str(), &end, 10);
    return value > 0 ? value : fallback;
}

// A monotonic clock for pacing, in milliseconds.
double MonotonicMs() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / perMs;
}

// What the voice's token says about it; read once, when SAPI hands the token over.
struct VoiceSettings {
    std::string name;  // UTF-8
    std::wstring recordPath;
    double toneHz = 440;
    unsigned sampleRate = 16000;
};

// One request, from its begin line to its end line: writes audio to the site in paced
// chunks, follows rate and volume changes, and notices aborts.
class Utterance {
public:
    Utterance(ISpTTSEngineSite& site, const VoiceSettings& voice, unsigned sampleRate)
        : site_(site), voice_(voice), sampleRate_(sampleRate) {
        ReadRate();
        ReadVolume();
    }

    // Real time starts here, after the begin line: a request then lasts at least as long,
    // by the record's clock, as its audio sounds.
    void StartClock() { startMs_ = MonotonicMs(); }

    long Rate() const { return rate_; }
    USHORT Volume() const { return volume_; }

    // False once the request must stop.
    bool Speak(const SPVTEXTFRAG& frag) {
        auto* text = reinterpret_cast<const char16_t*>(frag.pTextStart);
        std::u32string chars = text ? test_voice::CodePoints(text, frag.ulTextLen) : std::u32string();
        for (char32_t c : chars) {
            // The fragment's own adjustments (from markup) add to the site's settings.
            int rate = test_voice::ClampRate(rate_ + frag.State.RateAdj);
            int volume = test_voice::ClampVolume(static_cast<long>(volume_) * frag.State.Volume / 100);
            std::size_t n = test_voice::CharacterSamples(rate, sampleRate_);
            bool silent = test_voice::IsSilentCharacter(c);
            if (!Emit(n, silent ? 0.0 : voice_.toneHz, volume)) return false;
        }
        return true;
    }

    bool Silence(ULONG ms) { return Emit(static_cast<std::size_t>(ms) * sampleRate_ / 1000, 0.0, 0); }

    unsigned long long Bytes() const { return bytes_; }
    std::uint32_t Hash() const { return hash_; }
    const std::string& Why() const { return why_; }
    HRESULT WriteError() const { return writeError_; }

private:
    void ReadRate() {
        long rate = 0;
        if (SUCCEEDED(site_.GetRate(&rate))) rate_ = rate;
    }
    void ReadVolume() {
        USHORT volume = 100;
        if (SUCCEEDED(site_.GetVolume(&volume))) volume_ = volume;
    }

    // Writes n samples of one tone (toneHz 0: silence) chunk by chunk.
    bool Emit(std::size_t n, double toneHz, int volume) {
        std::size_t chunk = sampleRate_ * kChunkMs / 1000;
        std::vector<std::int16_t> buf;
        for (std::size_t done = 0; done < n;) {
            DWORD actions = site_.GetActions();
            if (actions & SPVES_ABORT) return Stop("action");
            if (actions & SPVES_RATE) ReadRate();
            if (actions & SPVES_VOLUME) ReadVolume();
            std::size_t count = n - done < chunk ? n - done : chunk;
            buf.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                buf[i] = toneHz > 0 ? test_voice::ToneSample(done + i, toneHz, sampleRate_, volume) : 0;
            ULONG bytes = static_cast<ULONG>(count * sizeof(std::int16_t));
            ULONG written = 0;
            HRESULT hr = site_.Write(buf.data(), bytes, &written);
            if (FAILED(hr)) {
                writeError_ = hr;
                return Stop("0x" + test_voice::Hex(static_cast<unsigned long>(hr), 8));
            }
            bytes_ += written;
            hash_ = test_voice::Fnv1a(buf.data(), written, hash_);
            // After a purge Wine's site takes nothing and says S_OK: the request is over.
            if (written == 0) return Stop("nowrite");
            done += count;
            samples_ += count;
            Pace();
        }
        return true;
    }

    // Sleeps until real time catches up with the audio written so far.
    void Pace() {
        double due = startMs_ + samples_ * 1000.0 / sampleRate_;
        double now = MonotonicMs();
        if (due > now) Sleep(static_cast<DWORD>(std::ceil(due - now)));
    }

    bool Stop(const std::string& why) {
        why_ = why;
        return false;
    }

    ISpTTSEngineSite& site_;
    const VoiceSettings& voice_;
    unsigned sampleRate_;
    double startMs_ = 0;
    long rate_ = 0;
    USHORT volume_ = 100;
    unsigned long long samples_ = 0;
    unsigned long long bytes_ = 0;
    std::uint32_t hash_ = test_voice::kFnvBasis;
    std::string why_;
    HRESULT writeError_ = S_OK;
};

class TestVoice final : public ISpTTSEngine, public ISpObjectWithToken {
public:
    TestVoice() { ++g_objects; }
    TestVoice(const TestVoice&) = delete;
    TestVoice& operator=(const TestVoice&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ISpTTSEngine)) *out = static_cast<ISpTTSEngine*>(this);
        else if (iid == __uuidof(ISpObjectWithToken)) *out = static_cast<ISpObjectWithToken*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // ISpObjectWithToken: SAPI hands over the voice's token before the first request.
    HRESULT STDMETHODCALLTYPE SetObjectToken(ISpObjectToken* token) override {
        if (!token) return E_INVALIDARG;
        try {
            VoiceSettings settings;
            std::wstring name = TokenString(token, nullptr);  // the display name
            settings.name = Utf8(name.c_str(), name.size());
            settings.recordPath = TokenString(token, L"RecordFile");
            settings.toneHz = TokenNumber(token, L"ToneHz", 440);
            settings.sampleRate = TokenNumber(token, L"SampleRate", 16000);
            settings_ = settings;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        token->AddRef();
        if (token_) token_->Release();
        token_ = token;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetObjectToken(ISpObjectToken** token) override {
        if (!token) return E_POINTER;
        *token = token_;
        if (!token_) return S_FALSE;
        token_->AddRef();
        return S_OK;
    }

    // ISpTTSEngine: the voice offers exactly one format, 16-bit mono PCM at its token's rate,
    // whatever SAPI would like; SAPI must convert or refuse.
    HRESULT STDMETHODCALLTYPE GetOutputFormat(const GUID*, const WAVEFORMATEX*, GUID* formatId,
                                              WAVEFORMATEX** format) override {
        if (!formatId || !format) return E_POINTER;
        auto* wfx = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
        if (!wfx) return E_OUTOFMEMORY;
        wfx->wFormatTag = WAVE_FORMAT_PCM;
        wfx->nChannels = 1;
        wfx->nSamplesPerSec = settings_.sampleRate;
        wfx->wBitsPerSample = 16;
        wfx->nBlockAlign = 2;
        wfx->nAvgBytesPerSec = wfx->nSamplesPerSec * wfx->nBlockAlign;
        wfx->cbSize = 0;
        *formatId = kWaveFormatExId;
        *format = wfx;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Speak(DWORD flags, REFGUID, const WAVEFORMATEX* format, const SPVTEXTFRAG* frags,
                                    ISpTTSEngineSite* site) override {
        if (!site) return E_INVALIDARG;
        // No exception may leave a COM call.
        try {
            return SpeakAll(flags, format, frags, *site);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

private:
    ~TestVoice() {
        if (token_) token_->Release();
        --g_objects;
    }

    HRESULT SpeakAll(DWORD flags, const WAVEFORMATEX* format, const SPVTEXTFRAG* frags, ISpTTSEngineSite& site) {
        unsigned sampleRate = format && format->nSamplesPerSec ? format->nSamplesPerSec : settings_.sampleRate;
        std::string id = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_requests);
        Utterance speech(site, settings_, sampleRate);
        const std::wstring& path = settings_.recordPath;
        AppendRecordLine(path, test_voice::BeginLine(id, test_voice::NowUnix100ns(), settings_.name, speech.Rate(),
                                                     speech.Volume(), flags, sampleRate));
        for (const SPVTEXTFRAG* f = frags; f; f = f->pNext)
            AppendRecordLine(path, test_voice::FragmentLine(id, f->State.eAction, Utf8(f->pTextStart, f->ulTextLen)));

        bool completed = true;
        speech.StartClock();
        for (const SPVTEXTFRAG* f = frags; f && completed; f = f->pNext) {
            switch (f->State.eAction) {
                case SPVA_Speak:
                case SPVA_Pronounce:
                case SPVA_SpellOut: completed = speech.Speak(*f); break;
                case SPVA_Silence: completed = speech.Silence(f->State.SilenceMSecs); break;
                default: break;  // bookmarks and sections make no sound
            }
        }
        AppendRecordLine(path, test_voice::EndLine(id, test_voice::NowUnix100ns(), completed, speech.Bytes(),
                                                   speech.Hash(), speech.Why()));
        return speech.WriteError();
    }

    std::atomic<ULONG> refs_{1};
    ISpObjectToken* token_ = nullptr;
    VoiceSettings settings_;
};

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object: its references only keep the DLL loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_locks); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_locks); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* voice = new (std::nothrow) TestVoice();
        if (!voice) return E_OUTOFMEMORY;
        HRESULT hr = voice->QueryInterface(iid, out);
        voice->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) ++g_locks;
        else --g_locks;
        return S_OK;
    }
};

ClassFactory g_factory;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    CLSID ours;
    if (FAILED(CLSIDFromString(L"" SONVIRA_TEST_VOICE_CLSID, &ours)) || clsid != ours)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

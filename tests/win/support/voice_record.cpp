// Reading the test voice's record from Windows tests: the file's place comes from the voice
// token, its lines are parsed by the same code the voice writes them with.
#include "support/voice_record.h"

#include "support/process.h"
#include "support/test_paths.h"
#include "tools/test_voice/record_clock_win.h"
#include "tools/test_voice/record_format.h"

const wchar_t kAltoVoice[] = L"Sonvira Test Alto";
const wchar_t kBassVoice[] = L"Sonvira Test Bass";
const wchar_t kAltoKey[] = L"SonviraTestAlto";
const wchar_t kBassKey[] = L"SonviraTestBass";

namespace {

const wchar_t kTokens[] = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\";

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

// A string value of a key below HKEY_LOCAL_MACHINE (nullptr: the default value).
std::wstring MachineString(const std::wstring& key, const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, &value[0], &size) != ERROR_SUCCESS)
        return {};
    value.resize(wcslen(value.c_str()));
    return value;
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

std::wstring VoiceRecordPath() { return MachineString(std::wstring(kTokens) + kAltoKey, L"RecordFile"); }

bool ClearVoiceRecord() {
    std::wstring path = VoiceRecordPath();
    if (path.empty()) return false;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = SetEndOfFile(f) != FALSE;  // a fresh handle stands at offset 0
    CloseHandle(f);
    return ok;
}

VoiceRecord ReadVoiceRecord() {
    VoiceRecord out;
    for (const auto& r : test_voice::ParseRecord(FileBytes(VoiceRecordPath()))) {
        VoiceUtterance u;
        u.id = r.id;
        u.voice = FromUtf8(r.voice);
        u.rate = r.rate;
        u.volume = r.volume;
        u.flags = r.flags;
        u.sampleRate = r.sampleRate;
        for (const auto& f : r.fragments) u.fragments.push_back({f.action, FromUtf8(f.text)});
        u.beginMs = r.beginMs;
        u.ended = r.ended;
        u.endMs = r.endMs;
        u.completed = r.completed;
        u.bytes = r.bytes;
        u.hash = r.hash;
        u.why = r.why;
        out.push_back(std::move(u));
    }
    return out;
}

VoiceRecord WaitForVoiceRecord(const std::function<bool(const VoiceRecord&)>& cond, DWORD timeoutMs,
                               bool* satisfied) {
    VoiceRecord last;
    bool ok = WaitUntil([&] { return cond(last = ReadVoiceRecord()); }, timeoutMs);
    if (satisfied) *satisfied = ok;
    return last;
}

double VoiceClockMs() { return test_voice::NowMs(); }

ScopedVoiceToken::ScopedVoiceToken(const std::wstring& key, const std::wstring& name, unsigned toneHz,
                                   unsigned sampleRate, const wchar_t* tokens)
    : key_(std::wstring(tokens) + key) {
    std::wstring alto = std::wstring(kTokens) + kAltoKey;
    std::wstring clsid = MachineString(alto, L"CLSID");
    std::wstring record = MachineString(alto, L"RecordFile");
    HKEY h = nullptr;
    if (clsid.empty() || RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                                         nullptr) != ERROR_SUCCESS)
        return;
    created_ = SetString(h, nullptr, name) && SetString(h, L"CLSID", clsid) && SetString(h, L"RecordFile", record) &&
               SetString(h, L"ToneHz", std::to_wstring(toneHz)) &&
               SetString(h, L"SampleRate", std::to_wstring(sampleRate));
    RegCloseKey(h);
}

ScopedVoiceToken::~ScopedVoiceToken() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, key_.c_str()); }

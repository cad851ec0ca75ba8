// The program's speech path through the real SAPI of Wine 10, with no doubles: the SAPI
// engine (speech/sapi_engine_win.cpp), the voice profile routines, and the project's test
// voice (tools/test_voice), whose record tells what reached it: which voice, rate, volume
// and text, when it began and ended, and whether it was cut off.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <sapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "speech/sapi_engine_win.h"
#include "speech/voice_profiles.h"
#include "support/process.h"
#include "support/test_paths.h"
#include "support/voice_record.h"
#include "tools/test_voice/tone.h"
#include "ui/application.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

// SPERR_NOT_FOUND: a token value that does not exist (sperror.h is not in MinGW).
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004503AL);

// Long enough that nothing ends it but a stop: about seven seconds at rate 0.
const std::string kLongText(200, 'a');

std::string Ansi(const wchar_t* s) { return WideToAnsi(s); }

// Bytes the test voice writes for a text at a rate: 16-bit samples, one tone per character.
unsigned long long ExpectedBytes(const std::wstring& text, int rate, unsigned sampleRate) {
    std::u32string chars = test_voice::CodePoints(reinterpret_cast<const char16_t*>(text.data()), text.size());
    return 2ull * test_voice::TextSamples(chars, rate, sampleRate);
}

// The voices as SAPI itself lists them, for comparison with what the program shows: key
// name (the last part of the token id) and display name ("" when the token has none).
struct RawVoice {
    std::wstring key;
    std::wstring name;
    ComPtr<ISpObjectToken> token;
};

std::vector<RawVoice> RawVoices() {
    std::vector<RawVoice> out;
    ComPtr<ISpObjectTokenCategory> category;
    ComPtr<IEnumSpObjectTokens> tokens;
    ULONG count = 0;
    if (FAILED(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_ALL,
                                IID_PPV_ARGS(category.GetAddressOf()))) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)) ||
        FAILED(category->EnumTokens(nullptr, nullptr, tokens.GetAddressOf())) || FAILED(tokens->GetCount(&count)))
        return out;
    for (ULONG i = 0; i < count; ++i) {
        ComPtr<ISpObjectToken> token;
        if (FAILED(tokens->Item(i, token.GetAddressOf()))) continue;
        RawVoice v;
        wchar_t* s = nullptr;
        if (SUCCEEDED(token->GetId(&s)) && s) {
            std::wstring id = s;
            v.key = id.substr(id.find_last_of(L'\\') + 1);
        }
        CoTaskMemFree(s);
        s = nullptr;
        HRESULT hr = token->GetStringValue(nullptr, &s);
        if (SUCCEEDED(hr) && s) v.name = s;
        else EXPECT_EQ(hr, kNotFound) << "a token name that is neither there nor missing";
        CoTaskMemFree(s);
        v.token = token;
        out.push_back(v);
    }
    return out;
}

// Utterances of one voice, in the order they began.
VoiceRecord Of(const VoiceRecord& record, const wchar_t* voice) {
    VoiceRecord out;
    for (const auto& u : record)
        if (u.voice == voice) out.push_back(u);
    return out;
}

bool AllEnded(const VoiceRecord& r, std::size_t n) {
    if (r.size() < n) return false;
    for (const auto& u : r)
        if (!u.ended) return false;
    return true;
}

// COM lives exactly as long as each test: the fixture's members go in reverse order, so the
// engine and every object a test made are released before CoUninitialize.
class SapiEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ComInitialised());
        ASSERT_FALSE(VoiceRecordPath().empty()) << "the test voices are not installed (tools/test_voice/install.sh)";
        ASSERT_TRUE(ClearVoiceRecord());
        engine_ = CreateSapiEngine();
        Application.OnException = [this](const std::string& m) { errors_.push_back(m); };
    }
    void TearDown() override { Application.OnException = nullptr; }

    // The program's token of a voice, by display name.
    VoiceTokenPtr Token(const wchar_t* name) {
        for (const auto& t : engine_->CreateVoice()->GetVoices())
            if (t->Description() == Ansi(name)) return t;
        ADD_FAILURE() << "no voice named " << Ansi(name);
        return nullptr;
    }

    ScopedCom com_;
    std::unique_ptr<ISpeechEngine> engine_;
    std::vector<std::string> errors_;
};

// Both voice profiles as the main window holds them, filled from the engine, own messages
// with the alto voice and friends' with the bass.
struct Profiles {
    explicit Profiles(ISpeechEngine& engine) : all(MakeVoiceProfiles(engine)) {
        const StoredVoice none[kProfileCount];
        InitVoiceProfiles(all, none);
        Select(own.CBVoice, kAltoVoice);
        Select(friends.CBVoice, kBassVoice);
    }
    static void Select(TComboBox& l, const wchar_t* name) {
        for (int i = 0; i < l.Count(); ++i)
            if (l.Items(i).text == Ansi(name)) l.SetItemIndex(i);
        EXPECT_EQ(l.Items(l.ItemIndex()).text, Ansi(name));
    }
    VoiceProfiles all;
    VoiceProfile& own = all[kOwnProfile];
    VoiceProfile& friends = all[kFriendProfile];
};

TEST_F(SapiEngineTest, ListsTheInstalledVoicesInEngineOrderWithTheirNames) {
    std::vector<RawVoice> raw = RawVoices();
    std::vector<VoiceTokenPtr> tokens = engine_->CreateVoice()->GetVoices();
    ASSERT_EQ(tokens.size(), raw.size());
    bool alto = false, bass = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        std::printf("voice %zu: %ls \"%ls\"\n", i, raw[i].key.c_str(), raw[i].name.c_str());
        EXPECT_EQ(tokens[i]->Description(), WideToAnsi(raw[i].name)) << i;
        alto = alto || raw[i].name == kAltoVoice;
        bass = bass || raw[i].name == kBassVoice;
        // Wine's own voice has no name: the program lists it with empty text.
        if (raw[i].key == L"Wine Default Voice") {
            EXPECT_EQ(tokens[i]->Description(), "");
        }
    }
    EXPECT_TRUE(alto && bass);
}

// The voices Windows installs for the newer speech platform are listed after SAPI's own, each
// voice once by its name, and speak like any other.
TEST_F(SapiEngineTest, OneCoreVoicesAreListedOnceEachAfterSapisOwnAndSpeak) {
    ScopedVoiceToken twin(L"SonviraTestAlto", kAltoVoice, 660, 16000, kOneCoreTokens);
    ScopedVoiceToken only(L"SonviraOneCore", L"Sonvira OneCore Voice", 330, 16000, kOneCoreTokens);
    ASSERT_TRUE(twin.Created() && only.Created());
    std::vector<std::string> names;
    const auto voices = engine_->CreateVoice()->GetVoices(nullptr);
    for (const auto& t : voices) names.push_back(t->Description());
    EXPECT_EQ(std::count(names.begin(), names.end(), Ansi(kAltoVoice)), 1);
    ASSERT_EQ(names.back(), "Sonvira OneCore Voice");
    ASSERT_TRUE(ClearVoiceRecord());
    auto voice = engine_->CreateVoice();
    voice->SetVoice(voices.back());
    voice->Speak("one");
    ASSERT_TRUE(WaitUntilSpoken(*voice));
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].voice, L"Sonvira OneCore Voice");
}

// A voice whose token key nobody may read (a broken installation) is left out, the others are
// listed, and the list says that it is not whole.
TEST_F(SapiEngineTest, AVoiceWhoseTokenCannotBeReadIsLeftOut) {
    ScopedVoiceToken unreadable(L"SonviraUnreadable", L"Unreadable Voice", 440, 16000);
    HKEY key = nullptr;
    ASSERT_TRUE(unreadable.Created() && RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\"
                                                      L"SonviraUnreadable", 0, WRITE_DAC, &key) == ERROR_SUCCESS);
    auto setDacl = [key](const wchar_t* sddl) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        LocalFree(sd);
    };
    setDacl(L"D:(D;;KR;;;WD)(A;;KA;;;WD)");  // reading denied to everyone
    bool whole = true;
    std::vector<std::string> names;
    for (const auto& t : engine_->CreateVoice()->GetVoices(&whole)) names.push_back(t->Description());
    setDacl(L"D:(A;;KA;;;WD)");  // so that the token can go
    RegCloseKey(key);
    EXPECT_FALSE(whole);
    EXPECT_EQ(std::count(names.begin(), names.end(), Ansi(kBassVoice)), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Unreadable Voice"), 0);
}

// Windows' enumeration fails only the Item of such a token (Wine's fails as a whole): the
// voices around it stay listed.
TEST_F(SapiEngineTest, ATokenTheEnumerationCannotGiveCostsOnlyItself) {
    ComPtr<ISpObjectToken> token;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpObjectToken), nullptr, CLSCTX_ALL, IID_PPV_ARGS(token.GetAddressOf()))));
    bool whole = true;
    auto listed = TokensOf(3, [&](ULONG i, ISpObjectToken** t) { return i == 1 ? E_ACCESSDENIED : token.CopyTo(t); }, &whole);
    EXPECT_EQ(listed.size(), 2u);
    EXPECT_FALSE(whole);
}

// A refusal becomes an EngineError carrying SAPI's HRESULT; the voice object stays usable.
TEST_F(SapiEngineTest, AVoiceWithoutAnEngineGivesAnEngineErrorAndTheProgramGoesOn) {
    std::vector<RawVoice> raws = RawVoices();
    std::vector<VoiceTokenPtr> tokens = engine_->CreateVoice()->GetVoices();
    ASSERT_EQ(tokens.size(), raws.size());
    std::size_t broken = raws.size();
    for (std::size_t i = 0; i < raws.size(); ++i)
        if (raws[i].key == L"Wine Default Voice") broken = i;
    ASSERT_LT(broken, raws.size()) << "Wine's engine-less default voice is not installed here";

    HRESULT refused;
    {
        ComPtr<ISpVoice> raw;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL, IID_PPV_ARGS(raw.GetAddressOf()))));
        refused = raw->SetVoice(raws[broken].token.Get());
        if (SUCCEEDED(refused)) refused = raw->Speak(L"x", SPF_ASYNC | SPF_IS_NOT_XML, nullptr);
    }
    ASSERT_TRUE(FAILED(refused)) << "Wine's default voice spoke";

    auto voice = engine_->CreateVoice();
    try {
        voice->SetVoice(tokens[broken]);
        voice->Speak("nobody hears this");
        ADD_FAILURE() << "a voice without an engine spoke";
    } catch (const EngineError& e) {
        std::printf("engine error: %s\n", e.what());
        EXPECT_EQ(std::string(e.what()), DescribeHResult(refused));
    }
    voice->SetVoice(Token(kAltoVoice));
    voice->Speak("after");
    EXPECT_TRUE(WaitUntilSpoken(*voice));
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].voice, kAltoVoice);
    EXPECT_TRUE(r[0].completed);
}

// A broken voice that sorts first (as a start without settings takes it) is named once and
// the next voice in the list speaks instead, for each way a voice installation can break.
TEST_F(SapiEngineTest, ABrokenVoiceThatSortsFirstIsNamedAndTheNextVoiceSpeaks) {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens\\AAASonviraBroken";
    const wchar_t* classes = L"Software\\Classes\\CLSID\\{5A1E0000-0000-4000-8000-00000000BAD1}";
    struct Case {
        const wchar_t* clsid;  // nullptr: none; the registered one names a missing DLL
        const wchar_t* name;
    } cases[] = {{nullptr, L"Broken"}, {L"not a guid", L"Broken"}, {L"{5A1E0000-0000-4000-8000-00000000BAD0}", L"Broken"},
                 {L"{5A1E0000-0000-4000-8000-00000000BAD1}", L"Broken"}, {nullptr, nullptr}};
    HKEY server = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L"\\InprocServer32").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &server, nullptr), ERROR_SUCCESS);
    const std::wstring missing = L"C:\\nowhere\\engine.dll";
    RegSetValueExW(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(missing.c_str()),
                   static_cast<DWORD>((missing.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(server);
    for (const auto& c : cases) {
        SCOPED_TRACE(Ansi(c.clsid ? c.clsid : L"no CLSID"));
        ASSERT_TRUE(ClearVoiceRecord());
        HKEY token = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &token, nullptr), ERROR_SUCCESS);
        for (auto [value, data] : {std::pair{static_cast<const wchar_t*>(nullptr), c.name}, std::pair{L"CLSID", c.clsid}})
            if (data)
                RegSetValueExW(token, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                               static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
        RegCloseKey(token);
        {
            Profiles p(*engine_);
            p.own.CBVoice.SetItemIndex(0);
            ASSERT_EQ(p.own.CBVoice.Items(0).text, Ansi(c.name ? c.name : L""));
            std::vector<std::string> named;
            p.own.onVoiceFailed = [&](const std::string& n) { named.push_back(n); };
            SpeakWithProfile(p.own, "one");
            ASSERT_TRUE(WaitUntilSpoken(p.own.SpVoice.Object()));
            SpeakWithProfile(p.own, "two");
            ASSERT_TRUE(WaitUntilSpoken(p.own.SpVoice.Object()));
            EXPECT_EQ(named, std::vector<std::string>{p.own.CBVoice.Items(0).text});
            EXPECT_EQ(p.own.CBVoice.ItemIndex(), 1);
            VoiceRecord r = ReadVoiceRecord();
            ASSERT_EQ(r.size(), 2u);
            EXPECT_EQ(Ansi(r[1].voice.c_str()), p.own.CBVoice.Items(1).text);
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, key);
    }
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, classes);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(SapiEngineTest, SpeakingReachesTheChosenVoiceWithItsRateAndVolume) {
    struct Case {
        const wchar_t* voice;
        int rate;
        int volume;
    } cases[] = {{kAltoVoice, -10, 55}, {kBassVoice, 0, 100}, {kAltoVoice, 10, 0}, {kBassVoice, 10, 55}};
    const std::wstring text = L"ab, c";
    for (const auto& c : cases) {
        auto voice = engine_->CreateVoice();
        voice->SetVoice(Token(c.voice));
        voice->SetRate(c.rate);
        voice->SetVolume(c.volume);
        voice->Speak(WideToAnsi(text));
        EXPECT_TRUE(WaitUntilSpoken(*voice));
    }
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), std::size(cases));
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << c.rate << " " << c.volume);
        EXPECT_EQ(r[i].voice, c.voice);
        EXPECT_EQ(r[i].rate, c.rate);
        EXPECT_EQ(r[i].volume, unsigned(c.volume));
        EXPECT_TRUE(r[i].completed) << r[i].why;
        // The voice's own format reached it, and the whole text was spoken at that rate.
        EXPECT_EQ(r[i].sampleRate, 16000u);
        EXPECT_EQ(r[i].bytes, ExpectedBytes(text, c.rate, 16000));
    }
}

// Chat text that looks like markup is said as it stands: one plain fragment, no silence,
// no change of volume. (Wine takes text for markup when it begins with "<".)
TEST_F(SapiEngineTest, TextThatLooksLikeMarkupIsSpokenLiterally) {
    const wchar_t* texts[] = {L"<silence msec=\"9000\"/>", L"<volume level=\"0\">quiet</volume>",
                              L"  <rate absspeed=\"10\"/>x", L"a < b & c > d"};
    for (const wchar_t* t : texts) {
        auto voice = engine_->CreateVoice();
        voice->SetVoice(Token(kAltoVoice));
        voice->SetRate(10);  // quicker
        voice->Speak(WideToAnsi(t));
        EXPECT_TRUE(WaitUntilSpoken(*voice));
    }
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), std::size(texts));
    for (std::size_t i = 0; i < r.size(); ++i) {
        SCOPED_TRACE(WideToAnsi(texts[i]));
        ASSERT_EQ(r[i].fragments.size(), 1u);
        EXPECT_EQ(r[i].fragments[0].action, "Speak");
        EXPECT_EQ(r[i].fragments[0].text, texts[i]);
        EXPECT_EQ(r[i].volume, 100u);
        EXPECT_EQ(r[i].bytes, ExpectedBytes(texts[i], 10, r[i].sampleRate));
    }
}

// Under Wine a voice cannot tell whether a program said "not markup": SAPI never parses
// markup itself. Its trace shows the flags of every Speak call, so a child run of this
// program speaks with tracing on and the flags are read from what it prints.
const char* const kTracedTexts[] = {"plain", "<silence msec=\"9000\"/>", "a <b> c"};

TEST(SapiEngineTrace, DISABLED_SpeaksForTheTrace) {
    ScopedCom com;
    auto engine = CreateSapiEngine();
    auto voice = engine->CreateVoice();
    for (const auto& t : engine->CreateVoice()->GetVoices())
        if (t->Description() == Ansi(kAltoVoice)) voice->SetVoice(t);
    for (const char* text : kTracedTexts) voice->Speak(text);
    EXPECT_TRUE(WaitUntilSpoken(*voice));
}

// The Unix path of this program, from Wine's own mapping.
std::string UnixPathOfThisProgram() {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(exe) : nullptr;
    std::string out = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Runs this program's trace child with Wine's SAPI trace on and returns what it printed.
// Wine writes traces to the Unix standard error, which no Windows handle reaches, so the
// child is started through a Unix shell that sends both streams to a file beside this
// program and renames it once the child is done.
std::string RunTracedChild() {
    std::string self = UnixPathOfThisProgram();
    if (self.empty()) return {};
    std::string dir = self.substr(0, self.rfind('/'));
    std::wstring done = ExeDir() + L"\\sapi-trace.txt";
    DeleteFileW(done.c_str());
    std::string script = "WINEDEBUG=-all,trace+sapi wine '" + self +
                         "' --gtest_also_run_disabled_tests --gtest_filter=SapiEngineTrace.* >'" + dir +
                         "/sapi-trace.part' 2>&1; mv '" + dir + "/sapi-trace.part' '" + dir + "/sapi-trace.txt'";
    std::wstring cmd = L"/bin/sh -c \"" + AnsiToWide(script) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("cannot start /bin/sh: error %lu\n", GetLastError());
        return {};
    }
    // A Unix process has no Windows handle to wait on: wait for its file instead.
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (!WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000)) return {};
    const std::string out = FileBytes(done);
    DeleteFileW(done.c_str());
    return out;
}

TEST_F(SapiEngineTest, EverySpeakTellsSapiTheTextIsNotMarkup) {
    std::string trace = RunTracedChild();
    // Each call shows as "trace:sapi:spvoice_Speak (voice, text, flags, stream number).";
    // the engine's purges carry no text.
    std::size_t texts = 0, pos = 0;
    const std::string mark = "spvoice_Speak (";
    while ((pos = trace.find(mark, pos)) != std::string::npos) {
        pos += mark.size();
        std::string args = trace.substr(pos, trace.find(')', pos) - pos);
        std::printf("Speak(%s)\n", args.c_str());
        std::size_t c1 = args.find(", "), c2 = args.find(", ", c1 + 2), c3 = args.find(", ", c2 + 2);
        ASSERT_NE(c3, std::string::npos) << args;
        unsigned long text = std::strtoul(args.substr(c1 + 2, c2 - c1 - 2).c_str(), nullptr, 16);
        unsigned long flags = std::strtoul(args.substr(c2 + 2, c3 - c2 - 2).c_str(), nullptr, 16);
        if (!text) {
            EXPECT_EQ(flags, static_cast<unsigned long>(SPF_PURGEBEFORESPEAK | SPF_ASYNC)) << "never waits" << args;
            continue;
        }
        ++texts;
        EXPECT_EQ(flags, static_cast<unsigned long>(SPF_ASYNC | SPF_IS_NOT_XML)) << args;
    }
    EXPECT_EQ(texts, std::size(kTracedTexts)) << trace.substr(0, 2000);
    VoiceRecord r = ReadVoiceRecord();
    EXPECT_EQ(r.size(), std::size(kTracedTexts)) << "the child spoke through the test voice";
}

// What the tray's "停止朗读" does (dropping both voice objects) ends a long utterance at once.
TEST_F(SapiEngineTest, StoppingEndsALongUtteranceAtOnce) {
    Profiles p(*engine_);
    SpeakWithProfile(p.own, kLongText);
    bool begun = false;
    WaitForVoiceRecord([](const VoiceRecord& r) { return !r.empty(); }, kPatienceMs, &begun);
    ASSERT_TRUE(begun);
    PumpFor(200);  // well into the utterance
    double asked = VoiceClockMs();
    for (VoiceProfile& v : p.all) StopSpeaking(v);
    double returned = VoiceClockMs();
    bool ended = false;
    VoiceRecord r = WaitForVoiceRecord([](const VoiceRecord& r) { return AllEnded(r, 1); }, kPatienceMs, &ended);
    ASSERT_TRUE(ended);
    std::printf("stop latency: the voice stopped %.1f ms after the request (%s); the request took %.1f ms\n",
                r[0].endMs - asked, r[0].why.c_str(), returned - asked);
    EXPECT_FALSE(r[0].completed);
    EXPECT_LT(r[0].endMs - asked, 3000.0) << "far sooner than the seven seconds the text lasts";
    EXPECT_LT(r[0].bytes, ExpectedBytes(std::wstring(kLongText.begin(), kLongText.end()), 0, 16000));
    EXPECT_TRUE(errors_.empty());
}

// A new message for a profile cuts off its previous one; the other profile's voice object
// is separate, so own and friends' messages are spoken side by side.
TEST_F(SapiEngineTest, ANewMessageCutsOffOnlyItsOwnProfile) {
    Profiles p(*engine_);
    auto begun = [](std::size_t n) { return [n](const VoiceRecord& r) { return r.size() >= n; }; };
    SpeakWithProfile(p.own, kLongText);
    ASSERT_EQ(WaitForVoiceRecord(begun(1), kPatienceMs).size(), 1u);
    // Seconds long, so that the own voice starts again while it still speaks, however slow
    // the machine.
    SpeakWithProfile(p.friends, std::string(120, 'b'));
    VoiceRecord r = WaitForVoiceRecord(begun(2), kPatienceMs);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_FALSE(r[0].ended) << "a friend's message cut off the own one";
    SpeakWithProfile(p.own, "own again");
    bool ended = false;
    r = WaitForVoiceRecord([](const VoiceRecord& r) { return AllEnded(r, 3); }, kPatienceMs, &ended);
    ASSERT_TRUE(ended) << r.size() << " utterances";
    VoiceRecord own = Of(r, kAltoVoice), friends = Of(r, kBassVoice);
    ASSERT_EQ(own.size(), 2u);
    ASSERT_EQ(friends.size(), 1u);
    EXPECT_FALSE(own[0].completed);
    EXPECT_TRUE(own[1].completed);
    EXPECT_EQ(own[1].fragments.at(0).text, L"own again");
    // The purge that cuts it off is asynchronous (an engine that no longer answers must not hold
    // the program), so the old voice may notice it a chunk after the new one began; it must not
    // speak on beside it.
    EXPECT_LT(own[0].endMs, own[1].endMs) << "the first went on speaking beside the second";
    EXPECT_TRUE(friends[0].completed) << "the own message cut off the friend's";
    // Both voices spoke at the same time.
    EXPECT_LT(own[1].beginMs, friends[0].endMs);
    EXPECT_TRUE(errors_.empty());
}

// The real main window over the real engine: a change handler reaches the engine, and an
// error of a handler reaches the application's default handler while the window goes on.
TEST_F(SapiEngineTest, HandlersOfTheRealWindowReachTheEngineAndTheDefaultHandler) {
    MainWindow window(*engine_);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), false));
    EXPECT_TRUE(errors_.empty()) << errors_.at(0);
    HWND combo = FindControl(window.Handle(), IDC_CBVOICE);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), LRESULT(RawVoices().size()));

    // The user picks a voice and drags the rate bar: the page hands the scroll to the
    // main window, and the voice object then speaks with that voice at that rate.
    VoiceProfile& own = window.Form().Profiles[kOwnProfile];
    Profiles::Select(own.CBVoice, kBassVoice);
    window.Form().CBVoiceChange(kOwnProfile);
    HWND track = FindControl(window.Handle(), IDC_TRATE);
    ASSERT_NE(track, nullptr);
    SendMessageW(track, TBM_SETPOS, TRUE, 3);
    SendMessageW(GetParent(track), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3), reinterpret_cast<LPARAM>(track));
    EXPECT_EQ(own.LRate.Caption(), "3");
    own.SpVoice.Speak("x");
    EXPECT_TRUE(WaitUntilSpoken(own.SpVoice.Object()));
    VoiceRecord r = ReadVoiceRecord();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].voice, kBassVoice);
    EXPECT_EQ(r[0].rate, 3);

    // A text that names no voice: the default handler, and the window still answers.
    own.CBVoice.UserEdited("no such voice");
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "No voice is selected");
    EXPECT_TRUE(IsWindow(window.Handle()));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), own.CBVoice.Count());
}

// The bars of the options page draw their thumbs where their positions are, also a bar
// whose position never changed since its range was set (rate 0 of -10..10: the middle).
TEST_F(SapiEngineTest, TheOptionBarsShowTheirPositions) {
    MainWindow window(*engine_);
    ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), false));
    int bars = 0;
    for (const OptionControl& c : OptionControls()) {
        const TTrackBar* bar = ComponentOf<TTrackBar>(window.Form(), c);
        if (!bar) continue;
        ++bars;
        SCOPED_TRACE(c.id);
        HWND h = FindControl(window.Handle(), c.id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(SendMessageW(h, TBM_GETPOS, 0, 0), bar->Position());
        EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMIN, 0, 0), bar->Min());
        EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMAX, 0, 0), bar->Max());
        RECT channel = {}, thumb = {};
        SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        double share = double(bar->Position() - bar->Min()) / (bar->Max() - bar->Min());
        double expected = channel.left + share * (channel.right - channel.left);
        double centre = (thumb.left + thumb.right) / 2.0;
        EXPECT_NEAR(centre, expected, (thumb.right - thumb.left) / 2.0 + 2);
    }
    EXPECT_EQ(bars, 2 * kProfileCount) << "a rate and a volume bar per profile";
}

}  // namespace

// The SAPI engine against the real speech service of this machine. Nothing here assumes a
// voice can speak: each engine operation is compared with what the raw SAPI call answers on
// a voice object of its own, so the tests hold on a machine that speaks and under a Wine
// whose SAPI refuses (E_NOTIMPL). What the engine does with a refusal is what is checked:
// an EngineError naming the HRESULT, and the program's handlers treating it as designed.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <sapi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "speech/sapi_engine_win.h"
#include "speech/voice_profiles.h"
#include "support/process.h"
#include "support/test_paths.h"
#include "ui/application.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

// "0x80004001" for E_NOTIMPL: how an engine error names its HRESULT.
std::string Code(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08lX", static_cast<unsigned long>(hr));
    return buf;
}

// COM lives exactly as long as each test: the fixture's members go in reverse order, so the
// engine and every object a test made are released before CoUninitialize.
class SapiEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.Result())) << Code(com_.Result());
        engine_ = CreateSapiEngine();
        Application.OnException = [this](const std::string& m) { errors_.push_back(m); };
    }
    void TearDown() override { Application.OnException = nullptr; }

    ComPtr<ISpVoice> RawVoice() {
        ComPtr<ISpVoice> v;
        EXPECT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_ALL, IID_PPV_ARGS(v.GetAddressOf()))));
        return v;
    }

    ScopedCom com_;
    std::unique_ptr<ISpeechEngine> engine_;
    std::vector<std::string> errors_;
};

TEST_F(SapiEngineTest, ListsTheInstalledVoicesWithTheirNames) {
    auto voice = engine_->CreateVoice();
    std::vector<VoiceTokenPtr> tokens = voice->GetVoices();
    ASSERT_GE(tokens.size(), 1u) << "this machine lists no voice";
    bool named = false;
    for (const auto& t : tokens) {
        std::string name = t->Description();
        std::printf("voice: \"%s\"\n", WideToUtf8(AnsiToWide(name)).c_str());
        named = named || !name.empty();
        EXPECT_EQ(t->Description(), name) << "a second read gives the same name";
    }
    EXPECT_TRUE(named);
    // A second listing gives the same voices in the same order.
    auto again = engine_->CreateVoice()->GetVoices();
    ASSERT_EQ(again.size(), tokens.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) EXPECT_EQ(again[i]->Description(), tokens[i]->Description());
}

// Each engine operation against the raw call it stands for: success where SAPI succeeds, an
// EngineError led by the same HRESULT where it fails.
TEST_F(SapiEngineTest, RefusalsBecomeEngineErrorsNamingTheHResult) {
    auto lister = engine_->CreateVoice();
    std::vector<VoiceTokenPtr> tokens = lister->GetVoices();
    ASSERT_FALSE(tokens.empty());
    ComPtr<ISpObjectToken> rawToken;
    {
        ComPtr<ISpObjectTokenCategory> category;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_ALL,
                                               IID_PPV_ARGS(category.GetAddressOf()))));
        ASSERT_TRUE(SUCCEEDED(category->SetId(SPCAT_VOICES, FALSE)));
        ComPtr<IEnumSpObjectTokens> e;
        ASSERT_TRUE(SUCCEEDED(category->EnumTokens(nullptr, nullptr, e.GetAddressOf())));
        ASSERT_TRUE(SUCCEEDED(e->Item(0, rawToken.GetAddressOf())));
    }
    struct Case {
        const char* name;
        std::function<HRESULT(ISpVoice*)> raw;
        std::function<void(IVoiceObject&)> engine;
    } cases[] = {
        {"SetVoice", [&](ISpVoice* v) { return v->SetVoice(rawToken.Get()); },
         [&](IVoiceObject& v) { v.SetVoice(tokens[0]); }},
        {"SetRate", [](ISpVoice* v) { return v->SetRate(-2); }, [](IVoiceObject& v) { v.SetRate(-2); }},
        {"SetVolume", [](ISpVoice* v) { return v->SetVolume(40); }, [](IVoiceObject& v) { v.SetVolume(40); }},
        // Purged at once by the object's release, so even a working voice stays quiet.
        {"Speak", [](ISpVoice* v) { return v->Speak(L"a", SPF_ASYNC | SPF_IS_NOT_XML, nullptr); },
         [](IVoiceObject& v) { v.Speak("a"); }},
        {"WaitUntilDone", [](ISpVoice* v) { return v->WaitUntilDone(INFINITE); },
         [](IVoiceObject& v) { v.WaitUntilDone(); }},
        {"SetOutputToDefault", [](ISpVoice* v) { return v->SetOutput(nullptr, TRUE); },
         [](IVoiceObject& v) { v.SetOutputToDefault(); }},
    };
    int refused = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRESULT hr = c.raw(RawVoice().Get());
        std::printf("%-20s raw SAPI answered %s\n", c.name, DescribeHResult(hr).c_str());
        auto voice = engine_->CreateVoice();
        if (SUCCEEDED(hr)) {
            EXPECT_NO_THROW(c.engine(*voice));
            continue;
        }
        ++refused;
        try {
            c.engine(*voice);
            ADD_FAILURE() << "SAPI refused with " << Code(hr) << " but the engine reported success";
        } catch (const EngineError& e) {
            std::string message = e.what();
            EXPECT_EQ(message.rfind(Code(hr), 0), 0u) << message;
            EXPECT_EQ(message, DescribeHResult(hr));
        }
    }
    std::printf("%d of %zu voice operations refused here\n", refused, std::size(cases));
}

// Speaking and stopping with the real engine, through the profile routines: whatever the
// engine answers, nothing is reported and nothing escapes.
TEST_F(SapiEngineTest, SpeakingAndStoppingReportNothing) {
    TSpVoice voice(*engine_), voice1(*engine_);
    TComboBox list("CBVoice"), list1("CBVoice");
    TTrackBar rate(-10, 10, 0), rate1(-10, 10, 0), volume(0, 100, 80), volume1(0, 100, 80);
    TLabel lRate("0"), lRate1("0"), lVolume("80"), lVolume1("80");
    VoiceProfile own{voice, list, rate, lRate, volume, lVolume};
    VoiceProfile friends{voice1, list1, rate1, lRate1, volume1, lVolume1};
    std::string startError;
    try {
        InitVoiceProfiles(own, friends, -1, -1, 0, 0, 100, 100);
    } catch (const EngineError& e) {
        startError = e.what();  // a start-up error; the controls are set all the same
    }
    std::printf("start-up: %s\n", startError.empty() ? "no engine error" : startError.c_str());
    EXPECT_GE(list.Count(), 1);
    EXPECT_EQ(list1.Count(), list.Count());
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(lVolume.Caption(), "100");
    EXPECT_EQ(lVolume1.Caption(), "100");

    SpeakWithProfile(own, "\xc4\xe3\xba\xc3 <b>not markup</b>");
    SpeakWithProfile(friends, "hello");
    SpeakWithProfile(own, "a second message");
    StopSpeaking(own, friends);
    EXPECT_FALSE(voice.Connected());
    EXPECT_FALSE(voice1.Connected());
    SpeakWithProfile(friends, "after the stop");
    StopSpeaking(own, friends);
    EXPECT_TRUE(errors_.empty());
}

// The real main window over the real engine: a start-up engine error and a change handler's
// engine error both reach the application's default handler, and the window goes on.
TEST_F(SapiEngineTest, HandlerErrorsOfTheRealWindowReachTheDefaultHandler) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    HRESULT rawRate = RawVoice()->SetRate(3);
    {
        MainWindow window(*engine_);
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), false));
        std::vector<std::string> startErrors = errors_;
        errors_.clear();
        for (const auto& m : startErrors) {
            std::printf("start-up error: %s\n", m.c_str());
            EXPECT_EQ(m.rfind("0x", 0), 0u) << "only engine errors are expected at start: " << m;
        }
        HWND track = FindControl(window.Handle(), IDC_TRATE);
        ASSERT_NE(track, nullptr);
        HWND combo = FindControl(window.Handle(), IDC_CBVOICE);
        EXPECT_GE(SendMessageW(combo, CB_GETCOUNT, 0, 0), 1) << "the peer shows the engine's voices";

        // The user drags the rate bar: the page hands the scroll to the main window.
        SendMessageW(track, TBM_SETPOS, TRUE, 3);
        SendMessageW(GetParent(track), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3), reinterpret_cast<LPARAM>(track));
        EXPECT_EQ(window.Form().TRate.Position(), 3);
        EXPECT_EQ(window.Form().LRate.Caption(), "3");
        if (FAILED(rawRate)) {
            ASSERT_EQ(errors_.size(), 1u);
            EXPECT_EQ(errors_[0], DescribeHResult(rawRate));
        } else {
            EXPECT_TRUE(errors_.empty());
        }
        errors_.clear();
        // A text that names no voice: the default handler, whatever the engine can do.
        window.Form().CBVoice.UserEdited("no such voice");
        ASSERT_EQ(errors_.size(), 1u);
        EXPECT_EQ(errors_[0], "No voice is selected");
        // The window still answers.
        EXPECT_TRUE(IsWindow(window.Handle()));
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), window.Form().CBVoice.Count());
    }
    if (richEdit) FreeLibrary(richEdit);
}

// The bars of the options page draw their thumbs where their positions are, also a bar
// whose position never changed since its range was set (rate 0 of -10..10: the middle).
TEST_F(SapiEngineTest, TheOptionBarsShowTheirPositions) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HMODULE richEdit = LoadLibraryW(L"riched20.dll");
    {
        MainWindow window(*engine_);
        ASSERT_TRUE(window.Create(GetModuleHandleW(nullptr), false));
        struct Bar {
            int id;
            const TTrackBar& bar;
        } bars[] = {{IDC_TRATE, window.Form().TRate},
                    {IDC_TRATE1, window.Form().TRate1},
                    {IDC_TVOLUME, window.Form().TVolume},
                    {IDC_TVOLUME1, window.Form().TVolume1}};
        for (const auto& b : bars) {
            SCOPED_TRACE(b.id);
            HWND h = FindControl(window.Handle(), b.id);
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(SendMessageW(h, TBM_GETPOS, 0, 0), b.bar.Position());
            EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMIN, 0, 0), b.bar.Min());
            EXPECT_EQ(SendMessageW(h, TBM_GETRANGEMAX, 0, 0), b.bar.Max());
            RECT channel = {}, thumb = {};
            SendMessageW(h, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
            SendMessageW(h, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
            double share = double(b.bar.Position() - b.bar.Min()) / (b.bar.Max() - b.bar.Min());
            double expected = channel.left + share * (channel.right - channel.left);
            double centre = (thumb.left + thumb.right) / 2.0;
            EXPECT_NEAR(centre, expected, (thumb.right - thumb.left) / 2.0 + 2);
        }
    }
    if (richEdit) FreeLibrary(richEdit);
}

}  // namespace

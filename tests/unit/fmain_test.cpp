// The main window's start: chat capture runs even when applying the voices fails, as it does
// under an engine that cannot speak.
#include <gtest/gtest.h>

#include "app/fmain.h"
#include "support/recording_engine.h"

namespace {

struct CountingChatWindows : IChatWindows {
    int foregroundAsked = 0;
    WindowRef Foreground() override {
        ++foregroundAsked;
        return 0;
    }
    std::string Title(WindowRef) override { return {}; }
    WindowRef FindChild(WindowRef, const char*) override { return 0; }
    bool QueryTextLength(WindowRef, std::size_t&) override { return false; }
    bool ReadText(WindowRef, std::size_t, std::string&) override { return false; }
};
struct BytesCodePage : ICodePage {
    std::u16string AnsiToUtf16(const std::string& a) override { return std::u16string(a.begin(), a.end()); }
    std::string Utf16ToAnsi(const std::u16string& w) override { return std::string(w.begin(), w.end()); }
};
struct NullLog : ILogControl {
    long TextLength() override { return 0; }
    bool EndsWithLineBreak() override { return true; }
    void InsertAtEnd(const std::string&) override {}
    void SetSelection(long, long) override {}
    void SetSelectionColour(std::uint32_t) override {}
    void ScrollCaret() override {}
};

TEST(FormCreate, CaptureTimersRunAlthoughTheEngineRefusesTheVoices) {
    for (const char* refused : {"SetVoice", "SetRate", "CreateVoice"}) {
        RecordingEngine engine;
        engine.SetVoices({"Mary"});
        engine.failing = {refused};
        CountingChatWindows chat;
        BytesCodePage codePage;
        NullLog log;
        TFmain form{TFmainServices{chat, codePage, engine, log}};
        EXPECT_THROW(form.FormCreate(), EngineError) << refused;
        EXPECT_TRUE(form.Timer2.Enabled()) << refused;
        EXPECT_TRUE(form.Timer3.Enabled()) << refused;
        form.Timer2.Tick();
        form.Timer3.Tick();
        EXPECT_GE(chat.foregroundAsked, 2) << "both ticks looked at the foreground window (" << refused << ")";
    }
}

}  // namespace

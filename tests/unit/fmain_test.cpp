// The main window's start: chat capture runs even when applying the voices fails, as it does
// under an engine that cannot speak.
#include <gtest/gtest.h>

#include "app/fmain.h"
#include "support/form_doubles.h"
#include "support/recording_engine.h"

namespace {

struct CountingChatWindows : NoChatWindows {
    int foregroundAsked = 0;
    WindowRef Foreground() override {
        ++foregroundAsked;
        return 0;
    }
};

TEST(FormCreate, CaptureTimersRunAlthoughTheEngineRefusesTheVoices) {
    for (const char* refused : {"SetVoice", "SetRate", "CreateVoice"}) {
        RecordingEngine engine;
        engine.SetVoices({"Mary"});
        engine.failing = {refused};
        CountingChatWindows chat;
        BytesCodePage codePage;
        NullLog log;
        QuietStartup quiet;
        TFmain form{TFmainServices{chat, codePage, engine, log, quiet.paths, quiet.profile, quiet.registry, quiet.os}};
        EXPECT_THROW(form.FormCreate(), EngineError) << refused;
        EXPECT_TRUE(form.Timer2.Enabled()) << refused;
        EXPECT_TRUE(form.Timer3.Enabled()) << refused;
        form.Timer2.Tick();
        form.Timer3.Tick();
        EXPECT_GE(chat.foregroundAsked, 2) << "both ticks looked at the foreground window (" << refused << ")";
    }
}

}  // namespace

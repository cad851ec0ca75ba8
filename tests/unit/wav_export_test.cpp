// The WAV export's engine steps against the recording engine: a fresh own voice object at
// the engine's defaults, the file stream in 16 kHz mono, the voice back on the sound device
// afterwards; what ends it silently, what an engine error leaves behind; and, through the
// main window, that chat capture spares the voice an export speaks with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fmain.h"
#include "speech/wav_export.h"
#include "common/desk_doubles.h"
#include "common/form_doubles.h"
#include "support/iconv_codepage.h"
#include "common/memory_log.h"
#include "support/recording_engine.h"

namespace {

using Log = std::vector<std::string>;

// The own profile's parts after it spoke once at its own rate and volume (object #1).
struct Export {
    explicit Export(int selected = 1) {
        engine.SetVoices({"Mary", "Mike"});
        for (const auto& t : engine.Tokens()) list.AddItem(t->Name(), t);
        list.SetItemIndex(selected);
        voice.SetRate(10);
        voice.SetVolume(20);
        engine.ClearLog();
    }
    bool Render(const std::string& text = "hello") { return wav.Start("C:\\out.wav", text) && !wav.Poll(); }
    RecordingEngine engine;
    TSpVoice voice{engine};
    TComboBox list{"CBVoice"};
    TSpFileStream stream{engine};
    TWavExport wav{WavExportParts{voice, list, stream}};
};

TEST(WavExport, SpeaksWithAFreshVoiceAtTheEnginesDefaultsIntoA16kHzFile) {
    Export x;
    ASSERT_TRUE(x.Render("line one\r\nline two\r\n"));
    const Log want = {
        "#1 Destroy",  // what the own voice was saying stops
        "#2 Create",
        "#2 SetVoice Mike",
        "#0 CreateFileStream",
        "#0 SetFormat16kHz16BitMono",
        "#0 OpenForWrite C:\\out.wav",
        "#2 AllowFormatChanges false",
        "#2 SetOutputToStream",
        "#2 Speak line one\r\nline two\r\n",
        "#2 Done",
        "#0 Close",
        "#2 SetOutputToDefault",
    };
    EXPECT_EQ(x.engine.log, want) << "no rate or volume: the engine's defaults for a fresh object";
    EXPECT_EQ(x.engine.VoicesAlive(), 1) << "the voice stays connected, on the sound device";

    // The file stream is connected once and kept; the next export opens and closes it again.
    x.engine.ClearLog();
    ASSERT_TRUE(x.Render());
    EXPECT_EQ(x.engine.Only({"CreateFileStream"}), Log{});
    EXPECT_EQ(x.engine.Only({"OpenForWrite", "Close"}), (Log{"#0 OpenForWrite C:\\out.wav", "#0 Close"}));

    // After a stop the next export gets a fresh stream: the stopped voice may still write.
    ASSERT_TRUE(x.wav.Start("C:\\out.wav", "hello"));
    x.wav.Cancel();
    ASSERT_TRUE(x.Render());
    EXPECT_EQ(x.engine.Only({"CreateFileStream"}).size(), 1u);
}

TEST(WavExport, EndsSilentlyBeforeTheFileWhenNoVoiceCanBeChosen) {
    struct Case {
        const char* what;
        int selected;
        std::set<std::string> failing;
    } cases[] = {
        {"no voice selected", -1, {}},
        {"voice refused", 0, {"SetVoice"}},
        {"no voice object", 0, {"CreateVoice"}},
    };
    for (const auto& c : cases) {
        Export x(c.selected);
        x.engine.failing = c.failing;
        EXPECT_FALSE(x.Render()) << c.what;
        EXPECT_EQ(x.engine.Only({"CreateFileStream", "OpenForWrite", "Speak", "Discard"}), Log{}) << c.what;
        EXPECT_EQ(x.engine.log.front(), "#1 Destroy") << c.what << ": the own voice was dropped first";
    }
}

TEST(WavExport, AnEngineErrorDropsTheVoiceAndDiscardsAnUnfinishedFile) {
    struct Case {
        std::string failing;
        bool removed;
    } cases[] = {
        {"CreateFileStream", false},   {"SetFormat16kHz16BitMono", false}, {"OpenForWrite", false},
        {"AllowFormatChanges", true},  {"SetOutputToStream", true},        {"Speak", true},
        {"Done", true},                {"Close", true},                    {"SetOutputToDefault", false},
    };
    for (const auto& c : cases) {
        Export x;
        x.engine.failing = {c.failing};
        try {
            x.Render();
            ADD_FAILURE() << c.failing << ": no error";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.what(), "engine refused " + c.failing);
        }
        EXPECT_EQ(x.engine.VoicesAlive(), 0) << c.failing << ": nothing may write into the stream any more";
        EXPECT_EQ(x.engine.Only({"Discard"}), c.removed ? Log{"#0 Discard"} : Log{}) << c.failing;
        if (c.removed) {
            // The file was dropped after the voice went.
            Log tail = x.engine.Only({"Destroy", "Discard"});
            ASSERT_GE(tail.size(), 2u) << c.failing;
            EXPECT_EQ(tail[tail.size() - 2], "#2 Destroy") << c.failing;
        }
    }
}

// While an export speaks into its file, chat capture goes on without the export's voice
// object: a friend's message is spoken, the user's own only logged.
TEST(WavExport, ChatCaptureGoesOnWithoutTheOwnVoiceUntilTheExportIsDone) {
    RecordingEngine engine;
    engine.SetVoices({"Mary"});
    OneChatInFront chat;
    chat.title = Utf8ToGbk("与 小鱼 交谈中");
    IconvCodePage codePage;
    MemoryLog log;
    MemoryDocument document;
    document.text = "logged\r\n";
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{TFmainServices{chat, codePage, engine, log, quiet.paths, quiet.profile, quiet.registry, quiet.os,
                               document, desk.files, desk.boxes, desk.shell}};
    form.FormCreate();
    ScriptedDialog dialog{form.SaveDialogWav};
    dialog.answers = {"C:\\out.wav"};
    form.Timer3.Tick();
    chat.transcript = "Bob  12:00:00\r\nfirst\r\n";
    form.Timer2.Tick();

    chat.transcript += "Bob  12:00:05\r\nsecond\r\n";
    engine.speaking = true;
    engine.ClearLog();
    form.ExportMessageToWav1Click();
    form.Timer2.Tick();
    Log spoken = engine.Only({"Speak"});
    ASSERT_EQ(spoken.size(), 1u) << "only the export spoke";
    EXPECT_EQ(spoken[0].substr(spoken[0].find(' ')), " Speak logged\r\n");
    EXPECT_EQ(form.FLastHeader, "Bob  12:00:05") << "the own message was handled all the same";

    chat.transcript += Utf8ToGbk("小鱼  12:00:06\r\nyours\r\n");
    form.Timer2.Tick();
    spoken = engine.Only({"Speak"});
    ASSERT_EQ(spoken.size(), 2u);
    EXPECT_EQ(spoken[1].substr(spoken[1].size() - 5), "yours");

    form.StopSpeak1.UserClick();
    EXPECT_EQ(engine.Only({"Discard"}).size(), 1u) << "停止朗读 ends the export at once, not at the next poll";

    // Every message read: an own message waits for the voice the export borrowed, and is spoken
    // once the file is done; a friend's passes it meanwhile.
    form.Options.readall = true;
    dialog.answers = {"C:\\out2.wav"};
    engine.speaking = true;
    form.ExportMessageToWav1Click();
    engine.ClearLog();
    chat.transcript += "Bob  12:00:07\r\nmine\r\n" + Utf8ToGbk("小鱼  12:00:08\r\nhers\r\n");
    form.Timer2.Tick();
    form.TimerSpeech.Tick();
    spoken = engine.Only({"Speak"});
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].substr(spoken[0].size() - 4), "hers");
    engine.speaking = false;
    while (form.TimerWav.Enabled()) form.TimerWav.Tick();
    while (form.TimerSpeech.Enabled()) form.TimerSpeech.Tick();
    spoken = engine.Only({"Speak"});
    ASSERT_EQ(spoken.size(), 2u);
    EXPECT_EQ(spoken[1].substr(spoken[1].size() - 4), "mine");
}

}  // namespace

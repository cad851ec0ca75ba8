// The message log's commands against an in-memory document, in-memory files, scripted dialogs
// and recording boxes and shell: which mode a name sets, what is written and read, what a
// failure leaves behind, and exactly what the boxes and the shell are given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/log_commands.h"
#include "app/maker.h"
#include "support/desk_doubles.h"

namespace {

const std::string kLog = "Alice 12:00:00 said\r\nhello\r\n";

struct Commands {
    MemoryDocument log;
    MemoryFiles files;
    TFileDialog open{TFileDialog::Kind::Open, kOpenLogFilter, u"", false};
    TFileDialog save{TFileDialog::Kind::Save, kSaveLogFilter, kSaveLogDefaultExt, false};
    ScriptedDialog openPeer{open}, savePeer{save};
    bool plainText = false;
    Commands() { log.text = kLog; }
    void Save(const std::string& name) {
        savePeer.answers = {name};
        SaveLogFile(save, files, log, plainText);
    }
    void Open(const std::string& name) {
        openPeer.answers = {name};
        OpenLogFile(open, files, log, plainText);
    }
};

TEST(LogSave, TheExtensionInAnyCaseDecidesTheModeAndWhatIsWritten) {
    struct Case {
        std::string name;
        bool plain;
    } cases[] = {
        {"C:\\logs\\a.rtf", false}, {"a.RTF", false}, {"a.RtF", false}, {"a.txt.rtf", false},
        {"a.txt", true},            {"a.TXT", true},  {"a", true},       {"a.doc", true},
        {"a.rtf.txt", true},        {"a.", true},     {"C:\\x.rtf\\log", true}, {"a.rtfx", true},
    };
    for (const auto& c : cases) {
        for (bool before : {false, true}) {
            Commands t;
            t.plainText = before;
            t.Save(c.name);
            EXPECT_EQ(t.plainText, c.plain) << c.name;
            EXPECT_EQ(t.files.files[c.name], c.plain ? kLog : MemoryDocument::AsRtf(kLog)) << c.name;
        }
    }
}

TEST(LogSave, StartsFromAnEmptyNameAndReplacesAnExistingFile) {
    Commands t;
    t.save.FileName = "old.rtf";
    t.files.files["a.txt"] = "older and longer contents";
    t.Save("a.txt");
    EXPECT_EQ(t.savePeer.startedWith, std::vector<std::string>{""});
    EXPECT_EQ(t.files.files["a.txt"], kLog);
}

TEST(LogSave, CancelOrAnEmptyNameWritesNothingAndKeepsTheMode) {
    for (bool cancel : {true, false}) {
        Commands t;
        t.plainText = true;
        if (!cancel) t.savePeer.answers = {""};
        SaveLogFile(t.save, t.files, t.log, t.plainText);
        EXPECT_TRUE(t.files.files.empty());
        EXPECT_TRUE(t.plainText);
    }
}

TEST(LogSave, AFileThatCannotBeCreatedOrALogThatCannotBeStreamedIsReported) {
    Commands t;
    t.files.files["ro.rtf"] = "keep me";
    t.files.locked = {"ro.rtf"};
    try {
        t.Save("ro.rtf");
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Cannot create file \"ro.rtf\". locked");
    }
    EXPECT_EQ(t.log.text, kLog);
    EXPECT_EQ(t.files.files["ro.rtf"], "keep me");

    t.files.files["old.txt"] = "keep me too";
    t.log.failSave = true;
    try {
        t.Save("old.txt");
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.what(), kSaveStreamError);
    }
    EXPECT_EQ(t.files.files["old.txt"], "keep me too") << "nothing replaced by a log that could not be streamed";
}

TEST(LogOpen, RtfModeFallsBackToTextAndTextModeShowsMarkup) {
    const std::string rtf = MemoryDocument::AsRtf("saved\r\n"), text = "plain\r\nlines\r\n";
    struct Case {
        bool plainText;
        std::string file;
        std::vector<std::string> loads;
        std::string shown;
    } cases[] = {
        {false, rtf, {"rtf"}, "saved\r\n"},
        {false, text, {"rtf", "text"}, text},
        {true, rtf, {"text"}, rtf},
        {true, text, {"text"}, text},
    };
    for (const auto& c : cases) {
        Commands t;
        t.plainText = c.plainText;
        t.files.files["f"] = c.file;
        t.open.FileName = "previous";
        t.Open("f");
        EXPECT_EQ(t.openPeer.startedWith, std::vector<std::string>{""});
        EXPECT_EQ(t.log.loads, c.loads) << c.file;
        EXPECT_EQ(t.log.text, c.shown);
        EXPECT_EQ(t.plainText, c.plainText) << "opening never changes the mode";
    }
}

TEST(LogOpen, AFileThatCannotBeOpenedOrReadLeavesTheLogAsItWas) {
    struct Case {
        const char* what;
        std::string name;
        std::string message;
    } cases[] = {
        {"missing", "gone.rtf", "Cannot open file \"gone.rtf\". not found"},
        {"locked", "locked.rtf", "Cannot open file \"locked.rtf\". locked"},
        {"unreadable", "bad.rtf", kLoadStreamError},
    };
    for (const auto& c : cases) {
        Commands t;
        t.files.files["locked.rtf"] = t.files.files["bad.rtf"] = MemoryDocument::AsRtf("other");
        t.files.locked = {"locked.rtf"};
        t.files.unreadable = {"bad.rtf"};
        try {
            t.Open(c.name);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(), c.message) << c.what;
        }
        EXPECT_EQ(t.log.text, kLog) << c.what;
        EXPECT_TRUE(t.log.loads.empty()) << c.what;
    }
}

TEST(LogOpen, TextTheControlCannotTakeIsReportedInEitherMode) {
    for (bool plain : {false, true}) {
        Commands t;
        t.plainText = plain;
        t.files.files["f"] = "not rtf";
        t.log.failTextLoad = true;
        try {
            t.Open("f");
            ADD_FAILURE() << "no error";
        } catch (const FileError& e) {
            EXPECT_EQ(e.what(), kLoadStreamError);
        }
    }
}

TEST(LogOpen, CancelOrAnEmptyNameChangesNothing) {
    for (bool cancel : {true, false}) {
        Commands t;
        if (!cancel) t.openPeer.answers = {""};
        OpenLogFile(t.open, t.files, t.log, t.plainText);
        EXPECT_EQ(t.openPeer.runs, 1);
        EXPECT_EQ(t.log.text, kLog);
        EXPECT_TRUE(t.log.loads.empty());
    }
}

TEST(LogOpen, SavingAsTxtMakesTheNextOpenShowRtfMarkupUntilTheNextRtfSave) {
    Commands t;
    t.Save("log.rtf");
    t.Save("LOG.TXT");
    t.Open("log.rtf");
    EXPECT_EQ(t.log.text, MemoryDocument::AsRtf(kLog)) << "the markup, as text";
    t.log.text = kLog;
    t.Save("again.rtf");
    t.Open("log.rtf");
    EXPECT_EQ(t.log.text, kLog);
}

TEST(LogClear, AsksWithTheConfirmationBoxAndClearsOnlyOnYes) {
    for (int answer : {kIdNo, kIdYes}) {
        MemoryDocument log;
        log.text = kLog;
        RecordingBoxes boxes;
        boxes.answers = {answer};
        ClearLog(boxes, log);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].owner, IMessageBoxes::Owner::Application);
        EXPECT_EQ(boxes.shown[0].caption, u"确认");
        EXPECT_EQ(boxes.shown[0].text, u"您确定要清空当前消息内容列表吗？");
        EXPECT_EQ(boxes.shown[0].flags, 0x24u);
        EXPECT_EQ(log.text, answer == kIdYes ? "" : kLog);
    }
}

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find(u"\r\n", start)) != std::u16string::npos; start = p + 2)
        lines.push_back(text.substr(start, p - start));
    lines.push_back(text.substr(start));
    return lines;
}

TEST(HelpAndAbout, BoxesWithoutOwnerShowTheTextsLineByLine) {
    RecordingBoxes boxes;
    ShowHelp(boxes);
    ShowAbout(boxes);
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& b : boxes.shown) {
        EXPECT_EQ(b.owner, IMessageBoxes::Owner::None);
        EXPECT_EQ(b.flags, 0u) << "one OK button, no icon";
        EXPECT_EQ(b.text.find(u'\n'), b.text.find(u"\r\n") + 1) << "lines joined by CR LF";
        EXPECT_NE(b.text.substr(b.text.size() - 1), u"\n") << "no break after the last line";
    }
    EXPECT_EQ(boxes.shown[0].caption, u"帮助");
    const std::vector<std::u16string> help = {
        u"如何使用本软件?", u"", u"1. 打开并登陆 QQ 或 TM 软件。 ", u"", u"2. 开始与QQ或TM上的好朋友进行文字聊天。", u"",
        u"3. 即可立即发送和接收到的消息被朗读出来。", u"",
        u"----------------------------------------------", u"", u"在朗读时如何使QQ静音?", u"", u"1.点击QQ主菜单,", u"",
        u"2.点击 静音 菜单项,", u"", u"3.这样即可在朗读消息时听着更加清楚和舒适。"};
    EXPECT_EQ(Lines(boxes.shown[0].text), help);
    EXPECT_EQ(help[8].size(), 46u);

    EXPECT_EQ(boxes.shown[1].caption, u"关于");
    const std::u16string rule = u"-------------------------------------";
    ASSERT_EQ(rule.size(), 37u);
    std::vector<std::u16string> about = Lines(boxes.shown[1].text);
    ASSERT_EQ(about.size(), 8u);
    EXPECT_EQ(about[0], u"Sonvira");
    EXPECT_EQ(about[1], rule);
    EXPECT_EQ(about[2], maker::kNotice);
    EXPECT_EQ(about[3], u"");
    EXPECT_EQ(about[5], u"");
    EXPECT_EQ(about[7], rule);
    // The addresses shown are the ones the help menu opens.
    RecordingShell shell;
    WriteMailToMaker(shell);
    OpenHomePage(shell);
    ASSERT_EQ(shell.requests.size(), 2u);
    EXPECT_EQ(u"mailto:" + about[4], std::u16string(shell.requests[0].file.begin(), shell.requests[0].file.end()));
    EXPECT_EQ(about[6], std::u16string(shell.requests[1].file.begin(), shell.requests[1].file.end()));
}

TEST(ShellCommands, OpenTheirAddressesWithTheirShowModes) {
    RecordingShell shell;
    OpenVoiceDownloadPage(shell);
    OpenHomePage(shell);
    WriteMailToMaker(shell);
    struct Want {
        std::string file;
        int show;
    } want[] = {
        {maker::kVoiceDownloadPage, 3 /* SW_SHOWMAXIMIZED */},
        {maker::kHomePage, 3},
        {"mailto:" + maker::kMailAddress, 5 /* SW_SHOW */},
    };
    ASSERT_EQ(shell.requests.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(shell.requests[i].operation, "open");
        EXPECT_EQ(shell.requests[i].file, want[i].file);
        EXPECT_EQ(shell.requests[i].parameters, "");
        EXPECT_EQ(shell.requests[i].directory, "");
        EXPECT_EQ(shell.requests[i].show, want[i].show);
    }
    EXPECT_EQ(maker::kVoiceDownloadPage.rfind("https://", 0), 0u);
    EXPECT_EQ(maker::kHomePage.rfind("https://", 0), 0u);
    EXPECT_NE(maker::kMailAddress.find('@'), std::string::npos);
}

TEST(WavExportStart, AnEmptyLogGetsTheMessageAndNoDialog) {
    MemoryDocument log;
    RecordingBoxes boxes;
    TFileDialog dialog{TFileDialog::Kind::Save, kWavFilter, kWavDefaultExt, false};
    ScriptedDialog peer{dialog};
    peer.answers = {"out.wav"};
    std::string text = "untouched";
    EXPECT_FALSE(PrepareWavExport(log, boxes, u"Sonvira", dialog, text));
    EXPECT_EQ(peer.runs, 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, u"当前不能导出消息，消息内容为空!");
    EXPECT_EQ(boxes.shown[0].caption, u"Sonvira");
    EXPECT_EQ(boxes.shown[0].flags, 0u);
    EXPECT_EQ(boxes.shown[0].owner, IMessageBoxes::Owner::Application);
}

TEST(WavExportStart, TheSelectionOrElseTheWholeLogOnceANameIsChosen) {
    struct Case {
        std::string selection;
        std::vector<std::string> answers;
        bool go;
        std::string text;
    } cases[] = {
        {"hello", {"out.wav"}, true, "hello"},
        {"", {"out.wav"}, true, kLog},
        {"hello", {}, false, ""},
        {"hello", {""}, false, ""},
    };
    for (const auto& c : cases) {
        MemoryDocument log;
        log.text = kLog;
        log.selection = c.selection;
        RecordingBoxes boxes;
        TFileDialog dialog{TFileDialog::Kind::Save, kWavFilter, kWavDefaultExt, false};
        dialog.FileName = "last.wav";
        ScriptedDialog peer{dialog};
        peer.answers = c.answers;
        std::string text;
        EXPECT_EQ(PrepareWavExport(log, boxes, u"Sonvira", dialog, text), c.go);
        EXPECT_EQ(peer.startedWith, std::vector<std::string>{""});
        EXPECT_TRUE(boxes.shown.empty());
        if (c.go) {
            EXPECT_EQ(text, c.text);
        }
    }
}

}  // namespace

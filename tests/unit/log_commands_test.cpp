// The message log's commands against an in-memory document and files, scripted dialogs and
// recording boxes and shell: which mode a name sets, what is written and read, what a
// failure leaves behind, and exactly what the boxes and the shell are given.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/log_commands.h"
#include "app/maker.h"
#include "common/desk_doubles.h"

namespace {

using Names = std::vector<std::string>;
const std::string kLog = "Alice 12:00:00 said\r\nhello\r\n";
const std::string kRtf = MemoryDocument::AsRtf(kLog);

struct Commands {
    MemoryDocument log;
    MemoryFiles files;
    TFileDialog open{TFileDialog::Kind::Open, kOpenLogFilter, u"", false};
    TFileDialog save{TFileDialog::Kind::Save, kSaveLogFilter, kSaveLogDefaultExt, false};
    ScriptedDialog openPeer{open}, savePeer{save};
    bool plainText = false;
    Commands() {
        log.text = kLog;
        open.FileName = save.FileName = "last one";
    }
    // The command's error, or "" when there was none.
    template <typename F>
    std::string Run(F command) {
        try {
            command();
        } catch (const FileError& e) {
            return e.what();
        }
        return "";
    }
    std::string Save(const Names& answers) {
        savePeer.answers = answers;
        return Run([&] { SaveLogFile(save, files, log, plainText); });
    }
    std::string Open(const Names& answers) {
        openPeer.answers = answers;
        return Run([&] { OpenLogFile(open, files, log, plainText); });
    }
};

TEST(LogSave, TheExtensionInAnyCaseDecidesTheModeAndWhatReplacesTheFile) {
    struct Case {
        std::string name;
        bool plain;
    } cases[] = {
        {"C:\\logs\\a.rtf", false}, {"a.RTF", false}, {"a.txt.rtf", false}, {"a.TXT", true},       {"a", true},
        {"a.doc", true},            {"a.", true},     {"a.rtf.txt", true},  {"C:\\x.rtf\\log", true},
    };
    for (const auto& c : cases) {
        for (bool before : {false, true}) {
            Commands t;
            t.plainText = before;
            t.files.files[c.name] = "an older and longer file";
            EXPECT_EQ(t.Save({c.name}), "");
            EXPECT_EQ(t.savePeer.startedWith, Names{""}) << "the dialog starts without a name";
            EXPECT_EQ(t.plainText, c.plain) << c.name;
            EXPECT_EQ(t.files.files[c.name], c.plain ? kLog : kRtf) << c.name;
        }
    }
}

TEST(LogSave, WithoutANameNothingIsWrittenAndAFailureKeepsTheOldFile) {
    Commands t;
    t.plainText = true;
    EXPECT_EQ(t.Save({}), "");    // cancelled
    EXPECT_EQ(t.Save({""}), "");  // no name
    EXPECT_TRUE(t.files.files.empty());
    EXPECT_TRUE(t.plainText);

    t.files.files["ro.rtf"] = t.files.files["old.txt"] = "keep me";
    t.files.locked = {"ro.rtf"};
    EXPECT_EQ(t.Save({"ro.rtf"}), "Cannot create file \"ro.rtf\". locked");
    t.log.failSave = true;
    EXPECT_EQ(t.Save({"old.txt"}), kSaveStreamError);
    EXPECT_EQ(t.files.files["ro.rtf"], "keep me");
    EXPECT_EQ(t.files.files["old.txt"], "keep me") << "nothing replaced by a log that could not be streamed";
    EXPECT_EQ(t.log.text, kLog);
}

TEST(LogOpen, RtfModeFallsBackToTextAndTextModeShowsMarkup) {
    struct Case {
        bool plainText;
        std::string file;
        Names loads;
        std::string shown, error;
    } cases[] = {
        {false, kRtf, {"rtf"}, kLog, ""},
        {false, "plain\r\n", {"rtf", "text"}, "plain\r\n", ""},
        {true, kRtf, {"text"}, kRtf, ""},
        {false, "no rtf, no text", {"rtf", "text"}, kLog, kLoadStreamError},
        {true, "no text", {"text"}, kLog, kLoadStreamError},
    };
    for (const auto& c : cases) {
        Commands t;
        t.plainText = c.plainText;
        t.files.files["f"] = c.file;
        t.log.failTextLoad = !c.error.empty();
        EXPECT_EQ(t.Open({"f"}), c.error) << c.file;
        EXPECT_EQ(t.openPeer.startedWith, Names{""});
        EXPECT_EQ(t.log.loads, c.loads) << c.file;
        EXPECT_EQ(t.log.text, c.shown) << "a failed read leaves what the control kept";
        EXPECT_EQ(t.plainText, c.plainText) << "opening never changes the mode";
    }
}

TEST(LogOpen, RtfGroupDepthCountsGroupsNotEscapedBraces) {
    const std::pair<std::string, int> cases[] = {{"plain", 0}, {"{\\rtf1 {a}{b{c}}}", 3}, {"}}}{", 1},
        {"{\\rtf1 \\{\\{ \\}\\\\{x}\\'7b}", 2}, {"{\\rtf1 \\bin3 {{{}", 4}, {std::string(10000, '{'), 10000}};
    for (const auto& [rtf, depth] : cases) EXPECT_EQ(RtfGroupDepth(rtf), depth) << rtf.substr(0, 40);
}

TEST(LogOpen, AFileThatCannotBeOpenedOrReadLeavesTheLogAsItWas) {
    struct Case {
        Names answers;
        std::string error;
    } cases[] = {
        {{}, ""},
        {{""}, ""},
        {{"gone.rtf"}, "Cannot open file \"gone.rtf\". not found"},
        {{"locked.rtf"}, "Cannot open file \"locked.rtf\". locked"},
        {{"bad.rtf"}, kLoadStreamError},
    };
    for (const auto& c : cases) {
        Commands t;
        t.files.files["locked.rtf"] = t.files.files["bad.rtf"] = MemoryDocument::AsRtf("other");
        t.files.locked = {"locked.rtf"};
        t.files.unreadable = {"bad.rtf"};
        EXPECT_EQ(t.Open(c.answers), c.error);
        EXPECT_EQ(t.log.text, kLog) << c.error;
        EXPECT_TRUE(t.log.loads.empty()) << "the log was not touched: " << c.error;
    }
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
        EXPECT_EQ(boxes.shown[0].flags, 0x24u) << "Yes and No with the question icon";
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

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TEST(HelpAndAbout, BoxesWithoutOwnerShowTheirTextsLineByLine) {
    RecordingBoxes boxes;
    ShowHelp(boxes);
    ShowAbout(boxes);
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& b : boxes.shown) {
        EXPECT_EQ(b.owner, IMessageBoxes::Owner::None);
        EXPECT_EQ(b.flags, 0u) << "one OK button, no icon";
        EXPECT_EQ(std::count(b.text.begin(), b.text.end(), u'\n'), std::count(b.text.begin(), b.text.end(), u'\r'));
    }
    const std::u16string rule46(46, u'-'), rule37(37, u'-');
    EXPECT_EQ(boxes.shown[0].caption, u"帮助");
    EXPECT_EQ(Lines(boxes.shown[0].text),
              (std::vector<std::u16string>{u"如何使用本软件?", u"", u"1. 打开并登陆 QQ 或 TM 软件。 ", u"",
                                           u"2. 开始与QQ或TM上的好朋友进行文字聊天。", u"",
                                           u"3. 即可立即发送和接收到的消息被朗读出来。", u"", rule46, u"",
                                           u"在朗读时如何使QQ静音?", u"", u"1.点击QQ主菜单,", u"", u"2.点击 静音 菜单项,",
                                           u"", u"3.这样即可在朗读消息时听着更加清楚和舒适。"}));
    EXPECT_EQ(boxes.shown[1].caption, u"关于");
    EXPECT_EQ(Lines(boxes.shown[1].text),
              (std::vector<std::u16string>{u"Sonvira", rule37, maker::kNotice, u"", Widen(maker::kMailAddress), u"",
                                           Widen(maker::kHomePage), rule37}));
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
        EXPECT_EQ(shell.requests[i].parameters + shell.requests[i].directory, "");
        EXPECT_EQ(shell.requests[i].show, want[i].show);
    }
}

TEST(WavExportStart, AnEmptyLogGetsTheMessageElseANamedFileGetsTheSelectionOrAll) {
    struct Case {
        std::string log, selection;
        Names answers;
        bool go;
        std::string text;
        int runs;
    } cases[] = {
        {"", "", {"out.wav"}, false, "", 0},
        {kLog, "hello", {"out.wav"}, true, "hello", 1},
        {kLog, "", {"out.wav"}, true, kLog, 1},
        {kLog, "hello", {}, false, "", 1},
        {kLog, "hello", {""}, false, "", 1},
    };
    for (const auto& c : cases) {
        MemoryDocument log;
        log.text = c.log;
        log.selection = c.selection;
        RecordingBoxes boxes;
        TFileDialog dialog{TFileDialog::Kind::Save, kWavFilter, kWavDefaultExt, false};
        dialog.FileName = "last.wav";
        ScriptedDialog peer{dialog};
        peer.answers = c.answers;
        std::string text;
        EXPECT_EQ(PrepareWavExport(log, boxes, u"Sonvira", dialog, text), c.go);
        EXPECT_EQ(peer.runs, c.runs);
        EXPECT_EQ(text, c.text);
        if (c.log.empty()) {
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].text, u"当前不能导出消息，消息内容为空!");
            EXPECT_EQ(boxes.shown[0].caption, u"Sonvira");
            EXPECT_EQ(boxes.shown[0].flags, 0u);
        } else {
            EXPECT_TRUE(boxes.shown.empty());
            EXPECT_EQ(peer.startedWith, Names{""});
        }
    }
}

}  // namespace

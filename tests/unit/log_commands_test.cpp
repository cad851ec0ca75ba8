// The message log's commands against an in-memory document and files, scripted dialogs and
// recording boxes: which mode a name sets, what is written and read, what a
// failure leaves behind, and exactly what the boxes are given.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/log_commands.h"
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
        return Run([&] { if (AskFileName(save)) WriteLogFile(save.FileName, files, log, plainText); });
    }
    std::string Open(const Names& answers) {
        openPeer.answers = answers;
        return Run([&] { if (AskFileName(open)) ReadLogFile(open.FileName, files, log, plainText); });
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

// RTF mode offers the RTF reader only bytes that begin as RTF; the rest is read as text at once.
TEST(LogOpen, RtfModeFallsBackToTextAndTextModeShowsMarkup) {
    struct Case {
        bool plainText;
        std::string file;
        Names loads;
        std::string shown, error;
    } cases[] = {
        {false, kRtf, {"rtf"}, kLog, ""},
        {false, "plain\r\n", {"text"}, "plain\r\n", ""},
        {true, kRtf, {"text"}, kRtf, ""},
        {false, "no rtf, no text", {"text"}, kLog, kLoadStreamError},
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

// The depth as the rich edit's reader reaches it: a group that ends the text skipped after
// "\u" is read once more per character still to skip (16 pairs of "\u65{" killed the reader).
TEST(LogOpen, RtfGroupDepthCountsGroupsAsTheReaderReadsThem) {
    auto pairs = [](int n, const std::string& u) {
        std::string r = "{\\rtf1\\ansi X";
        for (int i = 0; i < n; ++i) r += u + "{";
        return r + "x" + std::string(n, '}') + "\\par}";
    };
    const std::pair<std::string, int> cases[] = {{"plain", 0}, {"{\\rtf1 {a}{b{c}}}", 3}, {"}}}{", 0},
        {"{\\rtf1 \\{\\{ \\}\\\\{x}\\'7b}", 2}, {"{\\rtf1 \\bin3 {{{}", 4}, {std::string(10000, '{'), 10000},
        {pairs(15, "\\u65"), 31}, {pairs(16, "\\u65"), 33}, {pairs(16, "\\u65 x"), 17}, {pairs(2, "\\uc3\\u65"), 9},
        {pairs(2, "\\u-3 \\par"), 3}, {"{\\rtf1 \\'{{{}", 2}, {std::string("{{\0{{{", 6), 2}, {"{}{{", 1}};
    for (const auto& [rtf, depth] : cases) EXPECT_EQ(RtfGroupDepth(rtf), depth) << rtf.substr(0, 40);
    EXPECT_LE(RtfGroupDepth(pairs(7, "\\u65")), kMaxRtfGroupDepth);
    EXPECT_GT(RtfGroupDepth(pairs(8, "\\u65")), kMaxRtfGroupDepth);
    for (auto [word, readable] : {std::pair{"\\" + std::string(248, 'x') + "123456 ", true},
                                  {"\\" + std::string(249, 'x') + "123456 ", false}, {"\\fs-" + std::string(300, '7'), false},
                                  {std::string(15, '{') + std::string(15, '}'), true},  // 16 deep with \rtf1's
                                  {std::string(16, '{') + std::string(16, '}'), false}})
        EXPECT_EQ(RtfReadable("{\\rtf1 a" + word + "b}"), readable) << word.size();
}

// A log bigger than one piece of the control's reads: every later piece carries the tables,
// and every paragraph mark, the one at each cut too, is in exactly one piece.
TEST(LogOpen, SplitRtfCutsAtParagraphMarksIntoDocumentsOfTheirOwn) {
    const std::string tables = "{\\fonttbl{\\f0 SimSun;}}{\\colortbl ;\\red255\\green0\\blue0;}";
    std::string rtf = "{\\rtf1\\ansi\\ansicpg936" + tables + "\\f0\\fs20 ";
    for (int n = 100000; rtf.size() < (300u << 10); ++n) rtf += "\\cf1 line " + std::to_string(n) + "\\par\r\n";
    rtf += "}";
    const std::vector<std::string> pieces = SplitRtf(rtf, 128u << 10);
    ASSERT_EQ(pieces.size(), 3u);
    auto body = [](std::string doc) {  // the text without its end; a cut may take a line break
        doc.erase(std::remove_if(doc.begin(), doc.end(), [](char c) { return c == '\r' || c == '\n'; }), doc.end());
        return doc.substr(doc.find("\\cf1 line "), doc.size() - 1 - doc.find("\\cf1 line "));
    };
    std::string read;
    for (const std::string& p : pieces) {
        EXPECT_EQ(p.compare(0, 6, "{\\rtf1"), 0);
        EXPECT_LT(p.find(tables), p.find(" line ")) << "the tables come before the text";
        read += body(p);
    }
    const std::string whole = body(rtf);
    EXPECT_TRUE(read == whole) << "every line and every paragraph mark once, in order";
}

// What the log cannot take is refused with the file's name before the log is touched; a long
// line is no reason to refuse, the control is given it cut.
TEST(LogOpen, AFileTooBigOrTooCostlyIsRefusedAndLeavesTheLog) {
    const std::string line(65536, 'a');
    const std::string tooBig = FileOpenErrorMessage("f", texts::LogFileTooBig(kMaxLogFileBytes >> 20));
    const struct {
        std::string bytes;
        bool plain;
        std::string error;
    } cases[] = {
        {std::string(kMaxLogFileBytes + 1, '\n'), false, tooBig},
        {"b\r" + line + "a\nc", true, ""},
        {"{\\rtf1 " + line + "\\'a1\\par}", false, ""},
    };
    for (const auto& c : cases) {
        Commands t;
        t.files.files["f"] = c.bytes;
        t.plainText = c.plain;
        EXPECT_EQ(t.Open({"f"}), c.error) << c.bytes.substr(0, 20);
        EXPECT_EQ(t.log.loads.empty(), !c.error.empty()) << c.bytes.substr(0, 20);
    }
    Commands t;
    t.files.files["f"] = kRtf;
    t.log.outOfRoom = true;
    EXPECT_EQ(t.Open({"f"}), FileOpenErrorMessage("f", texts::kLogOutOfRoom));
    EXPECT_EQ(t.log.text, kLog);
}

// The estimate that refuses a file before the control runs out: a line costs as the lines it
// is cut into, and the files that ran the program out of its 2 GB are over 2 GB whatever the
// machine, while those it took stay well under.
TEST(LogOpen, TheLayoutCostCountsLinesAsTheControlIsGivenThem) {
    const std::string cut = [] {
        std::string s;
        for (int i = 0; i < 64; ++i) s += std::string(kMaxLogLine, 'x') + "\r\n";
        return s;
    }();
    const LayoutCost whole = LogLayoutCost(std::string(64 * kMaxLogLine, 'x') + "\r\n", LogFormat::Text);
    EXPECT_DOUBLE_EQ(whole.bytes, LogLayoutCost(cut, LogFormat::Text).bytes);
    EXPECT_DOUBLE_EQ(whole.ms, LogLayoutCost("{\\rtf1 " + std::string(64 * kMaxLogLine, 'x') + "\\par}", LogFormat::Rtf).ms);
    EXPECT_GT(LogLayoutCost(std::string(100, '\t'), LogFormat::Text).bytes, LogLayoutCost(std::string(100, 'x'), LogFormat::Text).bytes);
    auto chat = [](std::size_t size) {
        std::string s;
        while (s.size() < size) s += "Alice  12:00:00 \xcb\xb5\xa3\xba\r\n\xc4\xe3\xba\xc3 line 12345 of a long chat\r\n";
        return s;
    };
    const double twoGb = 2048.0 * 1024 * 1024;
    EXPECT_GT(LogLayoutCost(chat(10u << 20), LogFormat::Text).bytes, twoGb);
    EXPECT_LT(LogLayoutCost(chat(2u << 20), LogFormat::Text).bytes, twoGb / 2);
    EXPECT_LT(LogLayoutCost(std::string(4 * 65536, 'x'), LogFormat::Text).bytes, twoGb / 4);
}

// Paragraph marks go in between characters of the document's text only.
TEST(LogOpen, WrapRtfCutsLongParagraphsBetweenCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"{\\rtf1 abcdefghi\\par abcd\\par}", "{\\rtf1 abcd\\par efgh\\par i\\par abcd\\par}"},
        {"{\\rtf1\\ansicpg936 abc\\'c4\\'e3d}", "{\\rtf1\\ansicpg936 abc\\par \\'c4\\'e3d}"},
        {"{\\rtf1\\ansicpg1252 abc\\'e9\\'e9d}", "{\\rtf1\\ansicpg1252 abc\\'e9\\par \\'e9d}"},
        {"{\\rtf1 ab\\u20320?c\\u20320?}", "{\\rtf1 ab\\u20320?\\par c\\u20320?}"},
        {"{\\rtf1{\\fonttbl{\\f0 Tahoma;}}{\\*\\x longtext}ab\\par cd}", ""},
        {"{\\rtf1 abc{\\b de}f}", "{\\rtf1 abc{\\b d\\par e}f}"},
    };
    for (const auto& [rtf, wrapped] : cases) EXPECT_EQ(WrapRtf(rtf, 4), wrapped.empty() ? rtf : wrapped) << rtf;
}

// A file is read in pieces whose layout costs at most about a piece's share, however few bytes.
TEST(LogOpen, SplitRtfCutsSoonerWhereParagraphsCostMore) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\f0 ";
    for (int i = 0; i < 10; ++i) rtf += std::string(kMaxLogLine - 1, 'x') + "\\par ";
    rtf += "}";
    const double two = 2 * LineCost(kMaxLogLine - 1, 0).ms;
    EXPECT_EQ(SplitRtf(rtf, 1u << 20).size(), 1u);
    const std::vector<std::string> pieces = SplitRtf(rtf, 1u << 20, two);
    ASSERT_EQ(pieces.size(), 6u) << "two paragraphs a piece, and the closing brace";
    for (const std::string& p : pieces) {
        EXPECT_EQ(p.compare(0, 6, "{\\rtf1"), 0);
        EXPECT_NE(p.find("{\\fonttbl{\\f0 Tahoma;}}"), std::string::npos) << "each piece keeps the tables";
    }
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

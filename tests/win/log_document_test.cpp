// The log's file commands on a real rich-edit log, created as the main window creates it,
// with real files: what bad input does to the log (nothing, when it cannot be read), and
// long and double-byte text read whole. The everyday round trips are end to end, in
// e2e/log_menu_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <richedit.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/log_commands.h"
#include "app/log_commands_win.h"
#include "app/log_control_win.h"
#include "app/message_log.h"
#include "base/text.h"
#include "support/rtf_runs.h"
#include "win/codepage_win.h"
#include "win/files_win.h"

namespace {

const std::string kSpaceSaid = gbk::kSpaceSaidColon;
const std::string kHello = "\xc4\xe3\xba\xc3";  // 你好
constexpr COLORREF kGreen = 0x008000, kBlue = 0xFF0000, kBlack = 0x000000;

// The user's choice in the dialog, without the dialog.
struct Answer : TFileDialog::Peer {
    std::string name;
    bool Execute(TFileDialog& dialog) override {
        dialog.FileName = name;
        return true;
    }
};

std::string ReadBytes(const std::string& path) { return Win32Files().ReadAll(path); }

class LogDocument : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(h_, nullptr);
        log_.Attach(h_);
        doc_.Attach(h_);
        open_.AttachPeer(&answer_);
        save_.AttachPeer(&answer_);
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir_ = WideToUtf8(tmp) + "sonvira-logcmd-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(Utf8ToWide(dir_).c_str(), nullptr);
    }

    // Two logged messages: a friend's (blue header) and the user's (green), black bodies.
    void LogTwoMessages() {
        AppendColouredLine(log_, "\xd0\xa1\xd3\xe3  12:00:00" + kSpaceSaid, kBlue, false);  // 小鱼
        AppendColouredLine(log_, kHello + ", are you there?", kBlack, true);
        AppendColouredLine(log_, "Bob  12:00:05" + kSpaceSaid, kGreen, false);
        AppendColouredLine(log_, "two\r\nlines", kBlack, true);
    }
    std::string Text() { return doc_.Text(); }
    std::string Path(const std::string& name) { return dir_ + name; }
    void Save(const std::string& name) {
        answer_.name = Path(name);
        if (AskFileName(save_)) WriteLogFile(save_.FileName, files_, doc_, plainText_);
    }
    void Open(const std::string& name) {
        answer_.name = Path(name);
        if (AskFileName(open_)) ReadLogFile(open_.FileName, files_, doc_, plainText_);
    }
    // The error an open or save reports, or "" when there was none.
    template <typename F>
    std::string ErrorOf(F command) {
        try {
            command();
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }
    void Write(const std::string& name, const std::string& bytes) { files_.WriteAll(Path(name), bytes); }

    LogHost host_{false};
    HWND h_ = host_.Control();
    RichEditLog log_;
    RichEditDocument doc_;
    Win32Files files_;
    Answer answer_;
    TFileDialog open_{TFileDialog::Kind::Open, kOpenLogFilter, u"", false};
    TFileDialog save_{TFileDialog::Kind::Save, kSaveLogFilter, kSaveLogDefaultExt, false};
    bool plainText_ = false;
    std::string dir_;
};

// Line breaks as the control gives them back: every break of a file read as text is CR LF.
std::string CrLf(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        out += (s[i] == '\r' || s[i] == '\n') ? std::string("\r\n") : std::string(1, s[i]);
    }
    return out;
}

TEST_F(LogDocument, CorruptRtfFallsBackToText) {
    LogTwoMessages();
    for (const std::string bytes : {"{\\rtf1 {unfinished group", "{\\rtf1 \\'zz}}}}", "plain\r\ntext\n",
                                    "\\rtf1 no brace", "{\\rtf"}) {
        Write("bad.rtf", bytes);
        Open("bad.rtf");
        EXPECT_EQ(Text(), CrLf(bytes));
    }
    // Deeper than the control's reader survives: text, and the program lives on.
    const std::string deep = "{\\rtf1 " + std::string(39, '{') + "x" + std::string(40, '}');
    Write("deep.rtf", deep);
    Open("deep.rtf");
    EXPECT_EQ(Text(), deep);
}

TEST_F(LogDocument, AFileThatCannotBeOpenedLeavesTheLogAsItWas) {
    LogTwoMessages();
    const std::string text = Text();
    const std::vector<ColourRun> runs = TextRuns(ReadRtf(h_), text);
    Write("locked.rtf", "{\\rtf1 other}");
    HANDLE held = CreateFileW(AnsiToWide(Path("locked.rtf")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CreateDirectoryW(AnsiToWide(Path("folder.rtf")).c_str(), nullptr);
    for (const char* name : {"missing.rtf", "locked.rtf", "folder.rtf"}) {
        for (bool plain : {false, true}) {
            plainText_ = plain;
            std::string error = ErrorOf([&] { Open(name); });
            const std::string head = "Cannot open file \"" + Path(name) + "\". ";
            EXPECT_EQ(error.substr(0, head.size()), head) << error;
            EXPECT_GT(error.size(), head.size()) << "with the system's reason: " << error;
            EXPECT_EQ(Text(), text) << name;
            EXPECT_EQ(TextRuns(ReadRtf(h_), Text()), runs) << name;
        }
    }
    CloseHandle(held);
}

// Text mode reads no RTF, whatever the file starts with, and a NUL does not end the text.
TEST_F(LogDocument, TextModeShowsRtfMarkupAndWhatFollowsANul) {
    plainText_ = true;
    Write("x.rtf", std::string("{\\rtf1 {\\b bold}}\0tail\r\n", 24));
    Open("x.rtf");
    EXPECT_EQ(Text(), "{\\rtf1 {\\b bold}} tail\r\n");
}

// A file the system will not let the program replace. Under Wine run as root the read-only
// attribute does not stop a writer, so the targets here are refused for other reasons: a
// file another handle holds without sharing, a folder, a folder that does not exist.
TEST_F(LogDocument, ATargetThatCannotBeCreatedGivesTheFileErrorAndNothingChanges) {
    // An earlier run's leftovers in this folder (process ids repeat) would look like this one's.
    WIN32_FIND_DATAW found;
    for (HANDLE h; (h = FindFirstFileW(Utf8ToWide(Path("*.tmp")).c_str(), &found)) != INVALID_HANDLE_VALUE && FindClose(h) &&
                   DeleteFileW(Utf8ToWide(Path(WideToUtf8(found.cFileName))).c_str());) {
    }
    LogTwoMessages();
    const std::string text = Text();
    const std::vector<ColourRun> runs = TextRuns(ReadRtf(h_), text);
    Write("held.rtf", "old");
    HANDLE held = CreateFileW(AnsiToWide(Path("held.rtf")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CreateDirectoryW(AnsiToWide(Path("folder.txt")).c_str(), nullptr);
    for (const char* name : {"held.rtf", "folder.txt", "missing\\log.rtf"}) {
        const std::string error = ErrorOf([&] { Save(name); });
        const std::string head = "Cannot create file \"" + Path(name) + "\". ";
        EXPECT_EQ(error.substr(0, head.size()), head) << error;
        EXPECT_GT(error.size(), head.size()) << "with the system's reason: " << error;
        EXPECT_EQ(Text(), text) << name;
        EXPECT_EQ(TextRuns(ReadRtf(h_), Text()), runs) << name;
    }
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(Path("held.rtf")), "old");
    EXPECT_EQ(FindFirstFileW(Utf8ToWide(Path("*.tmp")).c_str(), &found), INVALID_HANDLE_VALUE) << "a temporary is left";
}

// A target that another program lets go of after a moment is replaced; a failure of another
// kind is final at once.
TEST(ReplacingFile, TheRenameIsTriedAgainWhileTheTargetIsHeld) {
    for (DWORD failure : {DWORD{ERROR_SHARING_VIOLATION}, DWORD{ERROR_PATH_NOT_FOUND}}) {
        int tries = 0;
        const DWORD error = RetryWhileHeld([&] { return ++tries < 3 ? failure : DWORD{0}; });
        EXPECT_EQ(error, failure == ERROR_SHARING_VIOLATION ? 0 : failure);
        EXPECT_EQ(tries, failure == ERROR_SHARING_VIOLATION ? 3 : 1);
    }
}

// Wine 10's own rich edit needs about 1.2 s and 240 MB of address space per MB of a chat log
// as text (tools/log_open_bench measures it), and the log takes a file only while its
// estimate of that stays well within the address space left: 3 MB is a big log it takes.
TEST_F(LogDocument, ABigTextFileOpensWhole) {
    std::string big;
    for (int i = 0; big.size() < 3u * 1024 * 1024; ++i)
        big += "Alice  12:00:00\r\n" + kHello + " line " + std::to_string(i) + " of a long chat history\r\n";
    Write("big.txt", big);
    LogTwoMessages();
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    Open("big.txt");
    QueryPerformanceCounter(&b);
    std::printf("a %u MB text file opened (RTF tried first) in %.0f ms\n", static_cast<unsigned>(big.size() >> 20),
                static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart));
    EXPECT_TRUE(Text() == big) << "the whole file, every double-byte character intact";
}

// Lines the control would take seconds and hundreds of megabytes each to lay out (four of
// 65,536 bytes ran the program out of memory) reach it cut, characters whole; a file that
// would not fit into the address space left is refused before the log is touched.
TEST_F(LogDocument, LongLinesAreCutAndAFileTooBigForTheMemoryIsRefused) {
    std::string chat;
    while (chat.size() < 10u << 20) chat += "Alice  12:00:00\r\n" + kHello + " a line of a long chat history\r\n";
    Write("10mb.txt", chat);
    LogTwoMessages();
    const std::string text = Text();
    EXPECT_EQ(ErrorOf([&] { Open("10mb.txt"); }), FileOpenErrorMessage(Path("10mb.txt"), texts::kLogOutOfRoom));
    EXPECT_EQ(Text(), text);
    std::string gbkRtf = "{\\rtf1\\ansi\\ansicpg936 x", gbk = "x";
    for (int i = 0; i < 32768; ++i) gbkRtf += "\\'c4\\'e3", gbk += kHello.substr(0, 2);
    const struct {
        const char* name;
        std::string bytes, text;
    } cases[] = {
        {"wide.txt", std::string(4 * 65536, 'x'), std::string(4 * 65536, 'x')},
        {"lines.txt", [] { std::string s; for (int i = 0; i < 4; ++i) s += std::string(65536, 'x') + "\r\n"; return s; }(),
         std::string(4 * 65536, 'x')},
        {"wide.rtf", gbkRtf + "\\par}", gbk},
    };
    for (const auto& c : cases) {
        Write(c.name, c.bytes);
        Open(c.name);
        const std::string shown = Text();
        std::string joined;
        std::size_t longest = 0;
        for (std::size_t at = 0, next; at < shown.size(); at = next + 2) {
            next = std::min(shown.find("\r\n", at), shown.size());
            longest = std::max(longest, next - at);
            joined += shown.substr(at, next - at);
        }
        EXPECT_LE(longest, kMaxLogLine) << c.name;
        EXPECT_TRUE(joined == c.text) << c.name << ": every character, and only line breaks added";
    }
}

TEST_F(LogDocument, DoubleByteCharactersSurviveAnyFileLength) {
    // Lines of 1,003 bytes, one ASCII byte first, so that every 4 KB boundary falls inside a
    // two-byte character.
    std::string text;
    while (text.size() < 3 * 4096) text += "x" + [] { std::string s; while (s.size() < 1000) s += kHello; return s; }() + "\r\n";
    Write("gbk.txt", text);
    for (bool plain : {false, true}) {
        plainText_ = plain;
        Open("gbk.txt");
        EXPECT_TRUE(Text() == text) << (plain ? "text mode" : "RTF mode");
    }
}

}  // namespace

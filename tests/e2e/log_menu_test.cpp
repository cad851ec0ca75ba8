// The log's commands as a user meets them in the running sonvira.exe: menu commands, the
// file dialogs answered by typing a name and confirming it, the confirmation and error boxes,
// the help and about boxes, the WAV export with the test voice, and the run-at-logon items
// with a restart. Leaves pictures of the help and about boxes in <build>/screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "app/fmain_win.h"
#include "res/resource.h"
#include "speech/wav_header.h"
#include "support/process.h"
#include "support/rtf_runs.h"
#include "support/screenshot.h"
#include "support/sonvira.h"
#include "support/standin.h"
#include "support/test_paths.h"
#include "support/voice_record.h"
#include "tools/test_voice/record_format.h"
#include "tools/test_voice/tone.h"
#include "win/codepage_win.h"
#include "win/com.h"

namespace {

constexpr COLORREF kBlue = 0xFF0000, kGreen = 0x008000, kBlack = 0;

// A folder of the build for this test's files, emptied of what an earlier run left.
std::wstring Folder(const std::wstring& folder = BuildDir() + L"\\e2e-log-menu\\") {
    CreateDirectoryW(folder.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + found.cFileName).c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    return folder;
}

// A visible dialog or message box of the process with that title, polled for up to timeoutMs.
HWND WaitForDialog(DWORD pid, const wchar_t* title, DWORD timeoutMs = kPatienceMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = VisibleTopWindow(pid, L"#32770", title)) != nullptr; }, timeoutMs);
    return found;
}

struct ClassSearch {
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<ClassSearch*>(lp);
    wchar_t name[32] = {};
    GetClassNameW(h, name, 32);
    if (wcscmp(name, s->cls) != 0) return TRUE;
    s->found = h;
    return FALSE;
}

HWND FindChildOfClass(HWND parent, const wchar_t* cls) {
    ClassSearch s = {cls, nullptr};
    if (parent) EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The entries of a file dialog's type list, and which one is chosen.
std::vector<std::wstring> FileTypes(HWND dialog, int* chosen) {
    HWND list = FindControl(dialog, 1136);  // the type list (cmb1)
    std::vector<std::wstring> types;
    LRESULT n = list ? SendMessageW(list, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t text[128] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        types.push_back(text);
    }
    if (chosen) *chosen = list ? static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) : -1;
    return types;
}

// Types the name into the dialog's file-name field and confirms it; true once the dialog is gone.
bool TypeNameAndConfirm(HWND dialog, const std::wstring& name) {
    HWND field = FindChildOfClass(FindControl(dialog, 1148), L"Edit");  // the file name (cmb13)
    HWND ok = GetDlgItem(dialog, IDOK);  // the dialog's own button: its views have ids of their own
    if (!field || !ok) return false;
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    PostMessageW(ok, BM_CLICK, 0, 0);
    return WaitUntil([dialog] { return !IsWindowVisible(dialog); }, kPatienceMs);
}

std::wstring BoxText(HWND box) { return WindowTextW(FindControl(box, 0xFFFF)); }

// Presses a button of a box and waits until the box is gone.
bool Press(HWND box, int button) {
    HWND b = FindControl(box, button);
    if (!b) return false;
    PostMessageW(b, BM_CLICK, 0, 0);
    return WaitUntil([box] { return !IsWindowVisible(box); }, kPatienceMs);
}

// A friend's and the user's message, logged by the watcher from the stand-in chat window.
void ChatTwoMessages(RunningSonvira& s, StandinChat& chat, const std::wstring& friendBody, const std::wstring& ownBody) {
    ASSERT_TRUE(ClearVoiceRecord());
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.WaitForReaders(2)) << "Sonvira never looked at the chat";
    ASSERT_TRUE(chat.AppendMessage(WideToAnsi(L"小鱼"), WideToAnsi(friendBody)));
    ASSERT_TRUE(WaitUntil([&] { return s.Log().find(friendBody) != std::wstring::npos; }, kPatienceMs));
    ASSERT_TRUE(chat.AppendMessage("Bob", WideToAnsi(ownBody)));
    ASSERT_TRUE(WaitUntil([&] { return s.Log().find(ownBody) != std::wstring::npos; }, kPatienceMs));
    // Logged before it is heard to its end: the voices are idle only once the own message,
    // the last one said, has ended, and so has everything said before it.
    bool quiet = false;
    WaitForVoiceRecord(
        [&](const VoiceRecord& v) {
            bool said = false, ended = true;
            for (const VoiceUtterance& u : v) {
                for (const VoiceFragment& f : u.fragments) said = said || f.text.find(ownBody) != std::wstring::npos;
                ended = ended && u.ended;
            }
            return said && ended;
        },
        kPatienceMs, &quiet);
    ASSERT_TRUE(quiet) << "the chat's own message was never heard to its end";
}

std::vector<ColourRun> RunsOf(const std::wstring& rtfFile, const std::wstring& text) {
    return TextRuns(ParseRtf(FileBytes(rtfFile)), WideToAnsi(text));
}

// Save, clear, open, the plain-text mode and its extensions, the file error, as in use.
TEST(LogMenu, SavedAsRtfClearedAndOpenedBackThenTextModeAsTheNameSays) {
    const std::wstring dir = Folder();
    RunningSonvira s;
    ASSERT_NE(s.Main(), nullptr);
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ChatTwoMessages(s, chat, L"你好，在吗？", L"在的。");
    const std::wstring text = s.Log();

    // 保存消息 as .rtf: the dialog offers RTF first.
    s.Choose(IDM_NSAVEMESSAGE);
    HWND dialog = WaitForDialog(s.Id(), L"另存为");
    ASSERT_NE(dialog, nullptr);
    int chosen = -1;
    EXPECT_EQ(FileTypes(dialog, &chosen),
              (std::vector<std::wstring>{L"rtf文件(*.rtf)", L"文本文件(*.txt)", L"所有文件(*.*)"}));
    EXPECT_EQ(chosen, 0);
    ASSERT_TRUE(TypeNameAndConfirm(dialog, dir + L"log"));  // ".rtf" is added
    ASSERT_TRUE(WaitUntil([&] { return FileExists(dir + L"log.rtf"); }, kPatienceMs));
    const std::vector<ColourRun> runs = RunsOf(dir + L"log.rtf", text);
    ASSERT_EQ(runs.size(), 4u) << FileBytes(dir + L"log.rtf");
    EXPECT_EQ(runs[0].colour, kBlue);
    EXPECT_EQ(runs[1].colour, kBlack);
    EXPECT_EQ(runs[2].colour, kGreen);
    EXPECT_EQ(runs[3].colour, kBlack);

    // 清空消息: No keeps the log, Yes empties it.
    for (int answer : {IDNO, IDYES}) {
        s.Choose(IDM_NCLEARMESSAGE);
        HWND box = WaitForDialog(s.Id(), L"确认");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), L"您确定要清空当前消息内容列表吗？");
        EXPECT_EQ(GetWindow(box, GW_OWNER), s.Main()) << "an application box";
        ASSERT_TRUE(Press(box, answer));
        EXPECT_TRUE(WaitUntil([&] { return s.Log() == (answer == IDYES ? L"" : text); }, kPatienceMs)) << answer;
    }

    // 打开消息: the same text and colours; saved again, the same runs.
    s.Choose(IDM_NOPENMESSAGE);
    dialog = WaitForDialog(s.Id(), L"打开");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FileTypes(dialog, &chosen), (std::vector<std::wstring>{L"rtf,文本文件(*.rtf;*.txt)", L"rtf文件(*.rtf)",
                                                                      L"文本文件(*.txt)", L"所有文件(*.*)"}));
    EXPECT_EQ(chosen, 0);
    ASSERT_TRUE(TypeNameAndConfirm(dialog, dir + L"log.rtf"));
    ASSERT_TRUE(WaitUntil([&] { return s.Log() == text; }, kPatienceMs)) << WideToUtf8(s.Log());
    s.Choose(IDM_NSAVEMESSAGE);
    ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"另存为"), dir + L"again.rtf"));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(dir + L"again.rtf"); }, kPatienceMs));
    EXPECT_EQ(RunsOf(dir + L"again.rtf", text), runs);

    // Saved as .TXT and under another extension: plain 8-bit text with CR LF.
    // A name beyond the ANSI code page is saved under exactly that name.
    for (const wchar_t* name : {L"LOG.TXT", L"log.dat", L"한국어 Ærø 😀.txt"}) {
        s.Choose(IDM_NSAVEMESSAGE);
        ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"另存为"), dir + name));
        ASSERT_TRUE(WaitUntil([&] { return FileExists(dir + name); }, kPatienceMs));
        EXPECT_EQ(FileBytes(dir + name), WideToAnsi(text)) << WideToUtf8(name);
    }
    // ... so the RTF file now opens as text, its markup showing.
    s.Choose(IDM_NOPENMESSAGE);
    ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"打开"), dir + L"log.rtf"));
    EXPECT_TRUE(WaitUntil([&] { return s.Log().rfind(L"{\\rtf1", 0) == 0; }, kPatienceMs)) << WideToUtf8(s.Log());
    const std::wstring markup = s.Log();

    // A file that is not there: the file error with the system's reason, the log as it was.
    s.Choose(IDM_NOPENMESSAGE);
    ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"打开"), dir + L"missing.rtf"));
    HWND error = WaitForDialog(s.Id(), L"Sonvira");
    ASSERT_NE(error, nullptr);
    const std::wstring head = L"Cannot open file \"" + dir + L"missing.rtf\". ";
    EXPECT_EQ(BoxText(error).substr(0, head.size()), head) << WideToUtf8(BoxText(error));
    EXPECT_GT(BoxText(error).size(), head.size()) << "the system's reason follows";
    ASSERT_TRUE(Press(error, IDOK));
    EXPECT_EQ(s.Log(), markup);
    EXPECT_TRUE(s.Running());
}

TEST(LogMenu, HelpAndAboutBoxesHaveNoOwnerAndSayWhatTheyShould) {
    RunningSonvira s;
    ASSERT_NE(s.Main(), nullptr);
    struct Box {
        int command;
        const wchar_t* caption;
        const wchar_t* firstLine;
        const wchar_t* shot;
    } boxes[] = {{IDM_HELP1, L"帮助", L"如何使用本软件?", L"help_box.bmp"},
                 {IDM_ABOUT1, L"关于", L"Sonvira", L"about_box.bmp"}};
    for (const auto& b : boxes) {
        s.Choose(b.command);
        HWND box = WaitForDialog(s.Id(), b.caption);
        ASSERT_NE(box, nullptr) << WideToUtf8(b.caption);
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        EXPECT_EQ(BoxText(box).rfind(std::wstring(b.firstLine) + L"\r\n", 0), 0u) << WideToUtf8(BoxText(box));
        EXPECT_EQ(FindControl(box, IDCANCEL), nullptr) << "one OK button";
        PumpFor(300);  // drawn before the picture is taken
        EXPECT_TRUE(SaveWindowScreenshot(box, BuildDir() + L"\\screenshots\\" + b.shot));
        ASSERT_TRUE(Press(box, IDOK));
    }
}

// The test voice at the file's own rate: Wine 10 has no resampler.
const wchar_t kExportVoice[] = L"SonviraExport16k";

// The log's position of a text (a line break counts once there), from its text with CR LF.
long LogPosition(const std::wstring& text, std::size_t index) {
    long pos = 0;
    for (std::size_t i = 0; i < index; ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n')) ++pos;
    return pos;
}

// Starts an export to the typed name; true once the voice has begun.
bool StartExport(RunningSonvira& s, const std::wstring& name) {
    EXPECT_TRUE(ClearVoiceRecord());
    s.Choose(IDM_EXPORTMESSAGETOWAV1);
    HWND dialog = WaitForDialog(s.Id(), L"另存为");
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return false;
    int chosen = -1;
    EXPECT_EQ(FileTypes(dialog, &chosen), (std::vector<std::wstring>{L"wav文件(*.wav)", L"所有文件(*.*)"}));
    EXPECT_EQ(chosen, 0);
    EXPECT_TRUE(TypeNameAndConfirm(dialog, name));
    return WaitUntil([] { return !ReadVoiceRecord().empty(); }, kPatienceMs);
}

// Exports to the typed name and returns the record of the export's one utterance.
VoiceUtterance Export(RunningSonvira& s, const std::wstring& name) {
    EXPECT_TRUE(StartExport(s, name)) << "the voice did not begin";
    bool done = false;
    VoiceRecord r = WaitForVoiceRecord([](const VoiceRecord& v) { return !v.empty() && v.back().ended; }, kPatienceMs, &done);
    EXPECT_TRUE(done);
    EXPECT_EQ(r.size(), 1u) << "only the export spoke";
    EXPECT_EQ(VisibleBox(s.Id()), nullptr) << "no question, no error";
    return r.empty() ? VoiceUtterance{} : r.back();
}

// The file holds exactly what the voice wrote for the text, as 16 kHz 16-bit mono PCM.
void ExpectWavOf(const std::wstring& path, const VoiceUtterance& u, const std::wstring& text) {
    ASSERT_EQ(u.voice, kExportVoice);
    ASSERT_EQ(u.fragments.size(), 1u);
    EXPECT_EQ(u.fragments[0].text, text);
    EXPECT_EQ(u.rate, 0) << "the engine's default rate, not the profile's";
    EXPECT_EQ(u.volume, 100u) << "the engine's default volume, not the profile's";
    EXPECT_TRUE(u.completed) << u.why;
    const std::u32string characters = test_voice::CodePoints(reinterpret_cast<const char16_t*>(text.c_str()), text.size());
    EXPECT_EQ(u.bytes, test_voice::TextSamples(characters, 0, 16000) * 2) << "every sample of the text";
    auto header = WavHeader(kPcm16kHz16BitMono, static_cast<std::uint32_t>(u.bytes));
    // The program completes the file when it next finds the voice done, a moment after it ended.
    const std::string want(header.begin(), header.end());
    std::string file;
    EXPECT_TRUE(WaitUntil([&] { return (file = FileBytes(path)).substr(0, kWavHeaderSize) == want; }, kPatienceMs))
        << "the file was never completed";
    EXPECT_EQ(file.size(), kWavHeaderSize + u.bytes + (u.bytes & 1));
    EXPECT_EQ(test_voice::Fnv1a(file.data() + kWavHeaderSize, static_cast<std::size_t>(u.bytes)), u.hash);
}

TEST(WavExport, TheSelectionOrTheWholeLogWithTheOwnVoiceAtTheEnginesDefaults) {
    ScopedVoiceToken voice(L"SonviraExport16k", kExportVoice, 523, 16000);
    ASSERT_TRUE(voice.Created());
    const std::wstring dir = Folder();
    RunningSonvira s;
    ASSERT_NE(s.Main(), nullptr);

    // An empty log: the message, and no dialog.
    s.Choose(IDM_EXPORTMESSAGETOWAV1);
    HWND box = WaitForDialog(s.Id(), L"Sonvira");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), L"当前不能导出消息，消息内容为空!");
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2) << "centred on the screen";
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 2) << "centred on the screen";
    ASSERT_TRUE(Press(box, IDOK));
    EXPECT_EQ(WaitForDialog(s.Id(), L"另存为", 1000), nullptr);

    // The own profile: the export's voice, at a rate and volume the export must not take.
    ASSERT_TRUE(PickListItem(FindControl(s.Main(), IDC_CBVOICE), kExportVoice));
    DragTrackBar(FindControl(s.Main(), IDC_TRATE), 10);
    DragTrackBar(FindControl(s.Main(), IDC_TVOLUME), 20);
    ASSERT_TRUE(WaitUntil([&] { return WindowTextW(FindControl(s.Main(), IDC_LVOLUME)) == L"20"; }, kPatienceMs));
    StandinChat chat(L"--title \"与 小鱼 交谈中\"");
    ChatTwoMessages(s, chat, L"第一条消息", L"second one");
    const std::wstring text = s.Log();

    // One line selected: only that line.
    const std::wstring line = L"第一条消息";
    const long start = LogPosition(text, text.find(line));
    SendMessageW(s.LogControl(), EM_SETSEL, start, start + static_cast<long>(line.size()));
    ExpectWavOf(dir + L"export.wav", Export(s, dir + L"export"), line);  // ".wav" is added

    // Nothing selected: the whole log, into the same file, replaced without a question; and
    // under a name beyond the ANSI code page.
    SendMessageW(s.LogControl(), EM_SETSEL, 0, 0);
    ExpectWavOf(dir + L"export.wav", Export(s, dir + L"export.wav"), text);
    ExpectWavOf(dir + L"한국어 Ærø 😀.wav", Export(s, dir + L"한국어 Ærø 😀"), text);
    const std::string file = FileBytes(dir + L"export.wav");

    // The next own message is heard from the device, with the profile's rate and volume.
    ASSERT_TRUE(ClearVoiceRecord());
    ASSERT_TRUE(chat.BringToFront());
    ASSERT_TRUE(chat.AppendMessage("Bob", "after the export"));
    bool heard = false;
    VoiceRecord after = WaitForVoiceRecord(
        [](const VoiceRecord& v) { return !v.empty() && v.back().ended; }, kPatienceMs, &heard);
    ASSERT_TRUE(heard);
    EXPECT_EQ(after.back().voice, kExportVoice);
    EXPECT_EQ(after.back().rate, 10);
    EXPECT_EQ(after.back().volume, 20u);
    EXPECT_TRUE(after.back().completed && after.back().bytes > 0) << after.back().why;
    EXPECT_EQ(FileBytes(dir + L"export.wav"), file) << "nothing more went into the file";
}

// The names of the files in a folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

// Two minutes of speech: the window answers, refusing what would disturb the export; a stop,
// then a logoff (saving the settings) end it, the old file as it was and nothing else left.
TEST(WavExport, ALongExportLeavesTheWindowAnsweringAndEndsAtAStopOrALogoff) {
    ScopedVoiceToken voice(L"SonviraExport16k", kExportVoice, 523, 16000);
    ASSERT_TRUE(voice.Created());
    const std::wstring dir = Folder();
    std::string text;  // in lines the log takes as they are
    for (int i = 0; i < 5; ++i) text += std::string(700, 'a') + "\r\n";
    std::ofstream((dir + L"long.txt").c_str(), std::ios::binary) << text;
    RunningSonvira s;
    ASSERT_NE(s.Main(), nullptr);
    ASSERT_TRUE(PickListItem(FindControl(s.Main(), IDC_CBVOICE), kExportVoice));
    s.Choose(IDM_NOPENMESSAGE);
    ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"打开"), dir + L"long.txt"));
    ASSERT_TRUE(WaitUntil([&] { return s.Log().size() == text.size(); }, kPatienceMs));

    const std::wstring wav = dir + L"long.wav";
    const std::string old(3000, 'w');
    std::ofstream(wav.c_str(), std::ios::binary) << old;
    const std::vector<std::wstring> before = FilesIn(dir);
    for (bool logoff : {false, true}) {
        ASSERT_TRUE(StartExport(s, wav)) << "the voice did not begin";
        // Handled in order: when the about box shows, the three before it were refused.
        for (int refused : {IDM_EXPORTMESSAGETOWAV1, IDM_NOPENMESSAGE, IDM_NCLEARMESSAGE}) s.Choose(refused);
        s.Choose(IDM_ABOUT1);
        HWND about = WaitForDialog(s.Id(), L"关于");
        ASSERT_NE(about, nullptr);
        for (const wchar_t* title : {L"另存为", L"打开", L"确认"})
            EXPECT_EQ(VisibleTopWindow(s.Id(), L"#32770", title), nullptr) << WideToUtf8(title);
        ASSERT_TRUE(Press(about, IDOK));
        const VoiceRecord underWay = ReadVoiceRecord();
        ASSERT_FALSE(underWay.empty() || underWay.back().ended) << "the export is still under way";

        if (logoff) {
            DWORD_PTR agreed = 0;
            ASSERT_TRUE(SendMessageTimeoutW(s.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &agreed));
            ASSERT_TRUE(agreed) << "the program refused the logoff";
            ASSERT_TRUE(SendMessageTimeoutW(s.Main(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, kPatienceMs, &agreed));
            EXPECT_TRUE(s.Settings().Exists()) << "the logoff saved the settings";
        } else {
            s.Choose(IDM_STOPSPEAK1);
            EXPECT_TRUE(WaitUntil(
                [] {
                    const VoiceRecord r = ReadVoiceRecord();
                    return !r.empty() && r.back().ended;
                },
                kPatienceMs))
                << "the voice went on";
        }
        EXPECT_TRUE(WaitUntil([&] { return FilesIn(dir) == before; }, kPatienceMs)) << "a file stayed, logoff " << logoff;
        EXPECT_TRUE(FileBytes(wav) == old) << "the old file changed, logoff " << logoff;
    }
}

// A full disk costs no file: a save and an export, each too big for the space left, over an
// existing file and to a new name, leave the old files as they were and nothing else behind,
// with one box naming the file and the system's reason. Runs on the tmpfs of a few dozen KB
// that tests/e2e/small_disk.sh mounts in the session's private namespace.
TEST(SmallDisk, ASaveOrExportTooBigForTheSpaceLeftCostsNoFile) {
    const std::wstring disk = BuildDir() + L"\\e2e-small-disk\\";
    if (!GetEnvironmentVariableW(L"SONVIRA_SMALL_DISK", nullptr, 0))
        GTEST_SKIP() << "needs the small disk that tests/e2e/small_disk.sh mounts";
    ULARGE_INTEGER space, total;
    ASSERT_TRUE(GetDiskFreeSpaceExW(disk.c_str(), &space, &total, nullptr) && total.QuadPart < (1u << 20));
    ScopedVoiceToken voice(L"SonviraExport16k", kExportVoice, 523, 16000);
    ASSERT_TRUE(voice.Created());
    Folder(disk);
    const std::string oldRtf(2000, 'r'), oldWav(3000, 'w');
    std::ofstream((disk + L"old.rtf").c_str(), std::ios::binary) << oldRtf;
    std::ofstream((disk + L"old.wav").c_str(), std::ios::binary) << oldWav;
    ASSERT_TRUE(GetDiskFreeSpaceExW(disk.c_str(), &space, nullptr, nullptr));
    ASSERT_GT(space.QuadPart, 8192u);
    std::ofstream((disk + L"filler").c_str(), std::ios::binary) << std::string(space.QuadPart - 4096, 'f');
    std::string big;  // a log far bigger than the 4 KB left
    while (big.size() < 20000) big += "a line of a long chat history\r\n";
    const std::wstring bigFile = Folder(BuildDir() + L"\\e2e-small-disk-log\\") + L"big.txt";
    std::ofstream(bigFile.c_str(), std::ios::binary) << big;

    RunningSonvira s;
    ASSERT_NE(s.Main(), nullptr);
    ASSERT_TRUE(PickListItem(FindControl(s.Main(), IDC_CBVOICE), kExportVoice));
    s.Choose(IDM_NOPENMESSAGE);
    ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"打开"), bigFile));
    ASSERT_TRUE(WaitUntil([&] { return s.Log().size() >= big.size(); }, kPatienceMs)) << "the big text in the log";
    SendMessageW(s.LogControl(), EM_SETSEL, 0, 100);  // an export of 100 characters is still far bigger
    const std::vector<std::wstring> before = FilesIn(disk);
    const std::pair<int, const wchar_t*> cases[] = {{IDM_NSAVEMESSAGE, L"old.rtf"}, {IDM_NSAVEMESSAGE, L"new.rtf"},
                                                    {IDM_EXPORTMESSAGETOWAV1, L"old.wav"}, {IDM_EXPORTMESSAGETOWAV1, L"new.wav"}};
    for (const auto& [command, name] : cases) {
        s.Choose(command);
        ASSERT_TRUE(TypeNameAndConfirm(WaitForDialog(s.Id(), L"另存为"), disk + name));
        HWND box = WaitForDialog(s.Id(), L"Sonvira");
        ASSERT_NE(box, nullptr) << "awaited the error box for " << WideToUtf8(name);
        const std::wstring head = L"Cannot create file \"" + disk + name + L"\". ";
        EXPECT_EQ(BoxText(box).substr(0, head.size()), head) << WideToUtf8(BoxText(box));
        EXPECT_GT(BoxText(box).size(), head.size()) << "the system's reason follows";
        ASSERT_TRUE(Press(box, IDOK));
        EXPECT_TRUE(FileBytes(disk + L"old.rtf") == oldRtf) << "old.rtf as it was after " << WideToUtf8(name);
        EXPECT_TRUE(FileBytes(disk + L"old.wav") == oldWav) << "old.wav as it was after " << WideToUtf8(name);
        EXPECT_EQ(FilesIn(disk), before) << "no temporary or empty file left by " << WideToUtf8(name);
    }
    EXPECT_TRUE(s.Running());
}

// This prefix's Startup folder, where the shortcut for sonvira.exe goes.
std::wstring LogonShortcut() {
    wchar_t startup[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, 0, startup);
    return std::wstring(startup) + L"\\sonvira.lnk";
}

TEST(RunAtLogon, EitherItemMakesTheShortcutAndARestartFindsIt) {
    const std::wstring link = LogonShortcut();
    DeleteFileW(link.c_str());
    {
        RunningSonvira s;
        ASSERT_NE(s.Main(), nullptr);
        s.Choose(IDM_NOPENONSTARTUP);  // 启动时运行
        ASSERT_TRUE(WaitUntil([&] { return FileExists(link); }, kPatienceMs));
        ScopedCom com;
        ComPtr<IShellLinkW> shell;
        ComPtr<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                               reinterpret_cast<void**>(shell.GetAddressOf()))));
        ASSERT_TRUE(SUCCEEDED(shell.As(&file)) && SUCCEEDED(file->Load(link.c_str(), STGM_READ)));
        wchar_t buf[MAX_PATH * 2];
        shell->GetPath(buf, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
        EXPECT_EQ(_wcsicmp(buf, SonviraExe().c_str()), 0) << WideToUtf8(buf);
        shell->GetArguments(buf, MAX_PATH * 2);
        EXPECT_STREQ(buf, L" -s");
        shell->GetWorkingDirectory(buf, MAX_PATH * 2);
        EXPECT_EQ(_wcsicmp(buf, (BuildDir() + L"\\").c_str()), 0) << "with its trailing backslash: " << WideToUtf8(buf);
        shell->GetDescription(buf, MAX_PATH * 2);
        EXPECT_STREQ(buf, L"Sonvira");
        ExitSonvira(s.Main());
        ASSERT_TRUE(s.WaitExit(kPatienceMs));
    }
    {
        // Started again, the items are ticked from the file: the tray's item now unticks
        // both, deleting it, and ticks them again, making it.
        RunningSonvira s;
        ASSERT_NE(s.Main(), nullptr);
        s.Choose(IDM_NOPENONSTARTUP2);  // 开机时运行
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(link); }, kPatienceMs)) << "the restart ticked the items";
        s.Choose(IDM_NOPENONSTARTUP2);
        EXPECT_TRUE(WaitUntil([&] { return FileExists(link); }, kPatienceMs));
        s.Choose(IDM_NOPENONSTARTUP);
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(link); }, kPatienceMs)) << "one tick for both items";
    }
    DeleteFileW(link.c_str());
}

}  // namespace

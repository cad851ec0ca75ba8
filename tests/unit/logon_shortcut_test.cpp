// The run-at-logon shortcut against a recording shell and in-memory files: its path and
// contents, the ".lnk" rule, both menu items' shared tick, and the ticks at start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fmain.h"
#include "app/logon_shortcut.h"
#include "support/desk_doubles.h"
#include "support/form_doubles.h"
#include "support/recording_engine.h"

namespace {

const std::string kLink = "C:\\Users\\me\\Start Menu\\Programs\\Startup\\sonvira.lnk";

TEST(LogonPaths, BaseNameAndFolderOfAProgramPath) {
    struct Case {
        std::string path, base, folder;
    } cases[] = {
        {"C:\\Tools\\sonvira.exe", "sonvira", "C:\\Tools\\"},
        {"C:\\Tools\\a.b.exe", "a.b", "C:\\Tools\\"},
        {"C:\\v1.2\\sonvira", "sonvira", "C:\\v1.2\\"},
        {"C:sonvira.exe", "sonvira", "C:"},
        {"sonvira.exe", "sonvira", ""},
        {"C:\\\xd3\xef\xd2\xf4\\\xc0\xca\xb6\xc1.exe", "\xc0\xca\xb6\xc1", "C:\\\xd3\xef\xd2\xf4\\"},  // GBK names
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetExeBaseName(c.path), c.base) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path), c.folder) << c.path;
    }
    RecordingShell shell;
    EXPECT_EQ(GetStartupDir(shell), "C:\\Users\\me\\Start Menu\\Programs\\Startup\\");
    EXPECT_EQ(LogonShortcutPath(shell), kLink);
    shell.programPath = "D:\\x\\a.b.exe";
    EXPECT_EQ(LogonShortcutPath(shell), "C:\\Users\\me\\Start Menu\\Programs\\Startup\\a.b.lnk");
}

TEST(CreateShortcut, WritesTargetArgumentsFolderAndDescription) {
    RecordingShell shell;
    CreateShortcut(shell, "C:\\Tools\\sonvira.exe", " -s", kLink, "Sonvira");
    ASSERT_EQ(shell.shortcuts.size(), 1u);
    const ShortcutSpec& s = shell.shortcuts[0].first;
    EXPECT_EQ(s.target, "C:\\Tools\\sonvira.exe");
    EXPECT_EQ(s.arguments, " -s");
    EXPECT_EQ(s.workingDirectory, "C:\\Tools\\");
    EXPECT_EQ(s.description, "Sonvira");
    EXPECT_EQ(shell.shortcuts[0].second, kLink);
}

TEST(CreateShortcut, TheLinkPathMustEndInLnkInAnyCase) {
    struct Case {
        std::string link;
        bool ok;
    } cases[] = {
        {"C:\\s\\a.lnk", true}, {"C:\\s\\a.LNK", true}, {"C:\\s\\a.LnK", true}, {"a.b.lnk", true},
        {"C:\\s\\a.lnk.txt", false}, {"C:\\s\\a.lnkx", false}, {"C:\\s\\alnk", false}, {"", false},
        {"C:\\s\\a.", false}, {"C:\\x.lnk\\a", false},
    };
    for (const auto& c : cases) {
        RecordingShell shell;
        try {
            CreateShortcut(shell, "C:\\Tools\\sonvira.exe", " -s", c.link, "Sonvira");
            EXPECT_TRUE(c.ok) << c.link;
        } catch (const std::runtime_error& e) {
            EXPECT_FALSE(c.ok) << c.link;
            // Each pair of marks is two PRIME characters, A1 E4 in code page 936.
            EXPECT_STREQ(e.what(), "File Ext Must Be: \xA1\xE4\xA1\xE4LNK\xA1\xE4\xA1\xE4!");
        }
        EXPECT_EQ(shell.shortcuts.size(), c.ok ? 1u : 0u) << c.link;
    }
}

// The main window's two items over a recording shell whose shortcuts land in memory.
struct Window {
    Window() {
        shell.files = &files;
        engine.SetVoices({"Mary"});
    }
    void Create() { form.FormCreate(); }
    RecordingEngine engine;
    NoChatWindows chat;
    BytesCodePage codePage;
    NullLog log;
    QuietDesk desk;
    MemoryFiles files;
    RecordingShell shell;
    TFmain form{TFmainServices{chat, codePage, engine, log, desk.document, files, desk.boxes, shell}};
};

TEST(RunAtLogon, EitherItemTicksBothAndMakesTheShortcutThenUntickingDeletesIt) {
    for (bool fromTray : {false, true}) {
        Window w;
        w.Create();
        TMenuItem& clicked = fromTray ? w.form.NOpenOnStartup2 : w.form.NOpenOnStartup;
        TMenuItem& other = fromTray ? w.form.NOpenOnStartup : w.form.NOpenOnStartup2;
        ASSERT_FALSE(clicked.Checked());
        clicked.Click();
        EXPECT_TRUE(clicked.Checked());
        EXPECT_TRUE(other.Checked());
        ASSERT_EQ(w.shell.shortcuts.size(), 1u);
        EXPECT_EQ(w.files.files[kLink], "C:\\Tools\\sonvira.exe\n -s\nC:\\Tools\\\nSonvira");

        // The other item now unticks both and deletes the file.
        other.Click();
        EXPECT_FALSE(clicked.Checked());
        EXPECT_FALSE(other.Checked());
        EXPECT_FALSE(w.files.Exists(kLink));
        EXPECT_EQ(w.files.deleted, std::vector<std::string>{kLink});
    }
}

TEST(RunAtLogon, TickingAgainReplacesTheShortcutAndUntickingAMissingOneDoesNothing) {
    Window w;
    w.files.files[kLink] = "made by an older run";
    w.Create();
    ASSERT_TRUE(w.form.NOpenOnStartup.Checked());
    w.files.files.erase(kLink);  // removed by hand
    w.form.NOpenOnStartup.Click();
    EXPECT_FALSE(w.form.NOpenOnStartup2.Checked());
    EXPECT_TRUE(w.files.deleted.empty()) << "nothing to delete, nothing reported";
    w.files.files[kLink] = "made by hand";
    w.form.NOpenOnStartup2.Click();
    EXPECT_EQ(w.files.files[kLink], "C:\\Tools\\sonvira.exe\n -s\nC:\\Tools\\\nSonvira");
}

TEST(RunAtLogon, AShellLinkObjectThatCannotBeMadeIsReportedAndTheTicksStay) {
    Window w;
    w.Create();
    w.shell.failLinkObject = true;
    EXPECT_THROW(w.form.NOpenOnStartupClick(), std::runtime_error);
    EXPECT_TRUE(w.form.NOpenOnStartup.Checked());
    EXPECT_TRUE(w.form.NOpenOnStartup2.Checked());
    EXPECT_FALSE(w.files.Exists(kLink));
}

TEST(RunAtLogon, AtStartBothTicksFollowTheShortcutOfThisProgramsName) {
    struct Case {
        std::string file, program;
        bool ticked;
    } cases[] = {
        {"", "C:\\Tools\\sonvira.exe", false},
        {kLink, "C:\\Tools\\sonvira.exe", true},
        {kLink, "C:\\Tools\\renamed.exe", false},  // the old name's shortcut stays, unseen
    };
    for (const auto& c : cases) {
        Window w;
        if (!c.file.empty()) w.files.files[c.file] = "x";
        w.shell.programPath = c.program;
        w.Create();
        EXPECT_EQ(w.form.NOpenOnStartup.Checked(), c.ticked) << c.program;
        EXPECT_EQ(w.form.NOpenOnStartup2.Checked(), c.ticked) << c.program;
        EXPECT_EQ(w.files.Exists(kLink), !c.file.empty()) << "start-up touches no file";
    }
}

}  // namespace

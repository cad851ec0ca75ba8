// The run-at-logon shortcut against a recording shell and in-memory paths: the ".lnk" rule,
// what a shortcut holds, and both menu items' shared tick with the file it stands for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fmain.h"
#include "app/logon_shortcut.h"
#include "support/desk_doubles.h"
#include "support/form_doubles.h"
#include "support/recording_engine.h"

namespace {

const std::string kLink = "C:\\Users\\ann\\Start Menu\\Programs\\Startup\\sonvira.lnk";
const std::string kMade = "C:\\Tools\\sonvira.exe\n -s\nC:\\Tools\\\nSonvira";

TEST(CreateShortcut, WritesTargetArgumentsFolderAndDescription) {
    struct Case {
        std::string target, folder;
    } cases[] = {
        {"C:\\Tools\\sonvira.exe", "C:\\Tools\\"},
        {"D:\\\xd3\xef\xd2\xf4\\\xc0\xca\xb6\xc1.exe", "D:\\\xd3\xef\xd2\xf4\\"},  // 语音\朗读.exe
    };
    for (const auto& c : cases) {
        RecordingShell shell;
        CreateShortcut(shell, c.target, " -s", kLink, "Sonvira");
        ASSERT_EQ(shell.shortcuts.size(), 1u);
        const ShortcutSpec& s = shell.shortcuts[0].first;
        EXPECT_EQ(s.target, c.target);
        EXPECT_EQ(s.arguments, " -s");
        EXPECT_EQ(s.workingDirectory, c.folder) << "the program's folder, trailing backslash included";
        EXPECT_EQ(s.description, "Sonvira");
        EXPECT_EQ(shell.shortcuts[0].second, kLink);
    }
}

TEST(CreateShortcut, TheLinkPathMustEndInLnkInAnyCase) {
    struct Case {
        std::string link;
        bool ok;
    } cases[] = {
        {"C:\\s\\a.lnk", true},      {"C:\\s\\a.LNK", true},  {"C:\\s\\a.LnK", true},  {"a.b.lnk", true},
        {"C:\\s\\a.lnk.txt", false}, {"C:\\s\\a.lnkx", false}, {"C:\\s\\alnk", false}, {"", false},
        {"C:\\s\\a.", false},        {"C:\\x.lnk\\a", false},
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

// Deletes from the path platform's files, which is what FileExists looks at.
struct PathFiles : QuietDesk {
    FakePathPlatform& paths;
    std::vector<std::string> deleted;
    explicit PathFiles(FakePathPlatform& p) : paths(p) {}
    struct Files : IFiles {
        PathFiles* owner = nullptr;
        std::string ReadAll(const std::string&) override { return {}; }
        void WriteAll(const std::string&, const std::string&) override {}
        bool Delete(const std::string& path) override {
            owner->deleted.push_back(path);
            return owner->paths.files.erase(path) != 0;
        }
    } files;
};

// The main window's two items over a recording shell whose shortcuts the paths then see.
struct Window {
    Window() {
        shell.existing = &quiet.paths.files;
        desk.files.owner = &desk;
        engine.SetVoices({"Mary"});
    }
    RecordingEngine engine;
    NoChatWindows chat;
    BytesCodePage codePage;
    NullLog log;
    QuietStartup quiet;
    PathFiles desk{quiet.paths};
    RecordingShell shell;
    TFmain form{TFmainServices{chat, codePage, engine, log, quiet.paths, quiet.profile, quiet.registry, quiet.os,
                               desk.document, desk.files, desk.boxes, shell}};
};

TEST(RunAtLogon, EitherItemTicksBothAndMakesTheShortcutThenUntickingDeletesIt) {
    for (bool fromTray : {false, true}) {
        Window w;
        TMenuItem& clicked = fromTray ? w.form.NOpenOnStartup2 : w.form.NOpenOnStartup;
        TMenuItem& other = fromTray ? w.form.NOpenOnStartup : w.form.NOpenOnStartup2;
        clicked.UserClick();
        EXPECT_TRUE(clicked.Checked());
        EXPECT_TRUE(other.Checked());
        EXPECT_EQ(w.shell.saved[kLink], kMade);

        // The other item now unticks both and deletes the file.
        other.UserClick();
        EXPECT_FALSE(clicked.Checked());
        EXPECT_FALSE(other.Checked());
        EXPECT_EQ(w.quiet.paths.files.count(kLink), 0u);
        EXPECT_EQ(w.desk.deleted, std::vector<std::string>{kLink});
        EXPECT_EQ(w.shell.shortcuts.size(), 1u);
    }
}

TEST(RunAtLogon, TickingReplacesAShortcutAndUntickingWithoutOneDoesNothing) {
    Window w;
    w.form.NOpenOnStartup.SetChecked(true);  // as start-up found it
    w.form.NOpenOnStartup2.SetChecked(true);
    w.form.NOpenOnStartup.UserClick();  // the file was removed by hand meanwhile
    EXPECT_FALSE(w.form.NOpenOnStartup2.Checked());
    EXPECT_TRUE(w.desk.deleted.empty()) << "nothing to delete, nothing reported";

    w.quiet.paths.files.insert(kLink);  // made by hand, not by this run
    w.form.NOpenOnStartup2.UserClick();
    EXPECT_EQ(w.shell.saved[kLink], kMade) << "replaced";
}

TEST(RunAtLogon, TheShortcutFollowsTheProgramsName) {
    Window w;
    w.quiet.paths.programPath = "E:\\x\\a.b.exe";
    w.form.NOpenOnStartupClick();
    const std::string link = "C:\\Users\\ann\\Start Menu\\Programs\\Startup\\a.b.lnk";
    EXPECT_EQ(w.shell.saved[link], "E:\\x\\a.b.exe\n -s\nE:\\x\\\nSonvira");
}

TEST(RunAtLogon, AShellLinkObjectThatCannotBeMadeIsReportedAndTheTicksStay) {
    Window w;
    w.shell.failLinkObject = true;
    EXPECT_THROW(w.form.NOpenOnStartupClick(), std::runtime_error);
    EXPECT_TRUE(w.form.NOpenOnStartup.Checked());
    EXPECT_TRUE(w.form.NOpenOnStartup2.Checked());
    EXPECT_EQ(w.quiet.paths.files.count(kLink), 0u);
}

}  // namespace

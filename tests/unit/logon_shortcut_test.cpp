// The run-at-logon shortcut against a recording shell and in-memory paths: the ".lnk" rule,
// what a shortcut holds, and the shared tick with the file it stands for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/logon_shortcut.h"
#include "common/desk_doubles.h"
#include "common/fake_paths.h"

namespace {

const std::string kLink = "C:\\Users\\ann\\Start Menu\\Programs\\Startup\\sonvira.lnk";

TEST(CreateShortcut, OnlyALinkPathEndingInLnkInAnyCaseGetsTheShortcut) {
    struct Case {
        std::string link;
        bool ok;
    } cases[] = {
        {"C:\\s\\a.lnk", true},      {"C:\\s\\a.LNK", true},  {"a.b.LnK", true},   {"C:\\s\\a.lnk.txt", false},
        {"C:\\s\\a.lnkx", false},    {"C:\\s\\alnk", false},  {"", false},         {"C:\\x.lnk\\a", false},
    };
    for (const auto& c : cases) {
        RecordingShell shell;
        try {
            CreateShortcut(shell, "D:\\\xd3\xef\xd2\xf4\\sonvira.exe", " -s", c.link, "Sonvira", kGbkLeadBytes);  // D:\语音\...
            EXPECT_TRUE(c.ok) << c.link;
        } catch (const std::runtime_error& e) {
            EXPECT_FALSE(c.ok) << c.link;
            // Each pair of marks is two PRIME characters, A1 E4 in code page 936.
            EXPECT_STREQ(e.what(), "File Ext Must Be: \xA1\xE4\xA1\xE4LNK\xA1\xE4\xA1\xE4!");
        }
        const std::string made = "D:\\\xd3\xef\xd2\xf4\\sonvira.exe\n -s\nD:\\\xd3\xef\xd2\xf4\\\nSonvira";
        EXPECT_EQ(shell.saved[c.link], c.ok ? made : "") << "the folder keeps its trailing backslash";
    }
}

// Deletes from the path platform's files, which is what FileExists looks at.
struct PathFiles : IFiles {
    FakePathPlatform& paths;
    std::vector<std::string> deleted;
    explicit PathFiles(FakePathPlatform& p) : paths(p) {}
    std::string ReadAll(const std::string&, std::size_t) override { return {}; }
    void WriteAll(const std::string&, const std::string&) override {}
    bool Delete(const std::string& path) override {
        deleted.push_back(path);
        return paths.files.erase(path) != 0;
    }
};

TEST(RunAtLogon, TheClickedItemFlipsBothTicksAndTheShortcutFollows) {
    FakePathPlatform paths;
    PathFiles files{paths};
    RecordingShell shell;
    shell.existing = &paths.files;
    TMenuItem main, tray;

    ToggleRunAtLogon(tray, main, paths, shell, files, "Sonvira");
    EXPECT_TRUE(main.Checked() && tray.Checked());
    EXPECT_EQ(shell.saved[kLink], "C:\\Tools\\sonvira.exe\n -s\nC:\\Tools\\\nSonvira");

    paths.files.erase(kLink);  // removed by hand: unticking has nothing to delete and says nothing
    ToggleRunAtLogon(main, tray, paths, shell, files, "Sonvira");
    EXPECT_FALSE(main.Checked() || tray.Checked());
    EXPECT_TRUE(files.deleted.empty());

    paths.files.insert(kLink);  // made by hand: ticking replaces it, unticking deletes it
    ToggleRunAtLogon(main, tray, paths, shell, files, "Sonvira");
    ToggleRunAtLogon(main, tray, paths, shell, files, "Sonvira");
    EXPECT_EQ(shell.shortcuts.size(), 2u);
    EXPECT_EQ(files.deleted, std::vector<std::string>{kLink});
    EXPECT_EQ(paths.files.count(kLink), 0u);

    // A shortcut that cannot be made is reported; the ticks stay as they were.
    shell.failLinkObject = true;
    EXPECT_THROW(ToggleRunAtLogon(main, tray, paths, shell, files, "Sonvira"), std::runtime_error);
    EXPECT_FALSE(main.Checked() || tray.Checked());
}

}  // namespace

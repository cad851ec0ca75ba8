// The path routines' rules: base names, folder and drive parts (Chinese names included, whose
// second byte may be a backslash), and the data folder that is created one level deep.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/paths.h"
#include "common/fake_paths.h"

namespace {

// "乗" is 81 5C in GBK: its second byte is a backslash that must not split the name.
const std::string kBackslashTrail = "\x81\x5c";
const std::string kLangdu = "\xc0\xca\xb6\xc1";  // "朗读"

TEST(Paths, SplitsPathsBetweenCharacters) {
    struct Case {
        std::string path, base, folder, drive;
    } cases[] = {
        {"C:\\Tools\\sonvira.exe", "sonvira", "C:\\Tools\\", "C:"},
        {"C:\\Tools\\a.b.exe", "a.b", "C:\\Tools\\", "C:"},
        {"C:\\Tools.d\\sonvira", "sonvira", "C:\\Tools.d\\", "C:"},
        {"sonvira.exe", "sonvira", "", ""},
        {"C:sonvira.exe", "sonvira", "C:", "C:"},
        {"\\\\srv\\share\\x\\s.exe", "s", "\\\\srv\\share\\x\\", "\\\\srv\\share"},
        {"\\\\srv", "srv", "\\\\", "\\\\srv"},
        {"D:\\" + kLangdu + "\\" + kLangdu + ".exe", kLangdu, "D:\\" + kLangdu + "\\", "D:"},
        {"D:\\x\\" + kBackslashTrail + ".exe", kBackslashTrail, "D:\\x\\", "D:"},
        {"D:\\" + kBackslashTrail + "\\a.exe", "a", "D:\\" + kBackslashTrail + "\\", "D:"},
        {".exe", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetExeBaseName(c.path, kGbkLeadBytes), c.base) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path, kGbkLeadBytes), c.folder) << c.path;
        EXPECT_EQ(ExtractFileDrive(c.path), c.drive) << c.path;
    }
}

TEST(Paths, FolderRoutinesAddOneBackslashToWhatTheShellGives) {
    FakePathPlatform p;
    EXPECT_EQ(GetAppDataDir(p), "C:\\Users\\ann\\AppData\\Roaming\\");
    EXPECT_EQ(GetStartupDir(p), "C:\\Users\\ann\\Start Menu\\Programs\\Startup\\");
    EXPECT_EQ(GetWindowsDir(p), "C:\\WINDOWS");
    // An unresolved folder leaves the root of the current drive.
    p.specialFolders.clear();
    EXPECT_EQ(GetAppDataDir(p), "\\");
    EXPECT_EQ(GetStartupDir(p), "\\");
}

TEST(Paths, DataDirIsCreatedOneLevelDeepOnlyWhenMissing) {
    const std::string appData = "C:\\Users\\ann\\AppData\\Roaming";
    struct Case {
        const char* what;
        std::string program;
        bool exists, refuse;
        std::string folder;  // expected folder without the backslash
        bool creates, throws;
    } cases[] = {
        {"missing", "C:\\Tools\\sonvira.exe", false, false, appData + "\\sonvira", true, false},
        {"there", "C:\\Tools\\sonvira.exe", true, false, appData + "\\sonvira", false, false},
        {"dotted", "C:\\Tools\\a.b.exe", false, false, appData + "\\a.b", true, false},
        {"chinese", "C:\\" + kLangdu + "\\" + kLangdu + ".exe", false, false, appData + "\\" + kLangdu, true, false},
        {"refused", "C:\\Tools\\sonvira.exe", false, true, appData + "\\sonvira", true, true},
        {"refused but there", "C:\\Tools\\sonvira.exe", true, true, appData + "\\sonvira", false, false},
    };
    for (const auto& c : cases) {
        FakePathPlatform p;
        p.programPath = c.program;
        p.refuseFolders = c.refuse;
        if (c.exists) p.folders.insert(c.folder);
        if (c.throws) {
            try {
                GetDataDir(p);
                ADD_FAILURE() << c.what << ": no error";
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find(c.folder), std::string::npos) << c.what << ": " << e.what();
            }
        } else {
            EXPECT_EQ(GetDataDir(p), c.folder + "\\") << c.what;
        }
        std::vector<std::string> expectCreated;
        if (c.creates) expectCreated.push_back(c.folder);
        EXPECT_EQ(p.created, expectCreated) << c.what;
    }
}

}  // namespace

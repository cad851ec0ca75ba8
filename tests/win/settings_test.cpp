// set.ini through the real profile-string calls under Wine: a file whose other sections and
// keys (GBK ones included) must stay byte for byte, values read back whole however long, and
// a write that cannot reach its file. A file written from nothing is the end-to-end tests'
// (sonvira.exe's first run).
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "app/settings_win.h"
#include "common/memory_profile.h"
#include "support/test_paths.h"
#include "win/codepage_win.h"

namespace {

std::string Folder() { return WideToAnsi(ExeDir()) + "\\settings-test"; }

std::string ReadBytes(const std::string& path) { return FileBytes(AnsiToWide(path)); }

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(AnsiToWide(path).c_str(), std::ios::binary);
    out << bytes;
}

class SettingsWin : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(Folder().c_str(), nullptr);
        file_ = Folder() + "\\set.ini";
        DeleteFileA(file_.c_str());
    }
    void TearDown() override {
        DeleteFileA(file_.c_str());
        RemoveDirectoryA(Folder().c_str());
    }
    std::string file_;
    Win32ProfileStrings profile_;
};

TEST_F(SettingsWin, OtherSectionsAndKeysStayByteForByte) {
    // "[朋友]" before, an own key "备注=你好" inside "set", a section after, all in GBK.
    const std::string before = "[\xc5\xf3\xd3\xd1]\r\nRate=7\r\n";
    const std::string after = "[voices]\r\nold=A|1|2\r\n[zz]\r\nEngine=9\r\n";
    WriteBytes(file_, before + "[SET]\r\nengine=4\r\n\xb1\xb8\xd7\xa2=\xc4\xe3\xba\xc3\r\n" + after);
    TIniFile ini(profile_, file_);
    EXPECT_EQ(ini.ReadSection("voices"), std::vector<std::string>{"old=A|1|2"});
    TSettings s = DefaultSettings();
    s.Voices[kOwnProfile] = {-1, {}, 3, 5};
    s.Voices[kFriendProfile] = {2, {}, 4, 6};
    s.cbme = s.cbmyname = false;
    s.readall = s.squeeze = s.autovoice = true;
    s.mynick = "\xd0\xa1\xd3\xe3";
    s.maxLength = 80;
    s.wechat = false;
    WriteSettings(ini, s);
    const std::string rule = "\xd0\xa1\xd3\xe3=Sonvira Test Alto|-2|80";  // 小鱼
    ini.WriteSection("voices", {rule});
    EXPECT_EQ(ini.ReadSection("voices"), std::vector<std::string>{rule});
    // The keys written are the table's (their order is the form's tests'): here only the bytes
    // around them count, and that each new key follows the file's own.
    MemoryProfile memory;
    TIniFile inMemory(memory, file_);
    WriteSettings(inMemory, s);
    std::string written;
    for (const std::string& line : memory.Lines(file_, "set")) written += line + "\r\n";
    EXPECT_NE(written.find("Rate=3\r\nVolume=5\r\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(file_), before + "[SET]\r\nengine=4\r\n\xb1\xb8\xd7\xa2=\xc4\xe3\xba\xc3\r\n" + written +
                                    "[voices]\r\n" + rule + "\r\n[zz]\r\nEngine=9\r\n");
    EXPECT_EQ(ini.ReadString("set", "\xb1\xb8\xd7\xa2", "?"), "\xc4\xe3\xba\xc3");
}

TEST_F(SettingsWin, ValuesReadBackAsTheRulesSay) {
    WriteBytes(file_, "[set]\r\nRate=0x0A\r\nVolume1=-5\r\ncbme=yes\r\nshowtime=0\r\nEngine= 2 \r\nRate1=\r\n"
                      "Volume=" + std::string(3000, '7') + "\r\n");
    TIniFile ini(profile_, file_);
    TSettings s = DefaultSettings();
    ReadSettings(ini, TSettingFeeds::VoiceProfiles, s);
    ReadSettings(ini, TSettingFeeds::ReadingOptions, s);
    const StoredVoice &own = s.Voices[kOwnProfile], &friends = s.Voices[kFriendProfile];
    EXPECT_EQ(own.Rate, 10);
    EXPECT_EQ(friends.Volume, -5);
    EXPECT_TRUE(s.cbme);
    EXPECT_FALSE(s.showtime);
    EXPECT_EQ(own.Engine, 2) << "the platform strips the spaces around a value";
    EXPECT_EQ(friends.Rate, 0) << "empty";
    EXPECT_EQ(own.Volume, 100) << "3000 sevens are no integer";
    EXPECT_EQ(ini.ReadString("set", "Volume", ""), std::string(3000, '7')) << "read whole, past any one buffer";
    EXPECT_EQ(friends.Engine, -1);
}

// The profile calls' own reading: UTF-16 is refused without its byte-order mark only.
TEST_F(SettingsWin, AFileInUtf16IsRefusedWithoutItsByteOrderMark) {
    const std::string utf16("[\0s\0e\0t\0]\0\r\0\n\0R\0a\0t\0e\0=\0003\0\r\0\n\0", 28);
    WriteBytes(file_, utf16);
    EXPECT_THROW(TIniFile(profile_, file_), std::runtime_error);
    WriteBytes(file_, "\xFF\xFE" + utf16);
    EXPECT_EQ(TIniFile(profile_, file_).ReadInteger("set", "Rate", 0), 3);
}

TEST_F(SettingsWin, AWriteThatCannotReachItsFileRaisesTheError) {
    std::string missing = Folder() + "\\gone\\set.ini";
    TIniFile ini(profile_, missing);
    try {
        WriteSettings(ini, DefaultSettings());
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
    }
}

}  // namespace

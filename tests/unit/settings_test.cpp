// The settings file's rules: how a value is read (numbers, hexadecimal, garbage, missing),
// the write order and the Engine rule, the write error, and what the file keeps besides.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/settings.h"
#include "support/memory_profile.h"

namespace {

const std::string kFile = "C:\\Users\\ann\\AppData\\Roaming\\sonvira\\set.ini";

TEST(Settings, IntegersAreDecimalOrHexadecimalInsideTheSignedRange) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"12", true, 12},
        {"-5", true, -5},
        {"+7", true, 7},
        {"007", true, 7},
        {"$0A", true, 10},
        {"0x0A", true, 10},
        {"0X1f", true, 31},
        {"$ff", true, 255},
        {"-$A", true, -10},
        {"-0x10", true, -16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"0x7FFFFFFF", true, 2147483647},
        {"2147483648", false, 0},
        {"0x80000000", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"x10", false, 0},
        {"yes", false, 0},
        {"1.5", false, 0},
        {"5 ", false, 0},
        {"0x1G", false, 0},
        {"$-1", false, 0},
        {"1e3", false, 0},
    };
    for (const auto& c : cases) {
        int v = -12345;
        EXPECT_EQ(ParseInteger(c.text, v), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(v, c.ok ? c.value : -12345) << '"' << c.text << "\" must leave the value alone when refused";
    }
}

TEST(Settings, MissingEmptyOrGarbageValuesReadAsTheDefault) {
    struct Case {
        const char* stored;  // nullptr: no such key
        int integer;         // read with default 42
        bool boolTrueDefault, boolFalseDefault;
    } cases[] = {
        {nullptr, 42, true, false}, {"", 42, true, false},  {"yes", 42, true, false}, {"0", 0, false, false},
        {"1", 1, true, true},       {"2", 2, true, true},   {"-1", -1, true, true},   {"0x0", 0, false, false},
        {"$10", 16, true, true},    {"true", 42, true, false},
    };
    for (const auto& c : cases) {
        MemoryProfile profile;
        if (c.stored) profile.Set(kFile, "set", "Key", c.stored);
        TIniFile ini(profile, kFile);
        const char* shown = c.stored ? c.stored : "(missing)";
        EXPECT_EQ(ini.ReadInteger("set", "Key", 42), c.integer) << shown;
        EXPECT_EQ(ini.ReadBool("set", "Key", true), c.boolTrueDefault) << shown;
        EXPECT_EQ(ini.ReadBool("set", "Key", false), c.boolFalseDefault) << shown;
        // Names match without regard to case, as the profile calls do.
        EXPECT_EQ(ini.ReadInteger("SET", "key", 42), c.integer) << shown;
    }
}

TEST(Settings, TheTableReadsTheKeysOfOneFeedAtATime) {
    MemoryProfile profile;
    for (auto kv : {std::pair<const char*, const char*>{"Engine", "2"}, {"Rate", "0x0A"}, {"Volume1", "-5"},
                    {"cbme", "yes"}, {"showtime", "0"}, {"cbfriend", "0"}})
        profile.Set(kFile, "set", kv.first, kv.second);
    TIniFile ini(profile, kFile);
    TStoredSettings s{};
    ReadSettings(ini, TSettingFeeds::VoiceProfiles, s);
    EXPECT_EQ(profile.Logged("read ").size(), 6u) << "only the six voice keys feed the profiles";
    EXPECT_EQ(s.Engine, 2);
    EXPECT_EQ(s.Engine1, -1);
    EXPECT_EQ(s.Rate, 10);
    EXPECT_EQ(s.Rate1, 0);
    EXPECT_EQ(s.Volume, 100);
    EXPECT_EQ(s.Volume1, -5) << "clamping is the track bar's job, not the file's";
    EXPECT_FALSE(s.cbme) << "reading options are not read with the voice keys";
    ReadSettings(ini, TSettingFeeds::ReadingOptions, s);
    EXPECT_EQ(profile.Logged("read ").size(), 11u);
    EXPECT_TRUE(s.cbme);
    EXPECT_FALSE(s.cbfriend);
    EXPECT_TRUE(s.cbmyname);
    EXPECT_TRUE(s.cbfriendsname);
    EXPECT_FALSE(s.showtime);
}

TEST(Settings, KeysAreWrittenInOrderAndEngineOnlyWithASelection) {
    struct Case {
        int engine, engine1;
        std::vector<std::string> lines;
    } cases[] = {
        {0, 2,
         {"Rate=-3", "Volume=7", "Engine=0", "Rate1=10", "Volume1=0", "Engine1=2", "cbme=1", "cbfriend=0",
          "cbmyname=1", "cbfriendsname=0", "showtime=1"}},
        {-1, 1,
         {"Rate=-3", "Volume=7", "Rate1=10", "Volume1=0", "Engine1=1", "cbme=1", "cbfriend=0", "cbmyname=1",
          "cbfriendsname=0", "showtime=1"}},
        {-1, -1,
         {"Rate=-3", "Volume=7", "Rate1=10", "Volume1=0", "cbme=1", "cbfriend=0", "cbmyname=1", "cbfriendsname=0",
          "showtime=1"}},
    };
    for (const auto& c : cases) {
        MemoryProfile profile;
        TIniFile ini(profile, kFile);
        TStoredSettings s{c.engine, c.engine1, -3, 10, 7, 0, true, false, true, false, true};
        WriteSettings(ini, s);
        EXPECT_EQ(profile.Lines(kFile, "set"), c.lines) << c.engine << "," << c.engine1;
    }
}

TEST(Settings, AWriteKeepsOtherSectionsKeysAndAnUnselectedEngine) {
    MemoryProfile profile;
    profile.Set(kFile, "other", "Rate", "5");
    profile.Set(kFile, "set", "Engine", "4");
    profile.Set(kFile, "set", "mine", "x");
    profile.Set(kFile, "set", "volume", "1");
    TIniFile ini(profile, kFile);
    TStoredSettings s{-1, -1, 1, 2, 3, 4, false, false, false, false, false};
    WriteSettings(ini, s);
    EXPECT_EQ(profile.Lines(kFile, "other"), std::vector<std::string>({"Rate=5"}));
    EXPECT_EQ(profile.Lines(kFile, "set"),
              std::vector<std::string>({"Engine=4", "mine=x", "volume=3", "Rate=1", "Rate1=2", "Volume1=4", "cbme=0",
                                        "cbfriend=0", "cbmyname=0", "cbfriendsname=0", "showtime=0"}));
}

TEST(Settings, AFailedWriteNamesTheFileAndStopsTheKeysAfterIt) {
    MemoryProfile profile;
    profile.refusedKeys = {"engine1"};
    TIniFile ini(profile, kFile);
    TStoredSettings s{0, 0, 0, 0, 100, 100, true, true, true, true, true};
    try {
        WriteSettings(ini, s);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + kFile);
    }
    EXPECT_EQ(profile.Lines(kFile, "set"),
              std::vector<std::string>({"Rate=0", "Volume=100", "Engine=0", "Rate1=0", "Volume1=100"}));
    EXPECT_EQ(profile.Logged("write ").size(), 6u) << "nothing is tried after the failing key";
}

}  // namespace

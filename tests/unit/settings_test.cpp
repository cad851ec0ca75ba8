// How a settings value is read: numbers, hexadecimal, garbage, missing; and typed into a box. The keys' order,
// defaults, feeds and the Engine rule are proven through the main window's start and exit
// (fmain_startup_test.cpp), where the table meets the controls.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "common/memory_profile.h"

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

// A box's text reaches its field by the field's key: a number box is parsed and kept within
// its bounds as it is typed, so the watcher never sees a length it cannot use.
TEST(Settings, ABoxsTextIsWrittenIntoItsFieldByItsKeysRule) {
    struct Case {
        TSettingField field;
        const char* typed;
        const char* shown;  // OptionText afterwards
    } cases[] = {
        {&TSettings::maxLength, "42", "42"},
        {&TSettings::maxLength, "5", "10"},
        {&TSettings::maxLength, "99999", "1000"},
        {&TSettings::maxLength, "", "0"},
        {&TSettings::maxLength, " \xa3\xb2\xa3\xb0 ", "20"},  // full-width "２０" from an IME
        {&TSettings::mute, " bot;\xd0\xa1\xd3\xe3 ", " bot;\xd0\xa1\xd3\xe3 "},
        {&TSettings::mynick, "", ""},
    };
    for (const Case& c : cases) {
        TSettings s = DefaultSettings();
        SetOptionText(s, c.field, c.typed);
        EXPECT_EQ(OptionText(s, c.field), c.shown) << '"' << c.typed << '"';
    }
}

}  // namespace

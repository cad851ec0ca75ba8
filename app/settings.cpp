// The settings file; see settings.h.
#include "app/settings.h"

#include <cstdint>
#include <stdexcept>

const TSettingsKey kSettingsKeys[] = {
    {"Rate", TSettingType::Integer, 0, TSettingFeeds::VoiceProfiles, &TStoredSettings::Rate, nullptr, false},
    {"Volume", TSettingType::Integer, 100, TSettingFeeds::VoiceProfiles, &TStoredSettings::Volume, nullptr, false},
    {"Engine", TSettingType::Integer, -1, TSettingFeeds::VoiceProfiles, &TStoredSettings::Engine, nullptr, true},
    {"Rate1", TSettingType::Integer, 0, TSettingFeeds::VoiceProfiles, &TStoredSettings::Rate1, nullptr, false},
    {"Volume1", TSettingType::Integer, 100, TSettingFeeds::VoiceProfiles, &TStoredSettings::Volume1, nullptr, false},
    {"Engine1", TSettingType::Integer, -1, TSettingFeeds::VoiceProfiles, &TStoredSettings::Engine1, nullptr, true},
    {"cbme", TSettingType::Boolean, 1, TSettingFeeds::ReadingOptions, nullptr, &TStoredSettings::cbme, false},
    {"cbfriend", TSettingType::Boolean, 1, TSettingFeeds::ReadingOptions, nullptr, &TStoredSettings::cbfriend, false},
    {"cbmyname", TSettingType::Boolean, 1, TSettingFeeds::ReadingOptions, nullptr, &TStoredSettings::cbmyname, false},
    {"cbfriendsname", TSettingType::Boolean, 1, TSettingFeeds::ReadingOptions, nullptr,
     &TStoredSettings::cbfriendsname, false},
    {"showtime", TSettingType::Boolean, 1, TSettingFeeds::ReadingOptions, nullptr, &TStoredSettings::showtime, false},
};
const std::size_t kSettingsKeyCount = sizeof kSettingsKeys / sizeof kSettingsKeys[0];

bool ParseInteger(const std::string& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return false;
    // The magnitude may reach 2^31 only for a negative number.
    const std::uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return false;
    }
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) {
    return profile_.ReadString(fileName_, section, key, def);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) {
    int value;
    return ParseInteger(ReadString(section, key, ""), value) ? value : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (!profile_.WriteString(fileName_, section, key, value))
        throw std::runtime_error("Unable to write to " + fileName_);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void ReadSettings(TIniFile& ini, TSettingFeeds feeds, TStoredSettings& into) {
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const TSettingsKey& k = kSettingsKeys[i];
        if (k.feeds != feeds) continue;
        if (k.type == TSettingType::Integer) into.*k.integer = ini.ReadInteger(kSettingsSection, k.name, k.def);
        else into.*k.boolean = ini.ReadBool(kSettingsSection, k.name, k.def != 0);
    }
}

void WriteSettings(TIniFile& ini, const TStoredSettings& from) {
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const TSettingsKey& k = kSettingsKeys[i];
        if (k.type == TSettingType::Boolean) {
            ini.WriteBool(kSettingsSection, k.name, from.*k.boolean);
            continue;
        }
        int value = from.*k.integer;
        if (k.onlyWithSelection && value < 0) continue;
        ini.WriteInteger(kSettingsSection, k.name, value);
    }
}

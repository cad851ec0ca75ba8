// The settings file; see settings.h.
#include "app/settings.h"

#include <cstdint>
#include <stdexcept>

#include "base/string_table.h"

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

TIniFile::TIniFile(IProfileStrings& profile, std::string fileName) : profile_(profile), fileName_(std::move(fileName)) {
    const std::string head = profile_.FirstBytes(fileName_, 4096);
    const bool marked = head.compare(0, 2, "\xFF\xFE") == 0 || head.compare(0, 2, "\xFE\xFF") == 0;
    if (!marked && head.find('\0') != std::string::npos) throw std::runtime_error(texts::SettingsNotText(fileName_));
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
        throw std::runtime_error(texts::UnableToWriteTo(fileName_));
}

void TIniFile::WriteSection(const std::string& section, const std::vector<std::string>& lines) {
    if (!profile_.WriteSection(fileName_, section, lines)) throw std::runtime_error(texts::UnableToWriteTo(fileName_));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

TStoredSettings DefaultSettings() {
    TStoredSettings d{};
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const TSettingsKey& k = kSettingsKeys[i];
        if (k.type == TSettingType::Integer) d.*k.integer = k.def;
        else if (k.type == TSettingType::Boolean) d.*k.boolean = k.def != 0;
        else d.*k.text = std::string();
    }
    return d;
}

void ReadSettings(TIniFile& ini, TSettingFeeds feeds, TStoredSettings& into) {
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const TSettingsKey& k = kSettingsKeys[i];
        if (k.feeds != feeds) continue;
        if (k.type == TSettingType::Integer && k.parse) {
            const std::string value = ini.ReadString(kSettingsSection, k.name, "");
            into.*k.integer = value.empty() ? k.def : k.parse(value);
        } else if (k.type == TSettingType::Integer) {
            into.*k.integer = ini.ReadInteger(kSettingsSection, k.name, k.def);
        }
        else if (k.type == TSettingType::Boolean) into.*k.boolean = ini.ReadBool(kSettingsSection, k.name, k.def != 0);
        else into.*k.text = ini.ReadString(kSettingsSection, k.name, "");
    }
}

void WriteSettings(TIniFile& ini, const TStoredSettings& from) {
    for (std::size_t i = 0; i < kSettingsKeyCount; ++i) {
        const TSettingsKey& k = kSettingsKeys[i];
        if (k.type == TSettingType::Boolean) {
            ini.WriteBool(kSettingsSection, k.name, from.*k.boolean);
            continue;
        }
        if (k.type == TSettingType::Text) {
            if (from.*k.text) ini.WriteString(kSettingsSection, k.name, *(from.*k.text));
            continue;
        }
        int value = from.*k.integer;
        if (k.onlyWithSelection && value < 0) continue;
        ini.WriteInteger(kSettingsSection, k.name, value);
    }
}

// The settings file; see settings.h.
#include "app/settings.h"

#include <cstdint>
#include <stdexcept>
#include <type_traits>

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

namespace {

using S = TSettings;
using V = StoredVoice;

TSettingsKey Tick(const char* name, bool S::*field, int def = 1) { return {name, field, def}; }
TSettingsKey Words(const char* name, std::string S::*field) { return {name, field}; }

}  // namespace

const std::vector<TSettingsKey>& SettingsKeys() {
    static const std::vector<TSettingsKey> keys = [] {
        std::vector<TSettingsKey> k;
        for (int p = 0; p < kProfileCount; ++p) {
            const std::string suffix = kProfileKeySuffix[p];
            k.push_back({"Rate" + suffix, &V::Rate, 0, p});
            k.push_back({"Volume" + suffix, &V::Volume, 100, p});
            k.push_back({"Engine" + suffix, &V::Engine, -1, p, true});
        }
        k.push_back(Tick("cbme", &S::cbme));
        k.push_back(Tick("cbfriend", &S::cbfriend));
        k.push_back(Tick("cbmyname", &S::cbmyname));
        k.push_back(Tick("cbfriendsname", &S::cbfriendsname));
        k.push_back(Tick("showtime", &S::showtime));
        for (int p = 0; p < kProfileCount; ++p)
            k.push_back({std::string("EngineName") + kProfileKeySuffix[p], &V::EngineName, 0, p});
        k.push_back(Tick("readall", &S::readall, 0));
        k.push_back(Tick("background", &S::background, 0));
        k.push_back(Words("mynick", &S::mynick));
        k.push_back(Tick("nolinks", &S::noLinks, 0));
        k.push_back(Tick("squeeze", &S::squeeze, 0));
        k.push_back({"maxlen", &S::maxLength, 0, -1, false, ParseMaxLength});
        k.push_back(Words("mute", &S::mute));
        k.push_back(Tick("wechat", &S::wechat));
        k.push_back(Tick("autovoice", &S::autovoice, 0));
        return k;
    }();
    return keys;
}

const TSettingsKey* SettingsKeyOf(const TSettingField& field) {
    for (const TSettingsKey& k : SettingsKeys())
        if (k.profile < 0 && k.field == field) return &k;
    return nullptr;
}

namespace {

// The alternative M of a field, or nullptr for a kind no field has.
template <typename M, typename... Ts>
const M* Alternative(const std::variant<Ts...>& v) {
    if constexpr ((std::is_same_v<M, Ts> || ...)) return std::get_if<M>(&v);
    else return nullptr;
}

// The field of a row in a settings value when it holds a T.
template <typename T, typename Settings>
auto* FieldIn(Settings& s, const TSettingsKey& k) {
    using Field = std::conditional_t<std::is_const_v<Settings>, const T, T>;
    if (const auto* own = Alternative<T TSettings::*>(k.field)) return static_cast<Field*>(&(s.**own));
    const auto* voice = Alternative<T StoredVoice::*>(k.field);
    return voice ? &(s.Voices[k.profile].**voice) : static_cast<Field*>(nullptr);
}

}  // namespace

TSettings DefaultSettings() {
    TSettings d;
    for (const TSettingsKey& k : SettingsKeys()) {
        if (auto* b = FieldIn<bool>(d, k)) *b = k.def != 0;
        if (auto* i = FieldIn<int>(d, k)) *i = k.def;
    }
    return d;
}

void ReadSettings(TIniFile& ini, TSettingFeeds feeds, TSettings& into) {
    for (const TSettingsKey& k : SettingsKeys()) {
        if ((k.profile >= 0) != (feeds == TSettingFeeds::VoiceProfiles)) continue;
        if (auto* b = FieldIn<bool>(into, k)) *b = ini.ReadBool(kSettingsSection, k.name, k.def != 0);
        if (auto* t = FieldIn<std::string>(into, k)) *t = ini.ReadString(kSettingsSection, k.name, "");
        if (auto* t = FieldIn<std::optional<std::string>>(into, k)) *t = ini.ReadString(kSettingsSection, k.name, "");
        if (auto* i = FieldIn<int>(into, k)) {
            if (!k.parse) {
                *i = ini.ReadInteger(kSettingsSection, k.name, k.def);
                continue;
            }
            const std::string value = ini.ReadString(kSettingsSection, k.name, "");
            *i = value.empty() ? k.def : k.parse(value);
        }
    }
}

void WriteSettings(TIniFile& ini, const TSettings& from) {
    for (const TSettingsKey& k : SettingsKeys()) {
        if (auto* b = FieldIn<bool>(from, k)) ini.WriteBool(kSettingsSection, k.name, *b);
        if (auto* t = FieldIn<std::string>(from, k)) ini.WriteString(kSettingsSection, k.name, *t);
        if (auto* t = FieldIn<std::optional<std::string>>(from, k); t && *t)
            ini.WriteString(kSettingsSection, k.name, **t);
        if (auto* i = FieldIn<int>(from, k); i && !(k.onlyWithSelection && *i < 0))
            ini.WriteInteger(kSettingsSection, k.name, *i);
    }
}

void SetOptionText(TSettings& s, const TSettingField& field, const std::string& text) {
    if (const auto* words = std::get_if<std::string TSettings::*>(&field)) s.**words = text;
    const auto* number = std::get_if<int TSettings::*>(&field);
    const TSettingsKey* k = number ? SettingsKeyOf(field) : nullptr;
    if (!k) return;
    int value;
    s.**number = k->parse ? k->parse(text) : ParseInteger(text, value) ? value : k->def;
}

std::string OptionText(const TSettings& s, const TSettingField& field) {
    if (const auto* words = std::get_if<std::string TSettings::*>(&field)) return s.**words;
    if (const auto* number = std::get_if<int TSettings::*>(&field)) return std::to_string(s.**number);
    return {};
}

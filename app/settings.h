// The settings file set.ini: its keys, types, defaults and write order in one table that
// reading and writing both use, read and written through the platform's profile-string
// calls. Values are 8-bit text; integers decimal (or hexadecimal after "$", "0x", "0X"),
// booleans as integers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/profiles.h"
#include "capture/watcher.h"
#include "speech/voice_profiles.h"

inline const char kSettingsFileName[] = "set.ini";
inline const char kSettingsSection[] = "set";

// GetPrivateProfileStringA and WritePrivateProfileStringA: names match without regard to
// case, each write reaches the file at once, other sections and keys stay as they are.
struct IProfileStrings {
    virtual ~IProfileStrings() = default;
    // The whole value, however long, or def when the key is missing.
    virtual std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& def) = 0;
    // False when the value could not be written.
    virtual bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // The file's first bytes, at most count; "" when it is missing or cannot be read.
    virtual std::string FirstBytes(const std::string& file, std::size_t count) = 0;
    // GetPrivateProfileSectionA and WritePrivateProfileSectionA: a section's "key=value"
    // lines in file order, and a section made to hold exactly the lines given.
    virtual std::vector<std::string> ReadSection(const std::string& file, const std::string& section) = 0;
    virtual bool WriteSection(const std::string& file, const std::string& section,
                              const std::vector<std::string>& lines) = 0;
};

// An INI file by name, as the framework's TIniFile: each call goes to the file at once.
class TIniFile {
public:
    // The profile calls take a file without a byte-order mark for 8-bit text: one in UTF-16
    // would read as empty and be written over as 8-bit text, its other sections lost. Such a
    // file (it holds NUL bytes, which 8-bit text never does) is refused before any call
    // reaches it: throws std::runtime_error naming it.
    TIniFile(IProfileStrings& profile, std::string fileName);
    const std::string& FileName() const { return fileName_; }
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def);
    // Missing, empty or not a number (see ParseInteger): def.
    int ReadInteger(const std::string& section, const std::string& key, int def);
    // An integer with default 1 or 0; true when it is not 0.
    bool ReadBool(const std::string& section, const std::string& key, bool def);
    // Each throws std::runtime_error "Unable to write to <file>" when the write fails.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    std::vector<std::string> ReadSection(const std::string& section) { return profile_.ReadSection(fileName_, section); }
    // Throws as the writes above do.
    void WriteSection(const std::string& section, const std::vector<std::string>& lines);

private:
    IProfileStrings& profile_;
    std::string fileName_;
};

// Decimal with an optional sign, or hexadecimal after "$", "0x" or "0X" (the sign before the
// prefix), inside the 32-bit signed range. False for anything else, "" included.
bool ParseInteger(const std::string& text, int& value);

// The program's settings, live: the form owns one value. The options page writes each
// control's change into its field, the watcher and the filters read it, and set.ini is read
// into it at start and written from it at exit. Every field is fed from and written by its row
// below; the voice lists are the engine's, and what they hold is recorded into Voices at exit.
struct TSettings : ReadingOptions {
    StoredVoice Voices[kProfileCount];
    bool autovoice = false;  // a friend without a rule gets a voice by nickname
};

// The keys of each profile's stored voice end in its suffix: Rate and Rate1.
inline const char* const kProfileKeySuffix[kProfileCount] = {"", "1"};

// A key's field: one of the settings' own, or one of every profile's stored voice.
using TSettingField = std::variant<bool TSettings::*, int TSettings::*, std::string TSettings::*,
                                   int StoredVoice::*, std::optional<std::string> StoredVoice::*>;

struct TSettingsKey {
    std::string name;  // a profile's key with its suffix
    TSettingField field;
    int def = 0;       // integers; booleans 1 or 0; a text's default is ""
    int profile = -1;  // the profile of a stored voice's key
    // Written only when the value is 0 or more (a list with a selection); otherwise the value
    // already in the file stays. A missing stored text is not written either.
    bool onlyWithSelection = false;
    // An integer key whose text is more than a number (see ParseMaxLength) is read through
    // this instead of ParseInteger, in the file and in its box alike; missing or empty is def.
    int (*parse)(const std::string&) = nullptr;
};

// All keys of section "set", in the order they are written: the program's eleven first,
// in their old order, then the keys later versions added, so older files read as before.
const std::vector<TSettingsKey>& SettingsKeys();
// The row of a field of the settings' own; nullptr when no key keeps it.
const TSettingsKey* SettingsKeyOf(const TSettingField& field);

// Every key at its default, as a run without set.ini sees them.
TSettings DefaultSettings();

// Which start-up step a key feeds: the voice profiles are set up before the reading options.
enum class TSettingFeeds { VoiceProfiles, ReadingOptions };
// Reads the keys that feed one step into their fields; other fields are left.
void ReadSettings(TIniFile& ini, TSettingFeeds feeds, TSettings& into);

// Writes every key in table order; an index without a selection and a missing text are skipped. The first failed
// write throws, and the keys after it are not written.
void WriteSettings(TIniFile& ini, const TSettings& from);

// A box's text, written into its field by the field's own rule: a text as typed, a number
// parsed and kept within its bounds once, when it is typed.
void SetOptionText(TSettings& s, const TSettingField& field, const std::string& text);
// What a box shows of its field: its text, or a number as decimal text.
std::string OptionText(const TSettings& s, const TSettingField& field);

// The settings file set.ini: its keys, types, defaults and write order in one table that
// reading and writing both use, read and written through the platform's profile-string
// calls. Values are 8-bit text; integers decimal (or hexadecimal after "$", "0x", "0X"),
// booleans as integers.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// What the settings hold between runs; every field is fed from and written by its row below.
struct TStoredSettings {
    int Engine, Engine1;  // voice list indices; -1: nothing selected
    int Rate, Rate1, Volume, Volume1;
    bool cbme, cbfriend, cbmyname, cbfriendsname, showtime;
    // The names of the voices at Engine and Engine1, so that a voice installed or removed
    // since does not move the choice to another voice. Missing: "" when read, not written.
    std::optional<std::string> EngineName, EngineName1;
    // How chats are read, each off (empty, 0) by default.
    bool readall, background;
    std::optional<std::string> mynick;
    bool nolinks, squeeze;
    int maxlen;
    std::optional<std::string> mute;
    bool wechat;  // on by default: it only adds windows never read before
    bool autovoice;
};

// Every key at its default, as a run without set.ini sees them.
TStoredSettings DefaultSettings();

enum class TSettingType { Integer, Boolean, Text };

// Which start-up step a key feeds: the voice profiles are set up before the reading options.
enum class TSettingFeeds { VoiceProfiles, ReadingOptions };

class TFmain;

// How a key meets the control that keeps it. store reads the control into the stored values
// at exit; load sets the control from them at start, and is empty for the keys that feed the
// voice profiles, which are applied together with the voice lists.
struct TSettingControl {
    std::function<void(TFmain&, const TStoredSettings&)> load;
    std::function<void(const TFmain&, TStoredSettings&)> store;
};

struct TSettingsKey {
    const char* name;
    TSettingType type;
    int def;  // booleans: 1 or 0
    TSettingFeeds feeds;
    int TStoredSettings::*integer;  // the field of an integer key, else nullptr
    bool TStoredSettings::*boolean; // the field of a boolean key, else nullptr
    std::optional<std::string> TStoredSettings::*text;  // the field of a text key, else nullptr
    // Written only when the value is 0 or more (a list with a selection); otherwise the value
    // already in the file stays.
    bool onlyWithSelection;
    TSettingControl control;
    // An integer key whose text is more than a number (see ParseMaxLength) is read through
    // this instead of ParseInteger; a missing or empty value is still def.
    int (*parse)(const std::string&) = nullptr;
};

// All keys of section "set", in the order they are written: the program's eleven first,
// in their old order, then the keys later versions added, so older files read as before.
// Each row names its control too, so the table sits beside the main window (fmain_startup.cpp).
extern const TSettingsKey kSettingsKeys[];
extern const std::size_t kSettingsKeyCount;

// Reads the keys that feed one step into the fields of their rows; other fields are left.
void ReadSettings(TIniFile& ini, TSettingFeeds feeds, TStoredSettings& into);

// Writes every key in table order; an index without a selection and a missing text are skipped. The first failed
// write throws, and the keys after it are not written.
void WriteSettings(TIniFile& ini, const TStoredSettings& from);

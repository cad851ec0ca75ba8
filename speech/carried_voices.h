// The carried voices (the unit InstallTTS): Microsoft Mary and Mike, whose data files lie in
// the folder "TTS" beside the program. On Windows major version 5 start-up writes a SAPI
// voice token for each below HKEY_LOCAL_MACHINE, so the engine lists them, and exit deletes
// them again. A token of the same name that other software wrote (an installed Mary or
// Mike) is neither overwritten nor deleted: see CarriedVoiceTokenOwner.
#pragma once

#include <memory>
#include <string>
#include <vector>

// One open key below HKEY_LOCAL_MACHINE.
struct IRegistryKey {
    virtual ~IRegistryKey() = default;
    // Writes a string value (REG_SZ); "" names the key's default value. False when refused.
    virtual bool WriteString(const std::string& name, const std::string& data) = 0;
    // A string value; false when it is missing or not a string.
    virtual bool ReadString(const std::string& name, std::string& data) = 0;
    // Deletes a sub-key with its whole sub-tree, sub-keys first. A missing one is no error,
    // and nothing is reported.
    virtual void DeleteTree(const std::string& subKey) = 0;
    // The names of the key's sub-keys, and of its values ("" for the default value).
    virtual std::vector<std::string> SubKeyNames() = 0;
    virtual std::vector<std::string> ValueNames() = 0;
};

// The registry below HKEY_LOCAL_MACHINE. Names match without regard to case.
struct IRegistry {
    virtual ~IRegistry() = default;
    // Opens a key with full access, creating it and any missing key on its path; nullptr
    // when that is refused.
    virtual std::unique_ptr<IRegistryKey> CreateKey(const std::string& path) = 0;
    // Opens an existing key to read it; nullptr when it is missing or cannot be read.
    virtual std::unique_ptr<IRegistryKey> OpenKey(const std::string& path) = 0;
};

struct IOsVersion {
    virtual ~IOsVersion() = default;
    virtual int MajorVersion() = 0;
};

// The voices are carried for Windows XP and Server 2003 only, which lack them.
constexpr bool CarriesVoices(int majorVersion) { return majorVersion == 5; }

enum class TCarriedVoice { Mary, Mike };

struct TTokenValue {
    std::string name;  // "" for the key's default value
    std::string data;
};

struct TTokenKey {
    std::string subKey;  // below the token key; "" for the token key itself
    std::vector<TTokenValue> values;
};

inline const char kVoiceTokensKey[] = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";

std::string CarriedVoiceTokenName(TCarriedVoice voice);  // "MSMary", "MSMike"

// The whole token tree, keys and values in the order they are written. programFolder ends
// with a backslash; systemDrive is the drive of the Windows folder ("C:"), where the lexicon
// files lie.
std::vector<TTokenKey> CarriedVoiceTree(TCarriedVoice voice, const std::string& programFolder,
                                        const std::string& systemDrive);

// The phone converter's map: 72 pairs of phone and identifier on one line.
std::string CarriedVoicePhoneMap();

// A value of Sonvira's own in the token key, written with the tree: no other software
// writes it, so a token that a killed run left from any folder is still known as Sonvira's.
inline const char kCarriedVoiceMark[] = "VoiceSource";
inline const char kCarriedVoiceMarkData[] = "Sonvira";

// Who wrote the token key of that name. Sonvira's own token holds kCarriedVoiceMark, or (as
// older runs wrote it, without the mark) names as its "VoiceData" the voice data file in
// this program folder's "TTS" folder, compared without regard to the case of letters. Any
// other key of that name belongs to other software.
enum class TTokenOwner { Nobody, Sonvira, Other };
TTokenOwner CarriedVoiceTokenOwner(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder);

// Writes the token tree. A key that cannot be opened is passed over silently; a value that
// cannot be written throws std::runtime_error naming it, leaving the rest unwritten. Another
// program's token of that name is left as it is.
void RegisterCarriedVoice(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder,
                          const std::string& systemDrive);

// Deletes Sonvira's own token tree of that voice; reports nothing. A token that holds
// anything the tree does not write (another program's sub-key in a token an older run wrote
// without the mark) is left whole: Sonvira deletes only what it wrote, and the next start
// still knows the token as its own and writes it afresh.
void RemoveCarriedVoice(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder);

// Start-up: on major version 5 removes Mary and Mike (a killed run may have left them), then
// registers Mike and Mary. Nothing on any other version.
void RegisterCarriedVoices(IRegistry& registry, int majorVersion, const std::string& programFolder,
                           const std::string& systemDrive);

// Exit: on major version 5 removes Mary, then Mike. Nothing on any other version.
void RemoveCarriedVoices(IRegistry& registry, int majorVersion, const std::string& programFolder);

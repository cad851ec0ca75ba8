// The carried voices' token trees and their registration; see carried_voices.h.
#include "speech/carried_voices.h"

#include <algorithm>
#include <stdexcept>

#include "base/string_table.h"
#include "base/text.h"
#include "base/trace.h"

namespace {

struct CarriedVoiceData {
    const char* tokenName;
    const char* displayName;
    const char* dataFile;  // relative to the program folder
    const char* defFile;
    const char* gender;
};

const CarriedVoiceData& Data(TCarriedVoice voice) {
    static const CarriedVoiceData mary{"MSMary", "Microsoft Mary", "TTS\\mary.spd", "TTS\\mary.sdf", "Female"};
    static const CarriedVoiceData mike{"MSMike", "Microsoft Mike", "TTS\\mike.spd", "TTS\\mike.sdf", "Male"};
    return voice == TCarriedVoice::Mary ? mary : mike;
}

std::string TokenPath(TCarriedVoice voice) { return std::string(kVoiceTokensKey) + "\\" + Data(voice).tokenName; }

const char kLexiconFolder[] = "\\Program Files\\Common Files\\SpeechEngines\\Microsoft\\Lexicon\\1033\\";

// Folds ASCII letters only, stepping over the second byte of a double-byte character, whose
// value may look like a letter.
bool SameFileName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x81 && x <= 0xFE && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (fold(x) != fold(y)) return false;
    }
    return true;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return text::LowerAscii(x) == text::LowerAscii(y); });
}

// True when every key of the token that the tree names holds only the tree's values and
// sub-keys. The names are ASCII in the tree, so folding ASCII letters is enough.
bool HoldsOnlyTheTree(IRegistry& registry, TCarriedVoice voice) {
    const std::vector<TTokenKey> tree = CarriedVoiceTree(voice, "", "");
    auto inTree = [&tree](const std::string& subKey) {
        return std::any_of(tree.begin(), tree.end(), [&](const TTokenKey& k) { return SameName(k.subKey, subKey); });
    };
    for (const TTokenKey& k : tree) {
        std::unique_ptr<IRegistryKey> key = registry.OpenKey(TokenPath(voice) + (k.subKey.empty() ? "" : "\\" + k.subKey));
        if (!key) continue;
        for (const std::string& name : key->ValueNames())
            if (std::none_of(k.values.begin(), k.values.end(), [&](const TTokenValue& v) { return SameName(v.name, name); }))
                return false;
        for (const std::string& sub : key->SubKeyNames())
            if (!inTree(k.subKey.empty() ? sub : k.subKey + "\\" + sub)) return false;
    }
    return true;
}

}  // namespace

std::string CarriedVoiceTokenName(TCarriedVoice voice) { return Data(voice).tokenName; }

std::string CarriedVoicePhoneMap() {
    static const char* const phones[] = {"AA", "AE", "AH", "AO", "AW", "AX", "AY", "B",  "CH", "D",
                                         "DH", "EH", "ER", "EY", "F",  "G",  "H",  "IH", "IY", "JH",
                                         "K",  "L",  "M",  "N",  "NG", "OW", "OY", "P",  "R",  "S",
                                         "SH", "T",  "TH", "UH", "UW", "V",  "W",  "Y",  "Z",  "ZH"};
    static const std::string vowels = " AA AE AH AO AW AX AY EH ER EY IH IY OW OY UH UW ";
    std::string map;
    unsigned id = 0x000a;
    for (const char* phone : phones) {
        // By hand rather than with snprintf, whose C99 formatter would cost the program about 27 KB.
        static const char digits[] = "0123456789abcdef";
        const char hex[] = {digits[id >> 12 & 15], digits[id >> 8 & 15], digits[id >> 4 & 15], digits[id & 15], '\0'};
        ++id;
        std::string p = phone;
        if (!map.empty()) map += ' ';
        map += p + " " + hex;
        // Each vowel carries its primary (1) and secondary (2) stress right after it.
        if (vowels.find(" " + p + " ") != std::string::npos)
            map += " " + p + "1 " + hex + "0008 " + p + "2 " + hex + "0009";
    }
    return map;
}

std::vector<TTokenKey> CarriedVoiceTree(TCarriedVoice voice, const std::string& programFolder,
                                        const std::string& systemDrive) {
    const CarriedVoiceData& d = Data(voice);
    const std::string name = d.displayName;
    const std::string lexicon = systemDrive + kLexiconFolder;
    return {
        {"",
         {{"", name},
          {"409", name},
          {"CLSID", "{65DBDDEF-0725-11D3-B50C-00C04F797396}"},
          {"VoiceData", programFolder + d.dataFile},
          {"VoiceDef", programFolder + d.defFile},
          {kCarriedVoiceMark, kCarriedVoiceMarkData}}},
        {"Attributes",
         {{"", ""},
          {"Age", "Adult"},
          {"Gender", d.gender},
          {"Language", "409;9"},
          {"Name", name},
          {"Vendor", "Microsoft"},
          {"VendorPreferred", ""}}},
        {"Lex", {{"", ""}, {"CLSID", "{90903716-2F42-11D3-9C26-00C04F8EF87C}"}, {"DataFile", lexicon + "LTTS1033.LXA"}}},
        {"LTS", {{"", ""}, {"CLSID", "{685879BA-3263-11D3-9C26-00C04F8EF87C}"}, {"DataFile", lexicon + "r1033tts.LXA"}}},
        {"LTS\\PhoneConverter",
         {{"", "Microsoft English LTS Phone Converter"},
          {"CLSID", "{9185F743-1143-4C28-86B5-BFF14F20E5C8}"},
          {"PhoneMap", CarriedVoicePhoneMap()}}},
    };
}

TTokenOwner CarriedVoiceTokenOwner(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder) {
    std::unique_ptr<IRegistryKey> key = registry.OpenKey(TokenPath(voice));
    if (!key) return TTokenOwner::Nobody;
    std::string data;
    if (key->ReadString(kCarriedVoiceMark, data) && data == kCarriedVoiceMarkData) return TTokenOwner::Sonvira;
    // Older runs wrote no mark; theirs is known by this folder's data file.
    if (key->ReadString("VoiceData", data) && SameFileName(data, programFolder + Data(voice).dataFile))
        return TTokenOwner::Sonvira;
    return TTokenOwner::Other;
}

void RegisterCarriedVoice(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder,
                          const std::string& systemDrive) {
    if (CarriedVoiceTokenOwner(registry, voice, programFolder) == TTokenOwner::Other) return;
    for (const TTokenKey& k : CarriedVoiceTree(voice, programFolder, systemDrive)) {
        std::string path = TokenPath(voice) + (k.subKey.empty() ? "" : "\\" + k.subKey);
        std::unique_ptr<IRegistryKey> key = registry.CreateKey(path);
        if (!key) {
            TraceIgnored("registering a carried voice", "cannot open HKEY_LOCAL_MACHINE\\", path.c_str());
            continue;
        }
        for (const TTokenValue& v : k.values)
            if (!key->WriteString(v.name, v.data)) throw std::runtime_error(texts::FailedToSetData(v.name));
    }
}

void RemoveCarriedVoice(IRegistry& registry, TCarriedVoice voice, const std::string& programFolder) {
    std::unique_ptr<IRegistryKey> tokens = registry.CreateKey(kVoiceTokensKey);
    if (!tokens) {
        TraceIgnored("removing a carried voice", "cannot open HKEY_LOCAL_MACHINE\\", kVoiceTokensKey);
        return;
    }
    if (CarriedVoiceTokenOwner(registry, voice, programFolder) == TTokenOwner::Other) return;
    if (!HoldsOnlyTheTree(registry, voice)) {
        TraceIgnored("removing a carried voice", "the token holds what Sonvira did not write: ", Data(voice).tokenName);
        return;
    }
    tokens->DeleteTree(Data(voice).tokenName);
}

void RegisterCarriedVoices(IRegistry& registry, int majorVersion, const std::string& programFolder,
                           const std::string& systemDrive) {
    if (!CarriesVoices(majorVersion)) return;
    RemoveCarriedVoice(registry, TCarriedVoice::Mary, programFolder);
    RemoveCarriedVoice(registry, TCarriedVoice::Mike, programFolder);
    RegisterCarriedVoice(registry, TCarriedVoice::Mike, programFolder, systemDrive);
    RegisterCarriedVoice(registry, TCarriedVoice::Mary, programFolder, systemDrive);
}

void RemoveCarriedVoices(IRegistry& registry, int majorVersion, const std::string& programFolder) {
    if (!CarriesVoices(majorVersion)) return;
    RemoveCarriedVoice(registry, TCarriedVoice::Mary, programFolder);
    RemoveCarriedVoice(registry, TCarriedVoice::Mike, programFolder);
}

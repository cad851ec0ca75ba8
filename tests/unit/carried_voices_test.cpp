// The carried voices: the phone map from its rule, the token trees value for value, the
// order of start-up and exit on version 5 only, a token of other software left alone, a
// stale own token (from this folder, or marked as Sonvira's from any) rewritten, and left whole
// when it holds more than its tree, and the failures that are and are not reported.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "speech/carried_voices.h"
#include "common/fake_registry.h"

namespace {

const std::string kFolder = "D:\\\xc0\xca\xb6\xc1\\";  // D:\朗读\ (GBK)
const std::string kTokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";
const std::string kMary = kTokens + "\\MSMary";
const std::string kMike = kTokens + "\\MSMike";

std::vector<std::string> Words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> w;
    for (std::string x; in >> x;) w.push_back(x);
    return w;
}

// The tree as the registry holds it: "subkey|name=data" in key and write order.
std::vector<std::string> Stored(const FakeRegistry& r, const std::string& token) {
    std::vector<std::string> out;
    for (const char* sub : {"", "Attributes", "Lex", "LTS", "LTS\\PhoneConverter"}) {
        const FakeRegistry::Key* k = r.Find(token + (*sub ? std::string("\\") + sub : ""));
        if (!k) continue;
        for (const auto& v : k->values) out.push_back(std::string(sub) + "|" + v.first + "=" + v.second);
    }
    return out;
}

std::vector<std::string> Expected(TCarriedVoice voice, const std::string& folder, const std::string& drive) {
    std::vector<std::string> out;
    for (const auto& k : CarriedVoiceTree(voice, folder, drive))
        for (const auto& v : k.values) out.push_back(k.subKey + "|" + v.name + "=" + v.data);
    return out;
}

TEST(CarriedVoices, ThePhoneMapFollowsItsRule) {
    std::string map = CarriedVoicePhoneMap();
    EXPECT_EQ(map.size(), 718u);
    std::vector<std::string> w = Words(map);
    ASSERT_EQ(w.size(), 144u) << "72 pairs";
    EXPECT_EQ(map.find("  "), std::string::npos);
    EXPECT_EQ(map.rfind("AA 000a AA1 000a0008 AA2 000a0009 AE 000b", 0), 0u);
    const std::string tail = "V 002d W 002e Y 002f Z 0030 ZH 0031";
    EXPECT_EQ(map.substr(map.size() - tail.size()), tail);
    EXPECT_NE(map.find("AY2 00100009 B 0011 CH 0012"), std::string::npos);
    // Every stressed form follows its vowel with the vowel's identifier and 0008 or 0009.
    int stressed = 0;
    for (std::size_t i = 0; i + 1 < w.size(); i += 2) {
        const std::string& phone = w[i];
        if (phone.back() == '1' || phone.back() == '2') {
            ++stressed;
            EXPECT_EQ(w[i - 2 * (phone.back() - '0')], phone.substr(0, phone.size() - 1));
            EXPECT_EQ(w[i + 1], w[i + 1 - 2 * (phone.back() - '0')] + (phone.back() == '1' ? "0008" : "0009"));
        }
    }
    EXPECT_EQ(stressed, 32);
}

TEST(CarriedVoices, TheTreesHoldTheTablesValues) {
    const std::string lex = "C:\\Program Files\\Common Files\\SpeechEngines\\Microsoft\\Lexicon\\1033\\";
    struct Case {
        TCarriedVoice voice;
        const char *name, *file, *gender;
    } cases[] = {{TCarriedVoice::Mary, "Microsoft Mary", "mary", "Female"},
                 {TCarriedVoice::Mike, "Microsoft Mike", "mike", "Male"}};
    for (const auto& c : cases) {
        const std::string n = c.name;
        std::vector<std::string> want = {
            "|=" + n,
            "|409=" + n,
            "|CLSID={65DBDDEF-0725-11D3-B50C-00C04F797396}",
            "|VoiceData=" + kFolder + "TTS\\" + c.file + ".spd",
            "|VoiceDef=" + kFolder + "TTS\\" + c.file + ".sdf",
            "|VoiceSource=Sonvira",
            "Attributes|=",
            "Attributes|Age=Adult",
            std::string("Attributes|Gender=") + c.gender,
            "Attributes|Language=409;9",
            "Attributes|Name=" + n,
            "Attributes|Vendor=Microsoft",
            "Attributes|VendorPreferred=",
            "Lex|=",
            "Lex|CLSID={90903716-2F42-11D3-9C26-00C04F8EF87C}",
            "Lex|DataFile=" + lex + "LTTS1033.LXA",
            "LTS|=",
            "LTS|CLSID={685879BA-3263-11D3-9C26-00C04F8EF87C}",
            "LTS|DataFile=" + lex + "r1033tts.LXA",
            "LTS\\PhoneConverter|=Microsoft English LTS Phone Converter",
            "LTS\\PhoneConverter|CLSID={9185F743-1143-4C28-86B5-BFF14F20E5C8}",
            "LTS\\PhoneConverter|PhoneMap=" + CarriedVoicePhoneMap(),
        };
        EXPECT_EQ(Expected(c.voice, kFolder, "C:"), want) << n;
    }
}

TEST(CarriedVoices, StartAndExitTouchTheRegistryOnVersionFiveOnly) {
    for (int major : {4, 5, 6, 10}) {
        FakeRegistry r;
        RegisterCarriedVoices(r, major, kFolder, "C:");
        std::vector<std::string> creates;
        for (const auto& l : r.log)
            if (l.rfind("create ", 0) == 0 || l.rfind("delete ", 0) == 0) creates.push_back(l);
        if (major != 5) {
            EXPECT_TRUE(r.log.empty()) << major;
            EXPECT_TRUE(r.keys.empty()) << major;
            continue;
        }
        // Removing creates the "Tokens" key; Mike is written before Mary.
        EXPECT_EQ(std::vector<std::string>(creates.begin(), creates.begin() + 2),
                  std::vector<std::string>({"create SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens", "create " + kMike}));
        EXPECT_EQ(creates[6], "create " + kMary);
        EXPECT_EQ(creates.size(), 11u);
        EXPECT_EQ(Stored(r, kMary), Expected(TCarriedVoice::Mary, kFolder, "C:"));
        EXPECT_EQ(Stored(r, kMike), Expected(TCarriedVoice::Mike, kFolder, "C:"));

        r.log.clear();
        RemoveCarriedVoices(r, major, kFolder);
        EXPECT_EQ(r.log, std::vector<std::string>({"delete " + kMary, "delete " + kMike}));
        EXPECT_TRUE(r.Below(kMary).empty() && r.Below(kMike).empty());
        EXPECT_NE(r.Find(kTokens), nullptr) << "the Tokens key itself stays";
    }
    FakeRegistry r;
    r.PutValue(kMary, "VoiceData", kFolder + "TTS\\mary.spd");
    RemoveCarriedVoices(r, 6, kFolder);
    EXPECT_NE(r.Find(kMary), nullptr) << "exit on version 6 deletes nothing";
}

TEST(CarriedVoices, AnotherProgramsTokenIsNeitherOverwrittenNorDeleted) {
    const std::string installed = "C:\\Program Files\\Common Files\\SpeechEngines\\Microsoft\\TTS\\1033\\mary.spd";
    struct Case {
        const char* what;
        std::string voiceData;  // "": the key has no VoiceData
    } cases[] = {
        {"installed Mary", installed},
        {"another folder's TTS", "E:\\old\\TTS\\mary.spd"},
        {"no VoiceData", ""},
        {"Mike's file", kFolder + "TTS\\mike.spd"},
    };
    for (const auto& c : cases) {
        FakeRegistry r;
        r.PutValue(kMary, "", "Microsoft Mary");
        if (!c.voiceData.empty()) r.PutValue(kMary, "VoiceData", c.voiceData);
        r.PutValue(kMary + "\\Attributes", "Vendor", "Microsoft");
        auto before = r.keys;
        RegisterCarriedVoices(r, 5, kFolder, "C:");
        EXPECT_EQ(CarriedVoiceTokenOwner(r, TCarriedVoice::Mary, kFolder), TTokenOwner::Other) << c.what;
        for (const auto& l : r.log) EXPECT_EQ(l.find(kMary), std::string::npos) << c.what << ": " << l;
        EXPECT_EQ(Stored(r, kMike), Expected(TCarriedVoice::Mike, kFolder, "C:")) << c.what;
        RemoveCarriedVoices(r, 5, kFolder);
        for (const auto& k : before) {
            ASSERT_NE(r.Find(k.second.path), nullptr) << c.what << ": " << k.second.path;
            EXPECT_EQ(r.Find(k.second.path)->values, k.second.values) << c.what;
        }
        EXPECT_EQ(r.Find(kMike), nullptr) << c.what;
    }
}

TEST(CarriedVoices, AStaleOwnTokenIsWrittenAfreshAndLeftWholeWhenItHoldsMoreThanItsTree) {
    // A killed run left its tokens, where another program has put a value or a sub-key since,
    // each of which alone keeps the token whole; the program was started by another spelling
    // of its folder since. The last one was left by a run from another folder: the mark tells it.
    for (const std::string& written : {kFolder + "TTS\\mary.spd", std::string("d:\\\xc0\xca\xb6\xc1\\tts\\MARY.SPD"),
                                       std::string("E:\\old\\TTS\\mary.spd")})
    for (const std::string& foreign : {kMary, kMary + "\\Old"}) {
        FakeRegistry r;
        r.PutValue(kMary, "VoiceData", written);
        if (written[0] == 'E') r.PutValue(kMary, "VoiceSource", "Sonvira");
        r.PutValue(foreign, "Stale", "1");
        r.PutValue(kMary + "\\Attributes", "Age", "Child");
        EXPECT_EQ(CarriedVoiceTokenOwner(r, TCarriedVoice::Mary, kFolder), TTokenOwner::Sonvira) << written;
        RegisterCarriedVoices(r, 5, kFolder, "C:");
        const std::vector<std::string> stored = Stored(r, kMary);
        for (const std::string& value : Expected(TCarriedVoice::Mary, kFolder, "C:"))
            EXPECT_NE(std::find(stored.begin(), stored.end(), value), stored.end()) << written << ": " << value;
        RemoveCarriedVoices(r, 5, kFolder);
        ASSERT_NE(r.Find(foreign), nullptr) << written << ": a token holding more than its tree stays whole";
        const auto& values = r.Find(foreign)->values;
        EXPECT_EQ(std::count(values.begin(), values.end(), std::pair<std::string, std::string>("Stale", "1")), 1)
            << written << " " << foreign;
        EXPECT_EQ(Stored(r, kMary), stored) << written;
    }
    // Case is folded for letters only: a double-byte character whose second byte looks like
    // a letter is another folder ("乗" is 81 5C; 81 41 and 81 61 are two other characters).
    FakeRegistry r;
    r.PutValue(kMary, "VoiceData", "D:\\\x81\x61\\TTS\\mary.spd");
    EXPECT_EQ(CarriedVoiceTokenOwner(r, TCarriedVoice::Mary, "D:\\\x81\x41\\"), TTokenOwner::Other);
    EXPECT_EQ(CarriedVoiceTokenOwner(r, TCarriedVoice::Mary, "D:\\\x81\x61\\"), TTokenOwner::Sonvira);
    EXPECT_EQ(CarriedVoiceTokenOwner(r, TCarriedVoice::Mike, "D:\\\x81\x61\\"), TTokenOwner::Nobody);
}

TEST(CarriedVoices, WithoutAccessNothingHappensAndNothingIsReported) {
    FakeRegistry r;
    r.PutValue(kMary, "VoiceData", kFolder + "TTS\\mary.spd");
    r.refuseAccess = true;
    EXPECT_NO_THROW(RegisterCarriedVoices(r, 5, kFolder, "C:"));
    EXPECT_NO_THROW(RemoveCarriedVoices(r, 5, kFolder));
    EXPECT_TRUE(r.log.empty());
    EXPECT_NE(r.Find(kMary), nullptr);
}

TEST(CarriedVoices, AValueThatCannotBeWrittenEndsTheRoutineNamingIt) {
    FakeRegistry r;
    r.refusedValues = {"Gender"};
    try {
        RegisterCarriedVoices(r, 5, kFolder, "C:");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Gender'");
    }
    // Mike's token key and the first two values of Attributes were written, nothing after.
    std::vector<std::string> mike = Stored(r, kMike);
    ASSERT_EQ(mike.size(), 8u);
    EXPECT_EQ(mike.back(), "Attributes|Age=Adult");
    EXPECT_EQ(r.Find(kMike + "\\Lex"), nullptr);
    EXPECT_EQ(r.Find(kMary), nullptr) << "Mary comes after Mike";
}

}  // namespace

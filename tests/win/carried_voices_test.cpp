// The carried voices in the real registry under Wine: the trees as written, read back value
// for value with their types and key names; a token of other software kept; a stale own
// token rewritten; the engine listing the voices while they are registered; and nothing
// touched at the version Wine reports by default.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "speech/carried_voices_win.h"
#include "speech/sapi_engine_win.h"
#include "win/com.h"

namespace {

const std::string kTokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";
const std::string kFolder = "C:\\\xb9\xa4\xbe\xdf\\";  // C:\工具\ (GBK)

// Values of a key as "name=data" (REG_SZ only; other types show as "name:type").
std::vector<std::string> Values(const std::string& path) {
    std::vector<std::string> out;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(k, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<char> data(size + 1, '\0');
        nameSize = sizeof name;
        RegEnumValueA(k, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        out.push_back(type == REG_SZ ? std::string(name) + "=" + data.data()
                                     : std::string(name) + ":" + std::to_string(type));
    }
    RegCloseKey(k);
    return out;
}

std::vector<std::string> SubKeys(const std::string& path) {
    std::vector<std::string> out;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(k, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.emplace_back(name, size);
    }
    RegCloseKey(k);
    return out;
}

bool Exists(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void Put(const std::string& path, const std::string& name, const std::string& data) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(k);
}

// What the table says, in the same "name=data" form, for one key of the tree. Values come
// back in the order they were written, so the order is checked too.
std::vector<std::string> Table(TCarriedVoice voice, const std::string& subKey) {
    for (const auto& k : CarriedVoiceTree(voice, kFolder, "C:")) {
        if (k.subKey != subKey) continue;
        std::vector<std::string> out;
        for (const auto& v : k.values) out.push_back(v.name + "=" + v.data);
        return out;
    }
    return {};
}

class CarriedVoicesWin : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        for (const char* t : {"MSMary", "MSMike"}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kTokens + "\\" + t).c_str());
    }
    void ExpectTree(TCarriedVoice voice) {
        const std::string token = kTokens + "\\" + CarriedVoiceTokenName(voice);
        EXPECT_EQ(Values(token), Table(voice, ""));
        EXPECT_EQ(Values(token + "\\Attributes"), Table(voice, "Attributes"));
        EXPECT_EQ(Values(token + "\\Lex"), Table(voice, "Lex"));
        EXPECT_EQ(Values(token + "\\LTS"), Table(voice, "LTS"));
        EXPECT_EQ(Values(token + "\\LTS\\PhoneConverter"), Table(voice, "LTS\\PhoneConverter"));
        EXPECT_EQ(SubKeys(token), std::vector<std::string>({"Attributes", "Lex", "LTS"}));
        EXPECT_EQ(SubKeys(token + "\\LTS"), std::vector<std::string>({"PhoneConverter"}));
    }
    Win32Registry registry_;
};

TEST_F(CarriedVoicesWin, StartWritesBothTreesValueForValueAndExitRemovesThem) {
    RegisterCarriedVoices(registry_, 5, kFolder, "C:");
    // The key names as the program wrote them, among whatever voices the prefix has.
    std::vector<std::string> tokens = SubKeys(kTokens);
    EXPECT_NE(std::find(tokens.begin(), tokens.end(), "MSMary"), tokens.end());
    EXPECT_NE(std::find(tokens.begin(), tokens.end(), "MSMike"), tokens.end());
    ExpectTree(TCarriedVoice::Mary);
    ExpectTree(TCarriedVoice::Mike);
    EXPECT_EQ(Values(kTokens + "\\MSMary")[0], "=Microsoft Mary") << "the default value";

    RemoveCarriedVoices(registry_, 5, kFolder);
    EXPECT_FALSE(Exists(kTokens + "\\MSMary"));
    EXPECT_FALSE(Exists(kTokens + "\\MSMike"));
    EXPECT_TRUE(Exists(kTokens));
}

TEST_F(CarriedVoicesWin, TheEngineListsThemOnlyWhileTheyAreRegistered) {
    ScopedCom com;
    auto names = [] {
        std::unique_ptr<ISpeechEngine> engine = CreateSapiEngine();
        std::vector<std::string> out;
        for (const auto& t : engine->CreateVoice()->GetVoices()) out.push_back(t->Description());
        return out;
    };
    auto has = [](const std::vector<std::string>& v, const char* n) { return std::find(v.begin(), v.end(), n) != v.end(); };
    RegisterCarriedVoices(registry_, 5, kFolder, "C:");
    std::vector<std::string> during = names();
    EXPECT_TRUE(has(during, "Microsoft Mary") && has(during, "Microsoft Mike"));
    RemoveCarriedVoices(registry_, 5, kFolder);
    std::vector<std::string> after = names();
    EXPECT_FALSE(has(after, "Microsoft Mary") || has(after, "Microsoft Mike"));
    EXPECT_EQ(after.size() + 2, during.size());
}

TEST_F(CarriedVoicesWin, AnInstalledVoiceOfTheSameNameSurvivesStartAndExit) {
    const std::string mary = kTokens + "\\msmary";  // names match without regard to case
    const std::string installed = "C:\\Program Files\\Common Files\\SpeechEngines\\Microsoft\\TTS\\1033\\mary.spd";
    Put(mary, "", "Microsoft Mary");
    Put(mary, "VoiceData", installed);
    Put(mary + "\\Attributes", "Vendor", "Microsoft");
    Put(mary + "\\Extra", "Kept", "yes");
    RegisterCarriedVoices(registry_, 5, kFolder, "C:");
    ExpectTree(TCarriedVoice::Mike);
    RemoveCarriedVoices(registry_, 5, kFolder);
    EXPECT_EQ(Values(mary), std::vector<std::string>({"=Microsoft Mary", "VoiceData=" + installed}));
    EXPECT_EQ(Values(mary + "\\Attributes"), std::vector<std::string>({"Vendor=Microsoft"}));
    EXPECT_EQ(Values(mary + "\\Extra"), std::vector<std::string>({"Kept=yes"}));
    EXPECT_EQ(SubKeys(mary), std::vector<std::string>({"Attributes", "Extra"}));
    EXPECT_FALSE(Exists(kTokens + "\\MSMike"));
}

TEST_F(CarriedVoicesWin, AStaleOwnTokenIsDeletedAndWrittenAfresh) {
    const std::string mike = kTokens + "\\MSMike";
    Put(mike, "VoiceData", kFolder + "TTS\\mike.spd");
    Put(mike, "Stale", "1");
    Put(mike + "\\Attributes", "Gender", "Female");
    Put(mike + "\\Old\\Deeper", "x", "y");
    RegisterCarriedVoices(registry_, 5, kFolder, "C:");
    ExpectTree(TCarriedVoice::Mike);
    ExpectTree(TCarriedVoice::Mary);
}

TEST_F(CarriedVoicesWin, WineReportsVersionSixWhereNothingIsTouched) {
    Win32OsVersion os;
    ASSERT_EQ(os.MajorVersion(), 6);
    const std::string mary = kTokens + "\\MSMary";
    Put(mary, "VoiceData", kFolder + "TTS\\mary.spd");
    RegisterCarriedVoices(registry_, os.MajorVersion(), kFolder, "C:");
    EXPECT_EQ(Values(mary), std::vector<std::string>({"VoiceData=" + kFolder + "TTS\\mary.spd"}));
    EXPECT_FALSE(Exists(kTokens + "\\MSMike"));
    RemoveCarriedVoices(registry_, os.MajorVersion(), kFolder);
    EXPECT_TRUE(Exists(mary));
}

}  // namespace

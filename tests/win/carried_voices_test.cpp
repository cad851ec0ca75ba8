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
#include "support/registry.h"
#include "win/com.h"

namespace {

using reg::Exists;
using reg::SubKeys;
using reg::Values;

void Put(const std::string& path, const std::string& name, const std::string& data) {
    ASSERT_TRUE(reg::Put(path, name, data)) << path;
}

const std::string kTokens = "SOFTWARE\\Microsoft\\Speech\\Voices\\Tokens";
const std::string kFolder = "C:\\\xb9\xa4\xbe\xdf\\";  // C:\工具\ (GBK)

// What the table says, in the same "name=data" form, for one key of the tree. Wine lists a
// key's values by name, which for these trees is also the table's order; the order of the
// writes themselves is the unit tests' to check.
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
        for (const char* t : {"MSMary", "MSMike"}) reg::Delete(kTokens + "\\" + t);
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

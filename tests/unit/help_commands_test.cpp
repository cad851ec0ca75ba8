// The help menu's boxes and addresses against recording boxes and shell: exactly what each
// is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/help_commands.h"
#include "app/maker.h"
#include "common/desk_doubles.h"

namespace {

std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find(u"\r\n", start)) != std::u16string::npos; start = p + 2)
        lines.push_back(text.substr(start, p - start));
    lines.push_back(text.substr(start));
    return lines;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

TEST(HelpAndAbout, BoxesWithoutOwnerShowTheirTextsLineByLine) {
    RecordingBoxes boxes;
    ShowHelp(boxes);
    ShowAbout(boxes);
    ASSERT_EQ(boxes.shown.size(), 2u);
    for (const auto& b : boxes.shown) {
        EXPECT_EQ(b.owner, IMessageBoxes::Owner::None);
        EXPECT_EQ(b.flags, 0u) << "one OK button, no icon";
        EXPECT_EQ(std::count(b.text.begin(), b.text.end(), u'\n'), std::count(b.text.begin(), b.text.end(), u'\r'));
    }
    const std::u16string rule46(46, u'-'), rule37(37, u'-');
    EXPECT_EQ(boxes.shown[0].caption, u"帮助");
    EXPECT_EQ(Lines(boxes.shown[0].text),
              (std::vector<std::u16string>{u"如何使用本软件?", u"", u"1. 打开并登陆 QQ 或 TM 软件。 ", u"",
                                           u"2. 开始与QQ或TM上的好朋友进行文字聊天。", u"",
                                           u"3. 即可立即发送和接收到的消息被朗读出来。", u"", rule46, u"",
                                           u"在朗读时如何使QQ静音?", u"", u"1.点击QQ主菜单,", u"", u"2.点击 静音 菜单项,",
                                           u"", u"3.这样即可在朗读消息时听着更加清楚和舒适。"}));
    EXPECT_EQ(boxes.shown[1].caption, u"关于");
    EXPECT_EQ(Lines(boxes.shown[1].text),
              (std::vector<std::u16string>{u"Sonvira", rule37, u"版权所有 (C) Sonvira 开发组，免费使用。", u"", Widen(maker::kMailAddress), u"",
                                           Widen(maker::kHomePage), rule37}));
}

TEST(ShellCommands, OpenTheirAddressesWithTheirShowModes) {
    RecordingShell shell;
    OpenVoiceDownloadPage(shell);
    OpenHomePage(shell);
    WriteMailToMaker(shell);
    struct Want {
        std::string file;
        int show;
    } want[] = {
        {maker::kVoiceDownloadPage, 3 /* SW_SHOWMAXIMIZED */},
        {maker::kHomePage, 3},
        {std::string("mailto:") + maker::kMailAddress, 5 /* SW_SHOW */},
    };
    ASSERT_EQ(shell.requests.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(shell.requests[i].operation, "open");
        EXPECT_EQ(shell.requests[i].file, want[i].file);
        EXPECT_EQ(shell.requests[i].parameters + shell.requests[i].directory, "");
        EXPECT_EQ(shell.requests[i].show, want[i].show);
    }
}

}  // namespace

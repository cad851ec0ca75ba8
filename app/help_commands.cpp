// The help menu's boxes and addresses; see help_commands.h.
#include "app/help_commands.h"

#include "app/maker.h"
#include "base/string_table.h"

namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string JoinLines(std::initializer_list<std::u16string> lines) {
    std::u16string text;
    bool first = true;
    for (const auto& line : lines) {
        if (!first) text += u"\r\n";
        text += line;
        first = false;
    }
    return text;
}

}  // namespace

std::u16string HelpText() {
    using namespace texts;
    return JoinLines({kHelpHowTo, u"", kHelpStep1, u"", kHelpStep2, u"", kHelpStep3, u"", std::u16string(46, u'-'),
                      u"", kHelpMuteQQ, u"", kHelpMuteStep1, u"", kHelpMuteStep2, u"", kHelpMuteStep3});
}

std::u16string AboutText() {
    const std::u16string rule(37, u'-');
    return JoinLines({texts::kProgramName, rule, texts::kAboutNotice, u"", Widen(maker::kMailAddress), u"",
                      Widen(maker::kHomePage), rule});
}

void ShowHelp(IMessageBoxes& boxes) { boxes.Show(IMessageBoxes::Owner::None, HelpText(), texts::kHelpCaption, kMbOk); }
void ShowAbout(IMessageBoxes& boxes) {
    boxes.Show(IMessageBoxes::Owner::None, AboutText(), texts::kAboutCaption, kMbOk);
}

void OpenVoiceDownloadPage(IShell& shell) { shell.Execute("open", maker::kVoiceDownloadPage, "", "", kSwShowMaximized); }
void OpenHomePage(IShell& shell) { shell.Execute("open", maker::kHomePage, "", "", kSwShowMaximized); }
void WriteMailToMaker(IShell& shell) { shell.Execute("open", std::string("mailto:") + maker::kMailAddress, "", "", kSwShow); }

// The help menu's boxes, the maker's addresses and the voice download page: what the help
// items and the download button open.
#pragma once

#include <string>

#include "ui/shell.h"
#include "ui/dialogs.h"

// The help and about boxes, and the texts they show.
std::u16string HelpText();
std::u16string AboutText();
void ShowHelp(IMessageBoxes& boxes);
void ShowAbout(IMessageBoxes& boxes);
// The download page and the home page open maximised, the mail program normally.
void OpenVoiceDownloadPage(IShell& shell);
void OpenHomePage(IShell& shell);
void WriteMailToMaker(IShell& shell);

// The two menus of the main window as one table: the Win32 window builds MainMenu1 and
// PopupMenu1 from it and routes their commands by it, and the form wires the handlers and the
// first ticks from it. The captions carry no accelerator characters and no separator is ever
// dropped. A row's key works wherever the focus is: a user on a call silences the program
// without looking for its icon.
#include "app/fmain.h"
#include "base/string_table.h"
#include "res/resource.h"

const std::vector<TMenuRow>& TFmain::MenuRows() {
    using F = TFmain;
    namespace T = texts;
    constexpr auto M = TMenuRow::MainMenu1;
    constexpr auto P = TMenuRow::PopupMenu1;
    constexpr unsigned CtrlAlt = THotKey::Ctrl | THotKey::Alt;
    // The items without a handler open their submenus.
    static const std::vector<TMenuRow> rows = {
        {M, false, IDM_NMAIN, &F::NMain, T::kMenuMain, nullptr},
        {M, true, IDM_NOPENMESSAGE, &F::NOpenMessage, T::kMenuOpenMessage, &F::NOpenMessageClick},
        {M, true, IDM_NCLEARMESSAGE, &F::NClearMessage, T::kMenuClearMessage, &F::NClearMessageClick},
        {M, true, IDM_NSAVEMESSAGE, &F::NSaveMessage, T::kMenuSaveMessage, &F::NSaveMessageClick},
        {M, true, IDM_EXPORTMESSAGETOWAV1, &F::ExportMessageToWav1, T::kMenuExportToWav, &F::ExportMessageToWav1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NSHOWTIME1, &F::NShowTime1, T::kMenuShowTime, &F::NShowTime1Click, true},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NOPENONSTARTUP, &F::NOpenOnStartup, T::kMenuOpenOnStartup, &F::NOpenOnStartupClick},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NEXIT, &F::Nexit, T::kMenuExit, &F::NexitClick},
        {M, false, IDM_NHLELP, &F::NHlelp, T::kMenuHelp, nullptr},
        {M, true, IDM_HELP1, &F::Help1, T::kMenuHelp, &F::Help1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_VISITHOMEPAGE1, &F::VisitHomepage1, T::kMenuHomepage, &F::VisitHomepage1Click},
        {M, true, IDM_EMAIL1, &F::Email1, T::kMenuEmail, &F::Email1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_ABOUT1, &F::About1, T::kMenuAbout, &F::About1Click},
        {P, false, IDM_OPEN1, &F::Open1, T::kMenuOpen, &F::Open1Click},
        {P, false, IDM_NITEMOPTIONS, &F::NItemOptions, T::kMenuOptions, &F::NItemOptionsClick},
        {P, false, 0, nullptr, nullptr, nullptr},
        {P, false, IDM_STOPSPEAK1, &F::StopSpeak1, T::kMenuStopSpeak, &F::StopSpeak1Click, false, {CtrlAlt, 'S'}},
        {P, false, IDM_PAUSESPEAK1, &F::PauseSpeak1, T::kMenuPauseSpeak, &F::PauseSpeak1Click, false, {CtrlAlt, 'P'}},
        {P, false, IDM_NOPENONSTARTUP2, &F::NOpenOnStartup2, T::kMenuOpenOnStartup2, &F::NOpenOnStartup2Click},
        {P, false, 0, nullptr, nullptr, nullptr},
        {P, false, IDM_EXIT1, &F::Exit1, T::kMenuExit, &F::Exit1Click},
    };
    return rows;
}

std::u16string KeyText(THotKey k) {
    return texts::HotKeyName(k.modifiers & THotKey::Ctrl, k.modifiers & THotKey::Alt, k.modifiers & THotKey::Shift,
                             k.letter);
}

std::u16string MenuText(const TMenuRow& row) {
    std::u16string text = row.caption;
    return row.key.letter ? text.append(u"\t").append(KeyText(row.key)) : text;
}

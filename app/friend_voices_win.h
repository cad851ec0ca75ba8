// The dialog of friends' voices on Win32: a modal dialog built in code from an empty template,
// its controls laid out at 96 dpi and scaled as the main window's are, in its font.
#pragma once

#include <windows.h>

#include "speech/friend_voices.h"
#include "ui/shell_components.h"

// The dialog's controls, also what the end-to-end tests find them by.
enum FriendVoicesControl : int {
    IDC_FV_LIST = 1001,
    IDC_FV_NICK,
    IDC_FV_VOICE,
    IDC_FV_RATE,
    IDC_FV_RATEVALUE,
    IDC_FV_VOLUME,
    IDC_FV_VOLUMEVALUE,
    IDC_FV_PUT,
    IDC_FV_REMOVE,
};

class Win32FriendVoicesDialog : public IFriendVoicesDialog {
public:
    Win32FriendVoicesDialog(const HWND& owner, const ILeadBytes& lead) : owner_(owner), lead_(lead) {}
    // The main window's font and scale, once it has them.
    void Style(HFONT font, TDpiScale scale) {
        font_ = font;
        scale_ = scale;
    }
    bool Edit(FriendVoices& rules, const TComboBox& voices) override;

private:
    static INT_PTR CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    void Create(HWND dialog);
    void Fill(int select);
    void Show(int rule);
    void Put();
    void Remove();

    const HWND& owner_;
    const ILeadBytes& lead_;
    HFONT font_ = nullptr;
    TDpiScale scale_;
    HWND dialog_ = nullptr;
    FriendVoices* rules_ = nullptr;
    std::vector<std::string> voices_;  // the named ones, in the list's order
};

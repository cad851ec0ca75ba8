// The dialog of friends' voices; see friend_voices_win.h. What it may take is decided by
// PutFriendVoice; the dialog only shows the rules and carries the fields there. Chat data
// cross as ANSI text: the system converts it for the Unicode controls, as it does for the
// main window's voice lists.
#include "app/friend_voices_win.h"

#include <commctrl.h>

#include <string>

#include "base/string_table.h"
#include "win/codepage_win.h"

namespace {

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// The rows of the dialog, at 96 dpi in client coordinates.
const struct Row {
    const wchar_t* cls;
    const char16_t* caption;
    DWORD style;
    short x, y, w, h, id;
} kRows[] = {
    {WC_LISTBOXW, u"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 8, 8, 284, 150, IDC_FV_LIST},
    {WC_STATICW, texts::kFriendVoiceNick, SS_LEFT, 8, 168, 48, 13, -1},
    {WC_EDITW, u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 165, 232, 20, IDC_FV_NICK},
    {WC_STATICW, texts::kVoiceLabel, SS_LEFT, 8, 194, 48, 13, -1},
    {WC_COMBOBOXW, u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 191, 232, 200, IDC_FV_VOICE},
    {WC_STATICW, texts::kRateLabel, SS_LEFT, 8, 222, 48, 13, -1},
    {TRACKBAR_CLASSW, u"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 56, 218, 200, 28, IDC_FV_RATE},
    {WC_STATICW, u"0", SS_LEFT, 262, 222, 30, 13, IDC_FV_RATEVALUE},
    {WC_STATICW, texts::kVolumeLabel, SS_LEFT, 8, 252, 48, 13, -1},
    {TRACKBAR_CLASSW, u"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 56, 248, 200, 28, IDC_FV_VOLUME},
    {WC_STATICW, u"100", SS_LEFT, 262, 252, 30, 13, IDC_FV_VOLUMEVALUE},
    {WC_BUTTONW, texts::kFriendVoicePut, BS_PUSHBUTTON | WS_TABSTOP, 8, 282, 80, 23, IDC_FV_PUT},
    {WC_BUTTONW, texts::kFriendVoiceRemove, BS_PUSHBUTTON | WS_TABSTOP, 94, 282, 60, 23, IDC_FV_REMOVE},
    {WC_BUTTONW, texts::kOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 162, 282, 62, 23, IDOK},
    {WC_BUTTONW, texts::kCancel, BS_PUSHBUTTON | WS_TABSTOP, 230, 282, 62, 23, IDCANCEL},
};
constexpr int kClientWidth = 300, kClientHeight = 313;

LRESULT Send(HWND dialog, int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return SendDlgItemMessageA(dialog, id, msg, wp, lp);
}

}  // namespace

bool Win32FriendVoicesDialog::Edit(FriendVoices& rules, const TComboBox& voices) {
    rules_ = &rules;
    voices_.clear();
    for (int i = 0; i < voices.Count(); ++i)
        if (!voices.Items(i).text.empty()) voices_.push_back(voices.Items(i).text);
    // An empty template: the controls come from the rows above, in the main window's font.
    struct alignas(4) {
        DLGTEMPLATE t;
        WORD menu = 0, cls = 0, title = 0;
    } tpl{{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 0, 0}};
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &tpl.t, owner_, Proc,
                                                   reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
    return answer == IDOK;
}

void Win32FriendVoicesDialog::Create(HWND dialog) {
    dialog_ = dialog;
    SetWindowTextW(dialog, W(texts::kFriendVoicesTitle));
    RECT r = {0, 0, scale_(kClientWidth), scale_(kClientHeight)};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE, 0);
    RECT owner = {};
    GetWindowRect(owner_, &owner);
    SetWindowPos(dialog, nullptr, owner.left + 8, owner.top + 40, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
    for (const Row& row : kRows) {
        HWND c = CreateWindowExW(0, row.cls, W(row.caption), WS_CHILD | WS_VISIBLE | row.style, scale_(row.x),
                                 scale_(row.y), scale_(row.w), scale_(row.h), dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr),
                                 nullptr);
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    for (const std::string& v : voices_) Send(dialog, IDC_FV_VOICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(v.c_str()));
    Send(dialog, IDC_FV_VOICE, CB_SETCURSEL);
    Send(dialog, IDC_FV_RATE, TBM_SETRANGE, FALSE, MAKELPARAM(-10, 10));
    Send(dialog, IDC_FV_VOLUME, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    Send(dialog, IDC_FV_VOLUME, TBM_SETPOS, TRUE, 100);
    Send(dialog, IDC_FV_NICK, EM_LIMITTEXT, 200);
    Fill(-1);
}

// The list shows the rules in their order: "昵称 — 声音 语速 音量".
void Win32FriendVoicesDialog::Fill(int select) {
    static const std::string dash = WideToAnsi(W(texts::kFriendVoiceDash));
    Send(dialog_, IDC_FV_LIST, LB_RESETCONTENT);
    for (const FriendVoice& r : *rules_) {
        const std::string line = r.nick + dash + r.voice + "  " + std::to_string(r.rate) + "  " + std::to_string(r.volume);
        Send(dialog_, IDC_FV_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    Send(dialog_, IDC_FV_LIST, LB_SETCURSEL, static_cast<WPARAM>(select));
}

// A rule whose voice is not installed leaves the voice list without a selection.
void Win32FriendVoicesDialog::Show(int rule) {
    if (rule < 0 || rule >= static_cast<int>(rules_->size())) return;
    const FriendVoice& r = (*rules_)[static_cast<std::size_t>(rule)];
    SetDlgItemTextA(dialog_, IDC_FV_NICK, r.nick.c_str());
    Send(dialog_, IDC_FV_VOICE, CB_SETCURSEL, static_cast<WPARAM>(-1));
    for (std::size_t i = 0; i < voices_.size(); ++i)
        if (voices_[i] == r.voice) Send(dialog_, IDC_FV_VOICE, CB_SETCURSEL, i);
    Send(dialog_, IDC_FV_RATE, TBM_SETPOS, TRUE, r.rate);
    Send(dialog_, IDC_FV_VOLUME, TBM_SETPOS, TRUE, r.volume);
    SetDlgItemInt(dialog_, IDC_FV_RATEVALUE, static_cast<UINT>(r.rate), TRUE);
    SetDlgItemInt(dialog_, IDC_FV_VOLUMEVALUE, static_cast<UINT>(r.volume), TRUE);
}

void Win32FriendVoicesDialog::Put() {
    FriendVoice rule;
    char nick[256] = {};
    GetDlgItemTextA(dialog_, IDC_FV_NICK, nick, sizeof nick);
    rule.nick = nick;
    const LRESULT at = Send(dialog_, IDC_FV_VOICE, CB_GETCURSEL);
    if (at >= 0 && static_cast<std::size_t>(at) < voices_.size()) rule.voice = voices_[static_cast<std::size_t>(at)];
    rule.rate = static_cast<int>(Send(dialog_, IDC_FV_RATE, TBM_GETPOS));
    rule.volume = static_cast<int>(Send(dialog_, IDC_FV_VOLUME, TBM_GETPOS));
    static const char16_t* const kProblems[] = {nullptr, texts::kFriendVoiceNoNick, texts::kFriendVoiceNotAKey,
                                                texts::kFriendVoiceNoVoice, texts::kFriendVoicesTooMany};
    if (const auto problem = PutFriendVoice(*rules_, rule, lead_); problem != FriendVoiceProblem::None) {
        MessageBoxW(dialog_, W(kProblems[static_cast<int>(problem)]), W(texts::kFriendVoicesTitle), MB_OK | MB_ICONWARNING);
        return;
    }
    Fill(FindFriendVoice(*rules_, TrimNick(rule.nick, lead_)));
}

void Win32FriendVoicesDialog::Remove() {
    const LRESULT at = Send(dialog_, IDC_FV_LIST, LB_GETCURSEL);
    if (at < 0 || static_cast<std::size_t>(at) >= rules_->size()) return;
    rules_->erase(rules_->begin() + at);
    Fill(-1);
}

INT_PTR CALLBACK Win32FriendVoicesDialog::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(h, DWLP_USER, lp);
        reinterpret_cast<Win32FriendVoicesDialog*>(lp)->Create(h);
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32FriendVoicesDialog*>(GetWindowLongPtrW(h, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_HSCROLL) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        SetDlgItemInt(h, id + 1, static_cast<UINT>(Send(h, id, TBM_GETPOS)), TRUE);
        return TRUE;
    }
    if (msg != WM_COMMAND) return FALSE;
    switch (LOWORD(wp)) {
        case IDC_FV_LIST:
            if (HIWORD(wp) == LBN_SELCHANGE) self->Show(static_cast<int>(Send(h, IDC_FV_LIST, LB_GETCURSEL)));
            return TRUE;
        case IDC_FV_PUT: self->Put(); return TRUE;
        case IDC_FV_REMOVE: self->Remove(); return TRUE;
        case IDOK:
        case IDCANCEL: EndDialog(h, LOWORD(wp)); return TRUE;
    }
    return FALSE;
}

// The dialog of friends' voices; see friend_voices_win.h. What it may take is decided by
// PutFriendVoice; the dialog only shows the rules and carries the fields there.
#include "app/friend_voices_win.h"

#include <commctrl.h>

#include <string>

#include "base/string_table.h"
#include "win/codepage_win.h"

namespace {

enum : int { kList = 1001, kNick, kVoice, kRate, kRateValue, kVolume, kVolumeValue, kPut, kRemove };

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// The rows of the dialog, at 96 dpi in client coordinates.
const struct Row {
    const wchar_t* cls;
    const char16_t* caption;
    DWORD style;
    int x, y, w, h, id;
} kRows[] = {
    {WC_LISTBOXW, u"", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 8, 8, 284, 150, kList},
    {WC_STATICW, texts::kFriendVoiceNick, SS_LEFT, 8, 168, 48, 13, -1},
    {WC_EDITW, u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 60, 165, 232, 20, kNick},
    {WC_STATICW, texts::kVoiceLabel, SS_LEFT, 8, 194, 48, 13, -1},
    {WC_COMBOBOXW, u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 60, 191, 232, 200, kVoice},
    {WC_STATICW, texts::kRateLabel, SS_LEFT, 8, 222, 48, 13, -1},
    {TRACKBAR_CLASSW, u"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 56, 218, 200, 28, kRate},
    {WC_STATICW, u"0", SS_LEFT, 262, 222, 30, 13, kRateValue},
    {WC_STATICW, texts::kVolumeLabel, SS_LEFT, 8, 252, 48, 13, -1},
    {TRACKBAR_CLASSW, u"", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 56, 248, 200, 28, kVolume},
    {WC_STATICW, u"100", SS_LEFT, 262, 252, 30, 13, kVolumeValue},
    {WC_BUTTONW, texts::kFriendVoicePut, BS_PUSHBUTTON | WS_TABSTOP, 8, 282, 80, 23, kPut},
    {WC_BUTTONW, texts::kFriendVoiceRemove, BS_PUSHBUTTON | WS_TABSTOP, 94, 282, 60, 23, kRemove},
    {WC_BUTTONW, texts::kOk, BS_DEFPUSHBUTTON | WS_TABSTOP, 162, 282, 62, 23, IDOK},
    {WC_BUTTONW, texts::kCancel, BS_PUSHBUTTON | WS_TABSTOP, 230, 282, 62, 23, IDCANCEL},
};
constexpr int kClientWidth = 300, kClientHeight = 313;

std::wstring Text(HWND h) {
    std::wstring s(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(h, &s[0], static_cast<int>(s.size()))));
    return s;
}

int Position(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0)); }

}  // namespace

bool Win32FriendVoicesDialog::Edit(FriendVoices& rules, const std::vector<std::string>& voices) {
    rules_ = &rules;
    voices_ = &voices;
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
    for (const std::string& v : *voices_)
        SendDlgItemMessageW(dialog, kVoice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AnsiToWide(v).c_str()));
    SendDlgItemMessageW(dialog, kVoice, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog, kRate, TBM_SETRANGE, FALSE, MAKELPARAM(-10, 10));
    SendDlgItemMessageW(dialog, kVolume, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, kVolume, TBM_SETPOS, TRUE, 100);
    SendDlgItemMessageW(dialog, kNick, EM_LIMITTEXT, 200, 0);
    Fill(-1);
}

// The list shows the rules in their order: "昵称 — 声音 语速 音量".
void Win32FriendVoicesDialog::Fill(int select) {
    HWND list = GetDlgItem(dialog_, kList);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const FriendVoice& r : *rules_) {
        const std::wstring line = AnsiToWide(r.nick) + W(texts::kFriendVoiceDash) + AnsiToWide(r.voice) + L"  " +
                                  std::to_wstring(r.rate) + L"  " + std::to_wstring(r.volume);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

// A rule whose voice is not installed leaves the voice list without a selection.
void Win32FriendVoicesDialog::Show(int rule) {
    if (rule < 0 || rule >= static_cast<int>(rules_->size())) return;
    const FriendVoice& r = (*rules_)[static_cast<std::size_t>(rule)];
    SetDlgItemTextW(dialog_, kNick, AnsiToWide(r.nick).c_str());
    SendDlgItemMessageW(dialog_, kVoice, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    for (std::size_t i = 0; i < voices_->size(); ++i)
        if ((*voices_)[i] == r.voice) SendDlgItemMessageW(dialog_, kVoice, CB_SETCURSEL, i, 0);
    SendDlgItemMessageW(dialog_, kRate, TBM_SETPOS, TRUE, r.rate);
    SendDlgItemMessageW(dialog_, kVolume, TBM_SETPOS, TRUE, r.volume);
    SetDlgItemTextW(dialog_, kRateValue, std::to_wstring(r.rate).c_str());
    SetDlgItemTextW(dialog_, kVolumeValue, std::to_wstring(r.volume).c_str());
}

void Win32FriendVoicesDialog::Put() {
    FriendVoice rule;
    rule.nick = WideToAnsi(Text(GetDlgItem(dialog_, kNick)));
    const LRESULT at = SendDlgItemMessageW(dialog_, kVoice, CB_GETCURSEL, 0, 0);
    if (at >= 0 && static_cast<std::size_t>(at) < voices_->size()) rule.voice = (*voices_)[static_cast<std::size_t>(at)];
    rule.rate = Position(dialog_, kRate);
    rule.volume = Position(dialog_, kVolume);
    static const char16_t* const kProblems[] = {nullptr, texts::kFriendVoiceNoNick, texts::kFriendVoiceNotAKey,
                                                texts::kFriendVoiceNoVoice, texts::kFriendVoicesTooMany};
    const FriendVoiceProblem problem = PutFriendVoice(*rules_, rule, lead_);
    if (problem != FriendVoiceProblem::None) return Warn(kProblems[static_cast<int>(problem)]);
    Fill(FindFriendVoice(*rules_, TrimNick(rule.nick, lead_)));
}

void Win32FriendVoicesDialog::Remove() {
    const LRESULT at = SendDlgItemMessageW(dialog_, kList, LB_GETCURSEL, 0, 0);
    if (at < 0 || static_cast<std::size_t>(at) >= rules_->size()) return;
    rules_->erase(rules_->begin() + at);
    Fill(-1);
}

void Win32FriendVoicesDialog::Warn(const char16_t* text) {
    MessageBoxW(dialog_, W(text), W(texts::kFriendVoicesTitle), MB_OK | MB_ICONWARNING);
}

INT_PTR CALLBACK Win32FriendVoicesDialog::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(h, DWLP_USER, lp);
        reinterpret_cast<Win32FriendVoicesDialog*>(lp)->Create(h);
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32FriendVoicesDialog*>(GetWindowLongPtrW(h, DWLP_USER));
    if (!self) return FALSE;
    switch (msg) {
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kList:
                    if (HIWORD(wp) == LBN_SELCHANGE)
                        self->Show(static_cast<int>(SendDlgItemMessageW(h, kList, LB_GETCURSEL, 0, 0)));
                    return TRUE;
                case kPut: self->Put(); return TRUE;
                case kRemove: self->Remove(); return TRUE;
                case IDOK:
                case IDCANCEL: EndDialog(h, LOWORD(wp)); return TRUE;
            }
            return FALSE;
        case WM_HSCROLL: {
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lp));
            if (id == kRate || id == kVolume)
                SetDlgItemTextW(h, id + 1, std::to_wstring(Position(h, id)).c_str());
            return TRUE;
        }
    }
    return FALSE;
}

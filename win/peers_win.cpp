// Win32 peers of the portable components.
#include "win/peers_win.h"

#include <commctrl.h>

#include <vector>

#include "win/codepage_win.h"

void LabelPeer::SetCaption(const std::string& ansi) { SetWindowTextW(h_, AnsiToWide(ansi).c_str()); }

void TrackBarPeer::SetRange(int min, int max) {
    SendMessageW(h_, TBM_SETRANGEMIN, FALSE, min);
    SendMessageW(h_, TBM_SETRANGEMAX, TRUE, max);
    min_ = min;
    max_ = max;
    rangeChanged_ = true;
}
void TrackBarPeer::SetPosition(int position) {
    // Wine's track bar keeps the thumb where the previous range put it until the position
    // really changes: after a new range, step off and back so that, say, 0 of -10..10 is
    // drawn in the middle.
    if (rangeChanged_) {
        SendMessageW(h_, TBM_SETPOS, FALSE, position == max_ ? min_ : max_);
        rangeChanged_ = false;
    }
    SendMessageW(h_, TBM_SETPOS, TRUE, position);
}

void ComboBoxPeer::AddItem(const std::string& ansi) {
    SendMessageW(h_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AnsiToWide(ansi).c_str()));
}
void ComboBoxPeer::Clear() { SendMessageW(h_, CB_RESETCONTENT, 0, 0); }
void ComboBoxPeer::SetItemIndex(int index) { SendMessageW(h_, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
void ComboBoxPeer::SetText(const std::string& ansi) { SetWindowTextW(h_, AnsiToWide(ansi).c_str()); }
std::string WindowTextAnsi(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(h, buf.data(), n + 1);
    return WideToAnsi(buf.data());
}
std::string ComboBoxPeer::EditText() const { return WindowTextAnsi(h_); }


void TimerPeer::Start(unsigned intervalMs) { SetTimer(owner_, id_, intervalMs, nullptr); }
void TimerPeer::Stop() { KillTimer(owner_, id_); }

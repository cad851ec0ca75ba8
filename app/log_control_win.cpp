// The message log over a real rich-edit control ("RichEdit20W"). Every operation is one or
// two messages and none copies the log's text. Positions at the end of the log are reached
// without naming them: a rich edit may turn a position into a place in its text by walking
// every paragraph before it, and the log only ever grows.
#include "app/log_control_win.h"

#include <richedit.h>

#include <stdexcept>

#include "base/string_table.h"
#include "win/codepage_win.h"

namespace {

// The end of the text, without converting a position; also how the common "append to a
// rich edit" idiom reaches it.
void SelectEnd(HWND h) {
    CHARRANGE end = {-1, -1};
    SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

}  // namespace

long RichEditLog::TextLength() {
    // Characters, not bytes, and without GTL_USECRLF: a paragraph break is one position here,
    // exactly as EM_EXSETSEL counts it. Precise so that the value can be selected as it is.
    GETTEXTLENGTHEX how = {};
    how.flags = GTL_NUMCHARS | GTL_PRECISE;
    how.codepage = 1200;  // UTF-16, the control's own storage
    LRESULT n = SendMessageW(h_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    if (n < 0) throw std::runtime_error(texts::kLogLengthUnknown);
    return static_cast<long>(n);
}

bool RichEditLog::CaretAtEnd(long length) {
    CHARRANGE sel = {};
    SendMessageW(h_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    return sel.cpMin == length && sel.cpMax == length;
}

bool RichEditLog::EndsWithLineBreak() {
    const long n = TextLength();
    if (n == 0) return true;
    // Moving the caret would forget a colour just given to the insertion point.
    if (!CaretAtEnd(n)) SelectEnd(h_);
    // With the caret at the end, its line starts at the end exactly when the last character
    // is a line break: after a break the caret stands on an empty line of its own. This asks
    // for no position, unlike fetching the last character would.
    return SendMessageW(h_, EM_LINEINDEX, static_cast<WPARAM>(-1), 0) == n;
}

void RichEditLog::InsertAtEnd(const std::string& ansi) {
    std::wstring wide = AnsiToWide(ansi);
    if (wide.empty() && !ansi.empty()) throw std::runtime_error(texts::kLogInsertionError);
    const long before = TextLength();
    if (!CaretAtEnd(before)) SelectEnd(h_);
    // Not undoable: the log is appended to for as long as the program runs, and an undo
    // record per line would only grow.
    SendMessageW(h_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
    if (TextLength() == before) throw std::runtime_error(texts::kLogInsertionError);
}

void RichEditLog::SetSelection(long start, long length) {
    if (length == 0 && start >= TextLength()) {
        SelectEnd(h_);
        return;
    }
    CHARRANGE r = {start, start + length};
    SendMessageW(h_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void RichEditLog::SetSelectionColour(std::uint32_t colour) {
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = 0;  // no CFE_AUTOCOLOR: the colour given is the colour shown
    cf.crTextColor = static_cast<COLORREF>(colour);
    if (!SendMessageW(h_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)))
        throw std::runtime_error(texts::kLogColourRefused);
}

void RichEditLog::ScrollCaret() { SendMessageW(h_, EM_SCROLLCARET, 0, 0); }

HWND CreateLogControl(HWND parent, int x, int y, int width, int height, int id, HFONT font, bool visible) {
    // No horizontal scrolling: lines wrap at the control's width.
    const DWORD style = WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, RICHEDIT_CLASSW, L"", style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!h) return nullptr;
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The log only speaks when asked; notifications would be work for nobody.
    SendMessageW(h, EM_SETEVENTMASK, 0, 0);
    // The control's default limit (32K characters) would make every line after about a
    // thousand messages vanish without a word. The program means to keep the whole session,
    // so the only limit left is the control's largest.
    SendMessageW(h, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    return h;
}

HWND CreateLogControlLike(HWND log, bool visible) {
    HWND parent = GetParent(log);
    RECT r;
    if (!parent || !GetWindowRect(log, &r)) return nullptr;
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    auto font = reinterpret_cast<HFONT>(SendMessageW(log, WM_GETFONT, 0, 0));
    return CreateLogControl(parent, r.left, r.top, r.right - r.left, r.bottom - r.top, GetDlgCtrlID(log), font, visible);
}

// The Win32 side of the log commands; see log_commands_win.h.
#include "app/log_commands_win.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <vector>

#include "base/trace.h"
#include "win/codepage_win.h"

namespace {

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

struct Reader {
    const std::string& bytes;
    std::size_t at;
};

// The control calls these from inside EM_STREAMIN and EM_STREAMOUT: whatever goes wrong in
// them (std::bad_alloc included) ends the stream as an error and goes no further.
DWORD CALLBACK ReadBytes(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) noexcept {
    auto* r = reinterpret_cast<Reader*>(cookie);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), r->bytes.size() - r->at);
    std::copy_n(r->bytes.data() + r->at, n, reinterpret_cast<char*>(buf));
    r->at += n;
    *done = static_cast<LONG>(n);
    return 0;
}

// UTF-16 text handed out in whole characters: a piece never ends between the two halves of
// a surrogate pair, nor between the CR and LF of a line break, which Wine's rich edit would
// read as two breaks.
struct WideReader {
    const std::wstring& text;
    std::size_t at;
};

DWORD CALLBACK ReadWide(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) noexcept {
    auto* r = reinterpret_cast<WideReader*>(cookie);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size) / sizeof(wchar_t), r->text.size() - r->at);
    if (n > 1 && r->at + n < r->text.size()) {
        const wchar_t last = r->text[r->at + n - 1];
        if (IS_HIGH_SURROGATE(last) || last == L'\r') --n;
    }
    std::copy_n(r->text.data() + r->at, n, reinterpret_cast<wchar_t*>(buf));
    r->at += n;
    *done = static_cast<LONG>(n * sizeof(wchar_t));
    return 0;
}

DWORD CALLBACK WriteBytes(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) noexcept {
    *done = 0;
    try {
        reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(size));
    } catch (...) {
        // The user hears that the save failed; the reason is only here.
        TraceIgnored("saving the log");
        return 1;
    }
    *done = size;
    return 0;
}

// GETTEXTEX into UTF-16, line breaks as CR LF, then the ANSI code page.
std::string GetText(HWND h, DWORD flags) {
    GETTEXTLENGTHEX how = {GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT n = SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    if (n <= 0) return {};
    std::vector<wchar_t> buf(static_cast<std::size_t>(n) + 1, L'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    get.flags = flags | GT_USECRLF;
    get.codepage = 1200;
    LRESULT got = SendMessageW(h, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buf.data()));
    return WideToAnsi(std::wstring(buf.data(), static_cast<std::size_t>(got > 0 ? got : 0)));
}

}  // namespace

void RichEditDocument::Clear() { SetWindowTextW(h_, L""); }

std::string RichEditDocument::Text() { return GetText(h_, GT_DEFAULT); }

std::string RichEditDocument::SelectedText() {
    CHARRANGE sel = {};
    SendMessageW(h_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    if (sel.cpMin == sel.cpMax) return {};
    return GetText(h_, GT_SELECTION);
}

bool RichEditDocument::Save(LogFormat format, std::string& bytes) {
    bytes.clear();
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&bytes), 0, WriteBytes};
    // SF_TEXT writes 8-bit text in the ANSI code page with CR LF between lines.
    SendMessageW(h_, EM_STREAMOUT, format == LogFormat::Rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

bool RichEditDocument::Load(const std::string& bytes, LogFormat format) {
    Clear();
    if (format == LogFormat::Text) {
        // EM_STREAMIN reads the format its flag names, SF_TEXT as text, whereas EM_SETTEXTEX
        // reads text that starts with "{\rtf" with the RTF reader (both messages' documentation):
        // Windows does, though Wine does not. The bytes are converted whole, then streamed as
        // UTF-16 in whole characters, since a piece of ANSI text could split a double-byte
        // character. A NUL shows as a space: the control's text is read back as a
        // NUL-terminated string (EM_GETTEXTEX, WM_GETTEXT), where a NUL would end it.
        std::wstring text = AnsiToWide(bytes);
        std::replace(text.begin(), text.end(), L'\0', L' ');
        WideReader reader{text, 0};
        EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&reader), 0, ReadWide};
        SendMessageW(h_, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
        return es.dwError == 0;
    }
    if (RtfGroupDepth(bytes) > kMaxRtfGroupDepth) return false;
    Reader reader{bytes, 0};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&reader), 0, ReadBytes};
    SendMessageW(h_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

std::wstring DialogFilter(const std::u16string& filter) {
    std::wstring f = Wide(filter);
    for (wchar_t& c : f)
        if (c == L'|') c = L'\0';
    f.push_back(L'\0');
    f.push_back(L'\0');
    return f;
}

bool FileDialogPeer::Execute(TFileDialog& dialog) {
    const std::wstring filter = DialogFilter(dialog.Filter());
    std::wstring ext = Wide(dialog.DefaultExt());
    if (!ext.empty() && ext[0] == L'.') ext.erase(0, 1);
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring start = Utf8ToWide(dialog.FileName);
    if (start.size() < name.size()) std::copy(start.begin(), start.end(), name.begin());

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    // The classic dialogs add the default extension only to a name typed without one, which
    // is what the save command's extension rule needs. No file has to exist: a name that
    // opens nothing is reported by the command. The program's working folder stays put.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (dialog.PromptOverwrite()) ofn.Flags |= OFN_OVERWRITEPROMPT;
    BOOL ok = dialog.DialogKind() == TFileDialog::Kind::Open ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
    if (!ok) return false;
    // The name as the dialog gave it: an ANSI form could lose characters or turn them into
    // look-alikes naming another file.
    dialog.FileName = WideToUtf8(name.data());
    return true;
}

int Win32MessageBoxes::Show(Owner owner, const std::u16string& text, const std::u16string& caption, unsigned flags) {
    return MessageBoxW(owner == Owner::Application ? main_ : nullptr, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

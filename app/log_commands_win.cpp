// The Win32 side of the log commands; see log_commands_win.h.
#include "app/log_commands_win.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <vector>

#include "app/log_control_win.h"
#include "base/trace.h"
#include "win/codepage_win.h"

namespace {

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

// Tells the document's listener how far a stream has come, at most every kProgressEveryMs,
// and once that it is done if it heard anything. Nothing it does may end the stream.
class Progress {
public:
    Progress(const RichEditDocument& doc, LogWork work, std::size_t total)
        : report_(doc.OnProgress), work_(work), total_(total), last_(GetTickCount()) {}
    ~Progress() {
        if (told_) Tell(LogWork::Done, done_);
    }
    void Total(std::size_t total) { total_ = total; }
    void Step(std::size_t done) noexcept {
        done_ = done;
        const DWORD now = GetTickCount();
        if (!report_ || now - last_ < RichEditDocument::kProgressEveryMs) return;
        told_ = true;
        Tell(work_, done);
        last_ = GetTickCount();
    }

private:
    void Tell(LogWork work, std::size_t done) noexcept {
        try {
            report_(work, done, total_);
        } catch (...) {
            TraceIgnored("showing how far the log's file has come");
        }
    }
    const std::function<void(LogWork, std::size_t, std::size_t)>& report_;
    LogWork work_;
    std::size_t total_, done_ = 0;
    DWORD last_;
    bool told_ = false;
};

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

struct Writer {
    std::string& bytes;
    Progress& progress;
};

DWORD CALLBACK WriteBytes(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) noexcept {
    auto* w = reinterpret_cast<Writer*>(cookie);
    *done = 0;
    try {
        w->bytes.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(size));
    } catch (...) {
        // The user hears that the save failed; the reason is only here.
        TraceIgnored("saving the log");
        return 1;
    }
    *done = size;
    w->progress.Step(w->bytes.size());
    return 0;
}

// Pieces of a file read one by one: at most kPieceBytes, and fewer where their lines would
// cost the control more than kPieceMs of layout (LineCost), so that each is laid out well
// within a second, on a loaded machine too.
constexpr std::size_t kPieceBytes = 128u << 10;
constexpr double kPieceMs = 150;

// Address space kept free beyond what a file is estimated to take (LogLayoutCost): the
// program must go on after it, and the estimate is no exact count.
constexpr unsigned long long kAddressSpaceReserve = 256ull << 20;

unsigned long long AddressSpaceLeft() {
    MEMORYSTATUSEX m = {};
    m.dwLength = sizeof m;
    return GlobalMemoryStatusEx(&m) ? m.ullAvailVirtual : ~0ull;
}

// A last guard while pieces are read, should the estimate ever fall short.
bool RoomForAPiece() { return AddressSpaceLeft() >= kAddressSpaceReserve; }

// The ANSI bytes a character takes at most (two in a double-byte code page): what a line's
// length is counted in, as LogLayoutCost counts it.
std::size_t AnsiBytes(wchar_t c) { return c < 0x80 ? 1 : 2; }

// Line breaks put in wherever a line would grow longer than maxLine bytes, never inside a
// surrogate pair: the text the control is given has no longer line.
std::wstring WrapLines(const std::wstring& text, std::size_t maxLine) {
    std::wstring out;
    out.reserve(text.size() + text.size() / maxLine * 2);
    std::size_t line = 0;
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            line = 0;
        } else if (line + AnsiBytes(c) > maxLine && !IS_LOW_SURROGATE(c)) {
            out += L"\r\n";
            line = 0;
        }
        if (c != L'\r' && c != L'\n') line += AnsiBytes(c);
        out += c;
    }
    return out;
}

// Where the piece of text from `at` ends: after a line break, never between CR and LF, once
// its lines would cost the control kPieceMs of layout or it holds kPieceBytes.
std::size_t PieceEnd(const std::wstring& text, std::size_t at) {
    double ms = 0;
    std::size_t end = at, line = 0, tabs = 0;
    while (end < text.size()) {
        const wchar_t c = text[end++];
        if (c == L'\r' && end < text.size() && text[end] == L'\n') ++end;
        if (c == L'\r' || c == L'\n') {
            ms += LineCost(line, tabs).ms;
            line = tabs = 0;
            if (ms >= kPieceMs || (end - at) * sizeof(wchar_t) >= kPieceBytes) break;
        } else {
            line += AnsiBytes(c);
            tabs += c == L'\t';
        }
    }
    return end;
}

void DropFinalParagraphMark(HWND h) {
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT n = SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    if (n <= 0) return;
    CHARRANGE last = {static_cast<LONG>(n - 1), static_cast<LONG>(n)};
    SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&last));
    wchar_t c[2] = {};
    SendMessageW(h, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(c));
    if (c[0] == L'\r') SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

// The control's own visibility: the main window may be hidden in the tray meanwhile.
bool ShownItself(HWND h) { return (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

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

void RichEditDocument::Replace(HWND fresh) {
    HWND old = h_;
    const bool focused = GetFocus() == old;
    h_ = fresh;
    if (OnReplaced) OnReplaced(fresh);
    if (ShownItself(old)) ShowWindow(fresh, SW_SHOWNA);
    if (focused) SetFocus(fresh);
    // Destroying frees the paragraphs in one walk, which emptying the text does not.
    DestroyWindow(old);
}

void RichEditDocument::Clear() {
    if (HWND fresh = CreateLogControlLike(h_, ShownItself(h_))) Replace(fresh);
    else SetWindowTextW(h_, L"");  // no new window: the slow way still empties the log
}

std::string RichEditDocument::Text() { return GetText(h_, GT_DEFAULT); }

std::string RichEditDocument::SelectedText() {
    CHARRANGE sel = {};
    SendMessageW(h_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    if (sel.cpMin == sel.cpMax) return {};
    return GetText(h_, GT_SELECTION);
}

bool RichEditDocument::Save(LogFormat format, std::string& bytes) {
    bytes.clear();
    Progress progress(*this, LogWork::Saving, 0);
    Writer writer{bytes, progress};
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&writer), 0, WriteBytes};
    // The window answers while the log is written out, so the control must not change under
    // the stream: nobody types into it meanwhile.
    const bool wasEnabled = !EnableWindow(h_, FALSE);
    // SF_TEXT writes 8-bit text in the ANSI code page with CR LF between lines.
    SendMessageW(h_, EM_STREAMOUT, format == LogFormat::Rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&es));
    EnableWindow(h_, wasEnabled);
    return es.dwError == 0;
}

// One piece streamed in: as the whole control's content when it is the first, as a file was
// always read, else at the end of what the pieces before it left.
bool StreamPiece(HWND h, EDITSTREAM& es, UINT format, bool first) {
    if (!first) {
        CHARRANGE end = {-1, -1};
        SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
        format |= SFF_SELECTION;
    }
    SendMessageW(h, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    return es.dwError == 0;
}

bool RichEditDocument::Load(const std::string& bytes, LogFormat format) {
    // Every walk over a big file lets the window answer after it.
    Progress progress(*this, LogWork::Opening, bytes.size());
    // Refused before anything is read, from the file alone: the control's memory climbs
    // faster than it could be watched, and runs out in the middle of a read.
    const LayoutCost cost = LogLayoutCost(bytes, format);
    const unsigned long long left = AddressSpaceLeft();
    if (left < kAddressSpaceReserve || cost.bytes > static_cast<double>(left - kAddressSpaceReserve))
        throw LogOutOfRoom();
    progress.Step(0);
    // Read into a hidden control, which takes the log's place only once the whole file is in.
    HWND fresh = CreateLogControlLike(h_, false);
    if (!fresh) return false;
    // Wine's rich edit lays out every paragraph it read once a read ends, seconds for a big
    // file: read in pieces, the window answers between them.
    bool ok = true, room = true;
    if (format == LogFormat::Text) {
        // EM_STREAMIN reads the format its flag names, SF_TEXT as text, whereas EM_SETTEXTEX
        // reads text that starts with "{\rtf" with the RTF reader (both messages'
        // documentation): Windows does, though Wine does not. The bytes are converted whole,
        // then streamed as UTF-16 in whole characters, since a piece of ANSI text could split
        // a double-byte character. A NUL shows as a space: the control's text is read back as
        // a NUL-terminated string (EM_GETTEXTEX, WM_GETTEXT), where a NUL would end it.
        std::wstring text = AnsiToWide(bytes);
        std::replace(text.begin(), text.end(), L'\0', L' ');
        text = WrapLines(text, kMaxLogLine);
        progress.Total(text.size());
        progress.Step(0);
        for (std::size_t at = 0; ok && at < text.size();) {
            if (!(room = RoomForAPiece())) break;
            const std::size_t end = PieceEnd(text, at);
            const std::wstring piece = text.substr(at, end - at);
            WideReader reader{piece, 0};
            EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&reader), 0, ReadWide};
            ok = StreamPiece(fresh, es, SF_TEXT | SF_UNICODE, at == 0);
            progress.Step(at = end);
        }
    } else {
        // The first piece is read as the whole file always was, which sets the document's
        // own formats; the reader then leaves out the paragraph mark it ends with, since the
        // control's last paragraph has one of its own. Later pieces go at the end and keep
        // theirs, so the first one's is put back, and the last one's taken away.
        const std::string wrapped = cost.longest > kMaxLogLine ? WrapRtf(bytes, kMaxLogLine) : bytes;
        progress.Step(0);
        const std::vector<std::string> pieces = SplitRtf(wrapped, kPieceBytes, kPieceMs);
        progress.Step(0);
        std::size_t done = 0;
        for (std::size_t i = 0; ok && i < pieces.size(); ++i) {
            if (!(room = RoomForAPiece())) break;
            if (i == 1) {
                CHARRANGE end = {-1, -1};
                SendMessageW(fresh, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
                SendMessageW(fresh, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
            }
            Reader reader{pieces[i], 0};
            EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&reader), 0, ReadBytes};
            ok = StreamPiece(fresh, es, SF_RTF, i == 0);
            progress.Step(done += pieces[i].size());
        }
        if (ok && room && pieces.size() > 1) DropFinalParagraphMark(fresh);
    }
    if (!ok || !room) {
        DestroyWindow(fresh);
        if (!room) throw LogOutOfRoom();
        return false;
    }
    Replace(fresh);
    return true;
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

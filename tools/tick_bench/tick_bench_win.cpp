// Windows only (run under Wine by tools/tick_bench/run.sh): what one tick of the message
// watcher costs with the real Win32 reader, for chat histories of growing size. For each size
// it prints the median time of one copy of the text (the yardstick), of a tick that handles a
// new message and of one that finds the newest message unchanged, and how many whole copies
// of the transcript (reads) and length requests the chat window answered per tick. Speech and
// the log are quiet doubles: only the transcript's cost is measured.
//
//   tick_bench_win [samples [KiB ...]]     (sizes for the stand-in only; default below)
//
// Two chat windows are used. The stand-in chat window is a separate process, as the
// messenger is; under Wine 8 it cannot hand over a text much beyond 512 KiB (Wine copies a
// cross-process WM_GETTEXT reply by the count returned and ends the answering process), so a
// chat window of this process, whose control answers WM_GETTEXT the same way, stands in for
// the sizes that cannot cross. Under Wine 10 the stand-in dies beyond about 12 KiB, and even
// this process's own window gets no answer to SendMessageTimeoutA(WM_GETTEXT) at 2 MiB and
// up (1 MiB works; the call fails with status 0xC0000005 where SendMessageA succeeds), so
// those sizes show as not readable there; Windows has neither limit.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/fmain.h"
#include "capture/chat_windows_win.h"
#include "common/form_doubles.h"
#include "support/standin.h"
#include "tools/tick_bench/chat_history.h"
#include "win/codepage_win.h"

namespace {

struct NoEngine : ISpeechEngine {
    std::unique_ptr<IVoiceObject> CreateVoice() override { throw EngineError("no engine"); }
    std::unique_ptr<IFileStreamObject> CreateFileStream() override { throw EngineError("no engine"); }
};

// What the benchmark needs of a chat window in front.
struct Chat {
    virtual ~Chat() = default;
    virtual bool Alive() = 0;
    virtual bool Append(const std::string& ansi) = 0;  // and let the window settle
    virtual long Reads() = 0;
    virtual long SizeRequests() = 0;
};

// The stand-in chat window in its own process.
class RemoteChat : public Chat {
public:
    explicit RemoteChat(const std::string& history)
        : standin_(L"--transcript-file \"" + WriteTempFile(history) + L"\"") {
        if (!standin_.BringToFront()) throw std::runtime_error("the stand-in did not come to the front");
        Settle();
    }
    bool Alive() override { return standin_.Running(); }
    bool Append(const std::string& ansi) override {
        if (!standin_.AppendRaw(ansi)) return false;
        Settle();
        return true;
    }
    long Reads() override { return standin_.Reads(); }
    long SizeRequests() override { return standin_.SizeRequests(); }

private:
    // The stand-in draws its whole transcript after a change, and a tick's requests would
    // wait behind that paint. A sent message is answered once the stand-in is back in its
    // message loop, so past the paint.
    void Settle() {
        Sleep(50);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(standin_.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    }
    StandinChat standin_;
};

// A chat window of this process: title, "#32770", and a control registered here under the
// class name "RichEdit20A" that answers WM_GETTEXT in bytes, the zero-size request included.
class LocalChat : public Chat {
public:
    explicit LocalChat(const std::string& history) {
        text_ = history;
        reads_ = sizes_ = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ControlProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = "RichEdit20A";
        RegisterClassA(&wc);
        top_ = CreateWindowExW(0, L"Static", L"与 小鱼 交谈中", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                               nullptr, nullptr, wc.hInstance, nullptr);
        HWND dialog = CreateWindowExW(0, L"#32770", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top_, nullptr,
                                      wc.hInstance, nullptr);
        CreateWindowExA(0, "RichEdit20A", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, dialog, nullptr, wc.hInstance,
                        nullptr);
        SetForegroundWindow(top_);
        if (!WaitUntil([&] { return GetForegroundWindow() == top_; }, 5000))
            throw std::runtime_error("the local chat window did not come to the front");
    }
    ~LocalChat() override { DestroyWindow(top_); }
    bool Alive() override { return true; }
    bool Append(const std::string& ansi) override {
        text_ += ansi;
        return true;
    }
    long Reads() override { return reads_; }
    long SizeRequests() override { return sizes_; }

private:
    static LRESULT CALLBACK ControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_GETTEXT) return DefWindowProcA(h, msg, wp, lp);
        if (wp == 0) {
            ++sizes_;
            return static_cast<LRESULT>(text_.size());
        }
        ++reads_;
        const std::size_t n = std::min<std::size_t>(text_.size(), wp - 1);
        std::memcpy(reinterpret_cast<char*>(lp), text_.data(), n);
        reinterpret_cast<char*>(lp)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    static std::string text_;
    static long reads_, sizes_;
    HWND top_ = nullptr;
};
std::string LocalChat::text_;
long LocalChat::reads_ = 0;
long LocalChat::sizes_ = 0;

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

struct Figures {
    double ms = 0, reads = 0, sizeRequests = 0;
    int handled = 0, samples = 0;
};

// Ticks of the main window; `append` says whether a new message arrives before each one.
Figures Measure(Chat& chat, TFmain& form, unsigned& next, int samples, bool append) {
    std::vector<double> times;
    Figures f;
    long reads = 0, sizes = 0;
    for (int i = 0; i < samples; ++i) {
        if (append && !chat.Append(bench::Message(bench::BobHeader(next++), "one more message"))) break;
        const std::string before = form.FLastHeader;
        const long r0 = chat.Reads(), s0 = chat.SizeRequests();
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        form.Timer2Timer();
        QueryPerformanceCounter(&t1);
        times.push_back(Ms(t0, t1));
        reads += chat.Reads() - r0;
        sizes += chat.SizeRequests() - s0;
        f.handled += form.FLastHeader != before;
        ++f.samples;
    }
    std::sort(times.begin(), times.end());
    if (f.samples) {
        f.ms = times[times.size() / 2];
        f.reads = static_cast<double>(reads) / f.samples;
        f.sizeRequests = static_cast<double>(sizes) / f.samples;
    }
    return f;
}

// The yardstick for a tick: the median time of one copy of the text into a new string.
double CopyMs(const std::string& text, int samples) {
    std::vector<double> times;
    for (int i = 0; i < samples; ++i) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        std::string copy = text;
        QueryPerformanceCounter(&t1);
        if (copy.size() != text.size()) std::abort();
        times.push_back(Ms(t0, t1));
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

void Run(bool remote, std::size_t bytes, int samples) {
    std::printf("%5zu KiB, %s: ", bytes >> 10, remote ? "stand-in process" : "window of this process");
    unsigned next = 1;
    std::unique_ptr<Chat> chat;
    double copyMs = 0;
    try {
        const std::string history = bench::ChatHistory(bytes, bench::BobHeader(next++));
        copyMs = CopyMs(history, samples);
        if (remote) chat = std::make_unique<RemoteChat>(history);
        else chat = std::make_unique<LocalChat>(history);
    } catch (const std::exception& e) {
        std::printf("not measured: %s\n", e.what());
        return;
    }
    Win32ChatWindows windows;
    Win32CodePage codePage;
    NoEngine engine;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(windows, codePage, engine, log, quiet, desk)};
    form.Timer3Timer();
    form.Timer2Timer();  // the history's own newest message
    if (form.FLastHeader != bench::BobHeader(1)) {
        std::printf("NOT readable%s (%ld length requests, %ld reads answered)\n",
                    chat->Alive() ? "" : ": the chat window's process ended while answering", chat->SizeRequests(),
                    chat->Reads());
        return;
    }
    Figures fresh = Measure(*chat, form, next, samples, true);
    Figures same = Measure(*chat, form, next, samples, false);
    std::printf("one copy of the text %.2f ms\n", copyMs);
    for (const auto& [name, f] : {std::pair<const char*, Figures&>{"new message", fresh}, {"unchanged", same}})
        std::printf("    %-12s %8.2f ms/tick (%.1f x a copy), %.1f copies, %.1f lengths, handled %d of %d\n", name,
                    f.ms, copyMs > 0 ? f.ms / copyMs : 0.0, f.reads, f.sizeRequests, f.handled, f.samples);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 9;
    std::printf("tick_bench: median of %d ticks; copies = whole-transcript reads per tick, lengths = length "
                "requests per tick\n",
                samples);
    if (argc > 2) {
        for (int i = 2; i < argc; ++i) Run(true, static_cast<std::size_t>(std::atol(argv[i])) << 10, samples);
        return 0;
    }
    for (std::size_t bytes : {64u << 10, 256u << 10, 512u << 10, 1u << 20, 8u << 20}) Run(true, bytes, samples);
    for (std::size_t bytes : {512u << 10, 1u << 20, 8u << 20}) Run(false, bytes, samples);
    return 0;
}

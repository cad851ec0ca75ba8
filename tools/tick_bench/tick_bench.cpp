// What one tick of the message watcher costs natively on a 1 MiB and an 8 MiB chat history:
// the main window's own tick, with a chat window in front whose transcript control hands out
// a fresh copy of its text at every read, as WM_GETTEXT copies it out of the messenger. The
// counter "copies" is how many times one tick had the whole transcript copied out.
//   NewMessage: every tick finds a newest header it has not handled (spoken and logged).
//   Unchanged:  every tick finds the header it handled last.
//   CopyOfText: one copy of the history, the least a reading costs; a tick should stay
//               within a few of these however long the history grows.
// Speech and the log are quiet doubles: only the transcript's cost is measured here.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/fmain.h"
#include "common/form_doubles.h"
#include "support/iconv_codepage.h"
#include "tools/tick_bench/chat_history.h"

namespace {

// One chat window in front; its transcript control copies out whatever `text` points at.
struct HistoryInFront : IChatWindows {
    const std::string* text = nullptr;
    long copies = 0;
    WindowRef Foreground() override { return 1; }
    std::string Title(WindowRef) override { return "\xd3\xeb \xd0\xa1\xd3\xe3 \xbd\xbb\xcc\xb8\xd6\xd0"; }  // 与 小鱼 交谈中
    WindowRef FindChild(WindowRef parent, const char* cls) override {
        if (parent == 1 && !std::strcmp(cls, "#32770")) return 2;
        if (parent == 2 && !std::strcmp(cls, "RichEdit20A")) return 3;
        return 0;
    }
    bool QueryTextLength(WindowRef, std::size_t& n) override {
        n = text->size();
        return true;
    }
    bool ReadText(WindowRef, std::size_t n, std::string& out) override {
        ++copies;
        out.assign(*text, 0, n);
        return true;
    }
    std::vector<WindowRef> TopLevelWindows() override { return {1}; }
    bool Exists(WindowRef w) override { return w == 1; }
};

// An engine without voices: the tick's speech costs nothing and says nothing.
struct NoEngine : ISpeechEngine {
    std::unique_ptr<IVoiceObject> CreateVoice() override { throw EngineError("no engine"); }
    std::unique_ptr<IFileStreamObject> CreateFileStream() override { throw EngineError("no engine"); }
};

struct Bench {
    HistoryInFront chat;
    IconvCodePage codePage;
    NoEngine engine;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chat, codePage, engine, log, quiet, desk)};
};

// Two histories of the same size whose newest headers differ.
const std::string& History(std::int64_t bytes, int which) {
    static const std::string h[2][2] = {
        {bench::ChatHistory(1 << 20, bench::BobHeader(1)), bench::ChatHistory(1 << 20, bench::BobHeader(2))},
        {bench::ChatHistory(8 << 20, bench::BobHeader(1)), bench::ChatHistory(8 << 20, bench::BobHeader(2))},
    };
    return h[bytes == (8 << 20)][which];
}

void Tick(benchmark::State& state, bool newMessage) {
    Bench b;
    b.chat.text = &History(state.range(0), 0);
    b.form.Timer3Timer();
    b.form.Timer2Timer();  // the history's newest message, handled before measuring
    if (b.form.FLastHeader != bench::BobHeader(1)) {
        state.SkipWithError("the newest message was not handled");
        return;
    }
    long copies = 0, handled = 0;
    int which = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (newMessage) which ^= 1;
        b.chat.text = &History(state.range(0), which);
        const std::string before = b.form.FLastHeader;
        b.chat.copies = 0;
        state.ResumeTiming();
        b.form.Timer2Timer();
        state.PauseTiming();
        copies += b.chat.copies;
        handled += b.form.FLastHeader != before;
        state.ResumeTiming();
    }
    state.counters["copies"] = benchmark::Counter(static_cast<double>(copies), benchmark::Counter::kAvgIterations);
    state.counters["handled"] = benchmark::Counter(static_cast<double>(handled), benchmark::Counter::kAvgIterations);
}

// The yardstick: one copy of the text, what the transcript control makes at every reading.
void CopyOfText(benchmark::State& state) {
    const std::string& text = History(state.range(0), 0);
    for (auto _ : state) {
        std::string copy = text;
        benchmark::DoNotOptimize(copy.data());
    }
}

// Five chat windows shown, each with its own short history, read from behind as well and every
// message of each: a top-level window i has its dialog at 100 + i and its control at 200 + i.
struct FiveChats : IChatWindows {
    std::string text[5];
    long copies = 0;
    WindowRef Foreground() override { return 1; }
    std::string Title(WindowRef w) override { return "Chatting with Friend " + std::to_string(w); }
    WindowRef FindChild(WindowRef parent, const char* cls) override {
        if (parent >= 1 && parent <= 5 && !std::strcmp(cls, "#32770")) return 100 + parent;
        if (parent >= 101 && parent <= 105 && !std::strcmp(cls, "RichEdit20A")) return parent + 100;
        return 0;
    }
    bool QueryTextLength(WindowRef c, std::size_t& n) override {
        n = text[c - 201].size();
        return true;
    }
    bool ReadText(WindowRef c, std::size_t n, std::string& out) override {
        ++copies;
        out.assign(text[c - 201], 0, n);
        return true;
    }
    std::vector<WindowRef> TopLevelWindows() override { return {1, 2, 3, 4, 5}; }
    bool Exists(WindowRef w) override { return w >= 1 && w <= 5; }
};

// An idle tick over five 2 KB chats, and one in which a message arrives in one of them: the
// copies per window per tick, and what the tick costs.
void ShownChats(benchmark::State& state) {
    FiveChats chats;
    IconvCodePage codePage;
    NoEngine engine;
    NullLog log;
    QuietStartup quiet;
    QuietDesk desk;
    TFmain form{QuietServices(chats, codePage, engine, log, quiet, desk)};
    for (int i = 0; i < 5; ++i) chats.text[i] = bench::ChatHistory(2048, bench::BobHeader(1));
    form.Options.readall = true;
    form.Options.background = true;
    form.Timer2Timer();
    const bool arriving = state.range(0) != 0;
    long copies = 0, tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (arriving) chats.text[tick % 5] += "\r\nBob  10:00:" + std::to_string(10 + tick % 50) + "\r\nhi\r\n";
        ++tick;
        chats.copies = 0;
        state.ResumeTiming();
        form.Timer2Timer();
        state.PauseTiming();
        copies += chats.copies;
        state.ResumeTiming();
    }
    state.counters["copies per window"] =
        benchmark::Counter(static_cast<double>(copies) / 5, benchmark::Counter::kAvgIterations);
}

void NewMessage(benchmark::State& s) { Tick(s, true); }
void Unchanged(benchmark::State& s) { Tick(s, false); }

BENCHMARK(CopyOfText)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(NewMessage)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(Unchanged)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(ShownChats)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

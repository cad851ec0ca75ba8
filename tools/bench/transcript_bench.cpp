// What one poll of the watcher costs as a chat history grows: each transcript routine on a
// short (8 KiB) and a long (8 MiB) history that end with the same newest message. The two
// figures should stay close, since only the newest message is meant to be read.
#include <benchmark/benchmark.h>

#include <string>

#include "capture/transcript.h"
#include "support/transcript_oracle.h"

namespace {

// The newest message, as a chat client lays it out: nickname, two spaces, time, body lines.
const std::string kNewest =
    "\xd0\xa1\xd3\xe3(857)  16:20:30\r\n"
    "\xc4\xe3\xba\xc3, are we still on for dinner at 7:30?\r\n"
    "I can bring the book you asked about.\r\n";

// Older messages of assorted senders fill the history up to `bytes`.
std::string Transcript(std::size_t bytes) {
    std::string t;
    t.reserve(bytes + 64);
    for (unsigned i = 0; t.size() + kNewest.size() < bytes; ++i) {
        std::string msg = (i % 3 ? "Alice  " : "Bob(42)  ") + std::to_string(10 + i % 14) + ":0" +
                          std::to_string(i % 10) + ":15\r\nmessage number " + std::to_string(i) +
                          " with some words in it\r\n";
        if (t.size() + msg.size() + kNewest.size() > bytes) break;
        t += msg;
    }
    // Make the size exact with a filler line of its own, so the newest header line is the
    // same in both histories.
    std::size_t pad = bytes - kNewest.size() - t.size();
    if (pad >= 2) t += std::string(pad - 2, '.') + "\r\n";
    else t.append(pad, '\n');
    return t + kNewest;
}

const std::string& Sized(std::int64_t bytes) {
    static const std::string small = Transcript(8 << 10);
    static const std::string large = Transcript(8 << 20);
    return bytes == (8 << 10) ? small : large;
}

template <std::string (*Routine)(const std::string&)>
void Run(benchmark::State& state) {
    const std::string& t = Sized(state.range(0));
    if (Routine(t) != Routine(Sized(8 << 10)) || Routine(t).empty()) {
        state.SkipWithError("the histories do not end with the same message");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(Routine(t));
}

void Header(benchmark::State& s) { Run<GetLastHeader>(s); }
void Sender(benchmark::State& s) { Run<GetLastSender>(s); }
void Body(benchmark::State& s) { Run<GetLastMessageBody>(s); }

BENCHMARK(Header)->Arg(8 << 10)->Arg(8 << 20);
BENCHMARK(Sender)->Arg(8 << 10)->Arg(8 << 20);
BENCHMARK(Body)->Arg(8 << 10)->Arg(8 << 20);

// For comparison: the literal reading that splits the whole history into lines first.
void LiteralHeader(benchmark::State& s) { Run<oracle::GetLastHeader>(s); }
void LiteralSender(benchmark::State& s) { Run<oracle::GetLastSender>(s); }
void LiteralBody(benchmark::State& s) { Run<oracle::GetLastMessageBody>(s); }

BENCHMARK(LiteralHeader)->Arg(8 << 10)->Arg(8 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(LiteralSender)->Arg(8 << 10)->Arg(8 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(LiteralBody)->Arg(8 << 10)->Arg(8 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Fuzz target: any byte string must give the same newest header, sender and body from the
// fast transcript routines as from the literal line-by-line reading of the rules, and the
// digit helpers must agree too. A difference aborts, so the fuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "capture/transcript.h"
#include "support/transcript_oracle.h"

namespace {

void Mismatch(const char* what, const std::string& input, const std::string& fast, const std::string& slow) {
    std::fprintf(stderr, "transcript fuzz: %s differs for %zu input bytes\n  fast:", what, input.size());
    for (unsigned char c : fast) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n  slow:");
    for (unsigned char c : slow) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

void Compare(const char* what, const std::string& input, const std::string& fast, const std::string& slow) {
    if (fast != slow) Mismatch(what, input, fast, slow);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string t(reinterpret_cast<const char*>(data), size);
    Compare("header", t, GetLastHeader(t), oracle::GetLastHeader(t));
    Compare("sender", t, GetLastSender(t), oracle::GetLastSender(t));
    Compare("body", t, GetLastMessageBody(t), oracle::GetLastMessageBody(t));
    Compare("spaced digits", t, SpaceOutDigits(t), oracle::SpaceOutDigits(t));
    if (IsAllDigits(t) != oracle::IsAllDigits(t)) Mismatch("all-digits test", t, "", "");
    return 0;
}

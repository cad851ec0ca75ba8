// Long chat histories for the tick benchmarks, in the messenger's layout: "nickname  HH:MM:SS"
// then the body, older messages of assorted senders first and one known message last.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace bench {

// A header line of the user "Bob" whose time text comes from n, so that consecutive numbers
// give headers the watcher counts as new.
inline std::string BobHeader(unsigned n) {
    char h[32];
    std::snprintf(h, sizeof h, "Bob  %02u:%02u:%02u", n / 3600 % 24, n / 60 % 60, n % 60);
    return h;
}

inline std::string Message(const std::string& header, const std::string& body) {
    return header + "\r\n" + body + "\r\n";
}

// Exactly `bytes` bytes (when that leaves room for the newest message) ending with the
// message whose header is newestHeader.
inline std::string ChatHistory(std::size_t bytes, const std::string& newestHeader) {
    // "你好, are we still on for dinner tonight?" in GBK (no digit before a colon: only the
    // header line may look like one).
    const std::string newest = Message(newestHeader, "\xc4\xe3\xba\xc3, are we still on for dinner tonight?");
    std::string t;
    t.reserve(bytes + 64);
    for (unsigned i = 0;; ++i) {
        std::string msg = Message((i % 3 ? "\xd0\xa1\xd3\xe3  " : "Bob  ") + std::to_string(10 + i % 14) + ":0" +
                                      std::to_string(i % 10) + ":15",
                                  "message number " + std::to_string(i) + " with some words in it");
        if (t.size() + msg.size() + newest.size() > bytes) break;
        t += msg;
    }
    if (t.size() + newest.size() < bytes) t += std::string(bytes - newest.size() - t.size() - 1, '.') + "\n";
    return t + newest;
}

}  // namespace bench

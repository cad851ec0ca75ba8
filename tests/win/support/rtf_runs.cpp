// Reading RTF back as coloured text runs; see rtf_runs.h.
#include "support/rtf_runs.h"

#include "app/log_control_win.h"

#include <richedit.h>

#include <cctype>
#include <cstdlib>

namespace {

DWORD CALLBACK Collect(DWORD_PTR cookie, LPBYTE buf, LONG n, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buf), static_cast<std::size_t>(n));
    *done = n;
    return 0;
}

}  // namespace

std::ostream& operator<<(std::ostream& os, const ColourRun& r) {
    return os << "{\"" << r.text << "\", " << std::hex << r.colour << std::dec << "}";
}

Rtf ReadRtf(HWND h) {
    std::string raw;
    EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&raw), 0, Collect};
    SendMessageW(h, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    return ParseRtf(raw);
}

Rtf ParseRtf(const std::string& raw) {
    Rtf rtf;
    rtf.raw = raw;
    const std::string& s = rtf.raw;
    int depth = 0, skipBelow = -1, tableDepth = -1;
    int cf = 0, red = 0, green = 0, blue = 0;
    auto emit = [&](const std::string& t) {
        COLORREF c = cf > 0 && cf < static_cast<int>(rtf.table.size()) ? rtf.table[static_cast<std::size_t>(cf)] : kNoColour;
        if (!rtf.runs.empty() && rtf.runs.back().colour == c)
            rtf.runs.back().text += t;
        else
            rtf.runs.push_back({t, c});
    };
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (c == '{') {
            ++depth, ++i;
            continue;
        }
        if (c == '}') {
            if (depth == skipBelow) skipBelow = -1;
            if (depth == tableDepth) tableDepth = -1;
            --depth, ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        bool skipping = skipBelow != -1 && depth >= skipBelow;
        if (c != '\\') {
            if (tableDepth != -1 && c == ';') {
                if (rtf.table.empty()) rtf.table.push_back(kNoColour);  // the automatic entry
                else rtf.table.push_back(RGB(red, green, blue));
                red = green = blue = 0;
            } else if (!skipping && tableDepth == -1) {
                emit(std::string(1, c));
            }
            ++i;
            continue;
        }
        // A control word, symbol or hex byte.
        char n = i + 1 < s.size() ? s[i + 1] : '\0';
        if (n == '\'') {
            std::string hex = s.substr(i + 2, 2);
            if (!skipping) emit(std::string(1, static_cast<char>(std::strtol(hex.c_str(), nullptr, 16))));
            i += 4;
            continue;
        }
        if (!std::isalpha(static_cast<unsigned char>(n))) {
            if (n == '*') skipBelow = depth;  // an ignorable destination
            else if (!skipping && (n == '\\' || n == '{' || n == '}')) emit(std::string(1, n));
            i += 2;
            continue;
        }
        std::size_t j = i + 1;
        while (j < s.size() && std::isalpha(static_cast<unsigned char>(s[j]))) ++j;
        std::string word = s.substr(i + 1, j - i - 1);
        std::size_t k = j;
        if (k < s.size() && (s[k] == '-' || std::isdigit(static_cast<unsigned char>(s[k])))) ++k;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
        int num = k > j ? std::atoi(s.substr(j, k - j).c_str()) : 0;
        if (k < s.size() && s[k] == ' ') ++k;
        i = k;
        if (word == "fonttbl" || word == "stylesheet" || word == "info") skipBelow = depth;
        else if (word == "colortbl") tableDepth = depth;
        else if (word == "red") red = num;
        else if (word == "green") green = num;
        else if (word == "blue") blue = num;
        else if (word == "cf") cf = num;
        else if ((word == "par" || word == "line") && !skipping) emit("\r\n");
        else if (word == "tab" && !skipping) emit("\t");
    }
    return rtf;
}

std::vector<ColourRun> TextRuns(const Rtf& rtf, const std::string& text) {
    std::vector<ColourRun> runs;
    std::size_t left = text.size();
    for (const ColourRun& r : rtf.runs) {
        if (!left) break;
        std::string t = r.text.substr(0, left);
        left -= t.size();
        runs.push_back({t, r.colour});
    }
    return runs;
}

LogHost::LogHost(bool withFont) {
    top_ = CreateWindowExW(0, L"STATIC", L"log host", WS_OVERLAPPEDWINDOW, 0, 0, 305, 546, nullptr, nullptr, nullptr,
                           nullptr);
    if (!top_) return;
    if (withFont)
        font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    control_ = CreateLogControl(top_, 1, 0, 300, 500, 102, font_);
}

LogHost::~LogHost() {
    if (top_) DestroyWindow(top_);
    if (font_) DeleteObject(font_);
}

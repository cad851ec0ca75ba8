// The Windows tests of the log's appends and of its file commands: a log made by the
// product's own code in a window of the test, and its RTF read back as text runs with their
// colours, the way a saved log carries them.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

constexpr COLORREF kNoColour = 0xFFFFFFFF;  // \cf0: the control's automatic colour

struct ColourRun {
    std::string text;  // 8-bit bytes as the RTF carries them, "\r\n" for \par
    COLORREF colour;
    bool operator==(const ColourRun& o) const { return text == o.text && colour == o.colour; }
};
std::ostream& operator<<(std::ostream& os, const ColourRun& r);

struct Rtf {
    std::string raw;
    std::vector<COLORREF> table;  // index 0 is the automatic colour
    std::vector<ColourRun> runs;  // adjacent text of one colour merged
};

// Just enough RTF to see text and colours: groups, control words with their numbers, \'hh
// bytes, the escaped symbols, and the colour table. Other destinations are skipped.
Rtf ParseRtf(const std::string& raw);
// The control's contents streamed out as RTF, then parsed.
Rtf ReadRtf(HWND richEdit);

// The runs of the log's own text: the control streams out one more paragraph mark, that of
// its final empty paragraph, which no append wrote.
std::vector<ColourRun> TextRuns(const Rtf& rtf, const std::string& text);

// A hidden top-level window holding a log made by the product's own code, as at start-up
// when the main window sits in the tray; with the main window's log font when asked.
class LogHost {
public:
    explicit LogHost(bool withFont);
    ~LogHost();
    LogHost(const LogHost&) = delete;
    LogHost& operator=(const LogHost&) = delete;
    HWND Control() const { return control_; }  // nullptr when it could not be made

private:
    HWND top_ = nullptr, control_ = nullptr;
    HFONT font_ = nullptr;
};

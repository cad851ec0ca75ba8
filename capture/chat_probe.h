// Recognising the messenger's chat windows by their titles, and reading the transcript of
// the one in the foreground.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "capture/chat_windows.h"

// The title test against the GBK bytes of the markers (what GetChatText uses).
bool TitleHasChatMarkerBytes(const std::string& title);
// The byte test on a window's title as GetWindowTextA's buffer keeps it.
bool IsChatTitle(IChatWindows& windows, WindowRef window);
// The title test in UTF-16 (what the title timer uses).
bool TitleHasChatMarker(const std::u16string& title);

// A transcript control reporting more than this is not believed: no allocation is made.
constexpr std::size_t kMaxTranscriptBytes = 64u * 1024u * 1024u;

// One reading of the foreground chat window's transcript. Empty (no value) when its transcript
// control did not answer: a hung messenger tells nothing about its chat, so that must not be
// taken for a transcript with nothing in it. A value of "" is an answer with nothing usable.
using ChatReading = std::optional<std::string>;

// The whole transcript of the foreground chat window, "" when anything is missing, or no value
// when the transcript control did not answer.
ChatReading GetChatText(IChatWindows& windows);
// The same for any top-level window.
ChatReading ReadChatWindow(IChatWindows& windows, WindowRef window);

// One tick of the title timer: stores the foreground title in chatTitle when it is a chat
// title, and leaves chatTitle alone otherwise.
void UpdateChatTitle(IChatWindows& windows, ICodePage& codePage, std::string& chatTitle);

// A second, deliberately plain reading of the transcript rules: split the whole text into
// lines, search them from the bottom, try every cut token in turn. It is slow on long
// transcripts and exists only so that the fast routines can be compared against it.
#pragma once

#include <string>
#include <vector>

namespace oracle {

std::vector<std::string> SplitLines(const std::string& text);
std::string GetLastHeader(const std::string& transcript);
std::string GetLastSender(const std::string& transcript);
std::string GetLastMessageBody(const std::string& transcript);
bool IsAllDigits(const std::string& text);
std::string SpaceOutDigits(const std::string& text);

}  // namespace oracle

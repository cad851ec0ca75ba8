// Finding the newest message in a chat transcript by text patterns alone: the bottom-most
// line holding a digit followed by ':' is its header, the lines below it its body, and the
// nickname is what stands in front of the time. Pure functions over 8-bit (GBK) bytes.
#pragma once

#include <string>

std::string GetLastHeader(const std::string& transcript);
std::string GetLastSender(const std::string& transcript);
std::string GetLastMessageBody(const std::string& transcript);
bool IsAllDigits(const std::string& text);
std::string SpaceOutDigits(const std::string& text);

// Finding the newest message in a chat transcript by text patterns alone: the bottom-most
// line holding a digit followed by ':' is its header, the lines below it its body, and the
// nickname is what stands in front of the time. Pure functions over 8-bit (GBK) bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

std::string GetLastHeader(const std::string& transcript);
std::string GetLastSender(const std::string& transcript);
std::string GetLastMessageBody(const std::string& transcript);
bool IsAllDigits(const std::string& text);
std::string SpaceOutDigits(const std::string& text);

// Who wrote a message, where the window tells it: a transcript leaves it to the chat's title.
enum class ChatSide : char { ByTitle, Own, Friend };

// One message: its header line (trimmed), its sender and its body, as the three routines above
// find them in a transcript that ends with this message.
struct ChatMessage {
    std::string header, sender, body;
    ChatSide side = ChatSide::ByTitle;
};

// Every message whose header line begins at or after byte `from`, oldest first. A message runs
// from its header line to the next one. Here a header line is one that ends with a time of day
// after white space, as the messenger writes headers, so a body holding "3:30" splits nothing;
// the routines above keep their older, wider rule for the newest message alone.
std::vector<ChatMessage> MessagesFrom(const std::string& transcript, std::size_t from);

// Placeholder until the probe lands.
#include "capture/chat_probe.h"
bool TitleHasChatMarkerBytes(const std::string&) { return false; }
bool TitleHasChatMarker(const std::u16string&) { return false; }
std::string GetChatText(IChatWindows&, ICodePage&) { return {}; }
void UpdateChatTitle(IChatWindows&, ICodePage&, std::string&) {}

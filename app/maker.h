// Who makes Sonvira and where its users find more voices: the one place these addresses
// live, for the about box, the help menu and the download button alike.
#pragma once

#include <string>

namespace maker {

// Placeholders under the reserved .example domain until the maker has a site and a mailbox
// of its own: a browser or mail program opens them, and they can never reach a stranger.
inline constexpr char kHomePage[] = "https://sonvira.example/";
inline constexpr char kMailAddress[] = "hello@sonvira.example";

// Microsoft's page for its Speech SDK 5.1: besides the SDK it offers the English voices
// Mike and Mary and the language pack with a Simplified Chinese voice, all SAPI 5 voices that
// the voice lists show after the next start.
inline constexpr char kVoiceDownloadPage[] = "https://www.microsoft.com/download/details.aspx?id=10121";

}  // namespace maker

// The test voice's COM class, in the one form both sides can read: install.sh takes the CLSID
// text from this line and the DLL parses the same text, so they can never disagree.
#pragma once

#define SONVIRA_TEST_VOICE_CLSID "{1C49BCEF-DAD5-41B9-9359-64DABDB9154B}"

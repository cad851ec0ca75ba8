// Rendering text to a WAV file with the own-message voice: 16 kHz, 16-bit, mono PCM through
// the file-stream component, with the voice chosen in the own voice list and the engine's
// defaults for rate and volume.
#pragma once

#include <string>

#include "base/files.h"
#include "speech/engine.h"
#include "ui/components.h"

struct WavExportParts {
    TSpVoice& voice;        // SpVoice, the own-message voice
    const TComboBox& list;  // CBVoice, whose selected item names the voice
    TSpFileStream& stream;  // SpFileStream1
    IFiles& files;
};

// Speaks the text into the file, replacing an existing one, and returns when the file is
// complete, with the voice back on the default sound device. Without a voice to choose it
// ends silently before the file is touched (and false). An engine error on the way is thrown
// after the voice has been dropped and an unfinished file removed, so that no half-written
// file looks like a finished export.
bool RenderToWav(const WavExportParts& parts, const std::string& fileName, const std::string& text);

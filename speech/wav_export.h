// Rendering text to a WAV file with the own-message voice: 16 kHz, 16-bit, mono PCM through
// the file-stream component, with the voice chosen in the own voice list and the engine's
// defaults for rate and volume.
#pragma once

#include <string>

#include "speech/engine.h"
#include "ui/components.h"

struct WavExportParts {
    TSpVoice& voice;        // SpVoice, the own-message voice
    const TComboBox& list;  // CBVoice, whose selected item names the voice
    TSpFileStream& stream;  // SpFileStream1
};

// Speaks the text into the file (UTF-8, as the dialog named it), replacing an existing one,
// and returns when the file is complete, with the voice back on the default sound device.
// Without a voice to choose it ends silently before the file is touched (and false). An
// engine or file error on the way is thrown after the voice has been dropped and the
// unfinished file discarded: an existing file stays whole, and no half-written file looks
// like a finished export.
bool RenderToWav(const WavExportParts& parts, const std::string& fileName, const std::string& text);

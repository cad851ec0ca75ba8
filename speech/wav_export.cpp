// The WAV export's engine steps; see wav_export.h.
#include "speech/wav_export.h"

#include <memory>

namespace {

VoiceTokenPtr SelectedToken(const TComboBox& list) {
    const int index = list.ItemIndex();
    if (index < 0 || index >= list.Count()) return nullptr;
    return std::dynamic_pointer_cast<IVoiceToken>(list.Items(index).object);
}

}  // namespace

bool RenderToWav(const WavExportParts& parts, const std::string& fileName, const std::string& text) {
    // A fresh voice object: what the own voice was saying stops, and the export speaks at the
    // engine's default rate and volume, not the profile's.
    try {
        parts.voice.Disconnect();
        VoiceTokenPtr token = SelectedToken(parts.list);
        if (!token) return false;
        parts.voice.SetVoice(token);
    } catch (...) {
        return false;
    }

    bool opened = false, closed = false;
    try {
        IFileStreamObject& stream = parts.stream.Object();
        stream.SetFormat16kHz16BitMono();
        stream.OpenForWrite(fileName);
        opened = true;
        IVoiceObject& voice = parts.voice.Object();
        // The voice must write in the stream's format, not ask the stream to change.
        voice.AllowAudioOutputFormatChangesOnNextSet(false);
        voice.SetOutputToStream(stream);
        voice.Speak(text);
        voice.WaitUntilDone();
        stream.Close();
        closed = true;
        voice.SetOutputToDefault();
    } catch (...) {
        // Dropping the voice object ends whatever it still writes into the stream; only then
        // may the unfinished file go. An existing file of that name stays as it was, and a
        // file closed complete stays, whatever failed after it.
        parts.voice.Disconnect();
        if (opened && !closed) {
            try {
                parts.stream.Object().Discard();
            } catch (...) {
            }
        }
        throw;
    }
    return true;
}

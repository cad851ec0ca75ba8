// The WAV export's engine steps; see wav_export.h.
#include "speech/wav_export.h"

#include <memory>

#include "base/trace.h"

namespace {

VoiceTokenPtr SelectedToken(const TComboBox& list) {
    const int index = list.ItemIndex();
    if (index < 0 || index >= list.Count()) return nullptr;
    return std::dynamic_pointer_cast<IVoiceToken>(list.Items(index).object);
}

}  // namespace

bool TWavExport::Start(const std::string& fileName, const std::string& text) {
    if (running_) return false;
    // A fresh voice object: what the own voice was saying stops, and the export speaks at the
    // engine's default rate and volume, not the profile's.
    try {
        parts_.voice.Disconnect();
        VoiceTokenPtr token = SelectedToken(parts_.list);
        if (!token) return false;
        parts_.voice.SetVoice(token);
    } catch (...) {
        TraceIgnored("choosing the WAV export's voice");
        return false;
    }

    running_ = true;
    opened_ = false;
    try {
        IFileStreamObject& stream = parts_.stream.Object();
        stream.SetFormat16kHz16BitMono();
        stream.OpenForWrite(fileName);
        opened_ = true;
        IVoiceObject& voice = parts_.voice.Object();
        // The voice must write in the stream's format, not ask the stream to change.
        voice.AllowAudioOutputFormatChangesOnNextSet(false);
        voice.SetOutputToStream(stream);
        voice.Speak(text);
    } catch (...) {
        Cancel();
        throw;
    }
    return true;
}

bool TWavExport::Poll() {
    if (!running_) return false;
    // Only a slip of the owner could have dropped the voice; a fresh object would say it is
    // done and leave a cut-off file looking complete.
    if (!parts_.voice.Connected()) {
        Cancel();
        return false;
    }
    try {
        IVoiceObject& voice = parts_.voice.Object();
        if (!voice.Done()) return true;
        parts_.stream.Object().Close();
        // A file closed complete stays, whatever fails after it.
        opened_ = false;
        voice.SetOutputToDefault();
    } catch (...) {
        Cancel();
        throw;
    }
    running_ = false;
    return false;
}

void TWavExport::Cancel() {
    if (!running_) return;
    running_ = false;
    parts_.voice.Disconnect();
    if (opened_) {
        opened_ = false;
        try {
            parts_.stream.Object().Discard();
        } catch (...) {
            TraceIgnored("discarding an unfinished WAV file");
        }
    }
    parts_.stream.Disconnect();
}

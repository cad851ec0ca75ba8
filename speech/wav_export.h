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

// One export at a time, in steps that never wait for the voice: Start sets the voice speaking
// into the file and returns, Poll (from a timer) completes the file once the voice is done,
// and Cancel ends it early. Between the steps the window goes on answering; whoever owns the
// parts must leave the own voice object and the file stream alone while Running.
class TWavExport {
public:
    explicit TWavExport(const WavExportParts& parts) : parts_(parts) {}
    TWavExport(const TWavExport&) = delete;
    TWavExport& operator=(const TWavExport&) = delete;

    bool Running() const { return running_; }

    // Starts speaking the text into the file (UTF-8, as the dialog named it), which will
    // replace an existing one once complete. Without a voice to choose it ends silently before
    // the file is touched (and false). An engine or file error on the way is thrown after the
    // failure path has run (see Cancel).
    bool Start(const std::string& fileName, const std::string& text);

    // True while the voice still speaks. Once it is done the file is completed and put in
    // place, and the voice goes back to the default sound device; an engine or file error
    // there is thrown after the failure path has run.
    bool Poll();

    // The failure path, also for a user's stop or the end of the session: the voice object is
    // dropped, which ends whatever it still writes, and only then is the unfinished file
    // discarded, so that no half-written file looks like a finished export and an existing
    // file stays whole. The file stream is dropped too: a voice that does not stop at once
    // must not write into the next export's file. Nothing happens when no export runs.
    void Cancel();

private:
    WavExportParts parts_;
    bool running_ = false;
    bool opened_ = false;  // the file is started and not complete
};

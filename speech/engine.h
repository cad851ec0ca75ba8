// The speech engine as the program uses it: voice objects that list voice tokens, take a
// voice, rate and volume, speak asynchronously, wait, and switch their output between the
// sound device and a WAV file stream. Text crosses as 8-bit ANSI; the engine side converts.
// Every failing engine call throws EngineError carrying the engine's message.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/components.h"

class EngineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A voice token; list items carry it, so it is a TObject.
struct IVoiceToken : TObject {
    // Display name for locale 0, in the ANSI code page.
    virtual std::string Description() = 0;
    // Speaking with this voice failed (it could not be created or refused to speak), and the
    // user has been told. Both voice lists carry the same token, so both pass it over.
    bool failed = false;
};
using VoiceTokenPtr = std::shared_ptr<IVoiceToken>;

// One connected file-stream object.
struct IFileStreamObject {
    virtual ~IFileStreamObject() = default;
    virtual void SetFormat16kHz16BitMono() = 0;
    // Starts the file that will create or replace this one (UTF-8, as the dialog named it).
    // Nothing replaces an existing file before Close. Throws FileError when it cannot start.
    virtual void OpenForWrite(const std::string& utf8Path) = 0;
    // Completes the file and puts it in place. Text spoken into it that left no samples is an
    // error here (a voice that cannot speak the file's format may write nothing and report
    // success), as is a write that failed on the way (FileError); then no file replaces the old.
    virtual void Close() = 0;
    // Drops the unfinished file; an existing file of that name stays as it was.
    virtual void Discard() = 0;
};

// One connected voice object. Destroying it ends its speech at once (queued speech is purged
// before the object is released).
struct IVoiceObject {
    virtual ~IVoiceObject() = default;
    // All installed voices, in engine order. A voice the engine cannot read is left out, and
    // then *complete (when given) is set false; otherwise true.
    virtual std::vector<VoiceTokenPtr> GetVoices(bool* complete = nullptr) = 0;
    virtual void SetVoice(const VoiceTokenPtr& token) = 0;
    virtual void SetRate(int rate) = 0;      // -10 .. 10
    virtual void SetVolume(int volume) = 0;  // 0 .. 100
    // Asynchronous: returns at once. The text is never taken as markup.
    virtual void Speak(const std::string& ansiText) = 0;
    // True once everything spoken so far is finished; never waits, so a caller on the
    // user-interface thread can ask from a timer and keep answering its window meanwhile.
    virtual bool Done() = 0;
    virtual void AllowAudioOutputFormatChangesOnNextSet(bool allow) = 0;
    virtual void SetOutputToStream(IFileStreamObject& stream) = 0;
    virtual void SetOutputToDefault() = 0;
};

struct ISpeechEngine {
    virtual ~ISpeechEngine() = default;
    // Throws EngineError when the class cannot be created.
    virtual std::unique_ptr<IVoiceObject> CreateVoice() = 0;
    virtual std::unique_ptr<IFileStreamObject> CreateFileStream() = 0;
};

// The wrapper component: unconnected at first, it connects on its first operation and keeps
// that engine object until Disconnect, after which the next operation connects a fresh one.
class TSpVoice {
public:
    explicit TSpVoice(ISpeechEngine& engine) : engine_(engine) {}
    bool Connected() const { return object_ != nullptr; }
    void Disconnect() { object_.reset(); }
    IVoiceObject& Object();  // connects when needed

    std::vector<VoiceTokenPtr> GetVoices(bool* complete = nullptr) { return Object().GetVoices(complete); }
    void SetVoice(const VoiceTokenPtr& token) { Object().SetVoice(token); }
    void SetRate(int rate) { Object().SetRate(rate); }
    void SetVolume(int volume) { Object().SetVolume(volume); }
    void Speak(const std::string& ansiText) { Object().Speak(ansiText); }
    // A voice with no object says nothing; one that cannot tell has nothing more to say.
    bool Done();

private:
    ISpeechEngine& engine_;
    std::unique_ptr<IVoiceObject> object_;
};

class TSpFileStream {
public:
    explicit TSpFileStream(ISpeechEngine& engine) : engine_(engine) {}
    bool Connected() const { return object_ != nullptr; }
    void Disconnect() { object_.reset(); }
    IFileStreamObject& Object();

private:
    ISpeechEngine& engine_;
    std::unique_ptr<IFileStreamObject> object_;
};

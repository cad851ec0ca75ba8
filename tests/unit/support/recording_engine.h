// A speech engine for unit tests: it speaks nothing and writes down every operation, per
// voice object and in the order they happened, so tests can check what was said, with which
// voice, rate and volume, and which object said it. It can be told to refuse operations.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "speech/engine.h"

class RecordingEngine;

// A voice token with a fixed display name; reading the name is recorded too.
class RecordedToken : public IVoiceToken {
public:
    RecordedToken(RecordingEngine& engine, std::string name) : engine_(engine), name_(std::move(name)) {}
    std::string Description() override;
    const std::string& Name() const { return name_; }

private:
    RecordingEngine& engine_;
    std::string name_;
};

class RecordingEngine : public ISpeechEngine {
public:
    // The installed voices, in engine order. Replaces any earlier list.
    void SetVoices(const std::vector<std::string>& names);
    const std::vector<std::shared_ptr<RecordedToken>>& Tokens() const { return tokens_; }

    // Operations named here ("CreateVoice", "GetVoices", "Description", "SetVoice", "SetRate",
    // "SetVolume", "Speak", ...) throw EngineError("engine refused <name>") from now on;
    // "Description <voice>", "SetVoice <voice>" and "Speak with <voice>" refuse one voice's.
    std::set<std::string> failing;

    // While set, every voice object answers Done with false: its speech goes on.
    bool speaking = false;

    // Every operation as "#<object> <operation> <argument>", e.g. "#2 SetRate -3"; objects are
    // numbered from 1 in creation order ("#0" for token reads and file streams). Creation and
    // destruction of a voice object appear as "Create" and "Destroy", creation of a file
    // stream as "CreateFileStream".
    std::vector<std::string> log;
    void ClearLog() { log.clear(); }
    // When set, every entry also goes here as "engine <entry>", beside other doubles' entries.
    std::vector<std::string>* journal = nullptr;
    // The log entries whose operation is one of these.
    std::vector<std::string> Only(const std::set<std::string>& operations) const;

    int VoicesCreated() const { return created_; }
    int VoicesAlive() const { return alive_; }

    std::unique_ptr<IVoiceObject> CreateVoice() override;
    std::unique_ptr<IFileStreamObject> CreateFileStream() override;

    // Used by the recorded objects.
    void Record(int object, const std::string& operation, const std::string& argument = {});
    void MaybeFail(const std::string& operation) const;
    void Born() { ++alive_; }
    void Died() { --alive_; }

private:
    std::vector<std::shared_ptr<RecordedToken>> tokens_;
    int created_ = 0;
    int alive_ = 0;
};

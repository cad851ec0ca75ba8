// The recording speech engine; see recording_engine.h.
#include "support/recording_engine.h"

namespace {

class RecordedVoice : public IVoiceObject {
public:
    RecordedVoice(RecordingEngine& engine, int id) : engine_(engine), id_(id) {
        engine_.Born();
        engine_.Record(id_, "Create");
    }
    ~RecordedVoice() override {
        engine_.Record(id_, "Destroy");
        engine_.Died();
    }
    std::vector<VoiceTokenPtr> GetVoices(bool* complete) override {
        Step("GetVoices");
        if (complete) *complete = true;
        return {engine_.Tokens().begin(), engine_.Tokens().end()};
    }
    void SetVoice(const VoiceTokenPtr& token) override {
        auto* recorded = dynamic_cast<RecordedToken*>(token.get());
        voice_ = recorded ? recorded->Name() : "<foreign token>";
        Step("SetVoice", voice_);
    }
    void SetRate(int rate) override { Step("SetRate", std::to_string(rate)); }
    void SetVolume(int volume) override { Step("SetVolume", std::to_string(volume)); }
    void Speak(const std::string& ansiText) override {
        Step("Speak", ansiText);
        engine_.MaybeFail("Speak with " + voice_);
    }
    bool Done() override { return Step("Done"), !engine_.speaking; }
    void AllowAudioOutputFormatChangesOnNextSet(bool allow) override {
        Step("AllowFormatChanges", allow ? "true" : "false");
    }
    void SetOutputToStream(IFileStreamObject&) override { Step("SetOutputToStream"); }
    void SetOutputToDefault() override { Step("SetOutputToDefault"); }

private:
    // A refused operation is still recorded, as the engine was asked.
    void Step(const std::string& operation, const std::string& argument = {}) {
        engine_.Record(id_, operation, argument);
        engine_.MaybeFail(operation);
        if (operation == "SetVoice") engine_.MaybeFail(operation + " " + argument);
    }
    RecordingEngine& engine_;
    int id_;
    std::string voice_;
};

class RecordedFileStream : public IFileStreamObject {
public:
    explicit RecordedFileStream(RecordingEngine& engine) : engine_(engine) {}
    void SetFormat16kHz16BitMono() override { Step("SetFormat16kHz16BitMono"); }
    void OpenForWrite(const std::string& path) override { Step("OpenForWrite", path); }
    void Close() override { Step("Close"); }
    void Discard() override { Step("Discard"); }

private:
    void Step(const std::string& operation, const std::string& argument = {}) {
        engine_.Record(0, operation, argument);
        engine_.MaybeFail(operation);
    }
    RecordingEngine& engine_;
};

}  // namespace

std::string RecordedToken::Description() {
    engine_.Record(0, "Description", name_);
    engine_.MaybeFail("Description");
    engine_.MaybeFail("Description " + name_);
    return name_;
}

void RecordingEngine::SetVoices(const std::vector<std::string>& names) {
    tokens_.clear();
    for (const auto& n : names) tokens_.push_back(std::make_shared<RecordedToken>(*this, n));
}

std::vector<std::string> RecordingEngine::Only(const std::set<std::string>& operations) const {
    std::vector<std::string> result;
    for (const auto& entry : log) {
        // "#<n> <operation>[ <argument>]"
        std::size_t a = entry.find(' ');
        std::size_t b = entry.find(' ', a + 1);
        std::string op = entry.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
        if (operations.count(op)) result.push_back(entry);
    }
    return result;
}

std::unique_ptr<IVoiceObject> RecordingEngine::CreateVoice() {
    MaybeFail("CreateVoice");
    return std::make_unique<RecordedVoice>(*this, ++created_);
}

std::unique_ptr<IFileStreamObject> RecordingEngine::CreateFileStream() {
    Record(0, "CreateFileStream");
    MaybeFail("CreateFileStream");
    return std::make_unique<RecordedFileStream>(*this);
}

void RecordingEngine::Record(int object, const std::string& operation, const std::string& argument) {
    std::string entry = "#" + std::to_string(object) + " " + operation;
    if (!argument.empty()) entry += " " + argument;
    log.push_back(entry);
    if (journal) journal->push_back("engine " + entry);
}

void RecordingEngine::MaybeFail(const std::string& operation) const {
    if (failing.count(operation)) throw EngineError("engine refused " + operation);
}

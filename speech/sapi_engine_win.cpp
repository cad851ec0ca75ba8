// Placeholder until the SAPI engine lands.
#include "speech/sapi_engine_win.h"
namespace {
struct NoEngine : ISpeechEngine {
    std::unique_ptr<IVoiceObject> CreateVoice() override { throw EngineError("no speech engine"); }
    std::unique_ptr<IFileStreamObject> CreateFileStream() override { throw EngineError("no speech engine"); }
};
}  // namespace
std::unique_ptr<ISpeechEngine> CreateSapiEngine() { return std::make_unique<NoEngine>(); }

// Lazy connection of the engine wrapper components.
#include "speech/engine.h"

IVoiceObject& TSpVoice::Object() {
    if (!object_) object_ = engine_.CreateVoice();
    return *object_;
}

IFileStreamObject& TSpFileStream::Object() {
    if (!object_) object_ = engine_.CreateFileStream();
    return *object_;
}

bool TSpVoice::Done() {
    if (!object_) return true;
    try {
        return object_->Done();
    } catch (...) {
        // A queue waiting on a voice that cannot answer would never speak again.
        return true;
    }
}

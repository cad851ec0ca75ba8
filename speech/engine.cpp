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

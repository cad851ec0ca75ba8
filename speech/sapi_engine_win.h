// The speech engine over SAPI 5 (COM). COM must be initialised on the calling thread.
#pragma once

#include <memory>

#include "speech/engine.h"

std::unique_ptr<ISpeechEngine> CreateSapiEngine();

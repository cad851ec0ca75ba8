// The speech engine over SAPI 5 (COM). COM must be initialised on the calling thread.
#pragma once

#include <windows.h>

#include <sapi.h>

#include <functional>
#include <memory>
#include <vector>

#include "speech/engine.h"
#include "win/com.h"

std::unique_ptr<ISpeechEngine> CreateSapiEngine();

// The tokens a voice enumeration holds, by index through its Item, in its order. A token that
// cannot be opened (its key denies reading) costs only itself, and then *complete (when given)
// is set false.
using TokenItem = std::function<HRESULT(ULONG index, ISpObjectToken** token)>;
std::vector<ComPtr<ISpObjectToken>> TokensOf(ULONG count, const TokenItem& item, bool* complete);

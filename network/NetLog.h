#pragma once
// Where the network layer writes what it cannot hand to anybody: decoding
// errors of a client without an error handler, for instance. The shell points
// NetLogHook at the program's log; until then lines go to stderr.
#include <functional>

#include "platform/Types.h"

using TNetLogHook = std::function<void(const String& Line)>;

// Null restores the default (stderr).
void SetNetLogHook(TNetLogHook Hook);
void NetLog(const String& Line);

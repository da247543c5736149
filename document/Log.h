#pragma once
// The document's log line: every entry goes to one sink, standard error
// until the shell routes it into the program's log file.
#include <functional>

#include "platform/Types.h"

using TLogSink = std::function<void(const String& Line)>;

// Writes one entry through the current sink.
void WriteLog(const String& Line);
// Replaces the sink; an empty one restores standard error. Returns the old one.
TLogSink SetLogSink(TLogSink Sink);

#pragma once
// SIGTERM and SIGHUP (a session ending, `kill`, a closed terminal) as a call
// on the GUI thread, so they can take the same way out as closing the main
// window, questions included. The signal handler only writes the signal's
// number into a pipe; the event loop reads it and makes the call.
#include <functional>

using TTerminationHandler = std::function<void(int Signal)>;

// Catches both signals from now on and calls Handler for each that arrives,
// once the event loop runs; several of one kind before the loop gets to them
// make one call. Signals arriving while Handler runs (a question
// of the close path waiting for an answer) are dropped: the close is under
// way already. False when there is no Qt application to report through or
// the pipe cannot be made; installing again replaces the handler.
bool InstallTerminationSignals(TTerminationHandler Handler);
// Gives both signals back their earlier handling. Harmless when not
// installed; may be called from within the handler.
void UninstallTerminationSignals();
bool TerminationSignalsInstalled();

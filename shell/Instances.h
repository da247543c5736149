#pragma once
// The main window among the other running instances and the system's
// requests to end: the registry that stands in for the window list, and
// SIGTERM or SIGHUP taken as a request to close the main window.
class TMainForm;

void InitInstanceUnit();
void DoneInstanceUnit();
// Registers the main window with the other instances; its caption changes
// are seen by them from here on.
void StartInstanceRegistry(TMainForm* MainForm);
void StopInstanceRegistry();
// SIGTERM and SIGHUP close the main window through its close path.
void InstallCloseOnSignals(TMainForm* MainForm);
void RemoveCloseOnSignals();
// The network unit: registers the event classes.
void InitNetworkUnit();

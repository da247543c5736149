#pragma once
// The program's start and end, in a fixed order: unit initialisation after
// the toolkit exists, the locale, the title, the splash, the main window,
// its settings, the document named on the command line; at the end the
// units are finalised in reverse.
#include <functional>
#include <vector>

#include "platform/Types.h"

class TMainForm;
class TSplashForm;

// Unit initialisation: the default language file, the network's event
// classes, the instance registry. Each step runs once; DoneUnits undoes
// them in reverse.
void InitUnits();
void DoneUnits();

// Steps of the start, told to the observer by name as they run ("units",
// "locale", "title", "splash", "forms", "settings", "splash timer", "open").
void SetStartupObserver(std::function<void(const String& Step)> Observer);

// Everything before the message loop. Arguments are the command line less
// the program's name; exactly one is opened as a document.
TMainForm* StartProgram(const std::vector<String>& Arguments);
// Everything after it: the main window and the forms go, then the units.
void StopProgram();
TSplashForm* Splash();

// The whole run of the program; the exit code.
int RunProgram(int argc, char** argv);

#include "shell/Startup.h"

#include "components/ColorPickerPopup.h"
#include "components/DateTimePopup.h"
#include "components/KitTranslation.h"
#include "components/ShadowedHintWindow.h"
#include "document/Log.h"
#include "platform/Clipbrd.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"
#include "platform/Timers.h"
#include "shell/Cursors.h"
#include "shell/Instances.h"
#include "shell/MainForm.h"
#include "shell/MessageDialog.h"
#include "shell/SplashForm.h"
#include "shell/Translation.h"

namespace {

struct TStartupState {
    std::function<void(const String&)> Observer;
    TSplashForm* Splash = nullptr;
    TMainForm* MainForm = nullptr;
    bool UnitsUp = false;
};

TStartupState& State()
{
    static TStartupState state;
    return state;
}

void Step(const String& Name)
{
    if (State().Observer)
        State().Observer(Name);
}

}  // namespace

void SetStartupObserver(std::function<void(const String& Step)> Observer) { State().Observer = std::move(Observer); }

void InitUnits()
{
    if (State().UnitsUp)
        return;
    State().UnitsUp = true;
    SetLanguagefile(LanguageFileName("default"));
    // The kit's own texts ("mix colour") are translated like the program's.
    SetKitTranslator([](const String& Text) { return Translate(Text); });
    SetClipboardTextWriter(SetClipboardText);
    SetDialogTextTranslator([](const String& Text) { return Translate(Text); });
    InitNetworkUnit();
    RegisterCursors();
    InitInstanceUnit();
    // Hints cast a shadow.
    Application->SetHintWindowClass(TShadowedHintWindow::StaticClassInfo());
}

void DoneUnits()
{
    if (!State().UnitsUp)
        return;
    State().UnitsUp = false;
    DoneInstanceUnit();
    SetClipboardTextWriter(nullptr);
    SetDialogTextTranslator(nullptr);
    SetKitTranslator(nullptr);
    CloseFile();
    ClearSourceTexts();
}

TSplashForm* Splash() { return State().Splash; }

TMainForm* StartProgram(const std::vector<String>& Arguments)
{
    Application->Initialize();
    InitUnits();
    Step("units");
    InitFormatSettingsFromLocale();
    Step("locale");
    Application->SetTitle("Vekora");
    Step("title");
    State().Splash = Create<TSplashForm>(nullptr);
    Step("splash");
    TMainForm* main = nullptr;
    Application->CreateForm(main);
    State().MainForm = main;
    // The date fields' and colour panels' popups, made once and reused.
    Application->CreateForm(DateTimePopup);
    Application->CreateForm(ColorPickerPopup);
    Application->OnException = [main](TObject*, Exception& E) { main->ApplicationEvents1Exception(E); };
    Application->OnShowHint = [main](String& HintStr, bool& CanShow, THintInfo& HintInfo) {
        main->ApplicationEvents1ShowHint(HintStr, CanShow, HintInfo);
    };
    Application->OnIdle = [main](TObject*, bool& Done) {
        main->ApplicationEvents1Idle();
        Done = true;
    };
    StartInstanceRegistry(main);
    Step("forms");
    main->LoadIni();
    Step("settings");
    main->Show();
    State().Splash->Timer->SetEnabled(true);
    Step("splash timer");
    if (Arguments.size() == 1) {
        main->Open(ExpandFileName(Arguments[0]));
        Step("open");
    }
    return main;
}

void StopProgram()
{
    TStartupState& s = State();
    StopInstanceRegistry();
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    Application->OnShowHint = nullptr;
    delete s.Splash;
    s.Splash = nullptr;
    delete DateTimePopup;
    DateTimePopup = nullptr;
    delete ColorPickerPopup;
    ColorPickerPopup = nullptr;
    if (s.MainForm) {
        delete s.MainForm;
        s.MainForm = nullptr;
    }
    DoneUnits();
}

int RunProgram(int argc, char** argv)
{
    std::vector<String> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    StartProgram(arguments);
    InstallCloseOnSignals(State().MainForm);
    Application->Run();
    RemoveCloseOnSignals();
    StopProgram();
    Application->Shutdown();
    return 0;
}

// The main window among the other instances: its caption goes to the
// registry, the registry's changes rebuild the window menu, a request to
// come to the front restores the window, and another instance that shows a
// document about to be opened here is brought to the front instead.
#include "shell/Instances.h"

#include "components/StyledMenu.h"
#include "platform/InstanceRegistry.h"
#include "platform/Menus.h"
#include "platform/TerminationSignals.h"
#include "shell/MainForm.h"

namespace {

struct TInstanceState {
    TInstanceRegistry* Registry = nullptr;
    TMainForm* MainForm = nullptr;
};

TInstanceState& State()
{
    static TInstanceState state;
    return state;
}

}  // namespace

void InitInstanceUnit() {}

void DoneInstanceUnit() { StopInstanceRegistry(); }

void StartInstanceRegistry(TMainForm* MainForm)
{
    StopInstanceRegistry();
    auto* registry = Create<TInstanceRegistry>(nullptr);
    registry->OnLookup = [MainForm](TObject*) { MainForm->LookupOtherWindows(); };
    registry->OnActivate = [MainForm](TObject*) {
        if (MainForm->WindowState() == wsMinimized)
            MainForm->SetWindowState(wsNormal);
        MainForm->Show();
        MainForm->BringToFront();
    };
    registry->SetCaption(MainForm->Caption(), MainForm->FCurrentFile);
    // Without the registry the program still runs, only alone.
    if (!registry->Start()) {
        MainForm->Log("Other instances cannot be found: " + registry->LastError());
    }
    State().Registry = registry;
    State().MainForm = MainForm;
    MainForm->SetInstances(registry);
    MainForm->LookupOtherWindows();
}

void StopInstanceRegistry()
{
    TInstanceState& s = State();
    if (!s.Registry)
        return;
    // The others drop this instance once its entry is gone.
    s.Registry->Stop();
    if (s.MainForm)
        s.MainForm->SetInstances(nullptr);
    delete s.Registry;
    s.Registry = nullptr;
    s.MainForm = nullptr;
}

void InstallCloseOnSignals(TMainForm* MainForm)
{
    InstallTerminationSignals([MainForm](int) { MainForm->Close(); });
}

void RemoveCloseOnSignals() { UninstallTerminationSignals(); }

// ---- the main window's side ----------------------------------------------------------

void TMainForm::SetInstances(TInstanceRegistry* Registry) { FInstances = Registry; }

void TMainForm::LookupOtherWindows()
{
    if (FInstances)
        FInstances->SetCaption(Caption(), FCurrentFile);
    FWindowList.clear();
    if (FInstances && FInstances->Active())
        for (const TInstanceEntry& e : FInstances->VEKWindows())
            FWindowList.push_back({e.Caption, e.Handle, e.Self});
    if (!Fenster1)
        return;
    Fenster1->Clear();
    // Numbered from the last entry, which gets 1.
    int number = 0;
    for (int i = int(FWindowList.size()) - 1; i >= 0; --i) {
        const TWindowEntry& w = FWindowList[std::size_t(i)];
        auto* item = Create<TMenuItem>(this);
        item->SetCaption(std::to_string(++number) + " " + w.Name);
        item->SetTag(i);
        item->SetChecked(w.Own);
        item->OnClick = [this, item](TObject*) { SelectOtherVEKClick(item); };
        Fenster1->Add(item);
    }
    // No menu mixes the plain look with the flat one.
    if (StyledMenu1)
        StyledMenu1->ActivateMenuItem(Fenster1, true);
}

void TMainForm::SelectOtherVEKClick(TMenuItem* Item)
{
    const auto index = std::size_t(Item->Tag());
    if (!FInstances || index >= FWindowList.size())
        return;
    FInstances->Activate(FWindowList[index].Handle);
}

bool TMainForm::ShowInOtherInstance(const String& FileName)
{
    return FInstances && FInstances->ActivateInstanceShowing(FileName);
}

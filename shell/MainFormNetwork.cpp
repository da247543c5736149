// The network commands of the main window: its document hooks forward to
// the network object, and the Network menu shows and drives its state.
#include "network/DocumentNetwork.h"
#include "network/VEKEvents.h"
#include "platform/ActnList.h"
#include "platform/Menus.h"
#include "shell/Instances.h"
#include "shell/MainForm.h"

void InitNetworkUnit() { RegisterVEKEvents(); }

TMainForm::~TMainForm() = default;

void TMainForm::CreateNetwork()
{
    FNetwork = std::make_unique<TDocumentNetwork>(*this);
    FClientPort = FServerPort = TDocumentNetwork::DefaultPort;
    FNetwork->OnChange = [this] { UpdateNetworkControls(); };
    Server1->OnClick = [this](TObject*) { Server1Click(); };
    Client1->OnClick = [this](TObject*) { Client1Click(); };
    AllowClientChanges1->SetAutoCheck(false);
    AllowClientChanges1->OnClick = [this](TObject*) { AllowClientChanges1Click(); };
    AllowClientChanges1->SetChecked(FNetwork->AllowChanges());
}

void TMainForm::Server1Click()
{
    FNetwork->SetPort(Word(FServerPort));
    FNetwork->ToggleServer();
    if (FNetwork->IsActiveServer())
        FServerPort = FNetwork->Port();
    UpdateNetworkControls();
}

void TMainForm::Client1Click()
{
    // Connecting replaces the plan by the server's: unsaved work is saved
    // first or the connection not made.
    if (!FNetwork->ClientChecked() && GetFileChanged()) {
        switch (MessageFileNotSaved()) {
        case daCancel: return;
        case daYes:
            if (!ActionSave())
                return;
            break;
        case daNo: break;
        }
    }
    FNetwork->SetHost(FClientHost);
    FNetwork->SetPort(Word(FClientPort));
    FNetwork->ToggleClient();
    if (FNetwork->ClientChecked()) {
        FClientHost = FNetwork->Host();
        FClientPort = FNetwork->Port();
    }
    UpdateNetworkControls();
}

void TMainForm::AllowClientChanges1Click()
{
    FNetwork->SetAllowChanges(!FNetwork->AllowChanges());
    AllowClientChanges1->SetChecked(FNetwork->AllowChanges());
}

String TMainForm::ConnectedServerAddress() const { return FNetwork ? FNetwork->ServerAddress() : String(); }

int TMainForm::ConnectedClientCount() const { return FNetwork ? int(FNetwork->ClientNames().size()) : 0; }

bool TMainForm::IsConnectedClient() const { return FNetwork && FNetwork->IsConnectedClient(); }
bool TMainForm::IsActiveServer() const { return FNetwork && FNetwork->IsActiveServer(); }

void TMainForm::SendSetNodeDataEvent(int Column, const String& Text, int ID)
{
    FNetwork->SendSetNodeDataEvent(Column, Text, ID);
}

void TMainForm::BroadcastSetNodeDataEvent(int Column, const String& Text, int ID)
{
    FNetwork->BroadcastSetNodeDataEvent(Column, Text, ID);
}

void TMainForm::SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
{
    FNetwork->SendNewNodeEvent(Table, Position, Length, Start, ID);
}

void TMainForm::BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
{
    FNetwork->BroadcastNewNodeEvent(Table, Position, Length, Start, ID);
}

void TMainForm::SendDeleteNodeEvent(int ID) { FNetwork->SendDeleteNodeEvent(ID); }
void TMainForm::BroadcastDeleteNodeEvent(int ID) { FNetwork->BroadcastDeleteNodeEvent(ID); }
void TMainForm::BroadcastDocument() { FNetwork->BroadcastDocument(); }

void TMainForm::UpdateFileActions()
{
    if (!FNetwork || !ActSave)
        return;
    const TNetworkControls c = FNetwork->Controls();
    ActNew->SetEnabled(c.New);
    ActOpen->SetEnabled(c.Open);
    ActRevert->SetEnabled(c.Revert && ActionRevertEnabled());
    ActSave->SetEnabled(c.Save);
    ActSaveAs->SetEnabled(c.SaveAs);
    zuletztgeffneteDateien1->SetEnabled(c.RecentFiles && ActLastFile[0]->Visible());
    for (TAction* a : ActLastFile)
        a->SetEnabled(c.RecentFiles);
    ExcelImport1->SetEnabled(c.ExcelImport);
    Zusammenfhren1->SetEnabled(c.MergeFiles);
    Auftrgearchivieren1->SetEnabled(c.ArchiveTable);
    // Every opener of the Setup menu.
    for (int i = 0; i < Setup1->Count(); ++i)
        Setup1->Items(i)->SetEnabled(c.SetupDialogs);
}

void TMainForm::UpdateNetworkControls()
{
    if (!FNetwork || !Server1)
        return;
    Server1->SetChecked(FNetwork->ServerChecked());
    Client1->SetChecked(FNetwork->ClientChecked());
    Servername->SetVisible(FNetwork->IsActiveServer());
    Servername->SetCaption(FNetwork->ServerName());
    // This runs at every idle pass: the submenu is rebuilt only when the
    // clients differ.
    const std::vector<String> names = FNetwork->ClientNames();
    bool same = int(names.size()) == Clients1->Count();
    for (int i = 0; same && i < Clients1->Count(); ++i)
        same = Clients1->Items(i)->Caption() == names[std::size_t(i)];
    if (!same) {
        Clients1->Clear();
        for (const String& name : names) {
            auto* item = Create<TMenuItem>(this);
            item->SetCaption(name);
            Clients1->Add(item);
        }
    }
    Clients1->SetEnabled(Clients1->Count() > 0);
    // The server's side has no client commands to refuse.
    Server1->SetEnabled(!FNetwork->ClientChecked());
    Client1->SetEnabled(!FNetwork->IsActiveServer());
    UpdateCaption();
}

#include "network/DocumentNetwork.h"

#include <climits>
#include <exception>

#include "document/DocumentHelpers.h"
#include "document/Log.h"
#include "platform/Dialogs.h"
#include "platform/Sockets.h"
#include "platform/SysUtils.h"

TNetworkControls NetworkControls(bool ServerActive, bool ClientConnected, bool FileChanged)
{
    TNetworkControls c;
    const bool networked = ServerActive || ClientConnected;
    c.SetupDialogs = !networked;
    c.CopyTask = !networked;
    const bool own = !ClientConnected;
    c.New = c.Open = c.Revert = c.SaveAs = c.RecentFiles = c.ExcelImport = own;
    c.Save = own && FileChanged;
    c.SplitTask = c.MergeFiles = c.ListImport = c.ArchiveTable = own;
    return c;
}

namespace {

// Runs a handler's work; what it raises is logged, never thrown back into
// the socket notice that called it.
template <class F>
void Guarded(const char* What, F&& Work)
{
    try {
        Work();
    } catch (const std::exception& e) {
        WriteLog(String(What) + ": " + e.what());
    }
}

}  // namespace

TDocumentNetwork::TDocumentNetwork(TScheduleDocument& Document)
    : FDocument(Document), FOwner(std::make_unique<TComponent>(nullptr))
{
    FServer = Create<TTOOCSServer>(FOwner.get());
    FClient = Create<TTOOCSClient>(FOwner.get());
    FServer->SetPort(FPort);
    FClient->SetHost(FHost);
    FClient->SetPort(FPort);

    FServer->OnSendEvent = [this](TObject*, TSimpleTCPClient* C, TTOOCSEvent* E) {
        if (auto* event = dynamic_cast<TVEKEvent*>(E)) {
            ++FServerTransaction;
            event->SetTransaction(++FConnectionTransaction[C]);
        }
    };
    FServer->OnReceiveEvent = [this](TObject*, TSimpleTCPClient* C, TTOOCSEvent* E) { ServerReceive(C, E); };
    FServer->OnClientConnection = [this](TObject*, TSimpleTCPClient* C) {
        FConnectionTransaction[C] = 0;
        Changed();
    };
    FServer->OnClientDisconnection = [this](TObject*, TSimpleTCPClient* C) {
        FConnectionTransaction.erase(C);
        FDocumentMark.erase(C);
        Changed();
    };
    FServer->OnError = [this](TObject*, TSocket, const String&, int) { Changed(); };
    FServer->OnStop = [this](TObject*) {
        FConnectionTransaction.clear();
        FDocumentMark.clear();
    };

    FClient->OnConnection = [this](TObject*) { ClientConnected(); };
    FClient->OnDisconnected = [this](TObject*) {
        FSynchronised = false;
        Changed();
    };
    FClient->OnConnectionLost = [this](TObject*) { ConnectionLost(); };
    FClient->OnReceiveEvent = [this](TObject*, TTOOCSEvent* E) { ClientReceive(E); };
    // A failed send is answered by the next gap; a failed connection is
    // looked at once the notice is over.
    FClient->OnError = [this](TObject*, TSocket, const String&, int Code) {
        if (Code == -1)
            return;
        std::weak_ptr<int> alive = FAlive;
        QueueDeferredCall([this, alive] {
            if (!alive.expired())
                ClientFailed();
        });
    };
}

TDocumentNetwork::~TDocumentNetwork()
{
    FAlive.reset();
    FServer->OnSendEvent = nullptr;
    FServer->OnReceiveEvent = nullptr;
    FServer->OnClientConnection = nullptr;
    FServer->OnClientDisconnection = nullptr;
    FServer->OnError = nullptr;
    FServer->OnStop = nullptr;
    FClient->OnConnection = nullptr;
    FClient->OnDisconnected = nullptr;
    FClient->OnConnectionLost = nullptr;
    FClient->OnReceiveEvent = nullptr;
    FClient->OnError = nullptr;
    FOwner->DestroyComponents();
}

// ---- the document's hooks ----------------------------------------------------------------

bool TDocumentNetwork::IsConnectedClient() const { return FClient->Active() && FClient->Connected(); }

bool TDocumentNetwork::IsActiveServer() const { return FServer->Active(); }

void TDocumentNetwork::SendSetNodeDataEvent(int Column, const String& Text, int ID)
{
    auto* event = new TSetNodeDataEvent();
    event->SetID(ID);
    event->SetColumn(Column);
    event->SetData(Text);
    FClient->Send(event, true);
}

void TDocumentNetwork::BroadcastSetNodeDataEvent(int Column, const String& Text, int ID)
{
    auto* event = new TSetNodeDataEvent();
    event->SetID(ID);
    event->SetColumn(Column);
    event->SetData(Text);
    FServer->Broadcast(event, true);
}

namespace {

TNewNodeEvent* NewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
{
    auto* event = new TNewNodeEvent();
    event->SetID(ID);
    event->SetTable(Table);
    event->SetinitialPos(Position);
    event->SetinitialLength(Length);
    event->SetinitialStart(Start);
    return event;
}

TDeleteNodeEvent* DeleteNodeEvent(int ID)
{
    auto* event = new TDeleteNodeEvent();
    event->SetID(ID);
    return event;
}

}  // namespace

void TDocumentNetwork::SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
{
    FClient->Send(NewNodeEvent(Table, Position, Length, Start, ID), true);
}

void TDocumentNetwork::BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID)
{
    FServer->Broadcast(NewNodeEvent(Table, Position, Length, Start, ID), true);
}

void TDocumentNetwork::SendDeleteNodeEvent(int ID) { FClient->Send(DeleteNodeEvent(ID), true); }

void TDocumentNetwork::BroadcastDeleteNodeEvent(int ID) { FServer->Broadcast(DeleteNodeEvent(ID), true); }

void TDocumentNetwork::BroadcastDocument()
{
    TSimpleTCPServer* server = FServer->Server();
    if (!FServer->Active() || server->ClientCount() == 0)
        return;
    FServer->Broadcast(TUpdateTableEvent::CreateInitialized(FDocument), true);
    for (int i = 0; i < server->ClientCount(); ++i)
        FDocumentMark[server->Clients(i)] = server->OutputMark(server->Clients(i)->Socket());
}

bool TDocumentNetwork::DocumentWaits(const TSimpleTCPClient* Client) const
{
    const auto it = FDocumentMark.find(Client);
    return it != FDocumentMark.end() && !FServer->Server()->OutputPassed(Client->Socket(), it->second);
}

void TDocumentNetwork::SendDocument(TSimpleTCPClient* Client)
{
    if (DocumentWaits(Client))
        return;
    TSimpleTCPServer* server = FServer->Server();
    if (FServer->Send(Client, TUpdateTableEvent::CreateInitialized(FDocument), true) && server->HasClient(Client))
        FDocumentMark[Client] = server->OutputMark(Client->Socket());
}

// ---- server ------------------------------------------------------------------------------

bool TDocumentNetwork::StartServer(Word Port)
{
    if (FServer->Active())
        FServer->SetActive(false);
    FConnectionTransaction.clear();
    FDocumentMark.clear();
    FServer->SetPort(Port);
    FServer->SetActive(true);
    if (FServer->Active())
        FPort = FServer->Port();
    Changed();
    return FServer->Active();
}

void TDocumentNetwork::StopServer()
{
    FServer->SetActive(false);
    FConnectionTransaction.clear();
    FDocumentMark.clear();
    Changed();
}

void TDocumentNetwork::ToggleServer()
{
    if (FServer->Active()) {
        StopServer();
        return;
    }
    String text = IntToStr(FPort);
    if (!InputQuery(FDocument.Translate("Server port number"), FDocument.Translate("Please enter a port for the Server"),
            text))
        return;
    Word port = FPort;
    ParsePort(text, port);
    if (!StartServer(port))
        FDocument.ShowMessage(dmError, FillText(FDocument.Translate("Cannot establish server at port %s"), {IntToStr(port)}));
}

void TDocumentNetwork::SetAllowChanges(bool Value) { FAllowChanges = Value; }

String TDocumentNetwork::ServerName() const
{
    return FillText(FDocument.Translate("Servername: %s"),
        {FServer->Server()->GetLocalHostName() + ":" + IntToStr(FServer->Port())});
}

std::vector<String> TDocumentNetwork::ClientNames() const
{
    std::vector<String> names;
    TSimpleTCPServer* server = FServer->Server();
    for (int i = 0; i < server->ClientCount(); ++i)
        names.push_back(server->Clients(i)->PeerHost());
    return names;
}

Int64 TDocumentNetwork::ServerTransaction(const TSimpleTCPClient* Client) const
{
    const auto it = FConnectionTransaction.find(Client);
    return it == FConnectionTransaction.end() ? 0 : it->second;
}

void TDocumentNetwork::ServerReceive(TSimpleTCPClient* Client, TTOOCSEvent* Event)
{
    Guarded("Event from a client", [&] {
        if (dynamic_cast<TVEKGetTableEvent*>(Event)) {
            SendDocument(Client);
            return;
        }
        auto* change = dynamic_cast<TNodeEvent*>(Event);
        if (!change || !FAllowChanges)
            return;
        // A client names no ID for its new row (it sends 0); the server's
        // row gets one no other row has, and the broadcast carries it.
        if (auto* added = dynamic_cast<TNewNodeEvent*>(change)) {
            TNodeData* other = nullptr;
            TWhichTable table = tbTable;
            if (added->RowID() <= 0 || FDocument.FindNodeAndTable(added->RowID(), other, table))
                added->SetID(FDocument.GetFreeID());
        }
        change->SetDocument(&FDocument);
        change->Perform();
    });
}

// ---- client ------------------------------------------------------------------------------

bool TDocumentNetwork::ClientChecked() const { return FClient->Active(); }

String TDocumentNetwork::ServerAddress() const { return FClient->Host() + ":" + IntToStr(FClient->Port()); }

bool TDocumentNetwork::StartClient(const String& Host, Word Port)
{
    if (FClient->Active())
        FClient->SetActive(false);
    FSynchronised = false;
    FHost = Host;
    FPort = Port;
    FClient->SetHost(Host);
    FClient->SetPort(Port);
    FConnecting = true;
    FClient->SetActive(true);
    if (!FClient->Active()) {
        // Not even started (a host that cannot be found): the queued
        // failure check reports it.
        Changed();
        return false;
    }
    Changed();
    return true;
}

void TDocumentNetwork::StopClient()
{
    FConnecting = false;
    FReconnecting = false;
    FSynchronised = false;
    FClient->SetActive(false);
    Changed();
}

void TDocumentNetwork::ToggleClient()
{
    if (FClient->Active()) {
        StopClient();
        return;
    }
    String host = FHost;
    if (!InputQuery(FDocument.Translate("Server address"), FDocument.Translate("Please enter the IP-address"), host))
        return;
    String text = IntToStr(FPort);
    if (!InputQuery(FDocument.Translate("Server port number"),
            FDocument.Translate("Please enter the Server's port number"), text))
        return;
    Word port = FPort;
    ParsePort(text, port);
    StartClient(host, port);
}

void TDocumentNetwork::ClientConnected()
{
    // Numbers start again with every connection.
    FClientTransaction = 0;
    FSynchronised = false;
    FConnecting = false;
    RequestDocument();
    Changed();
}

void TDocumentNetwork::RequestDocument()
{
    ++FDocumentRequests;
    FClient->Send(new TVEKGetTableEvent(), true);
}

void TDocumentNetwork::ClientReceive(TTOOCSEvent* Event)
{
    auto* event = dynamic_cast<TVEKEvent*>(Event);
    if (!event)
        return;
    Guarded("Event from the server", [&] {
        if (FClientTransaction == LLONG_MAX || event->Transaction() != FClientTransaction + 1) {
            FClientTransaction = event->Transaction();
            RequestDocument();
            return;
        }
        FClientTransaction = event->Transaction();
        auto* document = dynamic_cast<TUpdateTableEvent*>(event);
        // Changes numbered before this connection's first document refer
        // to rows this instance does not have yet.
        if (!document && !FSynchronised)
            return;
        event->SetDocument(&FDocument);
        event->Perform();
        if (document) {
            FSynchronised = true;
            ++FDocumentsLoaded;
            FDocument.UpdateCaption();
        }
    });
}

void TDocumentNetwork::ClientFailed()
{
    if (!FConnecting || FReconnecting || FClient->Active())
        return;
    FConnecting = false;
    FDocument.ShowMessage(dmError,
        FillText(FDocument.Translate("Cannot establish connection to server %s"), {FClient->Host()}));
    Changed();
}

void TDocumentNetwork::ConnectionLost()
{
    FSynchronised = false;
    Changed();
    // Asked once the socket's notice is over: the question runs its own loop.
    std::weak_ptr<int> alive = FAlive;
    QueueDeferredCall([this, alive] {
        if (alive.expired() || FClient->Active())
            return;
        const String host = FClient->Host();
        if (!FDocument.AskConfirmation(
                FillText(FDocument.Translate("Connection to %s was Lost.\\nTry to reconnect?"), {host}))) {
            Changed();
            return;
        }
        FReconnecting = true;
        FClient->SetActive(true);
        // The connection is made by the event loop: wait for it, not past it.
        RunMessagesUntil([this, alive] { return alive.expired() || FClient->Connected() || !FClient->Active(); },
            ReconnectWaitMs);
        if (alive.expired())
            return;
        FReconnecting = false;
        if (!FClient->Connected()) {
            FClient->SetActive(false);
            FDocument.ShowMessage(dmError,
                FillText(FDocument.Translate("Cannot establish connection to server %s"), {host}));
            // The mirrored plan stays, as a document of its own.
            FDocument.FFileIsNewAndUnsaved = true;
            FDocument.FSaveFileName = FDocument.Translate("New Table") + ".vek";
            FDocument.UpdateCaption();
        }
        Changed();
    });
}

// ---- common --------------------------------------------------------------------------------

TNetworkControls TDocumentNetwork::Controls() const
{
    return NetworkControls(IsActiveServer(), IsConnectedClient(), FDocument.GetFileChanged());
}

void TDocumentNetwork::Changed()
{
    // Blocked undo steps depend on being a client.
    FDocument.UndoRedo().UpdateMainForm();
    if (OnChange)
        OnChange();
}

bool TDocumentNetwork::ParsePort(const String& Text, Word& Port)
{
    int value = 0;
    if (!TryStrToInt(Trim(Text), value) || value < 0 || value > 65535)
        return false;
    Port = Word(value);
    return true;
}

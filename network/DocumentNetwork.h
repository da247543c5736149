#pragma once
// Serving a document to other instances, or mirroring one served elsewhere.
// The main window owns one TDocumentNetwork for its document; the document's
// network hooks (IsConnectedClient, IsActiveServer, Send...Event,
// Broadcast...Event, BroadcastDocument) forward to the functions of the same
// names here, and the network menu items call ToggleServer, ToggleClient and
// SetAllowChanges.
//
// The server holds the authoritative document. A connected client changes
// nothing locally: its edits go to the server, which performs them (while
// "Allow changes from clients" is checked) and broadcasts them to every
// client, the sender included. Every event the server sends on a connection
// carries that connection's next number, counted from 1 for each new
// connection; a client that sees any other number than its last one plus 1
// asks for the whole document again.
//
// Questions and messages go through the document's hooks (AskConfirmation,
// ShowMessage, Translate) and, for the host and port, InputQuery.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "document/ScheduleDocument.h"
#include "network/TOOCS.h"
#include "network/VEKEvents.h"

// Which of the main window's commands may run, given the network state. The
// shell applies it in UpdateNetworkControls (each command's own conditions
// still apply on top).
struct TNetworkControls {
    // "Group resources...", "Edit resources...", "Edit Table "Tasks"...",
    // "Edit Table "Days absent"...", "Edit Holiday...": off while serving or
    // connected.
    bool SetupDialogs = true;
    // Copying a task: off while serving or connected.
    bool CopyTask = true;
    // Off while connected as a client.
    bool New = true;
    bool Open = true;
    bool Revert = true;
    bool Save = true;  // also needs unsaved changes
    bool SaveAs = true;
    bool RecentFiles = true;
    bool ExcelImport = true;
    // The commands that add a row and fill it: off while connected as a
    // client, where the row is made by the server and arrives empty.
    bool SplitTask = true;
    bool MergeFiles = true;
    // Archiving deletes rows: the server would lose rows kept only in the
    // client's file. Off while connected as a client.
    bool ArchiveTable = true;
    bool ListImport = true;
};

// The commands' states for a server that is (not) active, a client that is
// (not) connected, and a document with (without) unsaved changes.
TNetworkControls NetworkControls(bool ServerActive, bool ClientConnected, bool FileChanged);

class TDocumentNetwork {
public:
    // Default host and port (the shell's settings may give others).
    static constexpr const char* DefaultHost = "localhost";
    // An ordinary user may not listen on a port below 1024.
    static constexpr Word DefaultPort = DefaultTCPPort;
    // How long a reconnection may take before it counts as failed.
    static constexpr int ReconnectWaitMs = 1000;

    explicit TDocumentNetwork(TScheduleDocument& Document);
    ~TDocumentNetwork();
    TDocumentNetwork(const TDocumentNetwork&) = delete;
    TDocumentNetwork& operator=(const TDocumentNetwork&) = delete;

    TTOOCSServer* Server() const { return FServer; }
    TTOOCSClient* Client() const { return FClient; }

    // ---- the hooks of the document ----
    bool IsConnectedClient() const;
    bool IsActiveServer() const;
    void SendSetNodeDataEvent(int Column, const String& Text, int ID);
    void BroadcastSetNodeDataEvent(int Column, const String& Text, int ID);
    void SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID);
    void BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID);
    void SendDeleteNodeEvent(int ID);
    void BroadcastDeleteNodeEvent(int ID);
    // The whole document to every client (after Open, a whole-document
    // undo, ...).
    void BroadcastDocument();

    // ---- the menu items ----
    // "Setup VEK as server...": on asks for the port and starts serving
    // (an error when it cannot); off stops.
    void ToggleServer();
    // "Connect with server...": on asks for the host and the port and
    // connects; off disconnects.
    void ToggleClient();
    // The check marks of the two items.
    bool ServerChecked() const { return IsActiveServer(); }
    bool ClientChecked() const;
    // "Allow changes from clients": while unchecked (as it starts) the
    // server drops every row change a client sends; clients still get the
    // document and every change made on the server.
    bool AllowChanges() const { return FAllowChanges; }
    void SetAllowChanges(bool Value);
    // The caption of the Servername item: "Servername: host:port".
    String ServerName() const;
    // The "Clients" submenu: the address of every connected client, in
    // the order they connected.
    std::vector<String> ClientNames() const;
    // host:port of the server this client mirrors; shown in the caption
    // once its document has arrived (the document's FReceivedFromServer).
    String ServerAddress() const;
    // The commands' states now.
    TNetworkControls Controls() const;

    // The steps behind the menu items, without questions: true when the
    // server listens / the connection is under way.
    bool StartServer(Word Port);
    void StopServer();
    bool StartClient(const String& Host, Word Port);
    void StopClient();

    // Host and port asked for next (and used by StartClient's caller);
    // the server's port is the last one it served on.
    const String& Host() const { return FHost; }
    void SetHost(const String& Value) { FHost = Value; }
    Word Port() const { return FPort; }
    void SetPort(Word Value) { FPort = Value; }

    // Fired when the server starts or stops, a client connects to it or
    // goes, this client connects or loses its connection: the shell
    // rebuilds the Clients submenu and the Servername item and runs
    // UpdateNetworkControls.
    std::function<void()> OnChange;

    // ---- state, for the menu and for tests ----
    // Events the server sent in all.
    Int64 FServerTransaction = 0;
    // The last number this client accepted on its connection.
    Int64 FClientTransaction = 0;
    // The number the server gave the last event it sent to the client (0
    // for a client that is not connected).
    Int64 ServerTransaction(const TSimpleTCPClient* Client) const;
    // Whole documents this client asked for, and the ones it loaded.
    int FDocumentRequests = 0;
    int FDocumentsLoaded = 0;

private:
    void ServerReceive(TSimpleTCPClient* Client, TTOOCSEvent* Event);
    void ClientReceive(TTOOCSEvent* Event);
    void ClientConnected();
    void ConnectionLost();
    void ClientFailed();
    void RequestDocument();
    void Changed();
    static bool ParsePort(const String& Text, Word& Port);

    TScheduleDocument& FDocument;
    std::unique_ptr<TComponent> FOwner;
    TTOOCSServer* FServer = nullptr;
    TTOOCSClient* FClient = nullptr;
    bool FAllowChanges = false;
    String FHost = DefaultHost;
    Word FPort = DefaultPort;
    // Per connection: the number of the last event sent on it.
    std::map<const TSimpleTCPClient*, Int64> FConnectionTransaction;
    // Per connection: the output mark just behind the last whole document
    // sent on it. Until that has gone out, further requests for the
    // document are not answered: the one on its way answers them, and a
    // peer that asks and never reads cannot make the server build and hold
    // one document per request.
    std::map<const TSimpleTCPClient*, Int64> FDocumentMark;
    bool DocumentWaits(const TSimpleTCPClient* Client) const;
    void SendDocument(TSimpleTCPClient* Client);
    // This client has loaded the server's document on this connection:
    // until then row changes have no rows to act on.
    bool FSynchronised = false;
    // The client is being connected (by the user or after a loss): a
    // failure is reported once, by whoever waits.
    bool FConnecting = false;
    bool FReconnecting = false;
    bool FClientWanted = false;
    std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

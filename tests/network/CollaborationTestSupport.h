#pragma once
// Documents that serve or mirror each other on loopback, in one process,
// each with its network object as the main window would hold it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "document/CommaText.h"
#include "document/IniFiles.h"
#include "document/ScheduleDocument.h"
#include "network/DocumentNetwork.h"
#include "network/VEKEvents.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"
#include "platform/Sockets.h"
#include "platform/SysUtils.h"

namespace collab {

// The document hooks forward to the network object, as the main window's
// one-liners do; questions and messages are recorded and answered here.
class TNetDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;

    TDocumentNetwork* Net = nullptr;
    // For tests without sockets: this document counts as a connected client.
    bool PretendClient = false;
    // The answer to the next confirmations; the hook runs first.
    bool ConfirmAnswer = true;
    std::function<void()> BeforeAnswer;
    std::vector<String> Questions;
    std::vector<String> Messages;
    // Row adds seen while a whole load was under way.
    int AddsWhileLoading = 0;
    int AddsOutsideLoading = 0;

    bool IsConnectedClient() const override { return PretendClient || (Net && Net->IsConnectedClient()); }
    bool IsActiveServer() const override { return Net && Net->IsActiveServer(); }
    void SendSetNodeDataEvent(int Column, const String& Text, int ID) override
    {
        if (Net)
            Net->SendSetNodeDataEvent(Column, Text, ID);
        ++Sent;
    }
    void BroadcastSetNodeDataEvent(int Column, const String& Text, int ID) override
    {
        if (Net)
            Net->BroadcastSetNodeDataEvent(Column, Text, ID);
    }
    void SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID) override
    {
        if (Net)
            Net->SendNewNodeEvent(Table, Position, Length, Start, ID);
        ++Sent;
    }
    void BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID) override
    {
        if (Net)
            Net->BroadcastNewNodeEvent(Table, Position, Length, Start, ID);
    }
    void SendDeleteNodeEvent(int ID) override
    {
        if (Net)
            Net->SendDeleteNodeEvent(ID);
        ++Sent;
    }
    void BroadcastDeleteNodeEvent(int ID) override
    {
        if (Net)
            Net->BroadcastDeleteNodeEvent(ID);
    }
    void BroadcastDocument() override
    {
        if (Net)
            Net->BroadcastDocument();
    }
    bool AskConfirmation(const String& Text) override
    {
        Questions.push_back(Text);
        if (BeforeAnswer)
            BeforeAnswer();
        return ConfirmAnswer;
    }
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    void RecordUndoAddNode(TNodeData* Row) override
    {
        ++(IsLoading() ? AddsWhileLoading : AddsOutsideLoading);
        TScheduleDocument::RecordUndoAddNode(Row);
    }

    // Events this document tried to send to a server.
    int Sent = 0;
};

inline void PinFormats() { FormatSettings = TFormatSettings::Default(); }

// One instance: a document and its network object.
struct TPeer {
    explicit TPeer(const std::vector<String>& Positions = {"A", "B", "C"})
    {
        PinFormats();
        Doc = Create<TNetDocument>(nullptr);
        Doc->ActionNew();
        TStringList* list = Doc->GetColumnStrings(tbTable, Doc->GetConnection(tbTable, cnPosition));
        list->Clear();
        for (const String& p : Positions) {
            TCommaText entry;
            entry.Add(p);
            list->Add(entry.AsString());
        }
        Doc->ApplyPositionGroup();
        Net = std::make_unique<TDocumentNetwork>(*Doc);
        Doc->Net = Net.get();
        Net->SetAllowChanges(true);
    }
    ~TPeer()
    {
        Doc->Net = nullptr;
        Net.reset();
        Doc->Free();
    }
    TPeer(const TPeer&) = delete;
    TPeer& operator=(const TPeer&) = delete;

    int Column(TConnection Role, TWhichTable Table = tbTable) const { return Doc->GetConnection(Table, Role); }
    TNodeData* Row(int ID) const
    {
        TNodeData* row = nullptr;
        TWhichTable table = tbTable;
        return Doc->FindNodeAndTable(ID, row, table) ? row : nullptr;
    }
    String Cell(int ID, TConnection Role) const
    {
        TNodeData* row = Row(ID);
        return row ? Doc->GetData(row, Column(Role, row->NodeTable)) : String("<no row>");
    }
    // The first task whose comment is the text; null when none.
    TNodeData* RowWithComment(const String& Text) const
    {
        TNodeData* found = nullptr;
        Doc->ForEach(tbTable, feAll, 0, [&](TNodeData* R, NativeInt) {
            if (!found && Doc->GetData(R, Column(cnTextCenterMiddle)) == Text)
                found = R;
        });
        return found;
    }
    // The IDs of the table's rows in tree order.
    std::vector<int> IDs(TWhichTable Table = tbTable) const
    {
        std::vector<int> ids;
        Doc->ForEach(Table, feAll, 0, [&](TNodeData* R, NativeInt) { ids.push_back(R->ID); });
        return ids;
    }
    // A task added here without the network, all cells set.
    TNodeData* AddLocalTask(const String& Position, TDateTime Start, int Days, const String& Comment)
    {
        TNodeData* row = Doc->AddNode(Doc->GetFreeID(), tbTable, -1, -1, -1, cmIgnoreNet);
        Doc->DoSetData(row, Column(cnPosition), Position, cmIgnoreNet);
        Doc->DoSetStartOf(row, cmIgnoreNet, Start);
        Doc->DoSetLengthOf(row, Days * 480, cmIgnoreNet);
        Doc->DoSetData(row, Column(cnTextCenterMiddle), Comment, cmIgnoreNet);
        return row;
    }

    TNetDocument* Doc = nullptr;
    std::unique_ptr<TDocumentNetwork> Net;
};

inline void StartEventLoop()
{
    Application->Initialize();
    RegisterVEKEvents();
}

inline bool WaitFor(const std::function<bool()>& Done, int TimeoutMs = 5000)
{
    return RunMessagesUntil(Done, TimeoutMs);
}

// Lets the loop run for a while (nothing to wait for: checks that
// something does NOT happen).
inline void Settle(int Ms = 150)
{
    RunMessagesUntil([] { return false; }, Ms);
}

// The whole document as its file holds it, but for the times of the last
// changes (each instance stamps its own).
inline String DocumentText(TScheduleDocument& Doc)
{
    TMemIniFile ini;
    Doc.SaveToIni(ini, false);
    TStringList lines;
    ini.GetStrings(lines);
    String text;
    for (int i = 0; i < lines.Count(); ++i)
        if (lines.Get(i).rfind("__lastchanged__=", 0) != 0)
            text += lines.Get(i) + "\n";
    return text;
}

inline bool ServerListens(TPeer& Server)
{
    Server.Net->Server()->Server()->SetBindAddress("127.0.0.1");
    return Server.Net->StartServer(0);
}

// Connects the client to the server and waits for its first document.
inline bool Connect(TPeer& Client, TPeer& Server)
{
    const int loaded = Client.Net->FDocumentsLoaded;
    const int connections = int(Server.Net->ClientNames().size());
    if (!Client.Net->StartClient("127.0.0.1", Server.Net->Port()))
        return false;
    return WaitFor([&] {
        return Client.Net->FDocumentsLoaded > loaded && int(Server.Net->ClientNames().size()) > connections;
    });
}

// Every client's document text equals the server's.
inline bool AllAgree(TPeer& Server, const std::vector<TPeer*>& Clients)
{
    const String expected = DocumentText(*Server.Doc);
    for (TPeer* c : Clients)
        if (DocumentText(*c->Doc) != expected)
            return false;
    return true;
}

}  // namespace collab

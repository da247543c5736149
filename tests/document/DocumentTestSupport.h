#pragma once
// A document that records what it asks of the layers above it, and helpers
// to build small plans.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "document/ScheduleDocument.h"
#include "document/UndoRedo.h"
#include "platform/SysUtils.h"

class TRecordingDocument : public TScheduleDocument {
public:
    using TScheduleDocument::TScheduleDocument;

    // One entry per hook call, in call order.
    std::vector<String> Calls;
    bool Client = false;
    bool Server = false;
    bool ActiveControl = false;
    int GroupTab = 0;
    // Old cell texts the undo recording point saw.
    std::vector<String> UndoOldTexts;

    void Forget() { Calls.clear(), UndoOldTexts.clear(); }
    int Count(const String& Name) const
    {
        int n = 0;
        for (const String& c : Calls)
            n += c == Name;
        return n;
    }
    // Index of the first call with the name; -1 when none.
    int IndexOf(const String& Name) const
    {
        for (std::size_t i = 0; i < Calls.size(); ++i)
            if (Calls[i] == Name)
                return int(i);
        return -1;
    }

    void SetFileChanged(bool Value) override
    {
        Calls.push_back("FileChanged");
        TScheduleDocument::SetFileChanged(Value);
    }
    void InvalidateNode(TNodeData* Row, bool Large) override
    {
        Calls.push_back("Invalidate");
        TScheduleDocument::InvalidateNode(Row, Large);
    }
    void InvalidateTimeChart() override { Calls.push_back("TimeChart"); }
    void CenterNode(TNodeData*) override { Calls.push_back("Center"); }
    void UpdateEditor() override { Calls.push_back("Editor"); }
    void UpdateStatusBar() override { Calls.push_back("StatusBar"); }
    void PageControl1Change() override { Calls.push_back("PageChange"); }
    void EnableSelectionFlash() override { Calls.push_back("Flash"); }
    bool HasActiveControl() override { return ActiveControl; }
    int GetPositionGroupIndex() const override { return GroupTab; }
    bool IsConnectedClient() const override { return Client; }
    bool IsActiveServer() const override { return Server; }
    void SendSetNodeDataEvent(int Column, const String& Text, int ID) override
    {
        Calls.push_back("SendSet " + IntToStr(Column) + " " + Text + " " + IntToStr(ID));
    }
    void BroadcastSetNodeDataEvent(int Column, const String& Text, int ID) override
    {
        Calls.push_back("BroadcastSet " + IntToStr(Column) + " " + Text + " " + IntToStr(ID));
    }
    void SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime, int ID) override
    {
        Calls.push_back("SendNew " + IntToStr(int(Table)) + " " + IntToStr(Position) + " " + IntToStr(Length) + " " +
                        IntToStr(ID));
    }
    void BroadcastNewNodeEvent(TWhichTable Table, int, int, TDateTime, int ID) override
    {
        Calls.push_back("BroadcastNew " + IntToStr(int(Table)) + " " + IntToStr(ID));
    }
    void SendDeleteNodeEvent(int ID) override { Calls.push_back("SendDelete " + IntToStr(ID)); }
    void BroadcastDeleteNodeEvent(int ID) override { Calls.push_back("BroadcastDelete " + IntToStr(ID)); }
    String Translate(const String& Text) const override { return Text == "State" ? "Zustand" : Text; }
    void RecordUndoSetData(TNodeData* Row, int Column) override
    {
        Calls.push_back("UndoSet " + IntToStr(Column));
        UndoOldTexts.push_back(GetData(Row, Column));
    }
    void RecordUndoAddNode(TNodeData* Row) override { Calls.push_back("UndoAdd " + IntToStr(Row->ID)); }
    void RecordUndoRemoveNode(TNodeData* Row) override
    {
        // The row must still be whole here: the undo entry copies its cells.
        Calls.push_back("UndoRemove " + IntToStr(Row->ID) + " " + GetData(Row, 0));
    }
    void UpdateBounds(bool Deferred) override
    {
        Calls.push_back("Bounds");
        TScheduleDocument::UpdateBounds(Deferred);
    }
    void UpdateOverlapping(bool Deferred) override
    {
        Calls.push_back("Overlapping");
        TScheduleDocument::UpdateOverlapping(Deferred);
    }
    void UpdateEmptyRows(bool Deferred) override
    {
        Calls.push_back("EmptyRows");
        TScheduleDocument::UpdateEmptyRows(Deferred);
    }
    void CreateDefaultWeekInfo() override { Calls.push_back("DefaultWeek"); }
};

struct TDocumentDeleter {
    void operator()(TScheduleDocument* d) const { d->Free(); }
};
template <class T>
using TOwnedDocument = std::unique_ptr<T, TDocumentDeleter>;
using TDocumentPtr = TOwnedDocument<TRecordingDocument>;

// A bare document of class T, format settings pinned to "dd.mm.yyyy".
template <class T>
TOwnedDocument<T> NewBareDocument()
{
    FormatSettings = TFormatSettings::Default();
    return TOwnedDocument<T>(Create<T>(nullptr));
}

// MakeDocumentOf: a document with both basic tables, the given positions in
// the task table's list (each a comma text entry), the group filter applied,
// an empty undo list and format settings pinned to "dd.mm.yyyy".
// MakeDocument: the same for a recording document, with no calls recorded yet.
// PositionEntry: the comma text of a position entry (name, week, rows).
// AddTask: a task with position, start, length and end set without the network.
template <class T>
TOwnedDocument<T> MakeDocumentOf(const std::vector<String>& Positions = {"A", "B", "C"})
{
    TOwnedDocument<T> doc = NewBareDocument<T>();
    doc->CreateBasicTable(tbExclude);
    doc->CreateBasicTable(tbTable);
    TStringList* list = doc->GetColumnStrings(tbTable, doc->GetConnection(tbTable, cnPosition));
    list->Clear();
    for (const String& p : Positions)
        list->Add(p);
    doc->ApplyPositionGroup();
    doc->UndoRedo().Clear();
    return doc;
}

inline TDocumentPtr MakeDocument(const std::vector<String>& Positions = {"A", "B", "C"})
{
    TDocumentPtr doc = MakeDocumentOf<TRecordingDocument>(Positions);
    doc->Forget();
    return doc;
}

inline String PositionEntry(const String& Name, int Rows = 1)
{
    TCommaText entry;
    entry.SetItem(0, Name);
    entry.SetItem(2, IntToStr(Rows));
    return entry.AsString();
}

inline TNodeData* AddTask(TScheduleDocument& Doc, const String& Position, TDateTime Start, int Days, int ID = -1)
{
    TNodeData* row = Doc.AddNode(ID < 0 ? Doc.GetFreeID() : ID, tbTable, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbTable, cnPosition), Position, cmIgnoreNet);
    Doc.DoSetStartOf(row, cmIgnoreNet, Start);
    Doc.DoSetLengthOf(row, Days * 480, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbTable, cnEnd), Doc.FormatDateTime(Start + Days - 1), cmIgnoreNet);
    return row;
}

// An absent day on a position, its end written as the last of its days.
inline TNodeData* AddAbsentDay(TScheduleDocument& Doc, const String& Position, TDateTime Start, int Days)
{
    TNodeData* row = Doc.AddNode(Doc.GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbExclude, cnPosition), Position, cmIgnoreNet);
    Doc.DoSetStartOf(row, cmIgnoreNet, Start);
    Doc.DoSetLengthOf(row, Days * 480, cmIgnoreNet);
    Doc.DoSetData(row, Doc.GetConnection(tbExclude, cnEnd), Doc.FormatDateTime(Start + Days - 1), cmIgnoreNet);
    return row;
}

// The rows of the table in tree order.
inline std::vector<TNodeData*> TableRows(TScheduleDocument& Doc, TWhichTable Table)
{
    std::vector<TNodeData*> rows;
    Doc.ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) { rows.push_back(Row); });
    return rows;
}

// Every row of the table as its cell texts, in tree order.
inline std::vector<std::vector<String>> TableCells(TScheduleDocument& Doc, TWhichTable Table)
{
    std::vector<std::vector<String>> rows;
    Doc.ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) { rows.push_back(Doc.RowCells(Row)); });
    return rows;
}

// The position texts of the rows.
inline std::vector<String> PositionsOf(TScheduleDocument& Doc, const std::vector<TNodeData*>& Rows)
{
    std::vector<String> texts;
    for (TNodeData* row : Rows)
        texts.push_back(Doc.GetData_(row, cnPosition));
    return texts;
}

inline std::string ReadBytes(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary) << Bytes;
}

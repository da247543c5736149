// The undo and redo lists, their entries and the row handles they hold.
#include "document/UndoRedo.h"

#include <algorithm>
#include <iterator>

#include "document/DocumentScopes.h"
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

// ---- row handles ------------------------------------------------------------------

TRowHandle TRowHandle::Of(TNodeData* Row)
{
    if (!Row)
        return TRowHandle();
    if (!Row->Link) {
        Row->Link = new TRowLink;
        Row->Link->Row = Row;
        Row->Link->Refs = 1;  // the row's own reference
    }
    return TRowHandle(Row->Link);
}

bool TRowHandle::Adopt(const TRowHandle& Handle, TNodeData* Row)
{
    TRowLink* link = Handle.FLink;
    if (!Row || !link || link->Row)
        return false;
    if (TRowLink* own = Row->Link) {
        own->Row = nullptr;
        if (--own->Refs == 0)
            delete own;
    }
    link->Row = Row;
    ++link->Refs;
    Row->Link = link;
    return true;
}

void TRowHandle::RowGone(TNodeData* Row)
{
    if (!Row || !Row->Link)
        return;
    TRowLink* link = Row->Link;
    Row->Link = nullptr;
    link->Row = nullptr;
    if (--link->Refs == 0)
        delete link;
}

// ---- entries ------------------------------------------------------------------------

TUndoRedoEntryString::TUndoRedoEntryString(TScheduleDocument* Document, TWhichTable Table, int GroupIndex,
    int Column, TNodeData* Row)
    : TUndoRedoEntry(Document, GroupIndex, TRowHandle::Of(Row)),
      FString(Document->GetData(Row, Column)),
      FColumn(Column),
      FTable(Table)
{
}

void TUndoRedoEntryString::Undo()
{
    TNodeData* row = FNode.Row();
    if (!row)
        return;
    FDocument->SetActiveTable(FTable);
    FDocument->SelectOnly(row);
    FDocument->SetData(row, FColumn, FString);
}

String TUndoRedoEntryString::Hint() const
{
    String text = FDocument->Translate("set value (%s)");
    const std::size_t at = text.find("%s");
    if (at != String::npos)
        text.replace(at, 2, FDocument->GetColumnCaption(FTable, FColumn));
    return text;
}

TUndoRedoEntryTable::TUndoRedoEntryTable(TScheduleDocument* Document, int GroupIndex)
    : TUndoRedoEntry(Document, GroupIndex, TRowHandle()), FInifile(std::make_unique<TMemIniFile>())
{
    Document->SaveSetup(*FInifile);
    Document->SavePublicHoliday(*FInifile);
    Document->SaveTable(tbTable, *FInifile);
    Document->SaveTable(tbExclude, *FInifile);
    for (TWhichTable table : {tbTable, tbExclude})
        Document->ForEach(table, feAll, 0,
            [this, table](TNodeData* Row, NativeInt) { FRows[table].push_back(TRowHandle::Of(Row)); });
}

void TUndoRedoEntryTable::Undo()
{
    TUndoRedo& undo = FDocument->UndoRedo();
    // The state now, as the inverse step.
    undo.Push(std::make_unique<TUndoRedoEntryTable>(FDocument, FGroupIndex));
    {
        TUndoBlock noUndo(undo);
        {
            // The rows come back unchecked and are checked once, at the bracket's end.
            TUpdateScope update(*FDocument, FDocument->GetStatusText());
            FDocument->LoadSetup(*FInifile);
            FDocument->LoadPublicHoliday(*FInifile);
            // Through the document: the overlap lists are emptied first,
            // rather than searched for every freed row.
            FDocument->ClearRows();
            FDocument->LoadTable(tbTable, *FInifile);
            FDocument->LoadTable(tbExclude, *FInifile);
            for (TWhichTable table : {tbTable, tbExclude}) {
                std::size_t n = 0;
                FDocument->ForEach(table, feAll, 0, [&](TNodeData* Row, NativeInt) {
                    if (n < FRows[table].size())
                        TRowHandle::Adopt(FRows[table][n++], Row);
                });
            }
            FDocument->UpdateInternalVariables();
        }
        FDocument->UpdateBounds(true);
        FDocument->GroupTabChange();
        FDocument->PageControl1Change();
    }
    // The rows were reloaded without a single change going out.
    if (FDocument->IsActiveServer())
        FDocument->BroadcastDocument();
}

bool TUndoRedoEntryTable::Blocked() const { return FDocument->IsConnectedClient(); }

String TUndoRedoEntryTable::Hint() const { return FDocument->Translate("set all tables"); }

TUndoRedoEntryRemoveNode::TUndoRedoEntryRemoveNode(TScheduleDocument* Document, TWhichTable Table, int GroupIndex,
    TNodeData* Row)
    : TUndoRedoEntry(Document, GroupIndex, TRowHandle::Of(Row)), FTable(Table), FID(Row->ID)
{
    if (Row->StringList)
        for (int i = 0; i < Row->StringList->Count(); ++i)
            FStrings.push_back(Row->StringList->Get(i));
}

void TUndoRedoEntryRemoveNode::Undo()
{
    FDocument->SetActiveTable(FTable);
    int id = FID;
    TNodeData* other = nullptr;
    TWhichTable otherTable = tbTable;
    if (FDocument->FindNodeAndTable(id, other, otherTable))
        id = FDocument->GetFreeID();
    if (FNode.Alive())
        return;  // restored already by a whole-document step
    TNodeData* row = FDocument->AddNode(id, FTable, -1, -1, -1, cmDefault);
    if (!row)
        return;  // a connected client: the server adds it
    TUndoRedo& undo = FDocument->UndoRedo();
    TUndoBlock noUndo(undo);
    // The entries made for the new row (its inverse) and every entry that
    // knew the removed row now share the removed row's handle.
    undo.UpdateNode(TRowHandle::Of(row), FNode);
    TRowHandle::Adopt(FNode, row);
    for (std::size_t c = 0; c < FStrings.size(); ++c)
        FDocument->SetData(row, int(c), FStrings[c]);
}

String TUndoRedoEntryRemoveNode::Hint() const { return FDocument->Translate("remove task"); }

// Reverting it adds the task again.
String TUndoRedoEntryRemoveNode::RedoHint() const { return FDocument->Translate("new task"); }

bool TUndoRedoEntryRemoveNode::Blocked() const { return FDocument->IsConnectedClient(); }

TUndoRedoEntryAddNode::TUndoRedoEntryAddNode(TScheduleDocument* Document, TWhichTable Table, int GroupIndex,
    TNodeData* Row)
    : TUndoRedoEntry(Document, GroupIndex, TRowHandle::Of(Row)), FTable(Table)
{
}

void TUndoRedoEntryAddNode::Undo()
{
    TNodeData* row = FNode.Row();
    if (!row)
        return;
    FDocument->SetActiveTable(FTable);
    FDocument->DeleteNode(row, cmDefault);
}

String TUndoRedoEntryAddNode::Hint() const { return FDocument->Translate("new task"); }

// Reverting it removes the task again.
String TUndoRedoEntryAddNode::RedoHint() const { return FDocument->Translate("remove task"); }

// ---- the lists ------------------------------------------------------------------------

void TUndoRedo::Push(std::unique_ptr<TUndoRedoEntry> Entry)
{
    if (!Entry || FDontAcceptUndos > 0)
        return;
    if (FUndoing)
        Entry->FGroupIndex = FLastGroupIndex;
    Entry->FOwner = this;
    FUndoList.push_back(std::move(Entry));
    if (!FUndoing)
        FRedoList.clear();
    UpdateMainForm();
}

void TUndoRedo::Undo()
{
    UndoRedo(FUndoList, false);
    UpdateMainForm();
}

void TUndoRedo::Redo()
{
    UndoRedo(FRedoList, true);
    UpdateMainForm();
}

namespace {

// Sets the reverting state for a scope, also when an entry throws.
struct TRevertScope {
    bool& Undoing;
    int& Group;
    TRevertScope(bool& U, int& G, int Value) : Undoing(U), Group(G)
    {
        Undoing = true;
        Group = Value;
    }
    ~TRevertScope()
    {
        Undoing = false;
        Group = -1;
    }
};

}  // namespace

bool TUndoRedo::RevertEntry(std::unique_ptr<TUndoRedoEntry> Entry, bool IsRedo)
{
    if (!Entry->Applicable())
        return false;
    const std::size_t before = FUndoList.size();
    Entry->Undo();
    // What the revert pushed is the inverse step: on the redo list when
    // undoing, left on the undo list when redoing. Nothing pushed, nothing moved.
    if (!IsRedo && FUndoList.size() > before) {
        auto first = FUndoList.begin() + std::ptrdiff_t(before);
        std::move(first, FUndoList.end(), std::back_inserter(FRedoList));
        FUndoList.erase(first, FUndoList.end());
    }
    return true;
}

void TUndoRedo::UndoRedo(TEntryList& List, bool IsRedo)
{
    // Steps whose rows are gone can do nothing: they go first, so that the
    // step reverted is one that does something.
    while (!List.empty() && !List.back()->Applicable())
        List.pop_back();
    if (List.empty())
        return;
    if (!CanRevert(List))
        return;
    TRevertScope scope(FUndoing, FLastGroupIndex, List.back()->FGroupIndex);
    if (FLastGroupIndex == -1) {
        std::unique_ptr<TUndoRedoEntry> entry = std::move(List.back());
        List.pop_back();
        RevertEntry(std::move(entry), IsRedo);
        return;
    }
    // Exactly the entries of the group, newest first: groups may interleave.
    // What a revert pushes goes to the end of the undo list and, when undoing,
    // on to the redo list, so the indexes below the current one stay put.
    for (std::size_t i = List.size(); i-- > 0;) {
        if (i >= List.size() || List[i]->FGroupIndex != FLastGroupIndex)
            continue;
        std::unique_ptr<TUndoRedoEntry> entry = std::move(List[i]);
        List.erase(List.begin() + std::ptrdiff_t(i));
        RevertEntry(std::move(entry), IsRedo);
    }
}

const TUndoRedoEntry* TUndoRedo::NextStep(const TEntryList& List) const
{
    if (!CanRevert(List))
        return nullptr;
    for (auto it = List.rbegin(); it != List.rend(); ++it)
        if ((*it)->Applicable())
            return it->get();
    return nullptr;
}

String TUndoRedo::UndoHint() const
{
    const TUndoRedoEntry* step = NextStep(FUndoList);
    return step ? step->Hint() : String();
}

String TUndoRedo::RedoHint() const
{
    const TUndoRedoEntry* step = NextStep(FRedoList);
    return step ? step->RedoHint() : String();
}

bool TUndoRedo::CanRevert(const TEntryList& List) const
{
    auto top = List.rbegin();
    while (top != List.rend() && !(*top)->Applicable())
        ++top;
    if (top == List.rend())
        return false;
    // Steps are blocked only on a connected client; anywhere else this runs
    // after every push and must not walk a long group.
    if (!FDocument || !FDocument->IsConnectedClient())
        return true;
    const int group = (*top)->FGroupIndex;
    if (group == -1)
        return !(*top)->Blocked();
    for (const auto& entry : List)
        if (entry->FGroupIndex == group && entry->Applicable() && entry->Blocked())
            return false;
    return true;
}

void TUndoRedo::Pop()
{
    if (FUndoList.empty())
        return;
    std::unique_ptr<TUndoRedoEntry> entry = std::move(FUndoList.back());
    FUndoList.pop_back();
    const std::size_t before = FUndoList.size();
    {
        TRevertScope scope(FUndoing, FLastGroupIndex, entry->FGroupIndex);
        if (entry->Applicable())
            entry->Undo();
    }
    entry.reset();
    if (FUndoList.size() > before)
        FUndoList.erase(FUndoList.begin() + std::ptrdiff_t(before), FUndoList.end());
    UpdateMainForm();
}

void TUndoRedo::Clear()
{
    FUndoList.clear();
    FRedoList.clear();
    UpdateMainForm();
}

int TUndoRedo::GetGroupIndex() const
{
    // Only indexes up to the entry count can all be taken.
    std::vector<bool> taken(FUndoList.size() + 1, false);
    for (const auto& entry : FUndoList)
        if (entry->FGroupIndex >= 0 && std::size_t(entry->FGroupIndex) < taken.size())
            taken[std::size_t(entry->FGroupIndex)] = true;
    return int(std::find(taken.begin(), taken.end(), false) - taken.begin());
}

void TUndoRedo::UpdateMainForm()
{
    if (FDocument)
        FDocument->UpdateUndoRedoActions(GetCanUndo(), UndoHint(), GetCanRedo(), RedoHint());
}

void TUndoRedo::UpdateNode(const TRowHandle& Old, const TRowHandle& New)
{
    for (TEntryList* list : {&FUndoList, &FRedoList})
        for (auto& entry : *list)
            if (entry->FNode == Old)
                entry->FNode = New;
}

// ---- the document's recording points ------------------------------------------------------

void TScheduleDocument::RecordUndoSetData(TNodeData* Row, int Column)
{
    if (FUndoRedo && Row && FUndoRedo->DoesAcceptUndo())
        FUndoRedo->Push(std::make_unique<TUndoRedoEntryString>(this, Row->NodeTable, FUndoRedoGroupIndex, Column, Row));
}

void TScheduleDocument::RecordUndoAddNode(TNodeData* Row)
{
    if (FUndoRedo && Row && FUndoRedo->DoesAcceptUndo())
        FUndoRedo->Push(std::make_unique<TUndoRedoEntryAddNode>(this, Row->NodeTable, FUndoRedoGroupIndex, Row));
}

void TScheduleDocument::RecordUndoRemoveNode(TNodeData* Row)
{
    if (FUndoRedo && Row && FUndoRedo->DoesAcceptUndo())
        FUndoRedo->Push(std::make_unique<TUndoRedoEntryRemoveNode>(this, Row->NodeTable, FUndoRedoGroupIndex, Row));
}

void TScheduleDocument::PushUndoSnapshot()
{
    if (FUndoRedo && FUndoRedo->DoesAcceptUndo())
        FUndoRedo->Push(std::make_unique<TUndoRedoEntryTable>(this, FUndoRedoGroupIndex));
}

void TScheduleDocument::SelectOnly(TNodeData* Row)
{
    if (!Row || !Row->VNode || !Row->VNodeTable)
        return;
    TStringTreeGrid* tree = Row->VNodeTable;
    tree->ClearSelection();
    tree->SetSelected(Row->VNode, true);
    tree->SetFocusedNode(Row->VNode);
}

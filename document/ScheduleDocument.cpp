#include "document/ScheduleDocument.h"

#include "platform/SysUtils.h"

// ---- TRowTree ----------------------------------------------------------------

TRowTree::TRowTree(TComponent* AOwner, TScheduleDocument* Document, TWhichTable Table)
    : TStringTreeGrid(AOwner), FDocument(Document), FTable(Table)
{
}

TNodeData* TRowTree::Row(TGridNode* Node) const
{
    if (!Node || Node == RootNode())
        return nullptr;
    auto* data = GetNodeData<TNodeData>(Node);
    return data && data->VNode == Node ? data : nullptr;
}

void TRowTree::BeforeDestruction()
{
    // Cleared while this class's DoFreeNode still runs.
    Clear();
    TStringTreeGrid::BeforeDestruction();
}

// The node store tells its handlers only of initialised nodes; a row's
// record is freed here for every node that carries one.
void TRowTree::DoFreeNode(TGridNode* Node)
{
    if (TNodeData* row = Row(Node)) {
        if (FDocument)
            FDocument->RowFreed(row);
        FreeNodeData(*row);
        row->VNode = nullptr;
    }
    TStringTreeGrid::DoFreeNode(Node);
}

void TRowTree::Clear()
{
    if (FDocument)
        FDocument->TableClearing(FTable);
    TStringTreeGrid::Clear();
}

void TRowTree::Sort(TGridNode* Node, TColumnIndex Column, TSortDirection Direction, bool DoInit)
{
    TStringTreeGrid::Sort(Node, Column, Direction, DoInit);
    if (FDocument)
        FDocument->RowOrderChanged(FTable);
}

void TRowTree::DoNodeMoved(TGridNode* Node)
{
    TStringTreeGrid::DoNodeMoved(Node);
    if (FDocument)
        FDocument->RowOrderChanged(FTable);
}

void TRowTree::DoGetText(TGridNode* Node, TColumnIndex Column, TVSTTextType TextType, String& Text)
{
    if (TNodeData* row = Row(Node))
        Text = FDocument ? FDocument->GetData(row, Column) : String();
    TStringTreeGrid::DoGetText(Node, Column, TextType, Text);
}

void TRowTree::DoNewText(TGridNode* Node, TColumnIndex Column, const String& Text)
{
    if (TNodeData* row = Row(Node); row && FDocument)
        FDocument->SetData(row, Column, Text);
    TStringTreeGrid::DoNewText(Node, Column, Text);
}

// ---- TScheduleDocument ---------------------------------------------------------

TScheduleDocument::TScheduleDocument(TComponent* AOwner) : TForm(AOwner)
{
    for (auto& table : FConnection)
        for (int& column : table)
            column = -1;
    // Bounds around today, so rows checked before the first bounds update
    // are measured against sensible dates.
    const TDateTime today = Date();
    FMinDate = FDataMinDate = today - 14;
    FMaxDate = FDataMaxDate = today + 14;
    FGlobalPositionFilter = NewCommaText();
    FNoAutoGlobalPositionFilter = NewCommaText();
    FPositionGroup.Add(String());

    TRowTree* tasks = Create<TRowTree>(this, this, tbTable);
    TRowTree* absent = Create<TRowTree>(this, this, tbExclude);
    tasks->SetNodeDataSize(int(sizeof(TNodeData)));
    absent->SetNodeDataSize(int(sizeof(TNodeData)));
    StringTreeGrid1 = tasks;
    StringTreeGrid2 = absent;

    FUserDate = today;
    FUndoRedo = std::make_unique<TUndoRedo>(this);
    OverlappingTimer = Create<TTimer>(this);
    OverlappingTimer->SetEnabled(false);
    OverlappingTimer->SetInterval(400);
    OverlappingTimer->OnTimer = [this](TObject* Sender) { OverlappingTimerTimer(Sender); };
    IdleTimer = Create<TTimer>(this);
    IdleTimer->SetEnabled(false);
    IdleTimer->SetInterval(100);
    IdleTimer->OnTimer = [this](TObject* Sender) { IdleTimerTimer(Sender); };
}

TScheduleDocument::~TScheduleDocument() = default;

void TScheduleDocument::BeforeDestruction()
{
    // The rows go while every part of the document is still there.
    if (StringTreeGrid1)
        StringTreeGrid1->Clear();
    if (StringTreeGrid2)
        StringTreeGrid2->Clear();
    for (TStringTreeGrid* tree : {StringTreeGrid1, StringTreeGrid2})
        if (auto* rows = dynamic_cast<TRowTree*>(tree))
            rows->FDocument = nullptr;
    TForm::BeforeDestruction();
}

TNodeData* TScheduleDocument::NodeToRow(TBaseTreeGrid* Tree, TGridNode* Node) const
{
    auto* rows = dynamic_cast<TRowTree*>(Tree);
    return rows ? rows->Row(Node) : nullptr;
}

void TScheduleDocument::RowFreed(TNodeData* Row)
{
    RowGone(Row);
    TRowHandle::RowGone(Row);
    auto range = FIDIndex.equal_range(Row->ID);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second == Row) {
            FIDIndex.erase(it);
            break;
        }
    // Only a listed row is searched for: freeing a whole plan stays linear.
    if (FOverlapCount.erase(Row) > 0)
        while (FOverlappingNodes.Remove(Row) >= 0) {
        }
    while (FIgnoreOverlappingNodes.Count() > 0 && FIgnoreOverlappingNodes.Remove(Row) >= 0) {
    }
}

void TScheduleDocument::TableClearing(TWhichTable Table)
{
    const auto drop = [Table](TList& List) {
        for (int i = 0; i < List.Count(); ++i) {
            const auto* row = static_cast<const TNodeData*>(List.Items(i));
            if (row && row->NodeTable == Table)
                List.SetItems(i, nullptr);
        }
        List.Pack();
    };
    drop(FOverlappingNodes);
    drop(FIgnoreOverlappingNodes);
    for (auto it = FOverlapCount.begin(); it != FOverlapCount.end();)
        it = it->first->NodeTable == Table ? FOverlapCount.erase(it) : std::next(it);
}

void TScheduleDocument::AddOverlapping(TNodeData* Row)
{
    FOverlappingNodes.Add(Row);
    ++FOverlapCount[Row];
}

void TScheduleDocument::ClearOverlapping()
{
    FOverlappingNodes.Clear();
    FOverlapCount.clear();
}

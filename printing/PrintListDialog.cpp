// The table's printout: its column and row choices and the table built from
// the active table's rows.
#include "printing/PrintListDialog.h"

#include <algorithm>

#include "components/TreeGrid/StringTreeGrid.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Grids.h"
#include "platform/SysUtils.h"

TPrintListDialog::TPrintListDialog(TComponent* AOwner, TPlannerForm* Doc) : TForm(AOwner), FDoc(Doc)
{
    SetName("PrintListDialog");
    SetCaption(Tr("Print Table"));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(520);
    SetClientHeight(300);
    PrintPreviewDialog1 = Create<TPrintPreviewDialog>(this);
    PrintPreviewDialog1->Translator = [this](const String& S) { return Tr(S); };
    PrinterSetupDialog1 = Create<TPrinterSetupDialog>(this);

    NewLabel(this, this, Tr("Columns to print"), 8, 8);
    ColumnList = Create<TStringTreeGrid>(this);
    ColumnList->SetParent(this);
    ColumnList->SetName("ColumnList");
    ColumnList->SetBounds(8, 26, 180, 230);
    ColumnList->Header()->SetOptions(ColumnList->Header()->Options() - TTGHeaderOptions{hoVisible});
    ColumnList->TreeOptions()->SetMiscOptions(ColumnList->TreeOptions()->MiscOptions() + TTGMiscOptions{toCheckSupport});
    ColumnList->TreeOptions()->SetPaintOptions(
        ColumnList->TreeOptions()->PaintOptions() - TTGPaintOptions{toShowRoot, toShowTreeLines, toShowButtons});
    ColumnList->OnGetText = [this](TBaseTreeGrid*, TGridNode* Node, TColumnIndex, TVSTTextType, String& Text) {
        Text = Node && Node->Index < FColumnCaptions.size() ? FColumnCaptions[Node->Index] : String();
    };

    auto radio = [&](const String& Name, const String& Caption, int Top) {
        auto* r = Create<TRadioButton>(this);
        r->SetParent(this);
        r->SetName(Name);
        r->SetBounds(200, Top, 150, 17);
        r->SetCaption(Tr(Caption));
        r->OnClick = [this](TObject*) { UpdateCount(); };
        return r;
    };
    AllTasks = radio("AllTasks", "all Tasks", 8);
    FilteredTasks = radio("FilteredTasks", "filtered Tasks", 28);
    SelectedTasks = radio("SelectedTasks", "selected Tasks", 48);
    AllTasks->SetChecked(true);
    NewLabel(this, this, Tr("No. of tasks "), 360, 10);
    EditCount = Create<TEdit>(this);
    EditCount->SetParent(this);
    EditCount->SetName("EditCount");
    EditCount->SetBounds(440, 6, 70, 21);
    EditCount->SetReadOnly(true);

    Options.Build(this, 200, 80, [this](const String& S) { return Tr(S); });

    PrinterSetupButton = NewDialogButton(this, Tr("Printer setup..."), 200, 266, 100, mrNone);
    PrinterSetupButton->OnClick = [this](TObject*) { PrinterSetupClick(); };
    OKButton = NewDialogButton(this, Tr("OK"), 384, 266, 60, mrOk);
    OKButton->SetDefault(true);
    OKButton->OnClick = [this](TObject*) { OKClick(); };
    CancelButton = NewDialogButton(this, Tr("Cancel"), 450, 266, 60, mrCancel);
    CancelButton->SetCancel(true);
}

void TPrintListDialog::Load(const TPrintSettings& S) { Options.Load(S); }

TPrintSettings TPrintListDialog::Settings() const
{
    TPrintSettings s;
    Options.Store(s);
    return s;
}

void TPrintListDialog::FillColumns()
{
    const TWhichTable table = FDoc->GetActiveTable();
    const int count = FDoc->GetTableColCount(table);
    FColumnCaptions.clear();
    for (int c = 0; c < count; ++c)
        FColumnCaptions.push_back(FDoc->GetColumnCaption(table, c));
    ColumnList->Clear();
    for (int c = 0; c < count; ++c) {
        TGridNode* node = ColumnList->AddChild(nullptr);
        ColumnList->SetCheckType(node, ctCheckBox);
        ColumnList->SetCheckState(node, csCheckedNormal);
    }
    UpdateCount();
}

int TPrintListDialog::ColumnCount() const { return int(ColumnList->RootNodeCount()); }

TGridNode* TPrintListDialog::ColumnNode(int Column) const
{
    if (Column < 0 || Column >= ColumnCount())
        return nullptr;
    TGridNode* node = ColumnList->GetFirstChildNoInit(nullptr);
    while (node && int(node->Index) != Column)
        node = node->NextSibling;
    return node;
}

bool TPrintListDialog::ColumnChecked(int Column) const
{
    TGridNode* node = ColumnNode(Column);
    return node && ColumnList->CheckState(node) == csCheckedNormal;
}

void TPrintListDialog::SetColumnChecked(int Column, bool Checked)
{
    if (TGridNode* node = ColumnNode(Column))
        ColumnList->SetCheckState(node, Checked ? csCheckedNormal : csUncheckedNormal);
}

TForEachType TPrintListDialog::RowChoice() const
{
    if (SelectedTasks->Checked())
        return feSelected;
    if (FilteredTasks->Checked())
        return feGroupFiltered;
    return feGroupAll;
}

std::vector<TNodeData*> TPrintListDialog::ChosenRows()
{
    std::vector<TNodeData*> rows;
    FDoc->ForEach(FDoc->GetActiveTable(), RowChoice(), 0, [&rows](TNodeData* Row, NativeInt) { rows.push_back(Row); });
    return rows;
}

void TPrintListDialog::UpdateCount()
{
    if (!EditCount || !OKButton)
        return;  // the row buttons are being made
    const std::size_t count = ChosenRows().size();
    EditCount->SetText(IntToStr(Int64(count)));
    OKButton->SetEnabled(count > 0);
}

void TPrintListDialog::PrinterSetupClick() { PrinterSetupDialog1->Execute(); }

void TPrintListDialog::Record()
{
    TPrintPreviewDialog& e = *PrintPreviewDialog1;
    e.SetPunchMargin(Options.Lochrand->Checked());
    e.SetTitle("VEK");
    e.NewJob();
    e.NewPage();
    AddDefaultHeaderAndFooter(*FDoc, e, Options.FooterText(), Options.PrintFilename->Checked(),
        Options.HeaderTextToPrint());

    const TWhichTable table = FDoc->GetActiveTable();
    const int columns = std::max(1, FDoc->GetTableColCount(table));
    const std::vector<TNodeData*> rows = ChosenRows();
    std::unique_ptr<TStringGrid, void (*)(TStringGrid*)> grid(Create<TStringGrid>(nullptr),
        [](TStringGrid* G) { G->Free(); });
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColCount(columns);
    grid->SetRowCount(int(rows.size()) + 1);
    for (int c = 0; c < columns; ++c) {
        grid->SetCells(c, 0, FDoc->GetColumnCaption(table, c));
        grid->SetColWidths(c, ColumnChecked(c) ? 1 : 0);
    }
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (int c = 0; c < columns; ++c)
            grid->SetCells(c, int(r) + 1, FDoc->GetData(rows[r], c));
    if (grid->RowCount() > 1)
        grid->SetFixedRows(1);
    TRect out;
    e.PrintStringGrid(grid.get(), "", true, true, 1, grid->RowCount() - 1, 0, out);
    e.PrintHeaderAndFooter();
}

int TPrintListDialog::Print()
{
    Record();
    return PreviewAndReport(*FDoc, *PrintPreviewDialog1);
}

void TPrintListDialog::OKClick()
{
    if (Print() == mrCancel)
        SetModalResult(mrNone);
}

bool TPrintListDialog::Execute()
{
    Load(TPrintSettings::From(*FDoc));
    FillColumns();
    if (ShowModal() != mrOk)
        return false;
    Settings().WriteTo(*FDoc, false);
    return true;
}

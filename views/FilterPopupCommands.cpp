// The filter popup as the planner form uses it: filled from a column's
// filter as it opens below the column's header, read back into the column
// and the stored filters of the group tab as it closes with OK.
#include <cmath>

#include "components/AutocompletingEdit.h"
#include "document/DocumentHelpers.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/StdCtrls.h"
#include "views/FilterPopup.h"
#include "views/PlannerForm.h"

TFilterPopup* TPlannerForm::FilterPopup()
{
    if (!FFilterPopup) {
        FFilterPopup = Create<TFilterPopup>(this);
        FFilterPopup->OnClosed = [this] { OnFilterPopupDeactivate(); };
    }
    return FFilterPopup;
}

void TPlannerForm::ColumnTexts(TWhichTable Table, int Column, TStringList& List)
{
    // Sorted without regard to case, each text once.
    List.Clear();
    List.SetCaseSensitive(false);
    List.Duplicates = dupIgnore;
    List.SetSorted(true);
    ForEach(Table, feAll, 0, [&](TNodeData* Row, NativeInt) { List.Add(GetData(Row, Column)); });
}

void TPlannerForm::ShowFilterPopup(int Column)
{
    FActiveColumn = Column;
    ActionFilterExecute();
}

void TPlannerForm::ActionFilterExecute()
{
    const TWhichTable table = GetActiveTable();
    const int column = FActiveColumn;
    THeaderData* header = GetHeader(table, column);
    TStringTreeGrid* tree = GetTable(table);
    if (!header || !tree)
        return;
    // The popup belongs to this column of this table until it closes, even
    // when the click that closes it switches the table.
    FFilterPopupTable = table;
    FFilterPopupColumn = column;
    TFilterPopup* popup = FilterPopup();
    tree->Header()->Invalidate(column);
    popup->SetCaption(FillText(Translate("Filter Column %s"), {GetColumnCaption(table, column)}));

    const TColumnType type = header->ColumnType;
    const TFilterParams& filter = header->Filter;
    popup->SetPageControlTabs(type == ctDate, type == ctText || type == ctPulldown || type == ctLink,
        type == ctNumber);
    for (TRadioButton* r : {popup->RadioButton0, popup->RadioButton1, popup->RadioButton2, popup->RadioButton3,
             popup->RadioButton4, popup->RadioButton5, popup->RadioButton6, popup->RadioButton7,
             popup->RadioButton8})
        r->SetChecked(false);

    // The pickers hold days: a stored operand shows its day, and one that
    // cannot be read falls back to today (or the plan's first day when
    // today lies past its end) and to the plan's last day.
    TDateTime from = 0, till = 0;
    const TDateTime today = std::trunc(Date());
    popup->DateTimePicker1->SetDateTime(TryReadDateTime(filter.Text1, from) ? std::trunc(from)
                                        : today >= FMaxDate             ? std::trunc(FMinDate)
                                                                        : today);
    popup->DateTimePicker2->SetDateTime(TryReadDateTime(filter.text2, till) ? std::trunc(till) : std::trunc(FMaxDate));

    TStringList texts;
    ColumnTexts(table, column, texts);
    popup->ListBox1->Items()->Clear();
    if (type == ctPulldown) {
        const TStringList* entries = GetColumnStrings(table, column);
        for (int i = 0; entries && i < entries->Count(); ++i)
            popup->ListBox1->Items()->Add(CommaTextItem(entries->Get(i), 0));
    } else {
        popup->ListBox1->Items()->Assign(texts);
    }
    TCommaText(filter.Text1).ToSelection(*popup->ListBox1);

    popup->AutocompletingEdit1->SetItems(&texts);
    popup->AutocompletingEdit1->SetText(filter.Text1);
    if (filter.FilterSubType == fsText)
        popup->RadioButton0->SetChecked(true);
    else if (filter.FilterSubType == fsEmpty)
        popup->RadioButton1->SetChecked(true);

    popup->Edit4->SetText(filter.Text1);
    popup->Edit2->SetText(filter.Text1);
    popup->Edit3->SetText(filter.text2);
    TRadioButton* const numberRadios[] = {popup->RadioButton4, popup->RadioButton5, popup->RadioButton6,
        popup->RadioButton7};
    if (filter.FilterSubType <= fsFromTo)
        numberRadios[filter.FilterSubType]->SetChecked(true);

    if (filter.FilterType == ftNone)
        popup->RadioButton2->SetChecked(true);
    else if (filter.FilterType == ftDate)
        popup->RadioButton3->SetChecked(true);
    else if (filter.FilterType == ftList)
        popup->RadioButton8->SetChecked(true);

    // Just below the header at the column's left, on the screen holding
    // that point.
    TTreeGridColumns* columns = tree->Header()->Columns();
    const int left = columns->IsValidColumn(column) ? columns->Items(column)->GetLeft() : 0;
    const TPoint anchor = tree->ClientToScreen(TPoint(left, 0));
    const TPoint place = PlaceFilterPopup(anchor, tree->Header()->Height(), popup->Width(), popup->Height(),
        Screen->MonitorRect(anchor));
    popup->Open(place.X, place.Y);
}

void TPlannerForm::OnFilterPopupDeactivate()
{
    TFilterPopup* popup = FilterPopup();
    if (popup->Visible())
        popup->Hide();
    if (popup->ModalResult() != mrOk)
        return;
    const TWhichTable table = FFilterPopupTable;
    const int column = FFilterPopupColumn;
    THeaderData* header = GetHeader(table, column);
    if (!header)
        return;
    SetFileChanged(true);
    TFilterParams& filter = header->Filter;
    if (popup->RadioButton2->Checked())
        filter.FilterType = ftNone;
    else if (popup->RadioButton8->Checked())
        filter.FilterType = ftList;
    else if (popup->RadioButton3->Checked())
        filter.FilterType = ftDate;
    else if (popup->RadioButton1->Checked() || popup->RadioButton0->Checked())
        filter.FilterType = ftText;
    else
        filter.FilterType = ftNumber;

    switch (filter.FilterType) {
    case ftDate: {
        // In minute unit "till" means the whole day: its last minute.
        const TDateTime from = std::trunc(popup->DateTimePicker1->DateTime());
        TDateTime till = std::trunc(popup->DateTimePicker2->DateTime());
        if (FMinUnit == muMinute)
            till += 1439.0 / 1440.0;
        setfilter(filter, fsFromTo, FormatDateTime(from), FormatDateTime(till));
        break;
    }
    case ftList:
        if (popup->ListBox1->SelCount() > 0) {
            TCommaText selected;
            selected.FromSelection(*popup->ListBox1);
            setfilter(filter, fsEquals, selected.AsString(), String());
        }
        break;
    case ftText:
        setfilter(filter, popup->RadioButton0->Checked() ? fsText : fsEmpty, popup->AutocompletingEdit1->Text(),
            String());
        break;
    case ftNumber:
        if (popup->RadioButton4->Checked())
            setfilter(filter, fsSmaller, popup->Edit4->Text(), String());
        else if (popup->RadioButton5->Checked())
            setfilter(filter, fsGreater, popup->Edit4->Text(), String());
        else if (popup->RadioButton6->Checked())
            setfilter(filter, fsEquals, popup->Edit4->Text(), String());
        else if (popup->RadioButton7->Checked())
            setfilter(filter, fsFromTo, popup->Edit2->Text(), popup->Edit3->Text());
        break;
    case ftNone:
        break;
    }

    const String group = GetPositionGroupCaption();
    const String caption = GetColumnCaption(table, column);
    TFilter* stored = nullptr;
    for (TFilter& f : FFilters)
        if (f.Table == table && f.Group == group && f.Header == caption) {
            stored = &f;
            break;
        }
    if (!stored)
        stored = &FFilters.emplace_back();
    stored->Group = group;
    stored->Header = caption;
    stored->Table = table;
    stored->Type = filter.FilterType;
    stored->SubType = filter.FilterSubType;
    stored->Text1 = filter.Text1;
    stored->Text2 = filter.text2;
    FilterData(table);
}

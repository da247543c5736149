#include "views/EditorPanel.h"

#include <algorithm>
#include <cmath>

#include "components/AutocompletingEdit.h"
#include "components/CompletingComboBox.h"
#include "components/DateTimePopup.h"
#include "platform/Buttons.h"
#include "platform/DateUtils.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "views/CanvasPanel.h"

namespace {
const char* const CheckTexts[2] = {"Nein", "Ja"};
}

TEditorPanel::TEditorPanel(TComponent* AOwner) : TPanel(AOwner)
{
    SetBevelOuter(bvNone);
    SetCaption("");
}

// ---- lines ---------------------------------------------------------------------------

TEditorPanel::TLine* TEditorPanel::LineOf(int Column)
{
    return Column >= 0 && Column < int(FLines.size()) ? &FLines[std::size_t(Column)] : nullptr;
}

const TEditorPanel::TLine* TEditorPanel::LineOf(int Column) const
{
    return Column >= 0 && Column < int(FLines.size()) ? &FLines[std::size_t(Column)] : nullptr;
}

TWinControl* TEditorPanel::Field(int Column) const
{
    const TLine* line = LineOf(Column);
    return line ? line->Field : nullptr;
}

TLabel* TEditorPanel::CaptionLabel(int Column) const
{
    const TLine* line = LineOf(Column);
    return line ? line->Caption : nullptr;
}

TCanvasPanel* TEditorPanel::LinkField(int Column) const
{
    const TLine* line = LineOf(Column);
    return line ? line->Link : nullptr;
}

bool TEditorPanel::LineFits(int Column)
{
    const TLine* line = LineOf(Column);
    if (!line || !FDocument || line->Type != FDocument->GetColumnType(FTable, Column) ||
        line->Caption->Caption() != FDocument->GetColumnCaption(FTable, Column))
        return false;
    if (line->Type != ctPulldown || IsPositionColumn(Column))
        return true;
    const TStringList* entries = FDocument->GetColumnStrings(FTable, Column);
    const TStringList* items = static_cast<TComboBox*>(line->Field)->Items();
    if (!entries || entries->Count() != items->Count())
        return false;
    for (int i = 0; i < items->Count(); ++i)
        if ((*items)[i] != CommaTextItem((*entries)[i], 0))
            return false;
    return true;
}

bool TEditorPanel::IsTyping(int Column) const
{
    const TLine* line = LineOf(Column);
    return line && line->Typing;
}

void TEditorPanel::ClearLines()
{
    // The lines go before their controls: a control's exit while it is freed
    // must find nothing to write.
    std::vector<TLine> old;
    old.swap(FLines);
    ++FFilling;
    for (TLine& line : old) {
        delete line.Caption;
        delete line.Button;
        delete line.Link;
        delete line.Field;
    }
    --FFilling;
    FPositionSource.reset();
    FPositionCount = -1;
}

void TEditorPanel::Rebuild(TWhichTable Table)
{
    ClearLines();
    FTable = Table;
    FRow = nullptr;
    if (!FDocument)
        return;
    const int count = FDocument->GetTableColCount(Table);
    FLines.reserve(std::size_t(std::max(count, 0)));
    for (int column = 0; column < count; ++column)
        AddLine(column);
    LayoutLines();
    ShowRow(nullptr);
}

bool TEditorPanel::IsPositionColumn(int Column) const
{
    return FDocument && FDocument->GetColumnConnection(FTable, Column) == cnPosition;
}

void TEditorPanel::AddLine(int Column)
{
    TLine line;
    line.Column = Column;
    line.Type = FDocument->GetColumnType(FTable, Column);
    const String index = IntToStr(Column);
    line.Caption = Build<TLabel>(this, "__caption" + index).Parent(this).Caption(
                       FDocument->GetColumnCaption(FTable, Column)).Get();
    line.Caption->SetAutoSize(false);
    line.Caption->SetLayout(tlCenter);
    line.Caption->SetShowAccelChar(false);
    const String name = "__edit" + index;
    switch (line.Type) {
    case ctText: {
        auto* edit = Build<TAutocompletingEdit>(this, name).Parent(this).Get();
        edit->OnChange = [this, Column](TObject*) { FieldChanged(Column); };
        line.Field = edit;
        break;
    }
    case ctPulldown: {
        auto* box = Build<TCompletingComboBox>(this, name).Parent(this).Get();
        box->SetTextCompletion(true);
        box->SetDropDownCount(16);
        if (!IsPositionColumn(Column)) {
            TStringList* entries = FDocument->GetColumnStrings(FTable, Column);
            for (int i = 0; entries && i < entries->Count(); ++i)
                box->Items()->Add(CommaTextItem((*entries)[i], 0));
        }
        box->OnChange = [this, Column](TObject*) { FieldChanged(Column); };
        // A pick from the list is a commit of its own.
        box->OnSelect = [this, Column](TObject*) {
            if (!FFilling)
                CommitField(Column);
        };
        box->OnDropDown = [this, Column](TObject*) {
            if (IsPositionColumn(Column))
                FillPositionList();
        };
        line.Field = box;
        break;
    }
    case TColumnType::ctCheckBox: {
        auto* box = Build<TCheckBox>(this, name).Parent(this).Caption("").Get();
        box->OnClick = [this, Column](TObject*) {
            if (!FFilling)
                CommitField(Column);
        };
        line.Field = box;
        break;
    }
    case ctDate:
    case ctNumber:
    case ctLink: {
        auto* edit = Build<TEdit>(this, name).Parent(this).Get();
        edit->OnChange = [this, Column](TObject*) { FieldChanged(Column); };
        line.Field = edit;
        if (line.Type == ctDate) {
            line.Button = Build<TButton>(this, "__date" + index).Parent(this).Caption("...").Get();
            line.Button->SetTabStop(false);
            line.Button->OnClick = [this, Column](TObject*) { DateButtonClick(Column); };
        } else if (line.Type == ctLink) {
            line.Link = Build<TCanvasPanel>(this, "__link" + index).Parent(this).Caption("").Get();
            line.Link->SetBevelOuter(bvNone);
            line.Link->SetCursor(crHandPoint);
            line.Link->OnPaint = [this, Column](TObject*) { PaintLink(Column); };
            line.Link->OnClick = [this, Column](TObject*) { OpenLink(Column); };
        }
        break;
    }
    }
    line.Field->SetTabOrder(Column);
    line.Field->OnKeyDown = [this, Column](TObject*, Word& Key, TShiftState) { FieldKeyDown(Column, Key); };
    line.Field->OnEnter = [this, Column](TObject*) { FieldEnter(Column); };
    line.Field->OnExit = [this, Column](TObject*) {
        if (!FFilling)
            CommitField(Column);
    };
    FLines.push_back(std::move(line));
}

void TEditorPanel::Resize()
{
    TPanel::Resize();
    LayoutLines();
}

void TEditorPanel::LayoutLines()
{
    const int width = std::max(ClientWidth(), CaptionWidth + 60);
    const int fieldLeft = CaptionWidth + 8;
    const int fieldWidth = width - fieldLeft - 6;
    for (const TLine& line : FLines) {
        const int top = 4 + line.Column * LineHeight;
        line.Caption->SetBounds(6, top, CaptionWidth, LineHeight - 4);
        int w = fieldWidth;
        if (line.Button) {
            w -= 26;
            line.Button->SetBounds(fieldLeft + w + 2, top, 24, LineHeight - 4);
        } else if (line.Link) {
            // The edit holds the target; the link beside it opens it.
            w = fieldWidth * 3 / 5;
            line.Link->SetBounds(fieldLeft + w + 4, top, fieldWidth - w - 4, LineHeight - 4);
        }
        line.Field->SetBounds(fieldLeft, top, std::max(w, 20), LineHeight - 4);
    }
}

// ---- showing a row -------------------------------------------------------------------

String TEditorPanel::FieldText(const TLine& Line) const
{
    if (auto* box = dynamic_cast<TCheckBox*>(Line.Field))
        return CheckTexts[box->Checked() ? 1 : 0];
    return Line.Field->Text();
}

void TEditorPanel::SetFieldText(TLine& Line, const String& Text)
{
    ++FFilling;
    if (auto* box = dynamic_cast<TCheckBox*>(Line.Field))
        box->SetChecked(Text == CheckTexts[1]);
    else if (auto* combo = dynamic_cast<TComboBox*>(Line.Field)) {
        const int index = combo->Items()->IndexOf(Text);
        if (index >= 0 && (*combo->Items())[index] == Text)
            combo->SetItemIndex(index);
        else {
            combo->SetItemIndex(-1);
            combo->SetText(Text);
        }
    } else
        Line.Field->SetText(Text);
    if (Line.Link)
        Line.Link->Invalidate();
    --FFilling;
    Line.Shown = Text;
    Line.Typing = false;
}

void TEditorPanel::ShowRow(TNodeData* Row)
{
    if (Row && Row->NodeTable != FTable)
        Row = nullptr;
    const bool rowChanged = Row != FRow;
    FRow = Row;
    if (Row && IsPositionColumnPresent())
        FillPositionList();
    for (TLine& line : FLines) {
        // The field being typed in keeps its text while its row stays.
        if (!rowChanged && line.Typing)
            continue;
        SetFieldText(line, Row ? FDocument->GetData(Row, line.Column) : String());
        line.Field->SetEnabled(Row != nullptr);
        if (line.Button)
            line.Button->SetEnabled(Row != nullptr);
    }
    SetEnabled(Row != nullptr);
}

bool TEditorPanel::IsPositionColumnPresent() const
{
    const int column = FDocument ? FDocument->GetConnection(FTable, cnPosition) : -1;
    return column >= 0 && column < int(FLines.size()) && FLines[std::size_t(column)].Type == ctPulldown;
}

void TEditorPanel::FillPositionList()
{
    const int column = FDocument ? FDocument->GetConnection(FTable, cnPosition) : -1;
    auto* box = dynamic_cast<TComboBox*>(Field(column));
    if (!box)
        return;
    const ICommaText positions = FDocument->FGlobalPositionFilter;
    const int count = positions ? positions->Count() : 0;
    // A new group gives a new list: only then are the items made again.
    if (positions == FPositionSource && count == FPositionCount)
        return;
    FPositionSource = positions;
    FPositionCount = count;
    TStringList names;
    for (int i = 0; i < count; ++i) {
        // The extra rows of a multi-row position carry its name again.
        const String name = positions->Item(i, 0);
        if (names.IndexOf(name) < 0 || names[names.IndexOf(name)] != name)
            names.Add(name);
    }
    // The items change under the field, its text does not.
    ++FFilling;
    const String text = box->Text();
    box->SetItems(&names);
    const int index = names.IndexOf(text);
    if (index >= 0 && names[index] == text)
        box->SetItemIndex(index);
    else
        box->SetText(text);
    --FFilling;
}

void TEditorPanel::RowGone(TNodeData* Row)
{
    if (Row && Row == FRow)
        ShowRow(nullptr);
}

bool TEditorPanel::HasFieldFocus() const
{
    return std::any_of(FLines.begin(), FLines.end(), [](const TLine& L) { return L.Field->Focused(); });
}

// ---- typing and committing -----------------------------------------------------------

void TEditorPanel::FieldChanged(int Column)
{
    if (FFilling)
        return;
    if (TLine* line = LineOf(Column)) {
        line->Typing = true;
        if (line->Link)
            line->Link->Invalidate();
    }
}

void TEditorPanel::FieldEnter(int Column)
{
    TLine* line = LineOf(Column);
    if (!line)
        return;
    if (auto* edit = dynamic_cast<TAutocompletingEdit*>(line->Field)) {
        // Gathered now, so the list holds what the other rows hold now.
        TStringList texts;
        texts.SetSorted(true);
        texts.SetCaseSensitive(true);
        texts.Duplicates = dupIgnore;
        GatherTexts(Column, texts);
        ++FFilling;
        edit->SetItems(&texts);
        --FFilling;
    } else if (IsPositionColumn(Column))
        FillPositionList();
}

void TEditorPanel::GatherTexts(int Column, TStrings& Texts)
{
    FDocument->ForEach(FTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
        const String text = FDocument->GetData(Row, Column);
        if (!text.empty())
            Texts.Add(text);
    });
}

void TEditorPanel::FieldKeyDown(int Column, Word& Key)
{
    if (Key == VK_RETURN) {
        CommitField(Column);
        Key = 0;
    } else if (Key == VK_ESCAPE) {
        RestoreField(Column);
        Key = 0;
    }
}

void TEditorPanel::CommitField(int Column)
{
    TLine* line = LineOf(Column);
    if (!line || !FRow || !FDocument)
        return;
    const String text = FieldText(*line);
    line->Typing = false;
    if (text == line->Shown)
        return;
    // On a connected client the cell changes only with the server's echo:
    // until then the field keeps what was written.
    line->Shown = text;
    FDocument->SetData(FRow, Column, text);
}

void TEditorPanel::RestoreField(int Column)
{
    TLine* line = LineOf(Column);
    if (!line)
        return;
    SetFieldText(*line, FRow ? FDocument->GetData(FRow, Column) : String());
}

// ---- dates ---------------------------------------------------------------------------

void TEditorPanel::PickDate(int Column, TDateTime Day)
{
    TLine* line = LineOf(Column);
    if (!line || !FRow)
        return;
    TDateTime value = std::floor(Day);
    if (FDocument->FMinUnit == muMinute) {
        // Only the day is picked: the time of day the cell had stays.
        const TDateTime old = FDocument->StrToDateTime(FieldText(*line));
        if (old != 0)
            value += old - std::floor(old);
    }
    ++FFilling;
    line->Field->SetText(FDocument->FormatDateTime(value));
    --FFilling;
    CommitField(Column);
}

void TEditorPanel::DateButtonClick(int Column)
{
    TLine* line = LineOf(Column);
    if (!line || !FRow)
        return;
    TDateTimePopup* popup = DatePopup ? DatePopup : DateTimePopup;
    if (!popup) {
        popup = Create<TDateTimePopup>(this);
        DatePopup = popup;
    }
    const TDateTime current = FDocument->StrToDateTime(FieldText(*line));
    popup->SetDate(current != 0 ? std::floor(current) : std::floor(Date()));
    const TPoint below = line->Field->ClientToScreen(TPoint{0, line->Field->Height()});
    if (popup->RollDownForm(GetParentForm(this), below.X, below.Y) == mrOk)
        PickDate(Column, popup->Date());
}

// ---- links ---------------------------------------------------------------------------

void TEditorPanel::PaintLink(int Column)
{
    TLine* line = LineOf(Column);
    if (!line || !line->Link)
        return;
    TCanvas* canvas = line->Link->Canvas();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(line->Link->ClientRect());
    const String target = FieldText(*line);
    if (target.empty())
        return;
    // The target's last part names it well enough beside the full text.
    const auto slash = target.find_last_of("/\\");
    const String shown = slash == String::npos || slash + 1 == target.size() ? target : target.substr(slash + 1);
    canvas->Font()->SetColor(line->Link->Enabled() && FRow ? clBlue : clGrayText);
    canvas->Font()->SetStyle(TFontStyles{fsUnderline});
    canvas->Brush()->SetStyle(bsClear);
    const TRect r = line->Link->ClientRect();
    canvas->TextRect(r, 2, (r.Bottom - canvas->TextHeight(shown)) / 2, shown);
}

void TEditorPanel::OpenLink(int Column)
{
    TLine* line = LineOf(Column);
    if (!line || !line->Link || !FRow)
        return;
    const String target = FieldText(*line);
    if (target.empty() || !Opener)
        return;
    if (!Opener(target)) {
        String text = FDocument->Translate("The link %s could not be opened.");
        const auto at = text.find("%s");
        if (at != String::npos)
            text.replace(at, 2, target);
        FDocument->ShowMessage(dmError, text);
    }
}

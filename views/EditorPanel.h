#pragma once
// TEditorPanel: the fields of one row of a table, one line per column in
// column order, each with the column's caption and a field named "__edit"
// followed by the column's index, chosen by the column's type: a
// completing edit for texts, an edit with a calendar button for dates, a
// completing combo box for pulldown lists, an edit for numbers, a check
// box, and an edit with a clickable link for links.
//
// A field is written to the row only when it is committed (Enter, leaving
// it, a pick from its list or calendar, a click on the check box), through
// the document's SetData, so an edit is one undo step and reaches the
// network like any other local change. Typing alone writes nothing; Escape
// puts the cell's text back. A refresh leaves the field being typed in
// alone, so a change arriving from elsewhere does not eat what the user is
// typing.
#include <vector>

#include "document/ScheduleDocument.h"
#include "document/Workbook.h"
#include "platform/ExtCtrls.h"

class TLabel;
class TCanvasPanel;
class TButton;
class TDateTimePopup;

class TEditorPanel : public TPanel {
    VEK_DECLARE_CLASS(TEditorPanel, TPanel)
public:
    explicit TEditorPanel(TComponent* AOwner);

    // The document whose rows the panel edits; set before Rebuild.
    void SetDocument(TScheduleDocument* Document) { FDocument = Document; }
    TScheduleDocument* Document() const { return FDocument; }

    // One line per column of Table; the panel then shows no row.
    void Rebuild(TWhichTable Table);
    TWhichTable Table() const { return FTable; }
    int LineCount() const { return int(FLines.size()); }
    // Whether the column's line still shows the column as it is: caption,
    // type and list entries.
    bool LineFits(int Column);
    // The field and the caption of a column's line; null outside the lines.
    TWinControl* Field(int Column) const;
    TLabel* CaptionLabel(int Column) const;
    // The clickable link of a link column's line.
    TCanvasPanel* LinkField(int Column) const;

    // Shows the row's cells (null: every field empty and disabled). A field
    // being typed in keeps its text.
    void ShowRow(TNodeData* Row);
    TNodeData* Row() const { return FRow; }
    // The row is being freed.
    void RowGone(TNodeData* Row);

    // Writes the field's text to its cell when it differs.
    void CommitField(int Column);
    // Puts the cell's text back into the field.
    void RestoreField(int Column);
    // Whether the user changed the field since it was last shown or written.
    bool IsTyping(int Column) const;
    // A day picked for a date column: in minute unit the cell keeps its time
    // of day; the text is the document's form of the date.
    void PickDate(int Column, TDateTime Day);
    // Drops the calendar below a date column's field.
    void DateButtonClick(int Column);
    // Opens the link column's target with the desktop's application.
    void OpenLink(int Column);
    // Fills the Position column's list with the current group's positions.
    void FillPositionList();
    // The first field (the one given the focus when a row is added).
    TWinControl* FirstField() const { return FLines.empty() ? nullptr : FLines.front().Field; }
    // Whether one of the panel's fields has the focus.
    bool HasFieldFocus() const;

    // How a link's target is opened (tests put their own in).
    TDesktopOpener Opener = OpenWithDesktopApplication;
    // The calendar a date button drops down; the program's own when null.
    TDateTimePopup* DatePopup = nullptr;

    // Lines are this many pixels apart; captions take this width.
    static constexpr int LineHeight = 26;
    static constexpr int CaptionWidth = 110;

protected:
    void Resize() override;

private:
    struct TLine {
        int Column = -1;
        TColumnType Type = ctText;
        TLabel* Caption = nullptr;
        TWinControl* Field = nullptr;
        TButton* Button = nullptr;
        TCanvasPanel* Link = nullptr;
        // The text shown from the cell (what Escape restores, what a commit
        // compares against).
        String Shown;
        bool Typing = false;
    };
    TLine* LineOf(int Column);
    const TLine* LineOf(int Column) const;
    void ClearLines();
    void AddLine(int Column);
    void LayoutLines();
    // The field's text as the cell would hold it.
    String FieldText(const TLine& Line) const;
    void SetFieldText(TLine& Line, const String& Text);
    void FieldKeyDown(int Column, Word& Key);
    void FieldChanged(int Column);
    void FieldEnter(int Column);
    void PaintLink(int Column);
    // The column's distinct cell texts over all rows of the table.
    void GatherTexts(int Column, TStrings& Texts);
    bool IsPositionColumn(int Column) const;
    bool IsPositionColumnPresent() const;

    TScheduleDocument* FDocument = nullptr;
    TWhichTable FTable = tbTable;
    TNodeData* FRow = nullptr;
    std::vector<TLine> FLines;
    // Set while the panel itself changes a field (no typing, no commit).
    int FFilling = 0;
    // The position list the Position column's box was filled from, held so
    // that a later list can never come at its address.
    ICommaText FPositionSource;
    int FPositionCount = -1;
};

#pragma once
// TSetupTableDialog ('Edit Table "Tasks"'): the task table's columns in
// their order, and which column plays which role. Roles are bound by
// dragging a column (or another role's label) onto a role's label over the
// picture of a bar, or through a label's menu. The list keeps, per column,
// its type name, its strings as one comma text and the index it had when
// the dialog was filled (-1 for a new one): that origin is how the table's
// cells find their column again when the dialog's OK applies it.
#include <functional>
#include <vector>

#include "document/DocumentTypes.h"
#include "platform/Forms.h"

class TButton;
class TEditTableColumnDialog;
class TLabel;
class TListItem;
class TListView;
class TMenuItem;
class TPaintBox;
class TPopupMenu;
class TShape;
class TUpDown;

class TSetupTableDialog : public TForm {
    VEK_DECLARE_CLASS(TSetupTableDialog, TForm)
public:
    explicit TSetupTableDialog(TComponent* AOwner);

    TListView* ListView1 = nullptr;
    TButton* ButtonNewColumn = nullptr;
    TButton* ButtonDeleteColumn = nullptr;
    TButton* ButtonEditColumn = nullptr;
    TUpDown* UpDown1 = nullptr;
    TButton* ButtonOK = nullptr;
    TButton* ButtonCancel = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;  // the list's
    TMenuItem* NewColumn1 = nullptr;
    TMenuItem* DeleteColumn1 = nullptr;
    TMenuItem* EditColumn1 = nullptr;
    TPopupMenu* PopupMenu2 = nullptr;  // a label's
    TMenuItem* DeleteConnection1 = nullptr;
    // The bar picture and the bar on it.
    TPaintBox* Image1 = nullptr;
    TShape* Shape1 = nullptr;

    TLabel* LabelPosition = nullptr;
    TLabel* LabelStart = nullptr;
    TLabel* LabelEnde = nullptr;
    TLabel* LabelTermin = nullptr;
    TLabel* LabelDauer = nullptr;
    TLabel* LabelColor = nullptr;
    TLabel* LabelTopLeft = nullptr;
    TLabel* LabelCenterLeft = nullptr;
    TLabel* LabelBottomLeft = nullptr;
    TLabel* LabelTopMiddle = nullptr;
    TLabel* LabelCenterMiddle = nullptr;
    TLabel* LabelBottomMiddle = nullptr;
    TLabel* LabelTopRight = nullptr;
    TLabel* LabelCenterRight = nullptr;
    TLabel* LabelBottomRight = nullptr;

    // Set by the column editor's owner; made once and reused.
    TEditTableColumnDialog* EditColumnDialog = nullptr;
    // The OK of a valid configuration: records and applies (the main
    // window sets it).
    std::function<void()> OnApply;

    TLabel* FActiveLabel = nullptr;
    String FDragCaption;
    TColumnType FDragColumnType = ctText;
    bool FWasActive = false;
    bool FValidConfiguration = true;

    // The colours of a label: bound to the selected column, unbound
    // although the role is needed, anything else (also the bar's).
    static constexpr TColor SelectedColor = 0xE0CA92;
    static constexpr TColor MissingColor = 0x7362D6;
    static constexpr TColor NormalColor = 0x978762;

    TListItem* AddNode(int Origin, const String& Name, const String& Format, const String& TypeName);
    // Name, or Name + " n" with the first n that no other item carries.
    String CheckCaption(const String& Name, const TListItem* Except = nullptr);
    TListItem* FindNode(const String& Name);
    bool AllowDrag(TLabel* Label, TColumnType Type) const;
    // Bound to Position, Due date, State, Length, End or Start.
    bool IsConnected(const String& Name) const;
    void UpdateColors();

    // The labels and their roles, in one list.
    struct TRoleLabel {
        TLabel* Label;
        TShape* Shape;
        TConnection Role;
    };
    const std::vector<TRoleLabel>& RoleLabels() const { return FLabels; }
    TLabel* LabelOf(TConnection Role) const;
    TShape* ShapeOf(const TLabel* Label) const;
    // A label's binding: the column's name (empty: none) and its type.
    void Bind(TLabel* Label, const String& Name, TColumnType Type);
    TColumnType LabelType(const TLabel* Label) const;

    // The commands.
    void NewColumnClick();
    void DeleteColumnClick();
    void EditColumnClick();
    void UpDown1Click(bool Up);
    void OKClick();
    void ListView1SelectItem();
    // A label's menu: the columns it may take.
    void PopupMenu2Popup();
    // Fills the list, as the main window's fill does; the roles' labels
    // bound by the caller.
    void Clear();

private:
    TLabel* NewRoleLabel(const char* Name, TConnection Role, TRect Box, bool Slot);
    void LabelStartDrag(TLabel* Label);
    void LabelDragOver(TLabel* Label, bool& Accept);
    void LabelDragDrop(TLabel* Label);
    void LabelEndDrag(TLabel* Label);
    void PaintBar();
    std::vector<TRoleLabel> FLabels;
};

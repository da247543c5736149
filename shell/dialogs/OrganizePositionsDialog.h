#pragma once
// TOrganizePositionsDialog ("Group resources..."): one page per group tab,
// each with the check list of every position; the first page stands for
// all positions and cannot be changed. The main window fills it and
// applies it back; OK calls OnOK before the dialog closes.
#include "platform/Forms.h"
#include "platform/StringList.h"

class TButton;
class TEdit;
class TPageControl;
class TSpeedButton;
class TStringTreeGrid;
class TTabSheet;
struct TGridNode;

class TOrganizePositionsDialog : public TForm {
    VEK_DECLARE_CLASS(TOrganizePositionsDialog, TForm)
public:
    explicit TOrganizePositionsDialog(TComponent* AOwner);

    TPageControl* PageControl1 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;  // new Group
    TSpeedButton* SpeedButton2 = nullptr;  // delete Group
    TButton* Button3 = nullptr;            // OK
    TButton* Button4 = nullptr;            // Cancel
    bool FWasActive = false;
    // Records the undo step and applies the setup dialogs.
    TNotifyEvent OnOK;

    // A new page, made active, with one unchecked box per position; the
    // only page is the fixed one (all checked, nothing editable). Origin is
    // the group tab the page was filled from (-1: made in the dialog).
    TTabSheet* AddGroup(const String& Name, int Origin = -1);
    void ClearGroups();
    // The position names every page lists; set before the pages are added.
    TStringList* GetItems() { return &FStringList; }
    // The whole position entries behind the names, as filled.
    TStringList FEntries;
    int GroupCount() const;
    String GetGroupName(int Page) const;
    // The group tab page Page was filled from, -1 for a new page.
    int GetOrigin(int Page) const;
    // The page's tree, found among the page's own controls; null when none.
    TStringTreeGrid* GetTree(int Page) const;
    TEdit* GetNameEdit(int Page) const;
    TGridNode* FindNode(int Page, int Position) const;
    bool GetChecked(int Page, int Position) const;
    void SetChecked(int Page, int Position, bool Value);

    void NewGroupClick();
    void DeleteGroupClick();

private:
    void UpdateButtons();
    TStringList FStringList;
};

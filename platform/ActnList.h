#pragma once
// Actions: one command with its caption, shortcut and state, shared by the
// menu items and buttons that follow it. Action lists update their actions
// when the application is idle, through OnUpdate.
#include <functional>
#include <vector>

#include "platform/Classes.h"
#include "platform/Menus.h"

class TActionList;
class TImageList;

class TAction : public TComponent {
    VEK_DECLARE_CLASS(TAction, TComponent)

public:
    explicit TAction(TComponent* AOwner);
    ~TAction() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* Value);
    const String& Category() const { return FCategory; }
    void SetCategory(const String& Value) { FCategory = Value; }

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value) { FAutoCheck = Value; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }

    // Runs OnExecute when the action is enabled; false when nothing ran.
    virtual bool Execute();
    // Runs OnUpdate; false when there is none.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

    int ClientCount() const { return int(FClients.size()); }

private:
    friend class TActionClient;
    friend class TActionList;
    void Changed();
    TActionList* FActionList = nullptr;
    std::vector<TActionClient*> FClients;
    String FCategory;
    String FCaption;
    String FHint;
    TShortCut FShortCut = 0;
    bool FEnabled = true;
    bool FChecked = false;
    bool FVisible = true;
    bool FAutoCheck = false;
    int FImageIndex = -1;
    int FGroupIndex = 0;
};

using TActionEvent = std::function<void(TAction* Action, bool& Handled)>;

class TActionList : public TComponent {
    VEK_DECLARE_CLASS(TActionList, TComponent)

public:
    explicit TActionList(TComponent* AOwner);
    ~TActionList() override;

    int ActionCount() const { return int(FActions.size()); }
    TAction* Actions(int Index) const;
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value) { FImages = Value; }
    // Runs the action with this shortcut when it is enabled; true then.
    bool IsShortCut(TShortCut Value);
    // Runs OnUpdate of the list, then of each action that the list's handler
    // did not take.
    void UpdateActions();

    TActionEvent OnUpdate;

    // Every list that exists, for the idle update.
    static const std::vector<TActionList*>& All();

private:
    friend class TAction;
    std::vector<TAction*> FActions;
    TImageList* FImages = nullptr;
};

// The idle step: updates the action lists of every visible form (and those
// owned by no form).
void UpdateAllActions();

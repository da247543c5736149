// Actions and action lists: state changes are pushed to every client; the
// idle step asks each action to update itself.
#include "platform/ActnList.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/Forms.h"

namespace {
std::vector<TActionList*>& Lists()
{
    static std::vector<TActionList*> lists;
    return lists;
}
}  // namespace

TAction::TAction(TComponent* AOwner) : TComponent(AOwner) {}

TAction::~TAction()
{
    SetActionList(nullptr);
    for (TActionClient* c : FClients)
        c->ActionGone();
    FClients.clear();
}

void TAction::SetActionList(TActionList* Value)
{
    if (FActionList == Value)
        return;
    if (FActionList) {
        auto& a = FActionList->FActions;
        a.erase(std::remove(a.begin(), a.end(), this), a.end());
    }
    FActionList = Value;
    if (FActionList)
        FActionList->FActions.push_back(this);
}

void TAction::Changed()
{
    // A client may drop the action while it is told.
    const auto clients = FClients;
    for (TActionClient* c : clients)
        if (std::find(FClients.begin(), FClients.end(), c) != FClients.end())
            c->ActionChange(this);
}

void TAction::SetCaption(const String& Value)
{
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}
void TAction::SetHint(const String& Value)
{
    if (FHint == Value) return;
    FHint = Value;
    Changed();
}
void TAction::SetShortCut(TShortCut Value)
{
    if (FShortCut == Value) return;
    FShortCut = Value;
    Changed();
}
void TAction::SetEnabled(bool Value)
{
    if (FEnabled == Value) return;
    FEnabled = Value;
    Changed();
}
void TAction::SetChecked(bool Value)
{
    if (FChecked == Value) return;
    FChecked = Value;
    // Checked actions of one group exclude each other.
    if (Value && FGroupIndex > 0 && FActionList)
        for (TAction* a : FActionList->FActions)
            if (a != this && a->FGroupIndex == FGroupIndex)
                a->SetChecked(false);
    Changed();
}
void TAction::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}
void TAction::SetImageIndex(int Value)
{
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    Changed();
}

bool TAction::Execute()
{
    // The state may be stale when the action is run by a shortcut before
    // the next idle step.
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked);
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

// ---------------------------------------------------------------------------

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) { Lists().push_back(this); }

TActionList::~TActionList()
{
    auto& l = Lists();
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    for (TAction* a : FActions)
        a->FActionList = nullptr;
}

const std::vector<TActionList*>& TActionList::All() { return Lists(); }

TAction* TActionList::Actions(int Index) const
{
    if (Index < 0 || Index >= ActionCount())
        throw EListError("Action index out of bounds (" + std::to_string(Index) + ")");
    return FActions[std::size_t(Index)];
}

bool TActionList::IsShortCut(TShortCut Value)
{
    if (!Value)
        return false;
    for (TAction* a : std::vector<TAction*>(FActions)) {
        if (a->ShortCut() != Value)
            continue;
        a->Update();
        if (!a->Enabled() || !a->Visible())
            return false;
        a->Execute();
        return true;
    }
    return false;
}

void TActionList::UpdateActions()
{
    for (TAction* a : std::vector<TAction*>(FActions)) {
        bool handled = false;
        if (OnUpdate)
            OnUpdate(a, handled);
        if (!handled)
            a->Update();
    }
}

void UpdateAllActions()
{
    // Copied: an update handler may free a list.
    const auto lists = Lists();
    for (TActionList* l : lists) {
        if (std::find(Lists().begin(), Lists().end(), l) == Lists().end())
            continue;
        TComponent* o = l->Owner();
        while (o && !Is<TCustomForm>(o))
            o = o->Owner();
        if (auto* f = dynamic_cast<TCustomForm*>(o); f && !f->Visible() && f != Application->MainForm())
            continue;
        l->UpdateActions();
    }
}

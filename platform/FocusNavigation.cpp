// Moving the focus with Tab: the tab order of each control's windowed
// children and the walk over a form's controls in that order.
#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"

namespace {
bool gDialogKeyTaken = false;
}  // namespace

void NoteDialogKeyTaken() { gDialogKeyTaken = true; }

bool TakeDialogKeyTaken()
{
    const bool taken = gDialogKeyTaken;
    gDialogKeyTaken = false;
    return taken;
}

int TWinControl::TabOrder() const
{
    if (!FParent)
        return -1;
    const auto& list = FParent->FTabList;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value)
{
    if (!FParent)
        return;
    auto& list = FParent->FTabList;
    const auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end())
        return;
    list.erase(it);
    const int at = std::clamp(Value, 0, int(list.size()));
    list.insert(list.begin() + at, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List)
{
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* Current, bool GoForward, bool CheckTabStop,
                                          bool CheckParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int n = int(list.size());
    if (n == 0)
        return nullptr;
    const auto it = std::find(list.begin(), list.end(), Current);
    // Without a current control the walk starts before the first (after
    // the last) one.
    int i = it == list.end() ? (GoForward ? -1 : n) : int(it - list.begin());
    for (int step = 0; step < n; ++step) {
        i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[std::size_t(i)];
        if (c == Current)
            break;
        if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus())
            return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop)
{
    if (TWinControl* next = FindNextControl(Current, GoForward, CheckTabStop, false))
        next->SetFocus();
}

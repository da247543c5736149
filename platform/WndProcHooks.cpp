// The hooks in front of a control's window procedure.
#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"

namespace {

// Runs the hooks of a snapshot from the newest down to the window procedure.
// The snapshot keeps every hook alive while the message runs, so a hook may
// take itself or any other out meanwhile.
struct TChainRun {
    std::vector<std::shared_ptr<TWndProcHookEntry>> Chain;
    TControl* Control;

    void Run(std::size_t Below, TMessage& Message) const
    {
        while (Below > 0 && Chain[Below - 1]->Removed)
            --Below;
        if (Below == 0) {
            Control->WndProc(Message);
            return;
        }
        const TWndProcHookEntry& e = *Chain[Below - 1];
        e.Hook(Message, [this, Below](TMessage& M) { Run(Below - 1, M); });
    }
};

}  // namespace

void TControl::WindowProc(TMessage& Message)
{
    if (!FHooks || FHooks->Hooks.empty()) {
        WndProc(Message);
        return;
    }
    const TChainRun run{FHooks->Hooks, this};
    run.Run(run.Chain.size(), Message);
}

int AddWndProcHook(TControl* Control, TWndProcHook Hook)
{
    if (!Control || !Hook)
        return 0;
    if (!Control->FHooks)
        Control->FHooks = std::make_unique<TWndProcHookChain>();
    TWndProcHookChain& c = *Control->FHooks;
    auto e = std::make_shared<TWndProcHookEntry>();
    e->Id = c.NextId++;
    e->Hook = std::move(Hook);
    c.Hooks.push_back(std::move(e));
    return c.Hooks.back()->Id;
}

void RemoveWndProcHook(TControl* Control, int Id)
{
    if (!Control || !Control->FHooks)
        return;
    auto& hooks = Control->FHooks->Hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [Id](const auto& E) { return E->Id == Id; });
    if (it == hooks.end())
        return;
    (*it)->Removed = true;
    hooks.erase(it);
}

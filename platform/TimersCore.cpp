// TTimer over a window timer of its own message window.
#include "platform/Timers.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    FWindow = AllocateHWnd([this](TMessage& Message) {
        if (Message.Msg == WM_TIMER)
            Timer();
    });
    UpdateTimer();
}

TTimer::~TTimer()
{
    KillTimer(FWindow, 1);
    DeallocateHWnd(FWindow);
}

void TTimer::UpdateTimer()
{
    KillTimer(FWindow, 1);
    if (FEnabled && FInterval > 0)
        SetTimer(FWindow, 1, FInterval);
}

void TTimer::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value)
{
    if (FInterval == Value)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Timer()
{
    if (OnTimer) OnTimer(this);
}

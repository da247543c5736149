#include "tests/support/PlatformFixture.h"

#include <chrono>
#include <thread>

#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"

namespace {

std::uint64_t Clock = 100000;

TWinControl* WindowOf(TControl* Control)
{
    TControl* c = Control;
    while (c && !dynamic_cast<TWinControl*>(c))
        c = c->Parent();
    return static_cast<TWinControl*>(c);
}

void SendMouse(TControl* Control, TPoint P, TSyntheticMouse Kind, TMouseButton Button, TShiftState Shift)
{
    TWinControl* w = WindowOf(Control);
    w->HandleNeeded();
    const TPoint screen = Control->ClientToScreen(P);
    Clock += 10;
    SendSyntheticMouse(w, Kind, screen - WindowOrigin(w), screen, Button, Shift, Clock);
}

}  // namespace

void EnsureApplication() { Application->Initialize(); }

void NextClick() { Clock += 10000; }

void MouseDown(TControl* Control, TPoint P, TMouseButton Button, TShiftState Shift)
{
    SendMouse(Control, P, smPress, Button, Shift);
}

void MouseUp(TControl* Control, TPoint P, TMouseButton Button, TShiftState Shift)
{
    SendMouse(Control, P, smRelease, Button, Shift);
}

void MouseMove(TControl* Control, TPoint P, TShiftState Shift) { SendMouse(Control, P, smMove, mbLeft, Shift); }

void Click(TControl* Control, TPoint P, TMouseButton Button)
{
    NextClick();
    MouseDown(Control, P, Button);
    MouseUp(Control, P, Button);
}

void DoubleClick(TControl* Control, TPoint P)
{
    NextClick();
    MouseDown(Control, P);
    MouseUp(Control, P);
    MouseDown(Control, P);
    SendMouse(Control, P, smDoubleClickEvent, mbLeft, {});
    MouseUp(Control, P);
}

void DragAndDrop(TControl* Source, TPoint From, TControl* Target, TPoint To)
{
    NextClick();
    MouseDown(Source, From);
    const TPoint end = Source->ScreenToClient(Target->ClientToScreen(To));
    constexpr int Steps = 4;
    for (int k = 1; k <= Steps; ++k)
        MouseMove(Source, {From.X + (end.X - From.X) * k / Steps, From.Y + (end.Y - From.Y) * k / Steps}, {ssLeft});
    MouseUp(Source, end);
}

void Wheel(TControl* Control, TPoint P, int Delta, TShiftState Shift)
{
    TWinControl* w = WindowOf(Control);
    w->HandleNeeded();
    const TPoint screen = Control->ClientToScreen(P);
    SendSyntheticWheel(w, screen - WindowOrigin(w), screen, Delta, Shift);
}

void SidewaysWheel(TControl* Control, TPoint P, int Delta)
{
    TWinControl* w = WindowOf(Control);
    w->HandleNeeded();
    const TPoint screen = Control->ClientToScreen(P);
    SendSyntheticWheel(w, screen - WindowOrigin(w), screen, Delta, {}, true);
}

void KeyDown(TWinControl* Control, Word VirtKey, const String& Text, TShiftState Shift)
{
    SendSyntheticKey(Control, true, VirtKey, Text, Shift);
}

void KeyUp(TWinControl* Control, Word VirtKey, TShiftState Shift) { SendSyntheticKey(Control, false, VirtKey, "", Shift); }

void MoveWindowFromOutside(TWinControl* Window, TPoint Corner)
{
    SendSyntheticWindowMove(Window, Corner);
    ProcessEvents();
}

void ProcessEvents() { Application->ProcessMessages(); }

bool ProcessEventsUntil(const std::function<bool()>& Done, int TimeoutMs)
{
    const auto start = std::chrono::steady_clock::now();
    while (!Done()) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(TimeoutMs))
            return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TRecordingControl::TRecordingControl(TComponent* AOwner) : TCustomControl(AOwner) {}

bool TRecordingControl::IsRecorded(UINT Msg)
{
    switch (Msg) {
    case WM_SETCURSOR: case WM_NCHITTEST: case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_CONTEXTMENU: case CM_MOUSEWHEEL:
    case CM_MOUSEENTER: case CM_MOUSELEAVE: case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_SETFOCUS:
    case WM_KILLFOCUS: case CM_ENTER: case CM_EXIT: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_NCMOUSEMOVE:
    case WM_VSCROLL: case WM_HSCROLL: case WM_TIMER: case WM_SIZE: case WM_CAPTURECHANGED:
        return true;
    default:
        return Msg >= WM_USER && Msg < CM_BASE;
    }
}

void TRecordingControl::WndProc(TMessage& Message)
{
    if (IsRecorded(Message.Msg) && !(Message.Msg == WM_MOUSEMOVE && !RecordMoves))
        Log.push_back(Message);
    if (OnMessage && OnMessage(Message))
        return;
    TCustomControl::WndProc(Message);
}

void TRecordingControl::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (Message.Msg == WM_NCCALCSIZE && Strip > 0)
        Message.CalcSizeParams()->Rgrc[0].Top += Strip;
}

void TRecordingControl::Paint()
{
    if (PaintColor != clNone) {
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
}

std::vector<UINT> TRecordingControl::Messages() const
{
    std::vector<UINT> r;
    for (const TMessage& m : Log)
        r.push_back(m.Msg);
    return r;
}

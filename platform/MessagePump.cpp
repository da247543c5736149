// The handle registry, posted and sent messages, window timers, and the
// guard that keeps exceptions from crossing Qt's event loop.
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <QTimerEvent>

#include "platform/Controls.h"
#include "platform/ControlsPrivate.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"

namespace {

struct TWindowEntry {
    TWinControl* Control = nullptr;
    std::function<void(TMessage&)> Proc;
};

// Never destroyed, so windows going at exit find it still there.
struct TRegistry {
    std::mutex Lock;
    std::map<HWND, TWindowEntry> Windows;
    HWND Next = 0x100;
};
TRegistry& Registry()
{
    static auto* r = new TRegistry;
    return *r;
}

struct TSentMessage {
    HWND Window;
    TMessage Message;
    bool Done = false;
    bool Delivered = false;
};
struct TSentQueue {
    std::mutex Lock;
    std::condition_variable Handled;
    std::deque<TSentMessage*> Pending;
};
TSentQueue& SentQueue()
{
    static auto* q = new TSentQueue;
    return *q;
}

const QEvent::Type PostedType = QEvent::Type(QEvent::registerEventType());
const QEvent::Type SentType = QEvent::Type(QEvent::registerEventType());

class TPostedEvent : public QEvent {
public:
    TPostedEvent(HWND AWindow, const TMessage& AMessage) : QEvent(PostedType), Window(AWindow), Message(AMessage) {}
    HWND Window;
    TMessage Message;
};

struct TTimerKey {
    HWND Window;
    bool System;  // the platform's own: WM_SYSTIMER
    UINT_PTR ID;
    bool operator<(const TTimerKey& O) const
    {
        if (Window != O.Window)
            return Window < O.Window;
        return System != O.System ? O.System : ID < O.ID;
    }
};

struct TTimer {
    int QtID;
    UINT Elapse;
};

class TPump : public QObject {
public:
    std::map<TTimerKey, TTimer> Timers;
    std::map<int, TTimerKey> TimerOwners;

protected:
    bool event(QEvent* Event) override
    {
        if (Event->type() == PostedType) {
            auto* e = static_cast<TPostedEvent*>(Event);
            Guarded(FindControl(e->Window), [e] { SendMessage(e->Window, e->Message.Msg, e->Message.WParam, e->Message.LParam); });
            return true;
        }
        if (Event->type() == SentType) {
            ProcessSentMessages();
            return true;
        }
        return QObject::event(Event);
    }
    void timerEvent(QTimerEvent* Event) override
    {
        auto it = TimerOwners.find(Event->timerId());
        if (it == TimerOwners.end())
            return;
        const TTimerKey k = it->second;
        Guarded(FindControl(k.Window), [k] { SendMessage(k.Window, k.System ? WM_SYSTIMER : WM_TIMER, k.ID, 0); });
    }
};

TPump* Pump()
{
    static std::once_flag once;
    static TPump* pump = nullptr;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return nullptr;
    std::call_once(once, [app] {
        pump = new TPump;
        if (pump->thread() != app->thread())
            pump->moveToThread(app->thread());
    });
    return pump;
}

bool OnGuiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool OnMainThread() { return ::syscall(SYS_gettid) == ::getpid(); }

bool Deliver(HWND Handle, TMessage& Message)
{
    TWindowEntry e;
    {
        std::lock_guard<std::mutex> g(Registry().Lock);
        auto it = Registry().Windows.find(Handle);
        if (it == Registry().Windows.end())
            return false;
        e = it->second;
    }
    if (e.Control)
        e.Control->WindowProc(Message);
    else if (e.Proc)
        e.Proc(Message);
    return true;
}

}  // namespace

QObject* MessagePump() { return Pump(); }

bool MessageLoopAvailable() { return QCoreApplication::instance() != nullptr; }

HWND NewHandle(TWinControl* Control)
{
    std::lock_guard<std::mutex> g(Registry().Lock);
    const HWND h = Registry().Next++;
    Registry().Windows[h].Control = Control;
    return h;
}

void ReleaseHandle(HWND Handle)
{
    if (!Handle)
        return;
    KillTimersOf(Handle);
    std::lock_guard<std::mutex> g(Registry().Lock);
    Registry().Windows.erase(Handle);
}

TWinControl* FindControl(HWND Handle)
{
    std::lock_guard<std::mutex> g(Registry().Lock);
    auto it = Registry().Windows.find(Handle);
    return it == Registry().Windows.end() ? nullptr : it->second.Control;
}

TWinControl* WindowOfBackBuffer(const TBitmap* Bitmap)
{
    if (!Bitmap)
        return nullptr;
    std::lock_guard<std::mutex> g(Registry().Lock);
    for (const auto& [handle, entry] : Registry().Windows)
        if (entry.Control && entry.Control->BackBuffer() == Bitmap)
            return entry.Control;
    return nullptr;
}

bool IsWindow(HWND Handle)
{
    std::lock_guard<std::mutex> g(Registry().Lock);
    return Registry().Windows.count(Handle) != 0;
}

HWND AllocateHWnd(std::function<void(TMessage&)> Proc)
{
    std::lock_guard<std::mutex> g(Registry().Lock);
    const HWND h = Registry().Next++;
    Registry().Windows[h].Proc = std::move(Proc);
    return h;
}

void DeallocateHWnd(HWND Handle) { ReleaseHandle(Handle); }

LRESULT SendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    LRESULT r = 0;
    TrySendMessage(Handle, Msg, WParam, LParam, &r);
    return r;
}

bool TrySendMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT* Result)
{
    if (Result)
        *Result = 0;
    if (!QCoreApplication::instance()) {
        // No loop to hand the message to: only the thread that owns the
        // windows may run their handlers.
        if (!OnMainThread())
            return false;
    } else if (!OnGuiThread()) {
        if (!IsWindow(Handle))
            return false;
        TSentMessage s{Handle, TMessage(Msg, WParam, LParam)};
        TSentQueue& q = SentQueue();
        {
            std::lock_guard<std::mutex> g(q.Lock);
            q.Pending.push_back(&s);
        }
        if (TPump* p = Pump())
            QCoreApplication::postEvent(p, new QEvent(SentType));
        std::unique_lock<std::mutex> g(q.Lock);
        q.Handled.wait(g, [&] { return s.Done; });
        if (Result)
            *Result = s.Message.Result;
        return s.Delivered;
    }
    TMessage m(Msg, WParam, LParam);
    const bool delivered = Deliver(Handle, m);
    if (Result)
        *Result = m.Result;
    return delivered;
}

int ProcessSentMessages()
{
    TSentQueue& q = SentQueue();
    int n = 0;
    for (;;) {
        TSentMessage* s;
        {
            std::lock_guard<std::mutex> g(q.Lock);
            if (q.Pending.empty())
                break;
            s = q.Pending.front();
            q.Pending.pop_front();
        }
        bool delivered = false;
        try {
            delivered = Deliver(s->Window, s->Message);
        } catch (...) {
            delivered = true;
            HandleCurrentException(FindControl(s->Window));
        }
        {
            std::lock_guard<std::mutex> g(q.Lock);
            s->Delivered = delivered;
            s->Done = true;
        }
        q.Handled.notify_all();
        ++n;
    }
    return n;
}

bool WaitPumpingSentMessages(const std::function<bool()>& Finished, int TimeoutMs)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        ProcessSentMessages();
        if (Finished())
            return true;
        if (TimeoutMs >= 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(TimeoutMs))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool PostMessage(HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (!IsWindow(Handle))
        return false;
    TPump* p = Pump();
    if (!p)
        return false;
    QCoreApplication::postEvent(p, new TPostedEvent(Handle, TMessage(Msg, WParam, LParam)));
    return true;
}

namespace {

bool StartTimer(const TTimerKey& Key, UINT Elapse)
{
    TPump* p = Pump();
    if (!p || !IsWindow(Key.Window))
        return false;
    auto old = p->Timers.find(Key);
    if (old != p->Timers.end()) {
        p->killTimer(old->second.QtID);
        p->TimerOwners.erase(old->second.QtID);
        p->Timers.erase(old);
    }
    const int id = p->startTimer(std::max<int>(1, int(std::min<UINT>(Elapse, 0x7FFFFFFF))), Qt::PreciseTimer);
    if (id == 0)
        return false;
    p->Timers[Key] = {id, Elapse};
    p->TimerOwners[id] = Key;
    return true;
}

bool StopTimer(const TTimerKey& Key)
{
    TPump* p = Pump();
    if (!p)
        return false;
    auto it = p->Timers.find(Key);
    if (it == p->Timers.end())
        return false;
    p->killTimer(it->second.QtID);
    p->TimerOwners.erase(it->second.QtID);
    p->Timers.erase(it);
    return true;
}

}  // namespace

bool SetTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse) { return StartTimer({Handle, false, IDEvent}, Elapse); }
bool KillTimer(HWND Handle, UINT_PTR IDEvent) { return StopTimer({Handle, false, IDEvent}); }
bool SetSystemTimer(HWND Handle, UINT_PTR IDEvent, UINT Elapse) { return StartTimer({Handle, true, IDEvent}, Elapse); }
bool KillSystemTimer(HWND Handle, UINT_PTR IDEvent) { return StopTimer({Handle, true, IDEvent}); }

UINT TimerInterval(HWND Handle, UINT_PTR IDEvent, bool System)
{
    TPump* p = Pump();
    if (!p)
        return 0;
    auto it = p->Timers.find({Handle, System, IDEvent});
    return it == p->Timers.end() ? 0 : it->second.Elapse;
}

void KillTimersOf(HWND Handle)
{
    TPump* p = Pump();
    if (!p)
        return;
    for (auto it = p->Timers.lower_bound({Handle, false, 0}); it != p->Timers.end() && it->first.Window == Handle;) {
        p->killTimer(it->second.QtID);
        p->TimerOwners.erase(it->second.QtID);
        it = p->Timers.erase(it);
    }
}

UINT RegisterWindowMessage(const String& Name)
{
    static std::mutex lock;
    static auto* names = new std::map<String, UINT>;
    std::lock_guard<std::mutex> g(lock);
    auto it = names->find(Name);
    if (it != names->end())
        return it->second;
    const UINT n = 0xC000 + UINT(names->size());
    (*names)[Name] = n;
    return n;
}

void HandleCurrentException(TObject* Sender)
{
    try {
        Application->HandleException(Sender);
    } catch (...) {
        // A failing exception handler must not take the loop down either.
    }
}

void Guarded(TObject* Sender, const std::function<void()>& Fn)
{
    try {
        Fn();
    } catch (...) {
        HandleCurrentException(Sender);
    }
}

LRESULT GuardedPerform(TControl* Control, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m(Msg, WParam, LParam);
    try {
        Control->WindowProc(m);
    } catch (...) {
        HandleCurrentException(Control);
    }
    return m.Result;
}

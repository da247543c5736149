#pragma once
// Scope guards for the states a command opens and must close again: the
// update bracket, the undo block, the loading state, the undo group and the
// calendar pass.
// Whatever way the scope is left (an early return, an exception), the state
// is closed. An exception raised while closing reaches the caller, unless
// the scope is already being left by another exception, which then wins.
#include <exception>
#include <utility>

#include "document/ScheduleDocument.h"

template <class F>
class TScopeExit {
public:
    explicit TScopeExit(F Close) : FClose(std::move(Close)), FUncaught(std::uncaught_exceptions()) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    ~TScopeExit() noexcept(false)
    {
        if (std::uncaught_exceptions() == FUncaught) {
            FClose();
            return;
        }
        try {
            FClose();
        } catch (...) {
        }
    }

private:
    F FClose;
    int FUncaught;
};

// BeginUpdate now, EndUpdate when the scope ends.
class TUpdateScope {
public:
    TUpdateScope(TScheduleDocument& Doc, const String& Text) : FEnd((Doc.BeginUpdate(Text), End{&Doc})) {}

private:
    struct End {
        TScheduleDocument* Doc;
        void operator()() const { Doc->EndUpdate(); }
    };
    TScopeExit<End> FEnd;
};

// Undo entries are refused while the scope lasts.
class TUndoBlock {
public:
    explicit TUndoBlock(TUndoRedo& Undo) : FEnd((Undo.DontAcceptUndos(), End{&Undo})) {}

private:
    struct End {
        TUndoRedo* Undo;
        void operator()() const { Undo->AcceptUndos(); }
    };
    TScopeExit<End> FEnd;
};

// The document counts as loading while the scope lasts.
class TLoadingScope {
public:
    explicit TLoadingScope(TScheduleDocument& Doc) : FEnd((Doc.SetLoading(true), End{&Doc})) {}

private:
    struct End {
        TScheduleDocument* Doc;
        void operator()() const { Doc->SetLoading(false); }
    };
    TScopeExit<End> FEnd;
};

// Every change of the scope joins one new undo group; the group index that
// was set before comes back at the end.
class TUndoGroupScope {
public:
    explicit TUndoGroupScope(TScheduleDocument& Doc)
        : FEnd(End{&Doc, std::exchange(Doc.FUndoRedoGroupIndex, Doc.UndoRedo().GetGroupIndex())})
    {
    }

private:
    struct End {
        TScheduleDocument* Doc;
        int Previous;
        void operator()() const { Doc->FUndoRedoGroupIndex = Previous; }
    };
    TScopeExit<End> FEnd;
};

// A calendar pass for the scope: the absent days are indexed once for all
// the ends computed in it.
class TCalendarPassScope {
public:
    explicit TCalendarPassScope(TScheduleDocument& Doc) : FEnd((Doc.BeginCalendarPass(), End{&Doc})) {}

private:
    struct End {
        TScheduleDocument* Doc;
        void operator()() const { Doc->EndCalendarPass(); }
    };
    TScopeExit<End> FEnd;
};

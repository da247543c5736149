#pragma once
// Small helpers for building forms in code. Every component gets its form
// (or another owner) and a name unique within it, so that translation and
// tests find it by name:
//
//   auto* ok = Build<TButton>(this, "OKButton").Parent(Panel1).Bounds(8, 8, 75, 25)
//                  .Caption("OK").OnClick([this](TObject*) { ... }).Get();
#include <utility>

#include "platform/Classes.h"
#include "platform/Controls.h"

template <class T>
class TBuilder {
public:
    TBuilder(TComponent* Owner, const String& Name) : FObj(Create<T>(Owner))
    {
        try {
            if (!Name.empty())
                FObj->SetName(Name);
        } catch (...) {
            delete FObj;
            throw;
        }
    }

    TBuilder& Parent(TWinControl* AParent)
    {
        FObj->SetParent(AParent);
        return *this;
    }
    TBuilder& Bounds(int Left, int Top, int Width, int Height)
    {
        FObj->SetBounds(Left, Top, Width, Height);
        return *this;
    }
    TBuilder& Align(TAlign Value)
    {
        FObj->SetAlign(Value);
        return *this;
    }
    TBuilder& Caption(const String& Value)
    {
        FObj->SetCaption(Value);
        return *this;
    }
    TBuilder& Hint(const String& Value)
    {
        FObj->SetHint(Value);
        return *this;
    }
    TBuilder& Tag(NativeInt Value)
    {
        FObj->SetTag(Value);
        return *this;
    }
    TBuilder& Visible(bool Value)
    {
        FObj->SetVisible(Value);
        return *this;
    }
    TBuilder& Enabled(bool Value)
    {
        FObj->SetEnabled(Value);
        return *this;
    }
    TBuilder& OnClick(TNotifyEvent Handler)
    {
        FObj->OnClick = std::move(Handler);
        return *this;
    }
    // Anything else: Fn(T*) sets it.
    template <class Fn>
    TBuilder& With(Fn&& F)
    {
        std::forward<Fn>(F)(FObj);
        return *this;
    }

    T* Get() const { return FObj; }
    operator T*() const { return FObj; }

private:
    T* FObj;
};

template <class T>
TBuilder<T> Build(TComponent* Owner, const String& Name)
{
    return TBuilder<T>(Owner, Name);
}

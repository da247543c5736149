#pragma once
// An edit box that completes typed text from a sorted list of candidates:
// the first candidate that begins with what was typed (in the same case)
// fills the box, its untyped tail selected. With LimitToList only
// candidates are accepted: a character no candidate continues empties the
// box.
#include <memory>

#include "platform/StdCtrls.h"
#include "platform/StringList.h"

class TAutocompletingEdit : public TEdit {
    VEK_DECLARE_CLASS(TAutocompletingEdit, TEdit)

public:
    explicit TAutocompletingEdit(TComponent* AOwner);
    ~TAutocompletingEdit() override;

    void Dispatch(TMessage& Message) override;

    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool Value) { FAutoComplete = Value; }
    // The present text was completed (and not yet confirmed by leaving).
    bool AutoCompleted() const { return FAutoCompleted; }
    bool LimitToList() const { return FLimitToList; }
    void SetLimitToList(bool Value) { FLimitToList = Value; }
    // The candidate shown; -1 when the text is none of them. Setting an
    // index out of range empties the box.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The candidates, kept sorted without regard to case. Setting copies.
    TStringList* Items() { return FItems.get(); }
    void SetItems(TStrings* Value);
    // What the user typed: the text less a completed tail.
    String NonAutoCompleteText() const;

    // Empties the text and the candidates.
    void Clear();

    // Completes Text from the candidates (a first NUL in it is dropped).
    // True when the box took the text over: completed, or emptied under
    // LimitToList.
    bool SelectItem(const String& Text);

protected:
    void KeyPress(WideChar& Key) override;
    void DoExit() override;
    void Change() override;

private:
    // Shows Text without firing OnChange.
    void ShowText(const String& Text);
    bool FAutoComplete = true;
    bool FAutoCompleted = false;
    std::unique_ptr<TStringList> FItems;
    bool FLimitToList = false;
    int FItemIndex = -1;
    int FShowing = 0;
};

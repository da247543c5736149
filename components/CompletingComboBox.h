#pragma once
// A combo box that completes what is typed into its edit part from its
// items: the first item that begins with the text (in any case) is taken,
// and its untyped tail stays selected so that typing goes on over it.
#include "platform/StdCtrls.h"

class TCompletingComboBox : public TComboBox {
    VEK_DECLARE_CLASS(TCompletingComboBox, TComboBox)

public:
    explicit TCompletingComboBox(TComponent* AOwner) : TComboBox(AOwner) {}

    bool TextCompletion() const { return FTextCompletion; }
    void SetTextCompletion(bool Value) { FTextCompletion = Value; }

    // The index of the first item that begins with Text, ignoring case,
    // searching from the start; -1 when none does.
    int FindString(const String& Text);

protected:
    void KeyUp(Word& Key, TShiftState Shift) override;

private:
    bool FTextCompletion = false;
};

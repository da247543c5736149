#include "components/CompletingComboBox.h"

#include "platform/SysUtils.h"
#include "platform/TextFile.h"

int TCompletingComboBox::FindString(const String& Text)
{
    const int length = Length(Text);
    TStringList* items = Items();
    for (int i = 0; i < items->Count(); ++i)
        if (AnsiSameText(Copy(items->Get(i), 1, length), Text))
            return i;
    return -1;
}

void TCompletingComboBox::KeyUp(Word& Key, TShiftState Shift)
{
    TComboBox::KeyUp(Key, Shift);
    // Deleting must be able to shorten the text without it growing back.
    if (!FTextCompletion || Key == 0 || Key == VK_BACK || Key == VK_DELETE || Key == VK_SHIFT)
        return;
    const String typed = Text();
    if (typed.empty())
        return;
    const int found = FindString(typed);
    if (found < 0)
        return;
    const int typedLength = int(Utf8ToUtf16(typed).size());
    SetItemIndex(found);
    SetSelStart(typedLength);
    SetSelLength(int(Utf8ToUtf16(Text()).size()) - typedLength);
    // Last: the handler may free the box.
    Change();
}

#include "components/AutocompletingEdit.h"

#include "platform/SysUtils.h"
#include "platform/TextFile.h"

TAutocompletingEdit::TAutocompletingEdit(TComponent* AOwner)
    : TEdit(AOwner), FItems(std::make_unique<TStringList>())
{
    FItems->SetSorted(true);
    FItems->Duplicates = dupAccept;
}

TAutocompletingEdit::~TAutocompletingEdit() = default;

void TAutocompletingEdit::ShowText(const String& Text)
{
    ++FShowing;
    try {
        SetText(Text);
    } catch (...) {
        --FShowing;
        throw;
    }
    --FShowing;
}

void TAutocompletingEdit::Change()
{
    if (FShowing == 0)
        TEdit::Change();
}

void TAutocompletingEdit::Dispatch(TMessage& Message)
{
    if (Message.Msg != CM_TEXTCHANGED) {
        TEdit::Dispatch(Message);
        return;
    }
    const bool byCode = !TextFromUser() && FShowing == 0;
    if (FShowing == 0) {
        // Typed or set over: the candidate shown is the one the text is.
        FItemIndex = -1;
        for (int i = 0; i < FItems->Count() && FItemIndex < 0; ++i)
            if (FItems->Get(i) == Text())
                FItemIndex = i;
    }
    TEdit::Dispatch(Message);
    // A text set by code must be a candidate too: it is matched at once.
    if (byCode && FLimitToList && FAutoComplete)
        SelectItem(Text());
}

void TAutocompletingEdit::SetItemIndex(int Value)
{
    if (Value < 0 || Value >= FItems->Count()) {
        FItemIndex = -1;
        ShowText(String());
        return;
    }
    FItemIndex = Value;
    ShowText(FItems->Get(Value));
}

void TAutocompletingEdit::SetItems(TStrings* Value)
{
    if (!Value)
        return;
    FItems->Clear();
    for (int i = 0; i < Value->Count(); ++i)
        FItems->Add(Value->Get(i));
    FItemIndex = -1;
}

void TAutocompletingEdit::Clear()
{
    FItems->Clear();
    FItemIndex = -1;
    FAutoCompleted = false;
    SetText(String());
}

String TAutocompletingEdit::NonAutoCompleteText() const
{
    if (!FAutoCompleted)
        return Text();
    return Utf16ToUtf8(Utf8ToUtf16(Text()).substr(0, std::size_t(SelStart())));
}

bool TAutocompletingEdit::SelectItem(const String& Text)
{
    String text = Text;
    if (const auto nul = text.find('\0'); nul != String::npos)
        text.erase(nul, 1);
    if (text.empty()) {
        FItemIndex = -1;
        Change();
        return false;
    }
    // The list is sorted without regard to case but the match takes case
    // into account: every candidate is looked at, in list order.
    const int length = Length(text);
    int found = -1;
    for (int i = 0; i < FItems->Count() && found < 0; ++i)
        if (AnsiCompareStr(Copy(FItems->Get(i), 1, length), text) == 0)
            found = i;
    if (found < 0 && !FLimitToList)
        return false;
    SetItemIndex(found);
    FAutoCompleted = true;
    const int typed = found < 0 ? 0 : int(Utf8ToUtf16(text).size());
    SetSelStart(typed);
    SetSelLength(int(Utf8ToUtf16(this->Text()).size()) - typed);
    Change();
    return true;
}

void TAutocompletingEdit::KeyPress(WideChar& Key)
{
    TEdit::KeyPress(Key);
    if (!FAutoComplete || Key == 0)
        return;
    FAutoCompleted = false;
    if (Key == VK_TAB || Key == VK_ESCAPE)
        return;
    std::u16string text = Utf8ToUtf16(Text());
    const std::size_t start = std::min(std::size_t(SelStart()), text.size());
    const std::size_t length = std::min(std::size_t(SelLength()), text.size() - start);
    if (Key == VK_BACK) {
        if (!FLimitToList)
            return;
        // One character back, and the rest selected: only what is still
        // typed counts.
        text.erase(start, length);
        const int caret = start > 0 ? int(start) - 1 : 0;
        FItemIndex = FItems->IndexOf(Utf16ToUtf8(text));
        ShowText(Utf16ToUtf8(text));
        SetSelStart(caret);
        SetSelLength(int(text.size()) - caret);
        Key = 0;
        return;
    }
    const std::u16string candidate = (length > 0 ? text.substr(0, start) : text) + char16_t(Key);
    if (SelectItem(Utf16ToUtf8(candidate)))
        Key = 0;
}

void TAutocompletingEdit::DoExit()
{
    if (FAutoCompleted) {
        FAutoCompleted = false;
        Change();
    }
    TEdit::DoExit();
}

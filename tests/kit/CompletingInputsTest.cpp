// The completing combo box and the auto-completing edit, typed into
// through their widgets.
#include <gtest/gtest.h>

#include "components/AutocompletingEdit.h"
#include "components/CompletingComboBox.h"
#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

void Type(TWinControl* Control, Word VirtKey, const String& Text = "")
{
    KeyDown(Control, VirtKey, Text);
    KeyUp(Control, VirtKey);
}

class CompletingInputs : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override { delete form; }
    template <class T>
    T* Put()
    {
        auto* c = Create<T>(form);
        c->SetParent(form);
        return c;
    }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(CompletingInputs, ComboCompletesTypedTextAndDeletingNeverDoes)
{
    auto* box = Put<TCompletingComboBox>();
    for (const char* s : {"Courier", "Arial", "Arial Black"})
        box->Items()->Add(s);
    box->SetTextCompletion(true);
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    form->Show();

    Type(box, 'A', "a");
    Type(box, 'R', "r");
    // The first item that begins with "ar" in any case, in its own case.
    EXPECT_EQ(box->Text(), "Arial");
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(box->SelStart(), 2);
    EXPECT_EQ(box->SelLength(), 3);
    EXPECT_GE(changes, 2);

    // Backspace takes the completed tail away and stays at "Ar".
    Type(box, VK_BACK, "\b");
    EXPECT_EQ(box->Text(), "Ar");
    Type(box, VK_BACK, "\b");
    EXPECT_EQ(box->Text(), "A");
    Type(box, VK_DELETE);
    EXPECT_EQ(box->Text(), "A");
    // Typing on completes again; a text no item begins with stays.
    Type(box, 'R', "r");
    Type(box, 'I', "i");
    Type(box, 'A', "a");
    Type(box, 'L', "l");
    Type(box, VK_SPACE, " ");
    EXPECT_EQ(box->Text(), "Arial Black");
    EXPECT_EQ(box->SelText(), "Black");
    Type(box, 'Z', "z");
    EXPECT_EQ(box->Text(), "Arial z");

    // Switched off, nothing is completed.
    box->SetTextCompletion(false);
    box->SetText("");
    Type(box, 'C', "c");
    EXPECT_EQ(box->Text(), "c");
    EXPECT_EQ(box->FindString("COUR"), 0);
    EXPECT_EQ(box->FindString("Cx"), -1);
}

TEST_F(CompletingInputs, EditMatchesTheFirstCandidateInItsOwnCase)
{
    auto* edit = Put<TAutocompletingEdit>();
    for (const char* s : {"abd", "Apple", "ABc"})
        edit->Items()->Add(s);
    // Sorted without regard to case.
    EXPECT_EQ(edit->Items()->Get(0), "ABc");
    EXPECT_EQ(edit->Items()->Get(1), "abd");
    form->Show();

    Type(edit, 'A', "a");
    Type(edit, 'B', "b");
    EXPECT_EQ(edit->Text(), "abd");
    EXPECT_EQ(edit->ItemIndex(), 1);
    EXPECT_EQ(edit->SelText(), "d");
    EXPECT_TRUE(edit->AutoCompleted());
    EXPECT_EQ(edit->NonAutoCompleteText(), "ab");

    // Capitals find the capital one.
    edit->SetText("");
    Type(edit, 'A', "A");
    Type(edit, 'B', "B");
    EXPECT_EQ(edit->Text(), "ABc");
    EXPECT_EQ(edit->ItemIndex(), 0);

    // Without LimitToList what matches nothing is typed as it comes.
    edit->SetText("");
    Type(edit, 'X', "x");
    EXPECT_EQ(edit->Text(), "x");
    EXPECT_EQ(edit->ItemIndex(), -1);
    EXPECT_FALSE(edit->AutoCompleted());

    // Switched off: plain typing.
    edit->SetAutoComplete(false);
    edit->SetText("");
    Type(edit, 'A', "a");
    EXPECT_EQ(edit->Text(), "a");
}

TEST_F(CompletingInputs, EditLimitedToItsListAcceptsOnlyCandidates)
{
    auto* edit = Put<TAutocompletingEdit>();
    for (const char* s : {"Berlin", "Bern", "Bonn"})
        edit->Items()->Add(s);
    edit->SetLimitToList(true);
    form->Show();

    Type(edit, 'B', "B");
    Type(edit, 'E', "e");
    EXPECT_EQ(edit->Text(), "Berlin");
    EXPECT_EQ(edit->SelText(), "rlin");
    // Backspace drops the tail and selects from one character back to the
    // end: only "B" counts as typed now.
    Type(edit, VK_BACK, "\b");
    EXPECT_EQ(edit->Text(), "Be");
    EXPECT_EQ(edit->SelStart(), 1);
    EXPECT_EQ(edit->SelLength(), 1);
    Type(edit, 'O', "o");
    EXPECT_EQ(edit->Text(), "Bonn");
    // A character no candidate continues empties the box.
    Type(edit, 'X', "x");
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(edit->ItemIndex(), -1);

    // A text set by code is matched at once.
    edit->SetText("Bern");
    EXPECT_EQ(edit->ItemIndex(), 1);
    edit->SetText("Ber");
    EXPECT_EQ(edit->Text(), "Berlin");
    EXPECT_EQ(edit->SelText(), "lin");
    edit->SetText("Paris");
    EXPECT_EQ(edit->Text(), "");

    // ItemIndex shows a candidate; out of range empties.
    edit->SetItemIndex(2);
    EXPECT_EQ(edit->Text(), "Bonn");
    edit->SetItemIndex(7);
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(edit->ItemIndex(), -1);
    edit->Clear();
    EXPECT_EQ(edit->Items()->Count(), 0);
}

TEST_F(CompletingInputs, LeavingACompletedEditConfirmsItWithChange)
{
    auto* edit = Put<TAutocompletingEdit>();
    auto* other = Put<TAutocompletingEdit>();
    other->SetTop(40);
    edit->Items()->Add("Montag");
    form->Show();
    edit->SetFocus();
    Type(edit, 'M', "M");
    ASSERT_TRUE(edit->AutoCompleted());
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    other->SetFocus();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->AutoCompleted());
    // Leaving again says nothing.
    edit->SetFocus();
    other->SetFocus();
    EXPECT_EQ(changes, 1);
}

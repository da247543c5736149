// Label, edit, memo, check and radio buttons, combo box, list box, scroll bar.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyleOptionViewItem>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/GraphicsQt.h"
#include "platform/QtNativeControl.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

// A form for the test's controls, freed with the test.
class StdCtrls : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
    }
    void TearDown() override { delete form; }
    template <class T> T* Put(TWinControl* Parent = nullptr)
    {
        auto* c = Create<T>(form);
        c->SetParent(Parent ? Parent : form);
        return c;
    }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(StdCtrls, EditTextIsConstrainedAndEveryChangeFiresOnChangeOnce)
{
    auto* edit = Create<TEdit>(nullptr);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetMaxLength(4);
    edit->SetText("abcdef");
    EXPECT_EQ(edit->Text(), "abcd");
    EXPECT_EQ(changes, 1);
    edit->SetText("abcd");  // the same text again is no change
    EXPECT_EQ(changes, 1);
    // The limit counts characters, not bytes, and never splits one.
    edit->SetText("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA9");
    EXPECT_EQ(edit->Text(), "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
    edit->SetMaxLength(0);
    edit->SetCharCase(ecUpperCase);
    edit->SetText("mixed Case");
    EXPECT_EQ(edit->Text(), "MIXED CASE");
    edit->SetSelStart(2);
    edit->SetSelLength(100);
    EXPECT_EQ(edit->SelText(), "XED CASE");
    edit->SetText("AB");  // a shorter text pulls the selection in
    EXPECT_LE(edit->SelStart() + edit->SelLength(), 2);
    delete edit;
}

TEST_F(StdCtrls, MemoLinesAndTextAreOneValue)
{
    auto* memo = Put<TMemo>();
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    memo->Lines()->Add("one");
    memo->Lines()->Add("two");
    EXPECT_EQ(memo->Text(), "one\r\ntwo");
    memo->SetText("a\r\nb\r\nc");
    ASSERT_EQ(memo->Lines()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Get(2), "c");
    EXPECT_EQ(changes, 3);

    form->Show();
    auto* w = NativeAs<QPlainTextEdit>(memo);
    EXPECT_EQ(w->toPlainText(), QString("a\nb\nc"));
    // What the user types comes back as lines.
    w->setPlainText("x\ny");
    EXPECT_EQ(memo->Text(), "x\r\ny");
    ASSERT_EQ(memo->Lines()->Count(), 2);
    EXPECT_EQ(memo->Lines()->Get(1), "y");
}

TEST_F(StdCtrls, CheckBoxClicksOnEveryChangeOfState)
{
    auto* box = Put<TCheckBox>();
    box->SetCaption("&Show");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    // Grayed only when allowed.
    box->SetState(cbGrayed);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 2);

    form->Show();
    auto* w = NativeAs<QCheckBox>(box);
    EXPECT_EQ(w->text(), QString("&Show"));
    EXPECT_EQ(box->Caption(), "&Show");  // the caption read back is the one set
    EXPECT_EQ(w->checkState(), Qt::Unchecked);
    w->click();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);
    box->SetAllowGrayed(true);
    w->click();  // checked -> unchecked -> grayed -> checked
    w->click();
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(w->checkState(), Qt::PartiallyChecked);
}

TEST_F(StdCtrls, RadioButtonsOfOneParentExcludeEachOther)
{
    auto* a = Put<TRadioButton>();
    auto* b = Put<TRadioButton>();
    auto* c = Put<TRadioButton>(Put<TGroupBox>());
    int clicksA = 0, clicksB = 0;
    a->OnClick = [&](TObject*) { ++clicksA; };
    b->OnClick = [&](TObject*) { ++clicksB; };
    c->SetChecked(true);
    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    EXPECT_TRUE(c->Checked());  // another parent, another set
    // Unchecking fires nothing.
    EXPECT_EQ(clicksA, 1);
    EXPECT_EQ(clicksB, 1);
}

TEST_F(StdCtrls, ComboBoxIndexByCodeFiresNothingUserChoiceFiresClickAndSelect)
{
    auto* combo = Put<TComboBox>();
    combo->SetStyle(csDropDownList);
    combo->Items()->SetCommaText("Text,Date,Pulldown");
    std::vector<String> log;
    combo->OnChange = [&](TObject*) { log.push_back("change"); };
    combo->OnClick = [&](TObject*) { log.push_back("click"); };
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "Date");
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    combo->SetText("Pulldown");  // text that names an item selects it
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->SetText("nothing");  // a list-only box holds no other text
    EXPECT_EQ(combo->Text(), "");
    EXPECT_TRUE(log.empty());

    form->Show();
    auto* w = NativeAs<QComboBox>(combo);
    ASSERT_EQ(w->count(), 3);
    w->setCurrentIndex(0);  // the widget's echo of a change is not the user's
    EXPECT_TRUE(log.empty());
    emit w->activated(2);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Pulldown");
    EXPECT_EQ(log, (std::vector<String>{"click", "change"}));
    combo->OnSelect = [&](TObject*) { log.push_back("select"); };
    emit w->activated(0);
    EXPECT_EQ(log.back(), "select");  // OnSelect stands in for OnChange

    // Items that go take the index along.
    combo->Items()->Delete(2);
    combo->SetItemIndex(1);
    combo->Items()->Delete(1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(w->count(), 1);
}

TEST_F(StdCtrls, EditableComboTakesTypedText)
{
    auto* combo = Put<TComboBox>();
    combo->Items()->SetCommaText("alpha,beta");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    QLineEdit* e = NativeAs<QComboBox>(combo)->lineEdit();
    ASSERT_NE(e, nullptr);
    emit e->textEdited("bet");
    EXPECT_EQ(combo->Text(), "bet");
    EXPECT_EQ(combo->ItemIndex(), -1);
    emit e->textEdited("beta");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 2);
}

TEST_F(StdCtrls, ComboSelectionFollowsCodeAndTheUser)
{
    auto* combo = Put<TComboBox>();
    combo->SetText("Gr\xC3\xBC\xC3\x9F" "e Arial");  // "Grüße Arial": 11 characters
    combo->SetSelStart(6);
    combo->SetSelLength(99);
    EXPECT_EQ(combo->SelLength(), 5);
    EXPECT_EQ(combo->SelText(), "Arial");
    combo->SetSelText("Sans");
    EXPECT_EQ(combo->Text(), "Gr\xC3\xBC\xC3\x9F" "e Sans");
    EXPECT_EQ(combo->SelStart(), 10);
    EXPECT_EQ(combo->SelLength(), 0);
    // The completing box's way: the typed part, then the rest selected.
    combo->SetSelStart(2);
    combo->SetSelLength(8);
    form->Show();
    QLineEdit* e = NativeAs<QComboBox>(combo)->lineEdit();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->selectionStart(), 2);
    EXPECT_EQ(e->selectedText().size(), 8);
    e->setSelection(1, 3);
    EXPECT_EQ(combo->SelStart(), 1);
    EXPECT_EQ(combo->SelText(), "r\xC3\xBC\xC3\x9F");
    // A shorter text keeps the selection inside it.
    combo->SetText("ab");
    EXPECT_EQ(combo->SelStart(), 1);
    EXPECT_EQ(combo->SelLength(), 1);
    // A list-only box has no selection to set.
    combo->SetStyle(csDropDownList);
    combo->SetSelStart(1);
    EXPECT_EQ(combo->SelStart(), 0);
    EXPECT_EQ(combo->SelText(), "");
    combo->SetSelText("x");
    EXPECT_EQ(combo->Text(), "");
}

TEST_F(StdCtrls, OwnerDrawnComboItemsAreMeasuredAndPaintedByTheHandlers)
{
    auto* combo = Put<TComboBox>();
    combo->SetStyle(csOwnerDrawVariable);
    combo->Items()->SetCommaText("red,green");
    combo->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = Index == 0 ? 12 : 30; };
    std::vector<int> drawn;
    combo->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState) {
        drawn.push_back(Index);
        TCanvas* c = static_cast<TComboBox*>(Control)->Canvas();
        c->Brush()->SetColor(Index == 0 ? clRed : clLime);
        c->FillRect(Rect);
    };
    EXPECT_EQ(combo->MeasureItem(0), 12);
    EXPECT_EQ(combo->MeasureItem(1), 30);
    form->Show();

    auto* w = NativeAs<QComboBox>(combo);
    QAbstractItemDelegate* d = w->view()->itemDelegate();
    QStyleOptionViewItem opt;
    opt.rect = QRect(0, 0, 40, 30);
    opt.state = QStyle::State_Enabled;
    EXPECT_EQ(d->sizeHint(opt, w->model()->index(1, 0)).height(), 30);
    QImage img(40, 30, QImage::Format_ARGB32);
    img.fill(Qt::black);
    {
        QPainter p(&img);
        d->paint(&p, opt, w->model()->index(1, 0));
    }
    EXPECT_EQ(drawn, std::vector<int>{1});
    EXPECT_EQ(QColor(img.pixel(20, 15)), QColor(Qt::green));
}

TEST_F(StdCtrls, OwnerDrawnListBoxPaintsVariableItemsAndSelectsByMouseAndKeys)
{
    form->SetBounds(0, 0, 300, 300);
    auto* list = Put<TListBox>();
    list->SetBounds(0, 0, 100, 104);  // client 96 high inside the edge
    list->SetStyle(lbOwnerDrawVariable);
    for (int i = 0; i < 10; ++i)
        list->Items()->Add("item" + std::to_string(i));
    list->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = Index % 2 ? 30 : 10; };
    list->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
        TCanvas* c = static_cast<TListBox*>(Control)->Canvas();
        c->Brush()->SetColor(State.Contains(odSelected) ? clBlue : (Index % 2 ? clLime : clRed));
        c->FillRect(Rect);
    };
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(list->ItemRect(1), TRect(0, 10, list->ClientWidth(), 40));
    EXPECT_EQ(list->ItemAtPos({5, 45}, true), 2);
    EXPECT_EQ(list->ItemAtPos({5, 200}, true), -1);
    list->SetItemIndex(2);

    TBitmap bmp;
    list->PaintTo(&bmp);
    const TPoint o = list->ClientOffset();
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 5, o.Y + 5), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 5, o.Y + 25), clLime);
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 5, o.Y + 45), clBlue);

    form->Show();
    Click(list, {5, 60});  // item 3 (40 .. 70)
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(list->Focused());
    KeyDown(list, VK_DOWN);
    KeyUp(list, VK_DOWN);
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(clicks, 2);
    // The selection is kept in view.
    KeyDown(list, VK_END);
    EXPECT_EQ(list->ItemIndex(), 9);
    EXPECT_GT(list->TopIndex(), 0);
    EXPECT_LE(list->ItemRect(9).Bottom, list->ClientHeight());
    // Clearing forgets the selection.
    list->Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->TopIndex(), 0);
}

// With MultiSelect every item keeps its own mark: a click selects one item,
// Ctrl toggles, Shift selects from the anchor; the keys move the focus.
TEST_F(StdCtrls, MultiSelectListBoxKeepsAMarkPerItem)
{
    form->SetBounds(0, 0, 300, 300);
    auto* list = Put<TListBox>();
    list->SetItemHeight(10);
    list->SetBounds(0, 0, 100, 104);
    for (int i = 0; i < 6; ++i)
        list->Items()->Add("item" + std::to_string(i));
    list->SetItemIndex(1);
    EXPECT_TRUE(list->Selected(1));
    list->SetSelected(3, true);
    EXPECT_EQ(list->ItemIndex(), 3) << "one selected item is the item index";
    EXPECT_EQ(list->SelCount(), 1);
    list->SetMultiSelect(true);
    EXPECT_TRUE(list->Selected(3)) << "the selected item stays selected";
    list->SetSelected(0, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_THROW(list->Selected(6), EListError);
    EXPECT_THROW(list->SetSelected(-1, true), EListError);

    list->SetStyle(lbOwnerDrawFixed);
    list->OnDrawItem = [&](TWinControl* Control, int, TRect Rect, TOwnerDrawState State) {
        TCanvas* c = static_cast<TListBox*>(Control)->Canvas();
        c->Brush()->SetColor(State.Contains(odSelected) ? clBlue : clRed);
        c->FillRect(Rect);
    };
    TBitmap bmp;
    list->PaintTo(&bmp);
    const TPoint o = list->ClientOffset();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 5, o.Y + 10 * i + 5), i == 0 || i == 3 ? clBlue : clRed) << i;

    form->Show();
    auto selected = [&] {
        std::string marks;
        for (int i = 0; i < list->Count(); ++i)
            marks += list->Selected(i) ? 'x' : '.';
        return marks;
    };
    Click(list, {5, 25});  // item 2 alone
    EXPECT_EQ(selected(), "..x...");
    NextClick();
    MouseDown(list, {5, 45}, mbLeft, {ssCtrl});
    MouseUp(list, {5, 45}, mbLeft, {ssCtrl});
    EXPECT_EQ(selected(), "..x.x.");
    NextClick();
    MouseDown(list, {5, 15}, mbLeft, {ssShift});  // from the anchor, item 4
    MouseUp(list, {5, 15}, mbLeft, {ssShift});
    EXPECT_EQ(selected(), ".xxxx.");
    EXPECT_EQ(list->ItemIndex(), 1);
    KeyDown(list, VK_DOWN, "", {ssShift});
    EXPECT_EQ(selected(), "..xxx.") << "Shift and a key extend from the anchor too";
    KeyDown(list, VK_END);
    EXPECT_EQ(selected(), ".....x");
    // Items that go take their marks along; new ones come unselected.
    list->Items()->Delete(0);
    list->Items()->Add("new");
    EXPECT_EQ(selected(), "....x.");
    list->Items()->Move(4, 0);
    EXPECT_EQ(selected(), "x.....");
    list->SetItemIndex(2);
    list->SetMultiSelect(false);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->Selected(2));
    list->Clear();
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(StdCtrls, ScrollBarKeepsItsPositionInRangeAndLetsOnScrollCorrectIt)
{
    auto* bar = Create<TScrollBar>(nullptr);
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->SetParams(50, 0, 100);
    EXPECT_EQ(changes, 1);
    bar->SetPageSize(20);
    bar->SetPosition(95);
    EXPECT_EQ(bar->Position(), 81);  // the page's end stops at Max
    EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
    EXPECT_EQ(bar->Max(), 100);
    bar->OnScroll = [](TObject*, TScrollCode, int& Pos) { Pos = Pos / 10 * 10; };
    bar->Scroll(scTrack, 37);
    EXPECT_EQ(bar->Position(), 30);
    delete bar;
}

TEST_F(StdCtrls, LabelSizesToItsTextAndPaintsItsBackground)
{
    auto* label = Put<TLabel>();
    label->SetLeft(100);
    label->SetCaption("short");
    const int shortWidth = label->Width();
    label->SetCaption("a much longer caption");
    EXPECT_GT(label->Width(), shortWidth);
    EXPECT_EQ(label->Left(), 100);
    // Right-aligned labels keep their right edge.
    const int right = label->Left() + label->Width();
    label->SetAlignment(taRightJustify);
    label->SetCaption("short");
    EXPECT_EQ(label->Left() + label->Width(), right);

    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, 20);
    label->SetColor(clYellow);
    label->SetCaption("");
    TBitmap bmp;
    form->SetBounds(0, 0, 100, 100);
    form->PaintTo(&bmp);
    const TPoint o = form->ClientOffset();
    EXPECT_EQ(bmp.Canvas()->Pixels(o.X + 20, o.Y + 10), clYellow);
    label->SetTransparent(true);
    form->PaintTo(&bmp);
    EXPECT_NE(bmp.Canvas()->Pixels(o.X + 20, o.Y + 10), clYellow);
}

TEST_F(StdCtrls, ListBoxScrollsByBarAndWheelWithoutLeavingAnEmptyPage)
{
    form->SetBounds(0, 0, 300, 300);
    auto* list = Put<TListBox>();
    list->SetItemHeight(10);
    list->SetBounds(0, 0, 100, 54);  // five items fit the client area
    for (int i = 0; i < 20; ++i)
        list->Items()->Add(std::to_string(i));
    form->Show();
    TScrollInfo si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list->Handle(), SB_VERT, si));
    EXPECT_EQ(si.nMax, 19);
    EXPECT_EQ(si.nPage, 5u);
    list->Perform(WM_VSCROLL, SB_LINEDOWN);
    list->Perform(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(list->TopIndex(), 6);
    list->Perform(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(list->TopIndex(), 15);  // the last page stays full
    ASSERT_TRUE(GetScrollInfo(list->Handle(), SB_VERT, si));
    EXPECT_EQ(si.nPos, 15);
    Wheel(list, {5, 5}, 120);  // one notch up
    EXPECT_EQ(list->TopIndex(), 15 - WheelScrollLines());
    list->SetTopIndex(-40);
    EXPECT_EQ(list->TopIndex(), 0);
    // Items that go pull the top in.
    list->SetTopIndex(15);
    while (list->Count() > 3)
        list->Items()->Delete(list->Count() - 1);
    EXPECT_LT(list->TopIndex(), 3);
    EXPECT_EQ(list->ItemAtPos({5, 5}, true), list->TopIndex());
}

TEST_F(StdCtrls, NativeWidgetsFollowFontHintAndReadOnlyFields)
{
    auto* edit = Put<TEdit>();
    edit->SetReadOnly(true);
    edit->SetPasswordChar('*');
    edit->SetHint("the name");
    edit->SetShowHint(true);
    edit->Font()->SetSize(14);
    form->Show();
    auto* w = NativeAs<QLineEdit>(edit);
    EXPECT_TRUE(w->isReadOnly());
    EXPECT_EQ(w->echoMode(), QLineEdit::Password);
    // Its hint comes from the application's hint window, not the toolkit's,
    // which waits on moves without a button.
    EXPECT_TRUE(w->toolTip().isEmpty());
    EXPECT_TRUE(w->hasMouseTracking());
    const int big = w->font().pixelSize();
    EXPECT_EQ(big, FontToQFont(*edit->Font()).pixelSize());
    edit->Font()->SetSize(9);
    EXPECT_EQ(w->font().pixelSize(), FontToQFont(*edit->Font()).pixelSize());
    EXPECT_LT(w->font().pixelSize(), big);
    edit->SetPasswordChar(0);
    EXPECT_EQ(w->echoMode(), QLineEdit::Normal);
    // The widget's selection is the control's.
    edit->SetText("abcdef");
    w->setSelection(1, 3);
    EXPECT_EQ(edit->SelText(), "bcd");
}

TEST_F(StdCtrls, TypedTextReachesTheFieldsAndSurvivesHandlersThatRaiseOrFree)
{
    auto* edit = Put<TEdit>();
    auto* memo = Put<TMemo>();
    form->Show();
    int editChanges = 0, memoChanges = 0;
    edit->OnChange = [&](TObject*) { ++editChanges; };
    memo->OnChange = [&](TObject*) { ++memoChanges; };
    auto* line = NativeAs<QLineEdit>(edit);
    auto* text = NativeAs<QPlainTextEdit>(memo);

    // What the user types (the widgets' own signals) becomes the fields'
    // text, once each.
    line->setText("a");
    emit line->textEdited("a");
    EXPECT_EQ(edit->Text(), "a");
    EXPECT_EQ(editChanges, 1);
    text->setPlainText("b");
    EXPECT_EQ(memo->Text(), "b");
    EXPECT_EQ(memoChanges, 1);

    // A handler that raises leaves the typed text in place, and the next
    // change is taken as usual.
    int raised = 0;
    Application->OnException = [&](TObject*, Exception&) { ++raised; };
    edit->OnChange = [&](TObject*) { throw Exception("handler"); };
    line->setText("ac");
    emit line->textEdited("ac");
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(edit->Text(), "ac");
    edit->OnChange = [&](TObject*) { ++editChanges; };
    line->setText("acd");
    emit line->textEdited("acd");
    EXPECT_EQ(edit->Text(), "acd");
    EXPECT_EQ(editChanges, 2);
    Application->OnException = nullptr;

    // A handler may free its own control from the widget's signal.
    // The handler goes with the control: nothing of it is used after the delete.
    memo->OnChange = [&](TObject*) {
        TMemo* self = memo;
        memo = nullptr;
        delete self;
    };
    text->setPlainText("e");
    EXPECT_EQ(memo, nullptr);
}

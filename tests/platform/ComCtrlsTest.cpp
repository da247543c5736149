// Up-down buttons, the report list view and the month calendar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "tests/support/PlatformFixture.h"

TEST(UpDown, StepsStopOrWrapAndOnChangingMayMoveTheLimits)
{
    auto* ud = Create<TUpDown>(nullptr);
    auto* shown = Create<TRecordingControl>(nullptr);
    ud->SetMin(0);
    ud->SetMax(3);
    ud->SetAssociate(shown);
    EXPECT_EQ(shown->Text(), "0");
    std::vector<int> clicks;
    ud->OnClick = [&](TObject*, TUDBtnType B) { clicks.push_back(B == btNext ? 1 : -1); };

    ud->ClickButton(btPrev);  // at the bottom already: stays
    EXPECT_EQ(ud->Position(), 0);
    for (int i = 0; i < 5; ++i)
        ud->ClickButton(btNext);
    EXPECT_EQ(ud->Position(), 3);
    EXPECT_EQ(shown->Text(), "3");
    EXPECT_EQ(clicks.size(), 6u);

    ud->SetWrap(true);
    ud->ClickButton(btNext);
    EXPECT_EQ(ud->Position(), 0);
    ud->ClickButton(btPrev);
    EXPECT_EQ(ud->Position(), 3);

    // A handler that re-centres the limits before each step never stops.
    ud->SetWrap(false);
    ud->OnChanging = [&](TObject*, bool&) {
        ud->SetMin(ud->Position() - 2);
        ud->SetMax(ud->Position() + 2);
    };
    for (int i = 0; i < 10; ++i)
        ud->ClickButton(btNext);
    EXPECT_EQ(ud->Position(), 13);
    ud->OnChanging = [](TObject*, bool& Allow) { Allow = false; };
    ud->ClickButton(btNext);
    EXPECT_EQ(ud->Position(), 13);
    EXPECT_EQ(clicks.back(), 1);  // OnClick still reports the press

    // Code is clamped and fires nothing; a freed associate is let go.
    clicks.clear();
    ud->SetPosition(1000);
    EXPECT_EQ(ud->Position(), ud->Max());
    EXPECT_TRUE(clicks.empty());
    delete shown;
    EXPECT_EQ(ud->Associate(), nullptr);
    ud->SetPosition(ud->Min());
    delete ud;
}

TEST(UpDown, ExtremeIncrementDoesNotOverflow)
{
    auto* ud = Create<TUpDown>(nullptr);
    ud->SetMin(-5);
    ud->SetMax(std::numeric_limits<int>::max());
    ud->SetPosition(std::numeric_limits<int>::max() - 1);
    ud->SetIncrement(std::numeric_limits<int>::max());
    ud->ClickButton(btNext);
    EXPECT_EQ(ud->Position(), std::numeric_limits<int>::max());
    ud->SetPosition(0);
    ud->ClickButton(btPrev);
    EXPECT_EQ(ud->Position(), -5);
    delete ud;
}

namespace {

TListView* MakeColumnList(TComponent* Owner, std::vector<std::string>& Log)
{
    auto* lv = Create<TListView>(Owner);
    lv->SetBounds(0, 0, 300, 200);
    lv->SetRowSelect(true);
    lv->Columns()->Add()->SetCaption("Name");
    lv->Columns()->Add()->SetCaption("Type");
    lv->Columns()->Add()->SetWidth(0);
    for (const char* name : {"Task", "Start", "End"}) {
        TListItem* item = lv->Items()->Add();
        item->SetCaption(name);
        item->SubItems()->Add("Text");
        item->SubItems()->Add("");
    }
    lv->OnSelectItem = [&Log](TObject*, TListItem* Item, bool Selected) {
        Log.push_back(Item->Caption() + (Selected ? "+" : "-"));
    };
    return lv;
}

}  // namespace

TEST(ListView, SelectionFiresOnSelectItemForCodeAndUser)
{
    EnsureApplication();
    std::vector<std::string> log;
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    TListView* lv = MakeColumnList(form, log);
    lv->SetParent(form);

    lv->Items()->Item(1)->SetSelected(true);
    EXPECT_EQ(lv->Selected(), lv->Items()->Item(1));
    EXPECT_EQ(lv->ItemFocused(), lv->Items()->Item(1));
    // Single selection: choosing another drops the first.
    lv->SetItemIndex(2);
    EXPECT_EQ(log, (std::vector<std::string>{"Start+", "Start-", "End+"}));
    EXPECT_EQ(lv->SelCount(), 1);

    form->Show();
    log.clear();
    TRect row = lv->ItemRect(lv->Items()->Item(0));
    Click(lv, {row.Left + 150, row.Top + 2});  // row select: any column hits
    EXPECT_EQ(lv->ItemIndex(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"End-", "Task+"}));
    EXPECT_EQ(lv->GetItemAt(5, lv->HeaderHeight() - 1), nullptr);
    lv->SetRowSelect(false);
    EXPECT_EQ(lv->GetItemAt(150, row.Top + 2), nullptr);

    // Keys move the selection and stop at the ends.
    Word key = VK_DOWN;
    lv->Perform(WM_KEYDOWN, key);
    EXPECT_EQ(lv->ItemIndex(), 1);
    lv->Perform(WM_KEYDOWN, VK_END);
    lv->Perform(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(lv->ItemIndex(), 2);
    delete form;
}

TEST(ListView, ItemsSwapDeleteAndClearSafely)
{
    std::vector<std::string> log;
    TListView* lv = MakeColumnList(nullptr, log);
    lv->SetMultiSelect(true);
    TListItem* a = lv->Items()->Item(0);
    TListItem* b = lv->Items()->Item(1);
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_EQ(lv->SelCount(), 2);
    lv->SetMultiSelect(false);
    EXPECT_EQ(lv->SelCount(), 1);
    EXPECT_EQ(lv->Selected(), a);

    // Swapping two rows as the column editor does: caption and sub-items.
    b->SubItems()->Put(1, "1");
    String caption = a->Caption();
    TStringList subs;
    subs.Assign(*a->SubItems());
    a->SetCaption(b->Caption());
    a->SubItems()->Assign(*b->SubItems());
    b->SetCaption(caption);
    b->SubItems()->Assign(subs);
    EXPECT_EQ(lv->Items()->Item(0)->Caption(), "Start");
    EXPECT_EQ(lv->Items()->Item(0)->SubItems()->Get(1), "1");
    EXPECT_EQ(lv->Items()->Item(1)->Caption(), "Task");

    // Deleting the selected item reports it unselected, then deleted.
    log.clear();
    std::vector<std::string> deleted;
    lv->OnDeletion = [&](TObject*, TListItem* Item) { deleted.push_back(Item->Caption()); };
    a->Delete();
    EXPECT_EQ(log, (std::vector<std::string>{"Start-"}));
    EXPECT_EQ(deleted, (std::vector<std::string>{"Start"}));
    EXPECT_EQ(lv->Selected(), nullptr);
    EXPECT_EQ(lv->ItemFocused(), b);
    EXPECT_THROW(lv->Items()->Delete(5), EListError);
    EXPECT_THROW(lv->Items()->Insert(-1), EListError);
    lv->Items()->Insert(0)->SetCaption("First");
    EXPECT_EQ(lv->Items()->Item(0)->Index(), 0);
    lv->Items()->Clear();
    EXPECT_EQ(lv->Items()->Count(), 0);
    EXPECT_EQ(lv->ItemFocused(), nullptr);
    EXPECT_EQ(deleted.size(), 4u);
    delete lv;
}

TEST(ListView, PaintsTheSelectedRowAcrossAllColumns)
{
    EnsureApplication();
    std::vector<std::string> log;
    TListView* lv = MakeColumnList(nullptr, log);
    lv->SetHideSelection(false);
    lv->Items()->Item(1)->SetSelected(true);
    TBitmap picture;
    lv->PaintTo(&picture);
    const TPoint o = lv->ClientOffset();
    const TRect selected = lv->ItemRect(lv->Items()->Item(1));
    const TRect other = lv->ItemRect(lv->Items()->Item(0));
    // The second column's far end: no text there, only the fill.
    const int x = o.X + 2 * 50 - 3;
    EXPECT_EQ(picture.Canvas()->Pixels(x, o.Y + selected.Top + 1), ColorToRGB(clHighlight));
    EXPECT_EQ(picture.Canvas()->Pixels(x, o.Y + other.Top + 1), ColorToRGB(clWindow));
    // Without whole-row selection only the caption's cell is filled.
    lv->SetRowSelect(false);
    lv->PaintTo(&picture);
    EXPECT_EQ(picture.Canvas()->Pixels(x, o.Y + selected.Top + 1), ColorToRGB(clWindow));
    EXPECT_EQ(picture.Canvas()->Pixels(o.X + 47, o.Y + selected.Top + 1), ColorToRGB(clHighlight));
    delete lv;
}

TEST(MonthCalendar, ClicksPickDaysWithinTheLimits)
{
    EnsureApplication();
    auto* form = Create<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 300);
    auto* cal = Create<TMonthCalendar>(form);
    cal->SetParent(form);
    int clicks = 0, picks = 0;
    cal->OnClick = [&](TObject*) { ++clicks; };
    cal->OnPick = [&](TObject*) { ++picks; };
    cal->SetDate(EncodeDate(2024, 2, 14) + 0.75);
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 14));  // the time is dropped
    EXPECT_EQ(cal->VisibleMonth(), EncodeDate(2024, 2, 1));
    EXPECT_EQ(clicks, 0);
    // 1 Feb 2024 is a Thursday: with Monday first it sits in column 3.
    TRect first = cal->DayRect(EncodeDate(2024, 2, 1));
    EXPECT_EQ(first.Left, 3 * (cal->ClientWidth() / 7));
    EXPECT_EQ(cal->DayAt(first.Left + 1, first.Top + 1), EncodeDate(2024, 2, 1));
    cal->SetFirstDayOfWeek(6);  // Sunday first
    EXPECT_EQ(cal->DayRect(EncodeDate(2024, 2, 1)).Left, 4 * (cal->ClientWidth() / 7));
    cal->SetFirstDayOfWeek(0);

    cal->SetMaxDate(EncodeDate(2024, 2, 20));
    form->Show();
    TRect r = cal->DayRect(EncodeDate(2024, 2, 19));
    Click(cal, {r.Left + 2, r.Top + 2});
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 19));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(picks, 1);
    NextClick();
    r = cal->DayRect(EncodeDate(2024, 2, 21));
    Click(cal, {r.Left + 2, r.Top + 2});  // past MaxDate: clicked, not picked
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 19));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(picks, 1);
    cal->Perform(WM_KEYDOWN, VK_LEFT);  // keys move the choice without a click or a pick
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 18));
    cal->Perform(WM_KEYDOWN, VK_PRIOR);
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 1, 18));
    cal->Perform(WM_KEYDOWN, VK_NEXT);
    cal->Perform(WM_KEYDOWN, VK_NEXT);  // a month on is past MaxDate: only the page turns
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 18));
    EXPECT_EQ(cal->VisibleMonth(), EncodeDate(2024, 3, 1));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(picks, 1);
    cal->Perform(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(picks, 2);
    // Code is clamped into the range.
    cal->SetDate(EncodeDate(2030, 1, 1));
    EXPECT_EQ(cal->Date(), EncodeDate(2024, 2, 20));
    cal->ShowMonth(1);
    EXPECT_EQ(cal->VisibleMonth(), EncodeDate(2024, 3, 1));
    EXPECT_TRUE(cal->DayRect(EncodeDate(2024, 1, 1)).IsEmpty());
    delete form;
}

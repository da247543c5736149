// Finding a row by typing the start of its text.
#include "InputTestSupport.h"

namespace {

struct TSearchForm : TInputForm {
    int Beeps = 0;
    TSearchForm(std::vector<String> Rows = {"apple", "avocado", "banana", "apricot"}) : TInputForm(std::move(Rows))
    {
        Tree->SetIncrementalSearch(isAll);
        SetBeepHook([this] { ++Beeps; });
    }
    ~TSearchForm() { SetBeepHook(nullptr); }
    // A character as the tree receives it: the key, then WM_CHAR units.
    void Type(const std::u16string& Units, Word Key = 'A')
    {
        Tree->Perform(WM_KEYDOWN, Key, 0);
        for (char16_t u : Units)
            Tree->Perform(WM_CHAR, u, 0);
    }
    // The search's timer running out.
    void TimeOut() { Tree->Perform(WM_TIMER, SearchTimer); }
};

}  // namespace

TEST(TreeGridSearch, TheSameLetterCyclesThroughTheRowsBeginningWithIt)
{
    TSearchForm f;
    f.Type(u"a");
    EXPECT_EQ(f.FocusedIndex(), 0);
    f.Type(u"a");
    EXPECT_EQ(f.FocusedIndex(), 1);
    f.Type(u"a");
    EXPECT_EQ(f.FocusedIndex(), 3);
    f.Type(u"a");
    EXPECT_EQ(f.FocusedIndex(), 0);
    EXPECT_EQ(f.Selected(), std::vector<int>{0});
    EXPECT_EQ(f.Beeps, 0);
    // Longer texts narrow the search.
    f.TimeOut();
    f.Type(u"a");
    f.Type(u"p");
    f.Type(u"r");
    EXPECT_EQ(f.FocusedIndex(), 3);
    EXPECT_EQ(f.Tree->SearchBuffer(), "apr");
}

TEST(TreeGridSearch, CaseMattersAndAMissBeeps)
{
    TSearchForm f;
    f.Type(u"A");
    EXPECT_EQ(f.Tree->FocusedNode(), nullptr);
    EXPECT_EQ(f.Beeps, 1);
}

TEST(TreeGridSearch, ATimeoutStartsANewSearch)
{
    TSearchForm f;
    f.Type(u"b");
    EXPECT_EQ(f.FocusedIndex(), 2);
    f.TimeOut();
    EXPECT_EQ(f.Tree->SearchBuffer(), "");
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsIncrementalSearching));
    f.Type(u"a");
    EXPECT_EQ(f.FocusedIndex(), 3);  // on from the focused row
    f.Type(u"x");
    EXPECT_EQ(f.Beeps, 1);
}

TEST(TreeGridSearch, ACharacterOutsideTheBasicPlaneCountsAsOne)
{
    TSearchForm f({"plain", "\xF0\x9F\x8D\x8E pear", "\xF0\x9F\x8D\x8F green"});
    f.Type(u"\U0001F34F");
    EXPECT_EQ(f.FocusedIndex(), 2);
    EXPECT_EQ(f.Tree->SearchBuffer(), "\xF0\x9F\x8D\x8F");
    // Backspace takes the whole character away again.
    f.Type(u"\b", VK_BACK);
    EXPECT_EQ(f.Tree->SearchBuffer(), "");
}

TEST(TreeGridSearch, AnEmptyTreeOnlyBeeps)
{
    TSearchForm f(std::vector<String>{});
    f.Type(u"a");
    EXPECT_EQ(f.Tree->FocusedNode(), nullptr);
    EXPECT_EQ(f.Beeps, 1);
}

TEST(TreeGridSearch, NothingIsSearchedWithoutIncrementalSearch)
{
    TSearchForm f;
    f.Tree->SetIncrementalSearch(isNone);
    f.Type(u"b");
    EXPECT_EQ(f.Tree->FocusedNode(), nullptr);
    EXPECT_EQ(f.Beeps, 0);
}

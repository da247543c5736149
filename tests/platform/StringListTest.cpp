#include "platform/StringList.h"

#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/TextFile.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<String> Items(const TStrings& list)
{
    std::vector<String> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

std::vector<String> ParseComma(const String& text)
{
    TStringList list;
    list.SetCommaText(text);
    return Items(list);
}

String BuildComma(const std::vector<String>& items)
{
    TStringList list;
    for (const String& s : items)
        list.Add(s);
    return list.CommaText();
}

// Counts its own destructions, to see which list frees what.
class TCounted : public TObject {
public:
    explicit TCounted(int& freed) : FFreed(freed) {}
    ~TCounted() override { ++FFreed; }

private:
    int& FFreed;
};

std::string ReadFileBytes(const String& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(StringListCommaText, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(BuildComma({}), "");
    EXPECT_EQ(BuildComma({""}), "\"\"");
    EXPECT_EQ(BuildComma({"a", "", "b"}), "a,,b");
    EXPECT_EQ(BuildComma({"", ""}), ",");
    EXPECT_EQ(BuildComma({"plain", "Gr\xC3\xBC\xC3\x9F" "e", "x=1;y"}), "plain,Gr\xC3\xBC\xC3\x9F" "e,x=1;y");
    EXPECT_EQ(BuildComma({"two words"}), "\"two words\"");
    EXPECT_EQ(BuildComma({"a,b"}), "\"a,b\"");
    EXPECT_EQ(BuildComma({"say \"hi\""}), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(BuildComma({"tab\there", "nl\r\n", String("nul\0x", 5), "\x1F"}),
              "\"tab\there\",\"nl\r\n\",\"" + String("nul\0x", 5) + "\",\"\x1F\"");
    // A quoted entry inside a comma text comes out with tripled quotes.
    EXPECT_EQ(BuildComma({"\"Holiday\"", "\"Sick\""}), "\"\"\"Holiday\"\"\",\"\"\"Sick\"\"\"");
}

TEST(StringListCommaText, ParsesBlanksQuotesAndTrailingCommas)
{
    using V = std::vector<String>;
    const std::pair<String, V> cases[] = {
        {"", V{}}, {"  \t\x01 ", V{}}, {"\"\"", V{""}}, {"  a, b ,c", V{"a", "b", "c"}},
        // A blank ends an unquoted item; what follows is the next item.
        {"a b", V{"a", "b"}}, {"a,", V{"a", ""}}, {",a", V{"", "a"}}, {",,", V{"", "", ""}},
        {"a, ,b", V{"a", "", "b"}}, {"\"x \"\"y\"\", z\",w", V{"x \"y\", z", "w"}}, {"\"a\"b", V{"a", "b"}},
        // An unterminated quote takes the rest of the text.
        {"a,\"open, still", V{"a", "open, still"}}, {"a\"b", V{"a\"b"}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(ParseComma(text), items) << text;
}

TEST(StringListCommaText, AwkwardItemsSurviveTheRoundTrip)
{
    const std::vector<std::vector<String>> cases = {
        {""},
        {"", ""},
        {"", "x", ""},
        {" "},
        {" lead", "trail ", "  "},
        {"\"", "\"\"", "\"quoted\"", "a\"b"},
        {",", ",,", "a,b,"},
        {"\t", "\r\n", "\x01\x02", String("\0", 1), "x\x7F"},
        {"\xCE\xBB", "\xC3\xA4 \xE2\x82\xAC", ""},
        {"a=b", "[Section]", ";comment"},
    };
    for (const auto& items : cases) {
        const String text = BuildComma(items);
        EXPECT_EQ(ParseComma(text), items) << text;
    }
}

TEST(StringListCommaText, NestsThreeLevels)
{
    TStringList week;
    week.Add("1");
    week.Add("480");
    TStringList entry;
    entry.Add("Position 1\r\nsecond line");
    entry.Add(week.CommaText());
    entry.Add("2");
    TStringList outer;
    outer.Add(entry.CommaText());
    outer.Add("");

    TStringList back;
    back.SetCommaText(outer.CommaText());
    ASSERT_EQ(back.Count(), 2);
    TStringList entryBack;
    entryBack.SetCommaText(back[0]);
    EXPECT_EQ(Items(entryBack), Items(entry));
    TStringList weekBack;
    weekBack.SetCommaText(entryBack[1]);
    EXPECT_EQ(Items(weekBack), Items(week));
    EXPECT_EQ(back[1], "");
}

TEST(StringListCommaText, DelimitedTextUsesTheListsCharacters)
{
    TStringList list;
    list.Delimiter = ';';
    list.QuoteChar = '\'';
    list.Add("a,b");
    list.Add("it's");
    list.Add("c;d");
    EXPECT_EQ(list.DelimitedText(), "a,b;'it''s';'c;d'");
    // CommaText keeps its own characters whatever the list's are.
    EXPECT_EQ(list.CommaText(), "\"a,b\",it's,c;d");

    TStringList back;
    back.Delimiter = ';';
    back.QuoteChar = '\'';
    back.SetDelimitedText(list.DelimitedText());
    EXPECT_EQ(Items(back), Items(list));
}

TEST(StringListText, JoinsWithCrLfAndSplitsEveryLineEnd)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("one");
    list.Add("");
    list.Add("three");
    EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");

    list.SetText("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(Items(list), (std::vector<String>{"a", "b", "c", "d"}));
}

TEST(StringList, IndexOfIgnoresCaseUnlessAsked)
{
    TStringList list;
    list.Add("Alpha");
    list.Add("\xC3\x84rger");  // Ärger
    list.Add("alpha");
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("\xC3\xA4RGER"), 1);  // ärger
    EXPECT_EQ(list.IndexOf("Alph"), -1);
    EXPECT_EQ(list.IndexOf(""), -1);

    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("alpha"), 2);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    EXPECT_EQ(list.IndexOf("\xC3\xA4rger"), -1);
}

TEST(StringList, IndexErrorsRaise)
{
    TStringList list;
    list.Add("x");
    EXPECT_THROW(list.Get(1), EStringListError);
    EXPECT_THROW(list.Get(-1), EStringListError);
    EXPECT_THROW(list.Put(1, "y"), EStringListError);
    EXPECT_THROW(list.Delete(1), EStringListError);
    EXPECT_THROW(list.Insert(2, "y"), EStringListError);
    EXPECT_THROW(list.GetObject(5), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);
    EXPECT_THROW(list.Move(0, 1), EStringListError);
    EXPECT_THROW(list.Names(3), EStringListError);
    list.Insert(1, "y");  // at the end is fine
    list.Insert(0, "w");
    EXPECT_EQ(Items(list), (std::vector<String>{"w", "x", "y"}));
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList list;
    list.Add("delta");
    list.Add("Bravo");
    list.Add("alpha");
    list.Add("charlie");
    list.SetSorted(true);
    EXPECT_EQ(Items(list), (std::vector<String>{"alpha", "Bravo", "charlie", "delta"}));

    EXPECT_EQ(list.Add("BRAVO"), 1);  // dupIgnore answers the existing one
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Add("beta"), 1);
    EXPECT_EQ(list.IndexOf("CHARLIE"), 3);
    EXPECT_EQ(list.IndexOf("echo"), -1);

    int index = -1;
    EXPECT_FALSE(list.Find("c", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("zulu", index));
    EXPECT_EQ(index, list.Count());

    list.Duplicates = dupError;
    EXPECT_THROW(list.Add("alpha"), EStringListError);
    list.Duplicates = dupAccept;
    int freed = 0;
    const int at = list.AddObject("Alpha", new TCounted(freed));
    EXPECT_EQ(at, 1);  // after the equal item already there
    EXPECT_TRUE(list.Find("ALPHA", index));
    EXPECT_EQ(index, 0);
    delete list.Objects(at);

    EXPECT_THROW(list.Insert(0, "first"), EStringListError);
    EXPECT_THROW(list.Put(0, "zzz"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 1), EStringListError);

    // Text, comma text and assignment go through Add and stay sorted.
    list.SetCommaText("b,c,a,b");
    list.Duplicates = dupIgnore;
    list.SetCommaText("b,c,a,b");
    EXPECT_EQ(Items(list), (std::vector<String>{"a", "b", "c"}));
}

TEST(StringList, SortIsStableAndCustomSortFollowsTheComparison)
{
    TStringList list;
    list.SetCommaText("b1,A,b2,a");
    list.CustomSort([](TStringList* l, int x, int y) {
        return static_cast<int>(l->Get(x).size()) - static_cast<int>(l->Get(y).size());
    });
    EXPECT_EQ(Items(list), (std::vector<String>{"A", "a", "b1", "b2"}));
    list.SetCommaText("b,A,B,a");
    list.Sort();
    EXPECT_EQ(Items(list), (std::vector<String>{"A", "a", "b", "B"}));
    list.SetSorted(true);
    EXPECT_THROW(list.CustomSort([](TStringList*, int, int) { return 0; }), EStringListError);
}

TEST(StringList, OwningListsFreeTheirObjects)
{
    int freed = 0;
    {
        TStringList list(true);
        list.AddObject("a", new TCounted(freed));
        list.AddObject("b", new TCounted(freed));
        list.AddObject("c", new TCounted(freed));
        list.AddObject("d", new TCounted(freed));
        list.Delete(0);
        EXPECT_EQ(freed, 1);
        list.PutObject(0, new TCounted(freed));  // replaces b's object
        EXPECT_EQ(freed, 2);
        list.Move(0, 2);  // moving keeps the object alive
        list.Exchange(0, 1);
        EXPECT_EQ(freed, 2);
        EXPECT_EQ(Items(list), (std::vector<String>{"d", "c", "b"}));
        list.Clear();
        EXPECT_EQ(freed, 5);
        list.AddObject("e", new TCounted(freed));
    }
    EXPECT_EQ(freed, 6);

    freed = 0;
    TCounted shared(freed);
    {
        TStringList list;
        list.AddObject("x", &shared);
        list.Delete(0);
        list.AddObject("y", &shared);
        EXPECT_EQ(list.IndexOfObject(&shared), 0);
    }
    EXPECT_EQ(freed, 0);
}

TEST(StringList, AssignSharesObjectsButNeverDoubleOwns)
{
    int freed = 0;
    TStringList owner(true);
    owner.AddObject("k", new TCounted(freed));
    owner.Delimiter = ';';

    TStringList view;
    view.Add("old");
    view.Assign(owner);
    EXPECT_EQ(Items(view), std::vector<String>{"k"});
    EXPECT_EQ(view.Objects(0), owner.Objects(0));
    EXPECT_EQ(view.Delimiter, ';');
    view.Assign(view);
    EXPECT_EQ(view.Count(), 1);

    // Refused before anything changes: the target keeps its own items.
    TStringList second(true);
    second.AddObject("mine", new TCounted(freed));
    second.Delimiter = '|';
    EXPECT_THROW(second.Assign(owner), EStringListError);
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(Items(second), std::vector<String>{"mine"});
    EXPECT_NE(second.Objects(0), nullptr);
    EXPECT_EQ(second.Delimiter, '|');
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.Add("Key=value=with=signs");
    list.Add("noequals");
    list.Add("key =spaced");
    list.Add("=empty name");
    list.Add("Other=");

    EXPECT_EQ(list.Names(0), "Key");
    EXPECT_EQ(list.ValueFromIndex(0), "value=with=signs");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.IndexOfName("KEY"), 0);
    EXPECT_EQ(list.IndexOfName("key "), 2);
    EXPECT_EQ(list.IndexOfName("noequals"), -1);
    EXPECT_EQ(list.IndexOfName(""), 3);
    EXPECT_EQ(list.Values("other"), "");
    EXPECT_EQ(list.Values("missing"), "");

    list.SetValue("key", "new");
    EXPECT_EQ(list[0], "key=new");
    list.SetValue("Added", "1");
    EXPECT_EQ(list[list.Count() - 1], "Added=1");
    list.SetValue("Other", "");
    EXPECT_EQ(list.IndexOfName("Other"), -1);

    list.NameValueSeparator = ':';
    list.Add("a:b");
    EXPECT_EQ(list.Values("A"), "b");
}

TEST(StringList, ChangeEventsFireOncePerChangeOrBracket)
{
    TStringList list;
    int changing = 0;
    int changed = 0;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };

    list.Add("a");
    list.Put(0, "b");
    list.Delete(0);
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("x");
    list.Add("y");
    list.EndUpdate();
    EXPECT_EQ(changed, 3);
    list.EndUpdate();
    EXPECT_EQ(changing, 4);
    EXPECT_EQ(changed, 4);

    list.SetCommaText("1,2,3");  // one bracket
    EXPECT_EQ(changed, 5);
    list.Clear();
    list.Clear();  // nothing to clear, nothing to report
    EXPECT_EQ(changed, 6);
}

TEST(StringList, FilesAndStreamsUseTheTextFileEncoding)
{
    const String dir = vektest::TempDir();
    TStringList list;
    list.Add("K\xC3\xA4se");  // Käse
    list.Add("");
    list.SaveToFile(dir + "/ansi.txt");
    EXPECT_EQ(ReadFileBytes(dir + "/ansi.txt"), "K\xE4se\r\n\r\n");

    list.Add("\xCE\xA9");  // Ω
    list.SaveToFile(dir + "/utf8.txt");
    EXPECT_EQ(ReadFileBytes(dir + "/utf8.txt"), "\xEF\xBB\xBFK\xC3\xA4se\r\n\r\n\xCE\xA9\r\n");

    TStringList back;
    back.LoadFromFile(dir + "/utf8.txt");
    EXPECT_EQ(Items(back), Items(list));
    back.LoadFromFile(dir + "/ansi.txt");
    EXPECT_EQ(Items(back), (std::vector<String>{"K\xC3\xA4se", ""}));
    EXPECT_THROW(back.LoadFromFile(dir + "/missing.txt"), EFOpenError);
    EXPECT_EQ(back.Count(), 2);  // a failed load leaves the list alone

    TMemoryStream stream;
    stream.WriteBytes("skip");
    list.SaveToStream(stream);
    stream.SetPosition(4);
    back.LoadFromStream(stream);
    EXPECT_EQ(Items(back), Items(list));
}

// The clipboard format registry and the priority-ordered format list.
#include <gtest/gtest.h>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "components/TreeGrid/StringTreeGrid.h"
#include "components/TreeGrid/TreeGridUnit.h"

namespace {

std::vector<TClipFormat> Ids(const std::vector<TFormatEtc>& F)
{
    std::vector<TClipFormat> ids;
    for (const TFormatEtc& f : F)
        ids.push_back(f.cfFormat);
    return ids;
}

TEST(ClipboardFormatRegistry, NamesAndIds)
{
    const TClipFormat a = RegisterClipboardFormat("Vek Test Format A");
    const TClipFormat b = RegisterClipboardFormat("Vek Test Format B");
    EXPECT_GE(a, 0xC000);
    EXPECT_NE(a, b);
    // The same name in any case is the same format and keeps its first spelling.
    EXPECT_EQ(RegisterClipboardFormat("VEK TEST FORMAT a"), a);
    EXPECT_EQ(GetClipboardFormatName(a), "Vek Test Format A");
    EXPECT_EQ(RegisterClipboardFormat(""), 0);
    EXPECT_EQ(GetClipboardFormatName(0xFFFE), "");
    EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
    // Standard formats are shown by their own names.
    EXPECT_EQ(ClipboardFormatDescription(CF_TEXT), "Plain text");
    EXPECT_EQ(ClipboardFormatDescription(CF_UNICODETEXT), "Unicode text");
    EXPECT_EQ(ClipboardFormatDescription(16), "Locale descriptor");
    EXPECT_EQ(ClipboardFormatDescription(17), "");
    // An overlong name is kept to its first 2048 characters.
    String longName;
    for (int i = 0; i < 3000; ++i)
        longName += "\xC3\xA4";
    const TClipFormat l = RegisterClipboardFormat(longName);
    EXPECT_EQ(GetClipboardFormatName(l), longName.substr(0, 2 * MaxClipboardFormatName));
}

TEST(ClipboardFormatList, TheUnitsFormatsInPriorityOrder)
{
    const TClipboardFormatList& list = ClipboardFormatList();
    const TClass stringTree = TStringTreeGrid::StaticClassInfo();
    const TClass baseTree = TBaseTreeGrid::StaticClassInfo();

    std::vector<TFormatEtc> formats;
    list.EnumerateFormats(stringTree, formats);
    const std::vector<TClipFormat> expected = {RegisterClipboardFormat("Tree Grid Data"),
        RegisterClipboardFormat("HTML Format"), RegisterClipboardFormat("Rich Text Format Without Objects"),
        RegisterClipboardFormat("Rich Text Format"), RegisterClipboardFormat("CSV"), CF_UNICODETEXT, CF_TEXT};
    EXPECT_EQ(Ids(formats), expected);
    for (const TFormatEtc& f : formats) {
        EXPECT_EQ(f.ptd, nullptr);
        EXPECT_EQ(f.dwAspect, DVASPECT_CONTENT);
        EXPECT_EQ(f.lindex, -1);
        EXPECT_EQ(f.tymed, TYMED_HGLOBAL);
    }
    // A plain tree renders only the tree data; another class nothing.
    list.EnumerateFormats(baseTree, formats);
    EXPECT_EQ(Ids(formats), std::vector<TClipFormat>{expected.front()});
    list.EnumerateFormats(TBitmap::StaticClassInfo(), formats);
    EXPECT_TRUE(formats.empty());
    list.EnumerateFormats(nullptr, formats);
    EXPECT_TRUE(formats.empty());

    // Only the names allowed, still in priority order.
    TStringList allowed;
    allowed.Add("Plain text");
    allowed.Add("CSV");
    allowed.Add("Tree Grid Reference");
    list.EnumerateFormats(stringTree, formats, &allowed);
    EXPECT_EQ(Ids(formats), (std::vector<TClipFormat>{expected[4], CF_TEXT}));

    TClipFormat id = 0;
    EXPECT_EQ(list.FindFormat("csv", id), TCustomStringTreeGrid::StaticClassInfo());
    EXPECT_EQ(id, expected[4]);
    EXPECT_EQ(list.FindFormat("tree grid data", id), baseTree);
    EXPECT_EQ(list.FindFormat("Unicode text", id), TCustomStringTreeGrid::StaticClassInfo());
    EXPECT_EQ(id, CF_UNICODETEXT);
    id = 77;
    EXPECT_EQ(list.FindFormat("No Such Format", id), nullptr);
    EXPECT_EQ(id, 77);
    // The tree reference is registered but not offered by the list.
    EXPECT_EQ(list.FindFormat("Tree Grid Reference"), nullptr);
    EXPECT_EQ(RegisterClipboardFormat("Tree Grid Reference"), CF_TREEGRIDREFERENCE());
}

TEST(ClipboardFormatList, AdditionsAreSortedAndFoundFromTheEnd)
{
    TClipboardFormatList list;
    auto entry = [](const char* Name, Cardinal Priority, TClipFormat Id) {
        TClipboardFormatListEntry e;
        e.Description = Name;
        e.TreeClass = TBaseTreeGrid::StaticClassInfo();
        e.Priority = Priority;
        e.FormatEtc.cfFormat = Id;
        return e;
    };
    list.Add(entry("Late", 100, 1));
    list.Add(entry("Early", 90, 2));
    list.Add(entry("Middle", 95, 3));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Entry(0).Description, "Early");
    EXPECT_EQ(list.Entry(1).Description, "Middle");
    EXPECT_EQ(list.Entry(2).Description, "Late");
    list.Add(entry("early", 200, 4));
    TClipFormat id = 0;
    list.FindFormat("EARLY", id);
    EXPECT_EQ(id, 4);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.FindFormat("Late"), nullptr);
}

TEST(ClipboardFormatList, RegisteringForATreeClass)
{
    // A class that no tree inherits from keeps the trees' lists as they are.
    const TClass other = TBitmap::StaticClassInfo();
    const TClipFormat id = RegisterTGClipboardFormat("Vek Bitmap Test Format", other, 1);
    ASSERT_NE(id, 0);
    std::vector<TFormatEtc> formats;
    ClipboardFormatList().EnumerateFormats(other, formats);
    EXPECT_EQ(Ids(formats), std::vector<TClipFormat>{id});
    EXPECT_EQ(ClipboardFormatList().FindFormat("vek bitmap test format"), other);
    // Existing formats by id: a standard one by its name, an unknown one not at all.
    EXPECT_EQ(RegisterTGClipboardFormat(TClipFormat(2), other, 2), 2);
    EXPECT_EQ(ClipboardFormatList().FindFormat("Windows bitmap"), other);
    EXPECT_EQ(RegisterTGClipboardFormat(TClipFormat(0xBFFF), other, 3), 0);
    EXPECT_EQ(RegisterTGClipboardFormat("", other, 3), 0);
    ClipboardFormatList().EnumerateFormats(other, formats);
    EXPECT_EQ(Ids(formats), (std::vector<TClipFormat>{id, 2}));

    // Again for the same class: updated, not listed twice; for a
    // descendant class: offered once, at the better priority.
    EXPECT_EQ(RegisterTGClipboardFormat("Vek Bitmap Test Format", other, 4), id);
    ClipboardFormatList().EnumerateFormats(other, formats);
    EXPECT_EQ(Ids(formats), (std::vector<TClipFormat>{2, id}));
    const TClass ancestor = TGraphic::StaticClassInfo();
    const TClipFormat shared = RegisterTGClipboardFormat("Vek Graphic Test Format", ancestor, 0);
    EXPECT_EQ(RegisterTGClipboardFormat("Vek Graphic Test Format", other, 9), shared);
    ClipboardFormatList().EnumerateFormats(other, formats);
    EXPECT_EQ(Ids(formats), (std::vector<TClipFormat>{shared, 2, id}));
}

}  // namespace

// Copy, cut and paste of a tree's rows through the desktop clipboard, read
// back as another program reads it.
#include "TreeGridTestSupport.h"

#include <unistd.h>

#include "components/TreeGrid/TreeGridDataObject.h"
#include "components/TreeGrid/TreeGridUnit.h"
#include "platform/FormatSettings.h"
#include "platform/Messages.h"
#include "tests/support/PlatformFixture.h"

namespace {

std::string Mime(const char* type)
{
    std::string bytes;
    return GetClipboardMimeData(type, bytes) ? bytes : std::string("<none>");
}

// Rows "n<id>" with the value "v<id>", the id as user data the stream carries.
TTreePtr RowTree(bool withLoader = true)
{
    TTreePtr tree = MakeTree(sizeof(TRow));
    tree->Header()->Columns()->Add()->SetText("Name");
    tree->Header()->Columns()->Add()->SetText("Wert");
    tree->SetSelection(toMultiSelect, true);
    tree->OnGetText = [](TBaseTreeGrid* t, TGridNode* n, TColumnIndex c, TVSTTextType, String& text) {
        text = (c == 1 ? "v" : "n") + std::to_string(Row(t, n).Id);
    };
    tree->OnSaveNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { s.WriteInt32(Row(t, n).Id); };
    if (withLoader)
        tree->OnLoadNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { Row(t, n).Id = s.ReadInt32(); };
    return tree;
}

TGridNode* Add(TTestTree* tree, int id)
{
    TGridNode* n = tree->AddChild(nullptr);
    Row(tree, n).Id = id;
    return n;
}

std::string Ids(TTestTree* tree)
{
    std::string s;
    for (TGridNode* n = tree->GetFirstNoInit(); n; n = tree->GetNextNoInit(n))
        s += (s.empty() ? "" : " ") + std::to_string(Row(tree, n).Id);
    return s;
}

std::string U32(Cardinal v)
{
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

class TreeGridClipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        SetClipboardText("before");
    }
};

}  // namespace

TEST_F(TreeGridClipboard, CopiedRowsUnderEveryMimeType)
{
    TTreePtr tree = RowTree();
    TGridNode* a = Add(tree.get(), 1);
    Add(tree.get(), 2);
    TGridNode* c = Add(tree.get(), 3);
    tree->SetSelected(a, true);
    tree->SetSelected(c, true);
    tree->CopyToClipBoard();
    ASSERT_TRUE(tree->TreeStates().Contains(tsCopyPending));
    EXPECT_TRUE(a->States.Contains(vsCutOrCopy));

    const std::string text = "Name\tWert\r\nn1\tv1\r\nn3\tv3\r\n";
    EXPECT_EQ(Mime("text/plain"), text);
    EXPECT_EQ(Mime("text/plain;charset=utf-8"), text);
    EXPECT_EQ(Mime("text/csv").substr(0, 11), "Name" + FormatSettings.ListSeparator + "Wert\r\n");
    const std::string html = Mime("text/html");
    EXPECT_EQ(html.substr(0, 20), "<!DOCTYPE HTML PUBLI");
    EXPECT_NE(html.find("<th height=\"17px\" align=left bgcolor=#D4D0C8 width=\"50px\">Wert</th>"), std::string::npos);
    EXPECT_NE(html.find(">n3</td>"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 32), "<!--EndFragment--></body></html>");
    for (const char* rtf : {"text/rtf", "application/rtf", "application/x-vek-rtf-without-objects"}) {
        const std::string r = Mime(rtf);
        EXPECT_EQ(r.substr(0, 6), "{\\rtf1") << rtf;
        EXPECT_NE(r.find(" v3\\cell"), std::string::npos) << rtf;
        EXPECT_EQ(r.back(), '}') << rtf << ": no terminating zero";
    }
    // The rows as a node stream that a tree takes back.
    TTreePtr other = RowTree();
    TMemoryStream stream;
    stream.WriteBytes(Mime("application/x-vek-tree-grid-data"));
    stream.SetPosition(0);
    other->LoadFromStream(stream);
    EXPECT_EQ(Ids(other.get()), "1 3");
    EXPECT_EQ(Mime("application/x-vek-tree-grid-reference"),
        U32(Cardinal(::getpid())) + U32(tree->TreeNumber()));
}

TEST_F(TreeGridClipboard, TextOutsideTheCodePageArrivesWhole)
{
    // "€" has its byte in the 8-bit code page, "✓" has none: that text
    // travels as UTF-8 behind a byte-order mark and reaches readers as it is.
    TTreePtr tree = RowTree();
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex c, TVSTTextType, String& text) {
        text = c == 1 ? "\xE2\x9C\x93" : "\xE2\x82\xAC";
    };
    tree->SetSelected(Add(tree.get(), 1), true);
    tree->CopyToClipBoard();
    const std::string text = "Name\tWert\r\n\xE2\x82\xAC\t\xE2\x9C\x93\r\n";
    EXPECT_EQ(Mime("text/plain"), text);
    EXPECT_EQ(Mime("text/plain;charset=utf-8"), text);
    EXPECT_EQ(GetClipboardText(), text);
    EXPECT_EQ(tree->ContentToClipboard(CF_TEXT, tstAll).substr(0, 3), "\xEF\xBB\xBF");
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& text) {
        text = "\xE2\x82\xAC";
    };
    EXPECT_EQ(tree->ContentToClipboard(CF_TEXT, tstAll), "Name\tWert\r\n\x80\t\x80\r\n");
}

TEST_F(TreeGridClipboard, NothingToCopyAndReadOnlyCutChangeNothing)
{
    TTreePtr tree = RowTree();
    TGridNode* a = Add(tree.get(), 1);
    tree->CopyToClipBoard();
    tree->Perform(WM_CUT, 0, 0);
    EXPECT_EQ(GetClipboardText(), "before");
    EXPECT_FALSE(tree->TreeStates().ContainsAny(TTreeGridStates{tsCopyPending, tsCutPending}));

    tree->SetSelected(a, true);
    tree->SetMisc(toReadOnly, true);
    tree->CutToClipBoard();
    EXPECT_FALSE(tree->ExecuteAction(ecCut));
    EXPECT_EQ(GetClipboardText(), "before");
    EXPECT_FALSE(a->States.Contains(vsCutOrCopy));
    // Copying stays allowed.
    EXPECT_TRUE(tree->ExecuteAction(ecCopy));
    EXPECT_EQ(GetClipboardText(), "Name\tWert\r\nn1\tv1\r\n");
}

TEST_F(TreeGridClipboard, NewOwnerRemovesTheMarks)
{
    TTreePtr tree = RowTree();
    TGridNode* a = Add(tree.get(), 1);
    tree->SetSelected(a, true);
    tree->Perform(WM_COPY, 0, 0);
    ASSERT_TRUE(a->States.Contains(vsCutOrCopy));
    SetClipboardText("someone else");
    EXPECT_FALSE(a->States.Contains(vsCutOrCopy));
    EXPECT_FALSE(tree->TreeStates().Contains(tsCopyPending));

    // A tree going while its rows are on the clipboard leaves their data there.
    TTreePtr gone = RowTree();
    gone->SetSelected(Add(gone.get(), 7), true);
    gone->CopyToClipBoard();
    gone.reset();
    EXPECT_EQ(GetClipboardText(), "Name\tWert\r\nn7\tv7\r\n");
}

TEST_F(TreeGridClipboard, PasteNeedsAWayForTheUserData)
{
    TTreePtr source = RowTree();
    TGridNode* a = Add(source.get(), 1);
    source->SetSelected(a, true);
    source->SetSelected(Add(source.get(), 2), true);
    source->CopyToClipBoard();

    TTreePtr target = RowTree();
    TGridNode* t = Add(target.get(), 9);
    target->SetFocusedNode(t);
    EXPECT_TRUE(target->PasteFromClipboard());
    EXPECT_EQ(Ids(target.get()), "9 1 2");
    ExpectConsistent(target.get());
    // A copy stays a copy: the source keeps its rows, its marks go.
    EXPECT_EQ(Ids(source.get()), "1 2");
    EXPECT_FALSE(source->TreeStates().Contains(tsCopyPending));

    // User data without a loader: nothing arrives.
    TTreePtr blind = RowTree(false);
    Add(blind.get(), 5);
    EXPECT_FALSE(blind->PasteFromClipboard());
    EXPECT_EQ(Ids(blind.get()), "5");

    // Text of another program is no node stream.
    SetClipboardText("n1\tv1");
    EXPECT_FALSE(target->PasteFromClipboard());
    EXPECT_EQ(Ids(target.get()), "9 1 2");
}

TEST_F(TreeGridClipboard, CutBetweenTreesEndsOnlyWithThePaste)
{
    TTreePtr source = RowTree();
    Add(source.get(), 1);
    TGridNode* b = Add(source.get(), 2);
    Add(source.get(), 3);
    source->SetSelected(b, true);
    source->CutToClipBoard();
    ASSERT_TRUE(source->TreeStates().Contains(tsCutPending));
    EXPECT_EQ(Ids(source.get()), "1 2 3");

    TTreePtr blind = RowTree(false);
    EXPECT_FALSE(blind->PasteFromClipboard());
    EXPECT_EQ(Ids(source.get()), "1 2 3") << "a refused paste keeps the cut rows";

    TTreePtr target = RowTree();
    EXPECT_TRUE(target->PasteFromClipboard());
    EXPECT_EQ(Ids(target.get()), "2");
    EXPECT_EQ(Ids(source.get()), "1 3");
    EXPECT_FALSE(source->TreeStates().Contains(tsCutPending));
    ExpectConsistent(source.get());
}

TEST_F(TreeGridClipboard, ReferencesResolveOnlyToLiveTreesOfThisProcess)
{
    TTreePtr tree = RowTree();
    auto data = std::make_shared<TTGDataObject>(tree.get(), false);
    EXPECT_EQ(GetTreeFromDataObject(data.get()), tree.get());

    // Forged references: another process, a number no tree has.
    class TForged : public IDataObject {
    public:
        std::string Bytes;
        std::vector<TFormatEtc> EnumFormatEtc() override
        {
            TFormatEtc f;
            f.cfFormat = CF_TREEGRIDREFERENCE();
            return {f};
        }
        HRESULT QueryGetData(const TFormatEtc& F) override { return QueryOfferedFormat(EnumFormatEtc(), F); }
        HRESULT GetData(const TFormatEtc&, TStream& M) override
        {
            M.WriteBytes(Bytes);
            return S_OK;
        }
    } forged;
    for (const std::string& bytes : {U32(Cardinal(::getpid()) + 1) + U32(tree->TreeNumber()),
             U32(Cardinal(::getpid())) + U32(tree->TreeNumber() + 1000), U32(Cardinal(::getpid())),
             U32(Cardinal(::getpid())) + U32(tree->TreeNumber()) + "x"}) {
        forged.Bytes = bytes;
        EXPECT_EQ(GetTreeFromDataObject(&forged), nullptr);
    }
    forged.Bytes = U32(Cardinal(::getpid())) + U32(tree->TreeNumber());
    EXPECT_EQ(GetTreeFromDataObject(&forged), tree.get());
    const Cardinal number = tree->TreeNumber();
    tree.reset();
    EXPECT_EQ(FindTreeGrid(number), nullptr);
    EXPECT_EQ(GetTreeFromDataObject(data.get()), nullptr);
}

// The node stream: exact bytes, round trips, old versions, the refusal of
// damaged streams, and moving nodes into another tree.
#include "TreeGridTestSupport.h"

#include "platform/TextFile.h"

namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) {
        if (!s.empty())
            s += ' ';
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

std::string Saved(TTestTree* tree, TGridNode* node = nullptr)
{
    TMemoryStream stream;
    tree->SaveToStream(stream, node);
    return stream.DataString();
}

void Load(TTestTree* tree, const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    tree->LoadFromStream(stream);
}

// Little-endian pieces for streams built by hand.
std::string U32(Cardinal v)
{
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}
std::string Magic(char16_t version)
{
    std::string s;
    for (char16_t u : {u'\u2045', u'V', u'T', version, u' ', u'\u2046'})
        s += std::string{char(u & 0xFF), char(u >> 8)};
    return s;
}
std::string Chunk(Cardinal type, const std::string& body) { return U32(type) + U32(Cardinal(body.size())) + body; }
std::string Base(Cardinal children, Word states = 0x81, Byte checkState = 0, Byte checkType = 0)
{
    return Chunk(2, U32(children) + U32(18) + std::string{char(states & 0xFF), char(states >> 8)} +
                        std::string{char(50), char(checkState), char(checkType)} + U32(0));
}
std::string Record(const std::string& chunks) { return Chunk(1, chunks); }

// A string tree whose rows keep an id: texts "n<id>", the id as user data.
TTreePtr IdTree()
{
    TTreePtr tree = MakeTree(sizeof(TRow));
    tree->OnGetText = [](TBaseTreeGrid* t, TGridNode* n, TColumnIndex, TVSTTextType, String& text) {
        text = "n" + std::to_string(Row(t, n).Id);
    };
    tree->OnSaveNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { s.WriteInt32(Row(t, n).Id); };
    tree->OnLoadNode = [](TBaseTreeGrid* t, TGridNode* n, TStream& s) { Row(t, n).Id = s.ReadInt32(); };
    return tree;
}

TGridNode* Add(TTestTree* tree, TGridNode* parent, int id)
{
    TGridNode* n = tree->AddChild(parent);
    Row(tree, n).Id = id;
    return n;
}

// Ids in tree order, children in brackets.
std::string Shape(TTestTree* tree, TGridNode* parent = nullptr)
{
    std::string s;
    for (TGridNode* n = tree->GetFirstChildNoInit(parent); n; n = n->NextSibling) {
        if (!s.empty())
            s += ' ';
        s += std::to_string(Row(tree, n).Id);
        if (n->FirstChild)
            s += "(" + Shape(tree, n) + ")";
    }
    return s;
}

}  // namespace

TEST(NodeStream, GoldenBytesOfOneRow)
{
    TTreePtr tree = MakeTree(0);
    tree->OnGetText = [](TBaseTreeGrid*, TGridNode*, TColumnIndex, TVSTTextType, String& text) { text = "Ab"; };
    tree->AddChild(nullptr);
    EXPECT_EQ(Hex(Saved(tree.get())),
        "45 20 56 00 54 00 02 00 20 00 46 20 "
        "01 00 00 00 "
        "01 00 00 00 25 00 00 00 "
        "02 00 00 00 11 00 00 00 "
        "00 00 00 00 12 00 00 00 81 00 32 00 00 00 00 00 00 "
        "03 00 00 00 04 00 00 00 41 00 62 00");

    // A handler that writes nothing leaves no user chunk; one that writes does.
    tree->OnSaveNode = [](TBaseTreeGrid*, TGridNode*, TStream&) {};
    EXPECT_EQ(Saved(tree.get()).size(), 61u);
    tree->OnSaveNode = [](TBaseTreeGrid*, TGridNode*, TStream& s) { s.WriteUInt8(7); };
    const std::string withData = Saved(tree.get());
    EXPECT_EQ(Hex(withData.substr(49, 9)), "04 00 00 00 01 00 00 00 07");
    EXPECT_EQ(Hex(withData.substr(20, 4)), "2E 00 00 00");  // the record grew by 9
}

TEST(NodeStream, NestedTreesRoundTripByteForByte)
{
    TTreePtr tree = IdTree();
    tree->SetSelection(toMultiSelect, true);
    TGridNode* a = Add(tree.get(), nullptr, 1);
    TGridNode* a1 = Add(tree.get(), a, 11);
    Add(tree.get(), a1, 111);
    Add(tree.get(), a, 12);
    TGridNode* b = Add(tree.get(), nullptr, 2);
    TGridNode* c = Add(tree.get(), nullptr, 3);
    Add(tree.get(), c, 31);
    tree->SetExpanded(a, true);
    tree->SetExpanded(a1, true);
    tree->SetNodeHeight(b, 40);
    tree->SetSelected(b, true);
    tree->SetSelected(a1, true);
    tree->SetDisabled(c, true);
    b->CheckType = ctCheckBox;
    b->CheckState = csCheckedNormal;
    const std::string first = Saved(tree.get());

    TTreePtr copy = IdTree();
    copy->SetSelection(toMultiSelect, true);
    Add(copy.get(), nullptr, 99);  // replaced by the load
    Load(copy.get(), first);
    ExpectConsistent(copy.get());
    EXPECT_EQ(Shape(copy.get()), "1(11(111) 12) 2 3(31)");
    EXPECT_EQ(copy->SelectedCount(), 2);
    EXPECT_EQ(copy->VisibleCount(), 6u);  // 3 stays collapsed
    EXPECT_EQ(Saved(copy.get()), first);

    // A subtree alone, and an old tree's selection without multi-select.
    TTreePtr single = IdTree();
    Load(single.get(), Saved(tree.get(), a));
    EXPECT_EQ(Shape(single.get()), "1(11(111) 12)");
    EXPECT_EQ(single->SelectedCount(), 0);
    ExpectConsistent(single.get());
}

TEST(NodeStream, VersionOneStreamLoadsToItsEnd)
{
    // No count: records until the data ends; one byte of states whose top
    // bit meant selected.
    auto oldBase = [](Cardinal children, Byte states) {
        return Chunk(2, U32(children) + U32(20) + std::string{char(states), char(50), 0, 0});
    };
    auto user = [](int id) { return Chunk(4, U32(Cardinal(id))); };
    const std::string stream = Magic(1) + Record(oldBase(1, 0x21) + Record(oldBase(0, 0x81) + user(11)) + user(1)) +
                               Record(oldBase(0, 0x01) + user(2)) + Record(oldBase(0, 0x01) + user(3));
    TTreePtr tree = IdTree();
    tree->SetSelection(toMultiSelect, true);
    Load(tree.get(), stream);
    EXPECT_EQ(Shape(tree.get()), "1(11) 2 3");
    TGridNode* child = tree->GetFirstChildNoInit(tree->GetFirstNoInit());
    EXPECT_TRUE(tree->Selected(child));
    EXPECT_TRUE(tree->Expanded(tree->GetFirstNoInit()));
    EXPECT_EQ(tree->NodeHeight(child), 20u);
    ExpectConsistent(tree.get());
}

TEST(NodeStream, WrongHeadersAreRefusedAndTheTreeStays)
{
    TTreePtr tree = IdTree();
    Add(tree.get(), nullptr, 5);
    const std::string row = Record(Base(0));
    struct TCase {
        std::string Bytes;
        const char* Message;
    };
    const TCase cases[] = {
        {Magic(2).substr(0, 10), "Unable to load tree structure, not enough data available."},
        {Magic(2), "Unable to load tree structure, not enough data available."},
        {"[Table]\r\nColumns=3\r\n", "Unable to load tree structure, the format is wrong."},
        {Magic(3) + U32(1) + row, "Unable to load tree structure, the version is unknown."},
        {Magic(0) + U32(1) + row, "Stream data corrupt."},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(MessageOf<ETreeGridError>([&] { Load(tree.get(), c.Bytes); }), c.Message) << Hex(c.Bytes);
        EXPECT_EQ(Shape(tree.get()), "5") << "the tree stays as it was";
    }
}

TEST(NodeStream, DamagedRecordsKeepWhatWasRead)
{
    const std::string good = Record(Base(0) + Chunk(4, U32(1)));
    const std::string deep = [] {
        std::string r = Record(Base(0));
        for (int i = 0; i < 1000; ++i)
            r = Record(Base(1) + r);
        return r;
    }();
    struct TCase {
        const char* What;
        std::string Bad;
        const char* Message;
    };
    const TCase cases[] = {
        {"no anchor", Base(0), "Stream data corrupt. A node's anchor chunk is missing."},
        {"trailing bytes", Record(Base(0) + "xyz"), "Stream data corrupt. Unexpected data after node's end position."},
        {"negative size", U32(1) + U32(0xFFFFFFF0u) + Base(0), "Stream data corrupt."},
        {"size past the stream", U32(1) + U32(500) + Base(0), "Stream data corrupt."},
        {"chunk past its record", Record(Base(0) + U32(4) + U32(100) + "abcd"), "Stream data corrupt."},
        {"base chunk of 16 bytes", Record(Chunk(2, std::string(16, '\0'))), "Stream data corrupt."},
        {"more children than bytes", Record(Base(2) + Record(Base(0))), "Stream data corrupt."},
        {"huge child count", Record(Base(0xFFFFFFFFu)), "Stream data corrupt."},
        {"check state 6", Record(Base(0, 0x81, 6)), "Stream data corrupt."},
        {"check type 5", Record(Base(0, 0x81, 0, 5)), "Stream data corrupt."},
        {"odd caption", Record(Base(0) + Chunk(3, "abc")), "Stream data corrupt."},
        {"two base chunks", Record(Base(0) + Base(0)), "Stream data corrupt."},
        {"nesting too deep", deep, "Stream data corrupt."},
    };
    for (const TCase& c : cases) {
        TTreePtr tree = IdTree();
        EXPECT_EQ(MessageOf<ETreeGridError>([&] { Load(tree.get(), Magic(2) + U32(3) + good + c.Bad + good); }),
            c.Message)
            << c.What;
        // The good record before the damage stays, with whatever the damaged
        // one had got; nothing after it is read.
        EXPECT_GE(tree->RootNodeCount(), 1u) << c.What;
        EXPECT_LE(tree->RootNodeCount(), 2u) << c.What;
        EXPECT_EQ(Row(tree.get(), tree->GetFirstNoInit()).Id, 1) << c.What;
        ExpectConsistent(tree.get());
    }
}

TEST(NodeStream, ReadStatesAreCleanedAndUserDataIsBounded)
{
    TTreePtr tree = IdTree();
    int bytesSeen = -1;
    tree->OnLoadNode = [&](TBaseTreeGrid* t, TGridNode* n, TStream& s) {
        bytesSeen = int(s.Size());
        Row(t, n).Id = s.ReadInt32();
        s.Seek(100, soCurrent);  // reads past its data: nothing there
        EXPECT_EQ(s.Read(&bytesSeen, 4), 0);
    };
    // Every transient state set, and a height no row can have.
    const std::string record = Record(Chunk(2, U32(0) + U32(0x12345) + std::string{'\xFF', '\xFF'} +
                                                   std::string{char(50), 0, 0} + U32(0)) +
                                      Chunk(4, U32(7)) + Chunk(9, "skipped"));
    Load(tree.get(), Magic(2) + U32(1) + record);
    TGridNode* n = tree->GetFirstNoInit();
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(Row(tree.get(), n).Id, 7);
    for (TGridNodeState s : {vsChecking, vsCutOrCopy, vsDeleting, vsInitialUserData, vsHeightMeasured, vsClearing,
             vsToggling})
        EXPECT_FALSE(n->States.Contains(s)) << int(s);
    EXPECT_TRUE(n->States.Contains(vsHidden));
    EXPECT_EQ(n->NodeHeight, 0xFFFF);
    EXPECT_FALSE(tree->Selected(n)) << "a selection without multi-select is dropped";
    ExpectConsistent(tree.get());
}

TEST(NodeStream, UninitialisedNodeWithChildrenSavesWhatItWrites)
{
    TTreePtr tree = IdTree();
    tree->SetMisc(toInitOnSave, false);
    tree->SetRootNodeCount(1);
    TGridNode* parent = tree->GetFirstNoInit();
    tree->SetChildCount(parent, 2);
    parent->States.Exclude(vsInitialized);
    const std::string bytes = Saved(tree.get());
    TTreePtr copy = IdTree();
    Load(copy.get(), bytes);
    EXPECT_EQ(copy->RootNodeCount(), 1u);
    EXPECT_EQ(copy->ChildCount(copy->GetFirstNoInit()), 0u);
    ExpectConsistent(copy.get());
}

TEST(NodeStream, MoveToAnotherTree)
{
    TTreePtr source = IdTree();
    TTreePtr target = IdTree();
    TGridNode* a = Add(source.get(), nullptr, 1);
    Add(source.get(), a, 11);
    Add(source.get(), a, 12);
    Add(source.get(), nullptr, 2);
    TGridNode* t1 = Add(target.get(), nullptr, 7);
    Add(target.get(), nullptr, 8);
    std::vector<int> moved;
    target->OnNodeMoved = [&](TBaseTreeGrid* t, TGridNode* n) { moved.push_back(Row(t, n).Id); };
    std::vector<TGridNode*> changed;
    source->OnStructureChange = [&](TBaseTreeGrid*, TGridNode* n, TChangeReason) { changed.push_back(n); };

    source->MoveTo(a, t1, amInsertAfter, false);
    EXPECT_EQ(Shape(source.get()), "2");
    EXPECT_EQ(Shape(target.get()), "7 1(11 12) 8");
    EXPECT_EQ(moved, std::vector<int>{1});
    for (TGridNode* n : changed)
        EXPECT_TRUE(n == nullptr) << "no report names the node that went";
    ExpectConsistent(source.get());
    ExpectConsistent(target.get());

    // Children only, to the front: they keep their order.
    TGridNode* back = target->GetFirstChildNoInit(nullptr)->NextSibling;
    TGridNode* b = source->GetFirstNoInit();
    target->MoveTo(back, b, amAddChildFirst, true);
    EXPECT_EQ(Shape(source.get()), "2(11 12)");
    EXPECT_EQ(Shape(target.get()), "7 1 8");
    ExpectConsistent(source.get());
    ExpectConsistent(target.get());

    // A read-only target or a refusing handler moves nothing.
    target->SetMisc(toReadOnly, true);
    source->MoveTo(b, target->RootNode(), amAddChildLast, false);
    EXPECT_EQ(Shape(source.get()), "2(11 12)");
    target->SetMisc(toReadOnly, false);
    source->OnNodeMoving = [](TBaseTreeGrid*, TGridNode*, TGridNode*, bool& allowed) { allowed = false; };
    source->MoveTo(b, target->RootNode(), amAddChildLast, false);
    EXPECT_EQ(Shape(target.get()), "7 1 8");
}

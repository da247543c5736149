// The header stream: record sizes, round trips of every field, old streams
// and the refusal or repair of damaged ones.
#include "TreeGridTestSupport.h"

#include "platform/Graphics.h"

namespace {

std::string U32(std::int32_t v)
{
    const auto u = Cardinal(v);
    return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char(u >> 24)};
}
std::string Ints(std::initializer_list<std::int32_t> values)
{
    std::string s;
    for (std::int32_t v : values)
        s += U32(v);
    return s;
}
// A caption or hint: length in characters, then UTF-16 (ASCII here).
std::string Wide(const std::string& text)
{
    std::string s = U32(std::int32_t(text.size()));
    for (char c : text)
        s += std::string{c, 0};
    return s;
}

std::string SavedHeader(TTestTree* tree)
{
    TMemoryStream stream;
    tree->Header()->SaveToStream(stream);
    return stream.DataString();
}

void LoadHeader(TTestTree* tree, const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteBytes(bytes);
    stream.SetPosition(0);
    tree->Header()->LoadFromStream(stream);
}

// The header part after the columns of a current stream, with the given
// main and sort column.
std::string HeaderTail(std::int32_t main, std::int32_t sort)
{
    return Ints({-1, 0x0F, 17, 0x206, 0, 0, -11}) + U32(6) + "Tahoma" + Ints({0, 0}) + Ints({main, sort, 0}) +
        Ints({0, 10000, 10, 17, 0, 0, 0, 0});
}

}  // namespace

TEST(HeaderStream, DefaultColumnRecordIs62Bytes)
{
    TTreePtr tree = MakeTree();
    TTreeGridColumn* column = tree->Header()->Columns()->Add();
    column->SetText("A");
    TMemoryStream stream;
    column->SaveToStream(stream);
    EXPECT_EQ(stream.Size(), 62);
    EXPECT_EQ(stream.DataString().substr(0, 10), Wide("A") + U32(0));
    // The caption alignment is written only while the column uses it.
    column->SetCaptionAlignment(taCenter);
    column->SetOptions(column->Options() + TTGColumnOptions{coUseCaptionAlignment});
    TMemoryStream withAlignment;
    column->SaveToStream(withAlignment);
    EXPECT_EQ(withAlignment.Size(), 66);
}

TEST(HeaderStream, RoundTripKeepsEveryField)
{
    TTreePtr tree = MakeTree();
    TTGHeader* h = tree->Header();
    TTreeGridColumns* cols = h->Columns();
    for (const char* text : {"Name", "B\xC3\xBC" "ro", "Ende"})
        cols->Add()->SetText(text);
    TTreeGridColumn* c = cols->Items(1);
    c->SetHint("hint");
    // Limits outside the defaults, and widths only they allow.
    c->SetMaxWidth(20000);
    c->SetWidth(15000);
    cols->Items(2)->SetMinWidth(0);
    cols->Items(2)->SetWidth(4);
    c->SetStyle(vsOwnerDraw);
    c->SetImageIndex(3);
    c->SetLayout(blGlyphTop);
    c->SetMargin(7);
    c->SetSpacing(9);
    c->SetTag(1234);
    c->SetAlignment(taRightJustify);
    c->SetColor(TColor(0x00123456));
    c->SetCaptionAlignment(taCenter);
    c->SetOptions(TTGColumnOptions{coVisible, coResizable, coUseCaptionAlignment, coFixed});
    cols->Items(2)->SetPosition(0);
    cols->SetDefaultWidth(77);
    h->SetAutoSizeIndex(2);
    h->SetBackground(TColor(0x00ABCDEF));
    h->SetOptions(TTGHeaderOptions{hoVisible, hoShowSortGlyphs, hoHotTrack});
    h->SetStyle(hsFlatButtons);
    h->Font()->SetName("Liberation Sans");
    h->Font()->SetHeight(-15);
    h->Font()->SetStyle(TFontStyles{fsBold, fsItalic});
    h->Font()->SetColor(TColor(0x00010203));
    h->SetMainColumn(1);
    h->SetSortColumn(2);
    h->SetSortDirection(sdDescending);
    h->SetParentFont(true);
    h->SetMinHeight(5);
    h->SetMaxHeight(300);
    h->SetDefaultHeight(25);
    h->SetHeight(8);
    h->FixedAreaConstraints()->SetMaxWidthPercent(60);
    h->FixedAreaConstraints()->SetMinHeightPercent(5);
    const std::string bytes = SavedHeader(tree.get());

    TTreePtr copy = MakeTree();
    copy->Header()->Columns()->Add()->SetText("gone");
    LoadHeader(copy.get(), bytes);
    EXPECT_TRUE(copy->Header()->Equals(*h));
    EXPECT_EQ(copy->Header()->Columns()->Items(1)->Width(), 15000);
    EXPECT_EQ(copy->Header()->Columns()->Items(2)->Width(), 4);
    EXPECT_EQ(copy->Header()->Columns()->Items(2)->Position(), 0u);
    EXPECT_EQ(copy->Header()->Height(), 8);
    EXPECT_FALSE(copy->Header()->States().Contains(hsLoading));
    EXPECT_EQ(SavedHeader(copy.get()), bytes);

    copy->Header()->Columns()->Items(0)->SetTag(1);
    EXPECT_FALSE(copy->Header()->Equals(*h));
}

TEST(HeaderStream, StreamWithoutMarkerIsTheOldestVersion)
{
    // Count 1, one column of the oldest layout (no tag, alignment or colour),
    // the header part without main and sort column or limits.
    const std::string column = Wide("Old") + Wide("") + Ints({120, 10, 10000, 0, -1, 0, 4, 4, 0, 0xFF});
    const std::string stream = U32(1) + column + U32(0) + Ints({-1, -1, 20, 0x206, 0, 0, -11}) + U32(5) + "Arial" +
        Ints({0, 1});
    TTreePtr tree = MakeTree();
    tree->Header()->Columns()->Add()->SetText("was here");
    LoadHeader(tree.get(), stream);
    ASSERT_EQ(tree->Header()->Columns()->Count(), 1);
    TTreeGridColumn* c = tree->Header()->Columns()->Items(0);
    EXPECT_EQ(c->Text(), "Old");
    EXPECT_EQ(c->Width(), 120);
    EXPECT_EQ(c->Options().ToBits(), 0x01EF);
    EXPECT_EQ(c->Tag(), 0);
    EXPECT_EQ(c->Color(), clWindow);
    EXPECT_EQ(tree->Header()->Columns()->DefaultWidth(), 50);
    EXPECT_EQ(tree->Header()->Height(), 20);
    EXPECT_EQ(tree->Header()->Font()->Name(), "Arial");
    EXPECT_TRUE(tree->Header()->Font()->Style().Contains(fsBold));
}

TEST(HeaderStream, DamagedStreamsAreRefusedOrRepaired)
{
    const std::string marker = Ints({-1, 6});
    const std::string column = Wide("A") + Wide("") + Ints({50, 10, 10000, 0, -1, 0, 4, 4, 0, 0xFF, 0, 0, 0});
    TTreePtr tree = MakeTree();
    // Counts and lengths the bytes cannot hold.
    for (const std::string& bad : {marker + U32(-5), marker + U32(0x7FFFFFFF) + column,
             marker + U32(1) + U32(-1) + column.substr(4), marker + U32(1) + U32(1000) + column.substr(4),
             marker + U32(1) + column.substr(0, 30), marker.substr(0, 6), Ints({-1, 9, 0})}) {
        const TTGHeaderOptions before = tree->Header()->Options();
        EXPECT_EQ(MessageOf<ETreeGridError>([&] { LoadHeader(tree.get(), bad); }), "Stream data corrupt.");
        EXPECT_FALSE(tree->Header()->States().Contains(hsLoading));
        EXPECT_EQ(tree->Header()->Options(), before);
    }

    // Positions that are no permutation give the plain order; indexes and
    // enumerations out of range are clamped.
    const std::string col2 = Wide("B") + Wide("") + Ints({60, 10, 10000, 9, -1, 77, 4, 4, -3, 0xFF, 0, 99, 0});
    LoadHeader(tree.get(), marker + U32(2) + column + col2 + Ints({1, 1}) + U32(50) + HeaderTail(5, -7));
    TTreeGridColumns* cols = tree->Header()->Columns();
    ASSERT_EQ(cols->Count(), 2);
    EXPECT_EQ(cols->PositionToIndex(), (std::vector<int>{0, 1}));
    EXPECT_EQ(cols->Items(1)->Style(), vsOwnerDraw);
    EXPECT_EQ(cols->Items(1)->Layout(), blGlyphBottom);
    EXPECT_EQ(cols->Items(1)->BiDiMode(), bdLeftToRight);
    EXPECT_EQ(cols->Items(1)->Alignment(), taCenter);
    EXPECT_EQ(tree->Header()->MainColumn(), 0);  // 5 is no column: the first one
    EXPECT_EQ(tree->Header()->SortColumn(), NoColumn);
    EXPECT_EQ(cols->Items(0)->StoredLeft(), 0);
    EXPECT_EQ(cols->Items(1)->StoredLeft(), 50);
}

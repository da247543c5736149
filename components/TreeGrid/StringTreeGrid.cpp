#include "components/TreeGrid/StringTreeGrid.h"

#include <cstring>
#include <string>

#include "platform/TextFile.h"

void TCustomStringTreeOptions::SetStringOptions(TTGStringOptions Value)
{
    if (Value == FStringOptions)
        return;
    const bool staticChanged = Value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
    FStringOptions = Value;
    if (staticChanged && FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated())
        FOwner->RepaintTree();
}

void TCustomStringTreeOptions::AssignTo(TPersistent* Dest)
{
    if (auto* target = dynamic_cast<TCustomStringTreeOptions*>(Dest))
        target->SetStringOptions(FStringOptions);
    TCustomTreeGridOptions::AssignTo(Dest);
}

namespace {
TCustomTreeGridOptions* CreateCustomStringOptions(TBaseTreeGrid* Owner)
{
    return new TCustomStringTreeOptions(Owner);
}
TCustomTreeGridOptions* CreateStringOptions(TBaseTreeGrid* Owner)
{
    return new TStringTreeOptions(Owner);
}
}  // namespace

TCustomStringTreeGrid::TCustomStringTreeGrid(TComponent* AOwner) : TBaseTreeGrid(AOwner)
{
    FInternalDataOffset = AllocateInternalDataArea(sizeof(Cardinal));
}

TTreeGridOptionsClass TCustomStringTreeGrid::GetOptionsClass()
{
    return &CreateCustomStringOptions;
}

TTreeGridOptionsClass TStringTreeGrid::GetOptionsClass()
{
    return &CreateStringOptions;
}

void TCustomStringTreeGrid::SetDefaultText(const String& Value)
{
    if (Value == FDefaultText)
        return;
    FDefaultText = Value;
    if (!IsLoading())
        RepaintTree();
}

String TCustomStringTreeGrid::Text(TGridNode* Node, TColumnIndex Column)
{
    TGAssert(Node != nullptr, "Node must not be nil.");
    if (Node != FRoot && !Node->States.Contains(vsInitialized))
        InitNode(Node);
    String result = FDefaultText;
    DoGetText(Node, Column, ttNormal, result);
    return result;
}

void TCustomStringTreeGrid::SetText(TGridNode* Node, TColumnIndex Column, const String& Value)
{
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomStringTreeGrid::DoGetText(TGridNode* Node, TColumnIndex Column, TVSTTextType TextType, String& Text)
{
    if (OnGetText)
        OnGetText(this, Node, Column, TextType, Text);
}

void TCustomStringTreeGrid::DoNewText(TGridNode* Node, TColumnIndex Column, const String& Text)
{
    if (OnNewText)
        OnNewText(this, Node, Column, Text);
    if (FUpdateCount == 0)
        UpdateHorizontalScrollBar(true);
}

Cardinal TCustomStringTreeGrid::CachedTextWidth(TGridNode* Node) const
{
    if (!Node || Node == FRoot)
        return 0;
    Cardinal width;
    std::memcpy(&width, reinterpret_cast<const char*>(Node) + FInternalDataOffset, sizeof(width));
    return width;
}

void TCustomStringTreeGrid::SetCachedTextWidth(TGridNode* Node, Cardinal Width)
{
    if (Node && Node != FRoot)
        std::memcpy(reinterpret_cast<char*>(Node) + FInternalDataOffset, &Width, sizeof(Width));
}

void TCustomStringTreeGrid::InvalidateNode(TGridNode* Node)
{
    if (Node && Node != FRoot) {
        SetCachedTextWidth(Node, 0);
        Node->States.Exclude(vsHeightMeasured);
    }
    TBaseTreeGrid::InvalidateNode(Node);
}

void TCustomStringTreeGrid::ReinitNode(TGridNode* Node, bool Recursive)
{
    TBaseTreeGrid::ReinitNode(Node, Recursive);
    SetCachedTextWidth(Node, 0);
}

void TCustomStringTreeGrid::ResetAllTextWidths()
{
    for (TGridNode* run = GetFirstNoInit(); run; run = GetNextNoInit(run))
        SetCachedTextWidth(run, 0);
}

void TCustomStringTreeGrid::MainColumnChanged()
{
    ResetAllTextWidths();
    TBaseTreeGrid::MainColumnChanged();
}

// ---- node stream captions ---------------------------------------------------------

namespace {
constexpr int CaptionChunk = 3;
}

void TCustomStringTreeGrid::WriteChunks(TStream& Stream, TGridNode* Node)
{
    TBaseTreeGrid::WriteChunks(Stream, Node);
    if (Node == FRoot || !Node->States.Contains(vsInitialized) ||
        !TreeOptions()->StringOptions().Contains(toSaveCaptions))
        return;
    const std::u16string caption = Utf8ToUtf16(Text(Node, FHeader->MainColumn()));
    if (caption.empty())
        return;
    Stream.WriteUInt32(CaptionChunk);
    Stream.WriteUInt32(Cardinal(caption.size() * 2));
    // Little-endian units in one write.
    std::string bytes(caption.size() * 2, '\0');
    for (std::size_t i = 0; i < caption.size(); ++i) {
        bytes[2 * i] = char(caption[i] & 0xFF);
        bytes[2 * i + 1] = char(caption[i] >> 8);
    }
    Stream.WriteBuffer(bytes.data(), Int64(bytes.size()));
}

bool TCustomStringTreeGrid::ReadChunk(TStream& Stream, int Version, TGridNode* Node, int ChunkType, int ChunkSize)
{
    if (ChunkType != CaptionChunk)
        return TBaseTreeGrid::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
    if (ChunkSize % 2 != 0)
        ShowError("Stream data corrupt.");
    std::u16string caption(std::size_t(ChunkSize / 2), u'\0');
    for (char16_t& unit : caption)
        unit = char16_t(Stream.ReadUInt16());
    SetText(Node, FHeader->MainColumn(), Utf16ToUtf8(caption));
    return true;
}

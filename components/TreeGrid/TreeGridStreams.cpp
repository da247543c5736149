// The node stream of TBaseTreeGrid: saving and loading trees and subtrees,
// and moving nodes into another tree through it.
//
// A node stream is also what the clipboard and drag and drop carry between
// programs, so the reader takes nothing on trust: every size is checked
// against what encloses it before anything is read or made, nesting is read
// with a stack of its own rather than by recursion, and anything that does
// not fit raises ETreeGridError while the nodes read so far stay.
#include <exception>
#include <vector>

#include "components/TreeGrid/BaseTreeGrid.h"

namespace {

constexpr int StreamVersion = 2;
constexpr int NodeChunk = 1;
constexpr int BaseChunk = 2;
constexpr int UserChunk = 4;
constexpr Int64 ChunkHeaderSize = 8;
constexpr int BaseChunkBodySize = 17;
constexpr int OldBaseChunkBodySize = 12;
// The smallest record a child can have: its anchor and base chunk.
constexpr Int64 MinNodeRecord = 2 * ChunkHeaderSize + BaseChunkBodySize;
constexpr Int64 MinOldNodeRecord = 2 * ChunkHeaderSize + OldBaseChunkBodySize;
// Deeper nesting than any tree of the program has; a stream nesting deeper
// would leave a tree that deleting or painting walks through recursively.
constexpr std::size_t MaxStreamNesting = 1000;

const char16_t Magic[6] = {u'\u2045', u'V', u'T', char16_t(StreamVersion), u' ', u'\u2046'};

// States that describe work in progress, never a node's lasting state.
constexpr TGridNodeStates TransientStates{vsChecking, vsCutOrCopy, vsDeleting, vsInitialUserData,
    vsHeightMeasured, vsClearing, vsToggling};
// What a saved node keeps of its states.
constexpr Word SavedStatesMask = 0xDDE9;

[[noreturn]] void Corrupt(const char* Detail = nullptr)
{
    ShowError(Detail ? String("Stream data corrupt. ") + Detail : String("Stream data corrupt."));
}

struct TChunkHeader {
    int ChunkType;
    int ChunkSize;
};

TChunkHeader ReadChunkHeader(TStream& Stream)
{
    TChunkHeader h;
    h.ChunkType = Stream.ReadInt32();
    h.ChunkSize = Stream.ReadInt32();
    return h;
}

}  // namespace

// ---- writing ------------------------------------------------------------------

void TBaseTreeGrid::SaveToStream(TStream& Stream, TGridNode* Node)
{
    if (Node && Node != FRoot) {
        WriteNodes(Stream, TNodeArray{Node});
        return;
    }
    TNodeArray nodes;
    nodes.reserve(FRoot->ChildCount);
    for (TGridNode* run = FRoot->FirstChild; run; run = run->NextSibling)
        nodes.push_back(run);
    WriteNodes(Stream, nodes);
}

void TBaseTreeGrid::WriteNodes(TStream& Stream, const TNodeArray& Nodes)
{
    for (char16_t unit : Magic)
        Stream.WriteUInt16(unit);
    Stream.WriteUInt32(Cardinal(Nodes.size()));
    for (TGridNode* node : Nodes)
        WriteNode(Stream, node);
}

void TBaseTreeGrid::WriteNode(TStream& Stream, TGridNode* Node)
{
    if (FOptions->MiscOptions().Contains(toInitOnSave)) {
        if (!Node->States.Contains(vsInitialized))
            InitNode(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0)
            InitChildren(Node);
    }
    const Int64 start = Stream.Position();
    Stream.WriteInt32(NodeChunk);
    Stream.WriteInt32(0);
    WriteChunks(Stream, Node);
    FinishChunkHeader(Stream, start, Stream.Position());
}

void TBaseTreeGrid::WriteChunks(TStream& Stream, TGridNode* Node)
{
    // Only an initialised node writes its children, so the count says how
    // many records follow rather than how many children exist.
    const bool withChildren = Node->States.Contains(vsInitialized);
    // One write for the whole chunk: a stream write per field made saving a
    // large tree several times slower.
    Byte chunk[ChunkHeaderSize + BaseChunkBodySize];
    Byte* out = chunk;
    const auto put = [&out](UInt64 Value, int Bytes) {
        for (int i = 0; i < Bytes; ++i)
            *out++ = Byte(Value >> (8 * i));
    };
    put(Cardinal(BaseChunk), 4);
    put(Cardinal(BaseChunkBodySize), 4);
    put(withChildren ? Node->ChildCount : 0, 4);
    put(Node->NodeHeight, 4);
    put(Word(Node->States.ToBits() & SavedStatesMask), 2);
    put(Node->Align, 1);
    put(Node->CheckState, 1);
    put(Node->CheckType, 1);
    put(0, 4);
    static_assert(sizeof(chunk) == 4 + 4 + 4 + 4 + 2 + 1 + 1 + 1 + 4, "the base chunk's layout");
    Stream.WriteBuffer(chunk, sizeof(chunk));
    if (withChildren)
        for (TGridNode* run = Node->FirstChild; run; run = run->NextSibling)
            WriteNode(Stream, run);

    const Int64 start = Stream.Position();
    Stream.WriteInt32(UserChunk);
    Stream.WriteInt32(0);
    DoSaveUserData(Node == FRoot ? nullptr : Node, Stream);
    const Int64 end = Stream.Position();
    if (end == start + ChunkHeaderSize) {
        Stream.SetSize(start);
        Stream.SetPosition(start);
    } else {
        FinishChunkHeader(Stream, start, end);
    }
}

void TBaseTreeGrid::FinishChunkHeader(TStream& Stream, Int64 StartPos, Int64 EndPos)
{
    Stream.SetPosition(StartPos + 4);
    Stream.WriteInt32(std::int32_t(EndPos - StartPos - ChunkHeaderSize));
    Stream.SetPosition(EndPos);
}

void TBaseTreeGrid::DoSaveUserData(TGridNode* Node, TStream& Stream)
{
    if (OnSaveNode)
        OnSaveNode(this, Node, Stream);
}

// ---- reading ------------------------------------------------------------------

int TBaseTreeGrid::ReadStreamMagic(TStream& Stream)
{
    if (Stream.Remaining() < 12)
        ShowError("Unable to load tree structure, not enough data available.");
    char16_t units[6];
    for (char16_t& unit : units)
        unit = char16_t(Stream.ReadUInt16());
    if (units[0] != Magic[0] || units[1] != Magic[1] || units[2] != Magic[2] || units[5] != Magic[5])
        ShowError("Unable to load tree structure, the format is wrong.");
    if (units[3] > StreamVersion)
        ShowError("Unable to load tree structure, the version is unknown.");
    if (units[3] == 0)
        Corrupt();
    return units[3];
}

void TBaseTreeGrid::LoadFromStream(TStream& Stream)
{
    if (FOptions->MiscOptions().Contains(toReadOnly))
        return;
    // Whatever is not a node stream is refused before the tree is touched.
    const int version = ReadStreamMagic(Stream);
    Cardinal count = Cardinal(-1);
    if (version >= 2) {
        if (Stream.Remaining() < 4)
            ShowError("Unable to load tree structure, not enough data available.");
        count = Stream.ReadUInt32();
    }
    Clear();
    BeginUpdate();
    try {
        while (count > 0 && Stream.Remaining() > 0) {
            TGridNode* node = MakeNewNode();
            InternalConnectNode(node, FRoot, this, amAddChildLast);
            InternalAddFromStream(Stream, version, node);
            --count;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    DoNodeCopied(nullptr);
}

void TBaseTreeGrid::LoadFromFile(const String& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TBaseTreeGrid::InternalAddFromStream(TStream& Stream, int Version, TGridNode* Node, Int64 Limit)
{
    TGAssert(Node && Node != FRoot, "The root node cannot be loaded from stream.");
    TGridNode* parent = Node->Parent;
    const bool rowsCounted = ChildrenCounted(parent);
    auto heightInParent = [&] {
        return parent->States.Contains(vsExpanded) && IsEffectivelyVisible(Node) ? Int64(Node->TotalHeight) : 0;
    };
    auto rows = [&] {
        return rowsCounted && IsEffectivelyVisible(Node) ? Int64(1 + CountVisibleChildren(Node)) : 0;
    };
    const Int64 oldCount = Node->TotalCount;
    const Int64 oldHeight = heightInParent();
    const Int64 oldRows = rows();

    std::exception_ptr failure;
    try {
        ReadNode(Stream, Version, Node, Limit);
    } catch (...) {
        failure = std::current_exception();
    }

    // Whatever was read, whole or not, joins the tree's bookkeeping.
    FixupTotalCount(Node);
    FixupTotalHeight(Node);
    TNodeArray selected;
    const bool multiSelect = FOptions->SelectionOptions().Contains(toMultiSelect);
    for (TGridNode* run = Node; run;) {
        if (run->FirstChild)
            DetermineHiddenChildrenFlag(run);
        if (run->States.Contains(vsSelected)) {
            if (multiSelect)
                selected.push_back(run);
            else
                run->States.Exclude(vsSelected);
        }
        if (run->FirstChild) {
            run = run->FirstChild;
            continue;
        }
        while (run != Node && !run->NextSibling)
            run = run->Parent;
        run = run == Node ? nullptr : run->NextSibling;
    }
    AdjustTotalCount(parent, Int64(Node->TotalCount) - oldCount, true);
    AdjustTotalHeight(parent, heightInParent() - oldHeight, true);
    FVisibleCount = Cardinal(Int64(FVisibleCount) + rows() - oldRows);
    if (parent != FRoot) {
        if (FUpdateCount > 0)
            FStates.Include(tsUpdateHiddenChildrenNeeded);
        else
            DetermineHiddenChildrenFlag(parent);
    }
    if (!selected.empty())
        AddToSelection(selected.data(), int(selected.size()), true);
    InvalidateCache();
    if (failure)
        std::rethrow_exception(failure);
}

// The record's anchor chunk holds the base chunk, then the children's
// records, then the other chunks. Each open record is one entry of the stack:
// its node, where it ends and how many children are still to come.
void TBaseTreeGrid::ReadNode(TStream& Stream, int Version, TGridNode* Node, Int64 Limit)
{
    const Int64 streamEnd = Stream.Size();
    if (Limit < 0 || Limit > streamEnd)
        Limit = streamEnd;
    struct TOpenNode {
        TGridNode* Node;
        Int64 End;
        Cardinal ChildrenLeft;
        bool BaseRead;
    };
    std::vector<TOpenNode> open;
    auto openRecord = [&](TGridNode* node, Int64 limit) {
        if (limit - Stream.Position() < ChunkHeaderSize)
            Corrupt("A node's anchor chunk is missing.");
        const TChunkHeader header = ReadChunkHeader(Stream);
        if (header.ChunkType != NodeChunk)
            Corrupt("A node's anchor chunk is missing.");
        if (header.ChunkSize < 0 || header.ChunkSize > limit - Stream.Position())
            Corrupt();
        if (open.size() >= MaxStreamNesting)
            Corrupt();
        open.push_back({node, Stream.Position() + header.ChunkSize, 0, false});
    };

    openRecord(Node, Limit);
    while (!open.empty()) {
        TOpenNode& top = open.back();
        const Int64 position = Stream.Position();
        if (top.ChildrenLeft > 0) {
            --top.ChildrenLeft;
            TGridNode* parent = top.Node;
            const Int64 end = top.End;
            TGridNode* child = MakeNewNode();
            child->Parent = parent;
            child->PrevSibling = parent->LastChild;
            child->Index = parent->ChildCount;
            if (parent->LastChild)
                parent->LastChild->NextSibling = child;
            else
                parent->FirstChild = child;
            parent->LastChild = child;
            ++parent->ChildCount;
            parent->States.Include(vsHasChildren);
            openRecord(child, end);
            continue;
        }
        if (position == top.End) {
            open.pop_back();
            continue;
        }
        if (top.End - position < ChunkHeaderSize)
            Corrupt("Unexpected data after node's end position.");
        const TChunkHeader header = ReadChunkHeader(Stream);
        const Int64 bodyStart = Stream.Position();
        if (header.ChunkSize < 0 || header.ChunkSize > top.End - bodyStart)
            Corrupt();
        if (header.ChunkType != BaseChunk) {
            ReadChunk(Stream, Version, top.Node, header.ChunkType, header.ChunkSize);
            Stream.SetPosition(bodyStart + header.ChunkSize);
            continue;
        }

        // The base chunk; its children's records follow it directly.
        const int bodySize = Version >= 2 ? BaseChunkBodySize : OldBaseChunkBodySize;
        if (Version >= 2 ? header.ChunkSize != BaseChunkBodySize : top.End - bodyStart < bodySize)
            Corrupt();
        if (top.BaseRead)
            Corrupt();
        top.BaseRead = true;
        const Cardinal childCount = Stream.ReadUInt32();
        const Cardinal height = Stream.ReadUInt32();
        TGridNodeStates states;
        if (Version >= 2) {
            states = TGridNodeStates::FromBits(Stream.ReadUInt16());
        } else {
            const Byte old = Stream.ReadUInt8();
            states = TGridNodeStates::FromBits(Word(old & 0x7F));
            states.Include(vsVisible);
            if (old & 0x80)
                states.Include(vsSelected);
        }
        const Byte align = Stream.ReadUInt8();
        const Byte checkState = Stream.ReadUInt8();
        const Byte checkType = Stream.ReadUInt8();
        if (Version >= 2)
            Stream.ReadUInt32();  // reserved
        if (checkState > csMixedPressed || checkType > ctButton)
            Corrupt();
        const Int64 perChild = Version >= 2 ? MinNodeRecord : MinOldNodeRecord;
        if (Int64(childCount) > (top.End - Stream.Position()) / perChild)
            Corrupt();
        TGridNode* node = top.Node;
        node->States = states - TransientStates;
        node->NodeHeight = Word(height > 0xFFFF ? 0xFFFF : height);
        node->TotalHeight = node->NodeHeight;
        node->Align = align;
        node->CheckState = TCheckState(checkState);
        node->CheckType = TCheckType(checkType);
        if (childCount > 0)
            node->States.Include(vsHasChildren);
        top.ChildrenLeft = childCount;
    }
}

bool TBaseTreeGrid::ReadChunk(TStream& Stream, int, TGridNode* Node, int ChunkType, int ChunkSize)
{
    if (ChunkType != UserChunk)
        return false;
    if (ChunkSize < 1)
        return true;
    // The handler sees its own bytes only, whatever it reads.
    TMemoryStream data;
    data.CopyFrom(Stream, ChunkSize);
    data.SetPosition(0);
    return DoLoadUserData(Node, data);
}

bool TBaseTreeGrid::DoLoadUserData(TGridNode* Node, TStream& Stream)
{
    if (!OnLoadNode)
        return false;
    OnLoadNode(this, Node, Stream);
    return Stream.Position() > 0;
}

void TBaseTreeGrid::SkipNode(TStream& Stream)
{
    if (Stream.Remaining() < ChunkHeaderSize)
        Corrupt("A node's anchor chunk is missing.");
    const TChunkHeader header = ReadChunkHeader(Stream);
    if (header.ChunkType != NodeChunk)
        Corrupt("A node's anchor chunk is missing.");
    if (header.ChunkSize < 0 || header.ChunkSize > Stream.Remaining())
        Corrupt();
    Stream.Seek(header.ChunkSize, soCurrent);
}

void TBaseTreeGrid::DoNodeCopied(TGridNode* Node)
{
    if (OnNodeCopied)
        OnNodeCopied(this, Node);
}

bool TBaseTreeGrid::CanLoadUserData()
{
    EnsureNodeDataSize();
    return FNodeDataSize <= 0 || OnLoadNode;
}

// ---- moving into another tree ---------------------------------------------------

void TBaseTreeGrid::MoveToTree(TBaseTreeGrid* TargetTree, TGridNode* Source, TGridNode* Target,
    TTGNodeAttachMode Mode, bool ChildrenOnly)
{
    if (TargetTree->FOptions->MiscOptions().Contains(toReadOnly))
        return;
    TGridNode* targetRoot = TargetTree->FRoot;
    if (Target == targetRoot) {
        if (Mode == amInsertBefore)
            Mode = amAddChildFirst;
        else if (Mode == amInsertAfter)
            Mode = amAddChildLast;
    }
    if (Target != targetRoot && !Target->States.Contains(vsInitialized))
        TargetTree->InitNode(Target);
    if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0)
        TargetTree->InitChildren(Target);
    if (!DoNodeMoving(Source, Target == targetRoot ? nullptr : Target))
        return;

    TMemoryStream stream;
    if (ChildrenOnly) {
        for (TGridNode* run = Source->FirstChild; run; run = run->NextSibling)
            WriteNode(stream, run);
    } else {
        WriteNode(stream, Source);
    }
    stream.SetPosition(0);

    // The records keep their order: after the first, each goes behind the one before.
    TargetTree->BeginUpdate();
    try {
        TGridNode* previous = nullptr;
        while (stream.Remaining() > 0) {
            TGridNode* node = TargetTree->MakeNewNode();
            if (previous)
                TargetTree->InternalConnectNode(node, previous, TargetTree, amInsertAfter);
            else
                TargetTree->InternalConnectNode(node, Target, TargetTree, Mode);
            previous = node;
            TargetTree->InternalAddFromStream(stream, StreamVersion, node);
            TargetTree->DoNodeMoved(node);
        }
    } catch (...) {
        TargetTree->EndUpdate();
        throw;
    }
    TargetTree->EndUpdate();

    BeginUpdate();
    try {
        if (ChildrenOnly)
            DeleteChildren(Source);
        else
            DeleteNode(Source);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    TargetTree->StructureChange(Target == targetRoot ? nullptr : Target, crNodeMoved);
}

// The header stream: the header and its columns as little-endian records,
// and the header's comparison.
//
// A header stream may come from an old file or from anywhere: counts and
// lengths are checked against the bytes left before anything is made, a
// position array that is no permutation gives the plain order, and indexes
// and enumerations out of range are clamped rather than trusted.
#include <algorithm>

#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Graphics.h"
#include "platform/TextFile.h"

namespace {

constexpr int HeaderStreamVersion = 6;
// Column option bits that exist; a stream may set others.
constexpr Word ColumnOptionsMask = 0x7FFF;

[[noreturn]] void Corrupt() { ShowError("Stream data corrupt."); }

// The bytes a column record takes at least, captions and hints empty.
Int64 MinColumnRecord(int Version)
{
    Int64 fields = 12;  // the two lengths and ten values up to the options
    if (Version > 0)
        fields += 2;
    if (Version > 1)
        fields += 1;
    return fields * 4;
}

void WriteWide(TStream& Stream, const String& Text)
{
    const std::u16string units = Utf8ToUtf16(Text);
    Stream.WriteInt32(std::int32_t(units.size()));
    for (char16_t u : units)
        Stream.WriteUInt16(u);
}

String ReadWide(TStream& Stream)
{
    if (Stream.Remaining() < 4)
        Corrupt();
    const std::int32_t length = Stream.ReadInt32();
    if (length < 0 || Int64(length) * 2 > Stream.Remaining())
        Corrupt();
    std::u16string units(std::size_t(length), u'\0');
    for (char16_t& u : units)
        u = char16_t(Stream.ReadUInt16());
    return Utf16ToUtf8(units);
}

// Sizes beyond any screen are taken as the largest one, so that sums of
// widths and heights stay far from overflowing; so does a header of more
// columns than any screen shows.
constexpr std::int32_t MaxPixels = 100000;
constexpr std::int32_t MaxColumns = 10000;

int Pixels(std::int32_t Value) { return std::clamp(Value, 0, MaxPixels); }

template <class E> E Ordinal(std::int32_t Value, E Last)
{
    return E(std::clamp<std::int32_t>(Value, 0, std::int32_t(Last)));
}

TTGColumnOptions ColumnOptionsOfVersion(std::int32_t Stored, int Version)
{
    auto bits = Word(Stored);
    if (Version == 2)
        bits &= 0x00FF;
    else if (Version < 2)
        // Older columns had no parent colour option: the bits from it on move up.
        bits = Word((bits & 0x000F) | ((bits & 0x00F0) << 1));
    return TTGColumnOptions::FromBits(Word(bits & ColumnOptionsMask));
}

}  // namespace

// ---- column records ------------------------------------------------------------

void TTreeGridColumn::SaveToStream(TStream& Stream) const
{
    WriteWide(Stream, FText);
    WriteWide(Stream, FHint);
    Stream.WriteInt32(FWidth);
    Stream.WriteInt32(FMinWidth);
    Stream.WriteInt32(FMaxWidth);
    Stream.WriteInt32(FStyle);
    Stream.WriteInt32(FImageIndex);
    Stream.WriteInt32(FLayout);
    Stream.WriteInt32(FMargin);
    Stream.WriteInt32(FSpacing);
    Stream.WriteInt32(FBiDiMode);
    Stream.WriteInt32(FOptions.ToBits());
    Stream.WriteInt32(FTag);
    Stream.WriteInt32(FAlignment);
    Stream.WriteInt32(std::int32_t(FColor));
    if (FOptions.Contains(coUseCaptionAlignment))
        Stream.WriteInt32(FCaptionAlignment);
}

void TTreeGridColumn::LoadFromStream(TStream& Stream, int Version)
{
    SetText(ReadWide(Stream));
    SetHint(ReadWide(Stream));
    if (Stream.Remaining() < MinColumnRecord(Version) - 8)
        Corrupt();
    const std::int32_t width = Stream.ReadInt32();
    const std::int32_t minWidth = Stream.ReadInt32();
    const std::int32_t maxWidth = Stream.ReadInt32();
    // The limits first, so that the width is judged by its own limits and
    // comes back as saved.
    SetMinWidth(0);
    SetMaxWidth(Pixels(maxWidth));
    SetMinWidth(Pixels(minWidth));
    SetWidth(Pixels(width));
    SetStyle(Ordinal(Stream.ReadInt32(), vsOwnerDraw));
    SetImageIndex(std::max(Stream.ReadInt32(), -1));
    SetLayout(Ordinal(Stream.ReadInt32(), blGlyphBottom));
    SetMargin(std::clamp(Stream.ReadInt32(), 0, MaxPixels));
    SetSpacing(std::clamp(Stream.ReadInt32(), 0, MaxPixels));
    SetBiDiMode(Ordinal(Stream.ReadInt32(), bdRightToLeftReadingOnly));
    const TTGColumnOptions options = ColumnOptionsOfVersion(Stream.ReadInt32(), Version);
    SetOptions(options);
    if (Version > 0) {
        SetTag(Stream.ReadInt32());
        SetAlignment(Ordinal(Stream.ReadInt32(), taCenter));
    }
    if (Version > 1)
        SetColor(TColor(Stream.ReadInt32()));
    // The colour setter leaves the parent colour; the stored options decide.
    SetOptions(options);
    if (Version > 5 && options.Contains(coUseCaptionAlignment)) {
        if (Stream.Remaining() < 4)
            Corrupt();
        SetCaptionAlignment(Ordinal(Stream.ReadInt32(), taCenter));
        SetOptions(options);
    }
}

// ---- the header -----------------------------------------------------------------

void TTGHeader::SaveToStream(TStream& Stream) const
{
    Stream.WriteInt32(-1);
    Stream.WriteInt32(HeaderStreamVersion);
    const int count = FColumns->Count();
    Stream.WriteInt32(count);
    if (count > 0) {
        for (int i = 0; i < count; ++i)
            FColumns->Items(i)->SaveToStream(Stream);
        for (int index : FColumns->PositionToIndex())
            Stream.WriteInt32(index);
    }
    Stream.WriteInt32(FColumns->DefaultWidth());

    Stream.WriteInt32(FAutoSizeIndex);
    Stream.WriteInt32(std::int32_t(FBackground));
    Stream.WriteInt32(FHeight);
    Stream.WriteInt32(FOptions.ToBits());
    Stream.WriteInt32(FStyle);
    Stream.WriteInt32(std::int32_t(FFont->Color()));
    Stream.WriteInt32(FFont->Height());
    const String& name = FFont->Name();
    Stream.WriteInt32(std::int32_t(name.size()));
    Stream.WriteBytes(name);
    Stream.WriteInt32(0);  // pitch: fonts here carry none
    Stream.WriteInt32(std::int32_t(FFont->Style().Bits()));

    Stream.WriteInt32(FMainColumn);
    Stream.WriteInt32(FSortColumn);
    Stream.WriteInt32(FSortDirection);

    Stream.WriteInt32(FParentFont ? 1 : 0);
    Stream.WriteInt32(FMaxHeight);
    Stream.WriteInt32(FMinHeight);
    Stream.WriteInt32(FDefaultHeight);
    Stream.WriteInt32(FFixedAreaConstraints->FMaxHeightPercent);
    Stream.WriteInt32(FFixedAreaConstraints->FMaxWidthPercent);
    Stream.WriteInt32(FFixedAreaConstraints->FMinHeightPercent);
    Stream.WriteInt32(FFixedAreaConstraints->FMinWidthPercent);
}

void TTGHeader::LoadFromStream(TStream& Stream)
{
    const TTGHeaderOptions savedOptions = FOptions;
    FStates.Include(hsLoading);
    FOptions = {};
    bool optionsRead = false;
    try {
        ReadStream(Stream, savedOptions, optionsRead);
    } catch (...) {
        if (!optionsRead)
            FOptions = savedOptions;
        FStates.Exclude(hsLoading);
        FOwner->DoColumnResize(NoColumn);
        throw;
    }
    FStates.Exclude(hsLoading);
    FOwner->DoColumnResize(NoColumn);
}

void TTGHeader::ReadStream(TStream& Stream, TTGHeaderOptions SavedOptions, bool& OptionsRead)
{
    auto need = [&Stream](Int64 bytes) {
        if (Stream.Remaining() < bytes)
            Corrupt();
    };
    need(4);
    int version = -1;
    std::int32_t count = Stream.ReadInt32();
    if (count < 0) {
        need(8);
        version = Stream.ReadInt32();
        count = Stream.ReadInt32();
        if (version < 0 || version > HeaderStreamVersion)
            Corrupt();
    }
    if (count < 0 || count > MaxColumns || Int64(count) * (MinColumnRecord(version) + 4) > Stream.Remaining())
        Corrupt();

    FColumns->Clear();
    if (count > 0) {
        FColumns->BeginUpdate();
        try {
            for (std::int32_t i = 0; i < count; ++i)
                FColumns->Add()->LoadFromStream(Stream, version);
            need(Int64(count) * 4);
            std::vector<int> positions(static_cast<std::size_t>(count));
            std::vector<bool> seen(static_cast<std::size_t>(count), false);
            bool permutation = true;
            for (int& index : positions) {
                index = Stream.ReadInt32();
                if (index < 0 || index >= count || seen[std::size_t(index)])
                    permutation = false;
                else
                    seen[std::size_t(index)] = true;
            }
            if (!permutation)
                for (std::size_t i = 0; i < positions.size(); ++i)
                    positions[i] = int(i);
            FColumns->FPositionToIndex = std::move(positions);
        } catch (...) {
            FColumns->EndUpdate();
            throw;
        }
        FColumns->EndUpdate();
        FColumns->UpdatePositions(true);
    }
    auto columnIndex = [count](std::int32_t value) {
        return value >= 0 && value < count ? TColumnIndex(value) : NoColumn;
    };
    if (version > 4) {
        need(4);
        FColumns->SetDefaultWidth(Pixels(Stream.ReadInt32()));
    }

    need(9 * 4);
    SetAutoSizeIndex(columnIndex(Stream.ReadInt32()));
    SetBackground(TColor(Stream.ReadInt32()));
    // Applied once the height limits are known, so that it comes back as saved.
    const std::int32_t height = Stream.ReadInt32();
    const auto options = TTGHeaderOptions::FromBits(Word(Stream.ReadInt32()));
    FOptions = SavedOptions;
    OptionsRead = true;
    SetOptions(options);
    SetStyle(Ordinal(Stream.ReadInt32(), hsXPStyle));
    FFont->SetColor(TColor(Stream.ReadInt32()));
    FFont->SetHeight(std::clamp(Stream.ReadInt32(), -32767, 32767));
    const std::int32_t nameLength = Stream.ReadInt32();
    if (nameLength < 0 || nameLength > Stream.Remaining())
        Corrupt();
    const String name = Stream.ReadBytes(nameLength);
    need(8);
    if (!name.empty())
        FFont->SetName(name);
    Stream.ReadInt32();  // pitch
    FFont->SetStyle(TFontStyles::FromBits(Cardinal(Stream.ReadInt32())));

    if (version > 0) {
        need(12);
        SetMainColumn(columnIndex(Stream.ReadInt32()));
        SetSortColumn(columnIndex(Stream.ReadInt32()));
        SetSortDirection(Ordinal(Stream.ReadInt32(), sdDescending));
    }
    if (version > 4) {
        need(8 * 4);
        FParentFont = Stream.ReadInt32() != 0;
        const int maxHeight = Pixels(Stream.ReadInt32());
        FMinHeight = Pixels(Stream.ReadInt32());
        FMaxHeight = std::max(maxHeight, FMinHeight);
        FDefaultHeight = std::clamp(Stream.ReadInt32(), FMinHeight, FMaxHeight);
        auto percent = [&Stream] { return TTGConstraintPercent(std::clamp(Stream.ReadInt32(), 0, 100)); };
        FFixedAreaConstraints->FMaxHeightPercent = percent();
        FFixedAreaConstraints->FMaxWidthPercent = percent();
        FFixedAreaConstraints->FMinHeightPercent = percent();
        FFixedAreaConstraints->FMinWidthPercent = percent();
    }
    SetHeight(Pixels(height));
}

bool TTGHeader::Equals(const TTGHeader& Other) const
{
    const TTGFixedAreaConstraints& a = *FFixedAreaConstraints;
    const TTGFixedAreaConstraints& b = *Other.FFixedAreaConstraints;
    return FAutoSizeIndex == Other.FAutoSizeIndex && FBackground == Other.FBackground &&
        FColumns->Equals(*Other.FColumns) && FHeight == Other.FHeight && FMainColumn == Other.FMainColumn &&
        FOptions == Other.FOptions && FParentFont == Other.FParentFont && FSortColumn == Other.FSortColumn &&
        FSortDirection == Other.FSortDirection && FStyle == Other.FStyle && FMaxHeight == Other.FMaxHeight &&
        FMinHeight == Other.FMinHeight && FDefaultHeight == Other.FDefaultHeight &&
        FFont->Name() == Other.FFont->Name() && FFont->Height() == Other.FFont->Height() &&
        FFont->Style() == Other.FFont->Style() && FFont->Color() == Other.FFont->Color() &&
        a.FMaxHeightPercent == b.FMaxHeightPercent && a.FMaxWidthPercent == b.FMaxWidthPercent &&
        a.FMinHeightPercent == b.FMinHeightPercent && a.FMinWidthPercent == b.FMinWidthPercent;
}

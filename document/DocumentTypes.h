#pragma once
// Value types of the schedule document: tables, column roles and types,
// calling modes, filters, the per-row record kept in every tree node and the
// per-column header data.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "platform/StringList.h"
#include "platform/Types.h"

class TBitmap;
class TStringTreeGrid;
struct TGridNode;
struct TRowLink;

enum TWhichTable : std::uint8_t { tbTable, tbExclude };
constexpr int TableCount = 2;

// What a column means to the document. The order is stored in files.
enum TConnection : std::uint8_t {
    cnNone, cnPosition, cnStart, cnEnd, cnLength, cnTermin, cnColor,
    cnTextLeftTop, cnTextLeftMiddle, cnTextLeftBottom,
    cnTextcenterTop, cnTextCenterMiddle, cnTextCenterBottom,
    cnTextRightTop, cnTextRightMiddle, cnTextRightBottom,
    cnLengthWithWeekend, cnInterval
};
constexpr int ConnectionCount = 18;

// Scoped: the tree grid's check types already use the name ctCheckBox.
// The names that clash with nothing are also given unqualified.
enum class TColumnType : std::uint8_t { ctText, ctDate, ctPulldown, ctNumber, ctCheckBox, ctLink };
constexpr TColumnType ctText = TColumnType::ctText;
constexpr TColumnType ctDate = TColumnType::ctDate;
constexpr TColumnType ctPulldown = TColumnType::ctPulldown;
constexpr TColumnType ctNumber = TColumnType::ctNumber;
constexpr TColumnType ctLink = TColumnType::ctLink;

// Where a change comes from: a local edit (sent to the network), a change
// received from the server, or one that is never sent (loading).
enum TCallingMode : std::uint8_t { cmDefault, cmFromServer, cmIgnoreNet };

enum TMinUnit : std::uint8_t { muDay, muMinute };

// Which rows a walk over the tables visits.
enum TForEachType : std::uint8_t { feAll, feGroupAll, feGroupFiltered, feOverlapping, feSelected, feFiltered };

enum TFilterType : std::uint8_t { ftNone, ftDate, ftList, ftText, ftNumber };
enum TFilterSubType : std::uint8_t { fsSmaller, fsGreater, fsEquals, fsFromTo, fsText, fsEmpty };

struct TFilterParams {
    TFilterType FilterType = ftNone;
    TFilterSubType FilterSubType = fsSmaller;
    String Text1;
    String text2;
};

// Position index of a row whose Position cell is "*" (all positions).
constexpr int AllPositions = -9;
// Shown row of a position outside the current group.
constexpr int OutsideGroup = -2;

// The record in the data area of every row's tree node. The tree hands out
// zero-filled blocks, so every field is valid as all zeros: the owned objects
// are plain pointers freed by FreeNodeData.
struct TNodeData {
    bool nodeValid;
    double nodeStart;
    double nodeEnd;     // inclusive last day in day mode and for absent days
    double nodeTermin;  // 0 without a usable due date
    std::int32_t nodeLength;  // working minutes
    std::int32_t nodePosition;  // expanded position index; -9 all, -1 unknown
    std::int32_t nodeColor;
    bool RecalcEndOf;
    bool RecalcStartOf;
    TStringList* StringList;  // owned: one text per column
    bool RecalcBitmap;
    TBitmap* Bitmap;  // owned: cached bar picture
    std::int32_t hash;
    std::int32_t completehash;
    double LastChanged;
    std::int32_t ID;
    std::int32_t etxID;
    TGridNode* reference;  // while set the row counts as filtered
    TWhichTable NodeTable;
    TGridNode* VNode;
    TStringTreeGrid* VNodeTable;
    TRowLink* Link;  // the row's handle record, made when first asked for
    std::uint32_t ViewSlot;  // the views' record of the row, plus 1; 0 for none
    std::uint32_t PictureSlot;  // the kept bar picture's record, plus 1; 0 for none
};

// Frees the owned objects of a record and clears their pointers.
void FreeNodeData(TNodeData& Data);

// Per-column data kept in the column's tag.
class THeaderData {
public:
    THeaderData();
    THeaderData(const THeaderData&) = delete;
    THeaderData& operator=(const THeaderData&) = delete;

    TFilterParams Filter;
    // Pulldown entries (each a comma text: text, colour), or the display
    // format as item 0 for other columns.
    std::unique_ptr<TStringList> Strings;
    TColumnType ColumnType = ctText;
    bool SortAscending = true;

    // Item 0 of Strings; "" when empty. Writing replaces item 0 or adds it.
    String Format() const;
    void SetFormat(const String& Value);
    bool IsFiltered() const { return Filter.FilterType != ftNone; }

    // Changes with every change of Strings; unique across all header data,
    // so it identifies the list's contents for caches.
    UInt64 Version() const { return FVersion; }
    // First index whose entry's item 0 equals the text exactly; -1.
    int IndexOfEntry(const String& Text) const;

private:
    UInt64 FVersion;
    mutable UInt64 FCacheVersion = 0;
    mutable int FCacheCount = -1;
    mutable std::unordered_map<String, int> FCache;
};

// "Text", "Date", ... to the type by exact comparison; ctText otherwise.
TColumnType ColumnTypeName2Type(const String& Name);
String ColumnType2Name(TColumnType Type);

// Check-box cells: "Nein" is false, "Ja" true.
extern const char* const CheckBoxTexts[2];
inline String BoolToCheckText(bool Value) { return CheckBoxTexts[Value ? 1 : 0]; }

#pragma once
// What the tree's keyboard, mouse, hint and in-place editing support works
// with: the editor interface, the incremental search's settings and the
// data a hint of the tree carries.
#include <memory>

#include "components/TreeGrid/TreeGridTypes.h"
#include "platform/Types.h"

#include "platform/Messages.h"

class TBaseTreeGrid;

// Posted to the tree by its in-place editor: WParam 1 ends the edit, 0 cancels it.
constexpr UINT WM_TGEDITDONE = WM_APP + 34;
struct TMessage;

// An in-place editor. The tree calls PrepareEdit first (false refuses the
// edit), then SetBounds and BeginEdit; EndEdit stores the result and
// CancelEdit drops it (false from either keeps the edit running).
class ITGEditLink {
public:
    virtual ~ITGEditLink() = default;
    virtual bool BeginEdit() = 0;
    virtual bool CancelEdit() = 0;
    virtual bool EndEdit() = 0;
    virtual bool PrepareEdit(TBaseTreeGrid* Tree, TGridNode* Node, TColumnIndex Column) = 0;
    virtual TRect GetBounds() = 0;
    virtual void ProcessMessage(TMessage& Message) = 0;
    virtual void SetBounds(TRect R) = 0;
};
using ITGEditLinkPtr = std::shared_ptr<ITGEditLink>;

// Which nodes typing searches: none, every node, those initialised so far,
// or the visible ones.
enum TTGIncrementalSearch : std::uint8_t { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum TTGSearchDirection : std::uint8_t { sdForward, sdBackward };
// Where a search starts: the first node each time, the last match, or the
// focused node.
enum TTGSearchStart : std::uint8_t { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

// What hovering a node shows: the tree's Hint, the node's hint, the node's
// hint or else the tree's, or the cut-off text of the cell.
enum TTGHintMode : std::uint8_t { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum THintAnimationType : std::uint8_t { hatNone, hatFade, hatSlide, hatSystemDefault };
enum TTGTooltipLineBreakStyle : std::uint8_t { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };

// What a hint of the tree hands its hint window.
struct TTGHintData {
    TBaseTreeGrid* Tree = nullptr;
    TGridNode* Node = nullptr;
    TColumnIndex Column = NoColumn;
    // The text's rectangle of a tooltip (client coordinates); for a tree
    // whose owner draws its hints, the size the owner asked for.
    TRect HintRect;
    bool OwnerDrawn = false;
    String DefaultHint;
    String HintText;
    TTGTooltipLineBreakStyle LineBreakStyle = hlbDefault;
    bool Tooltip = false;
};

#pragma once
// Drag and drop of data, with other programs and between windows of this
// one. A drag source hands a data object to DoDragDrop, which runs the
// system's drag loop until the drop; a window registered with
// RegisterDragDrop hears through its drop target of every drag that comes
// over it, or over a child window that has no drop target of its own.
// Files dropped on a form that accepts them (TCustomForm::DragAcceptFiles)
// still arrive in its OnDropFiles when no drop target is registered there.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Clipbrd.h"
#include "platform/Controls.h"

// What a drop does with the data; a drop target answers one of the effects
// the source allows.
constexpr int DROPEFFECT_NONE = 0;
constexpr int DROPEFFECT_COPY = 1;
constexpr int DROPEFFECT_MOVE = 2;
constexpr int DROPEFFECT_LINK = 4;

constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102u);

// Key state of a drag: the MK_... flags of the mouse messages and this one.
constexpr int MK_ALT = 0x20;

// Told of the drags over a window. Points are on the screen; Effect comes in
// with the effects the source allows and goes out with the one a drop there
// would take (DROPEFFECT_NONE: none).
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) = 0;
    virtual HRESULT DragOver(int KeyState, TPoint Pt, int& Effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(const IDataObjectPtr& DataObject, int KeyState, TPoint Pt, int& Effect) = 0;
};
using IDropTargetPtr = std::shared_ptr<IDropTarget>;

// Makes Target the drop target of Window until RevokeDragDrop or the window
// goes. DRAGDROP_E_INVALIDHWND for no window, DRAGDROP_E_ALREADYREGISTERED
// when it has one.
HRESULT RegisterDragDrop(HWND Window, const IDropTargetPtr& Target);
// DRAGDROP_E_NOTREGISTERED when Window has no drop target.
HRESULT RevokeDragDrop(HWND Window);
// Runs the drag loop with DataObject until the drop (DRAGDROP_S_DROP, Effect
// the drop's effect) or the cancel (DRAGDROP_S_CANCEL, Effect
// DROPEFFECT_NONE). OkEffects: the effects the source allows.
HRESULT DoDragDrop(const IDataObjectPtr& DataObject, int OkEffects, int& Effect);

// What a drag shows under the pointer: Picture's pixels (with Transparent,
// those of its TransparentColor left out) at Opacity (0 none .. 255 all),
// the pointer at HotSpot on it.
struct TDragPicture {
    const TBitmap* Picture = nullptr;
    TPoint HotSpot;
    int Opacity = 255;
};
// As above, showing Picture while the drag runs.
HRESULT DoDragDrop(const IDataObjectPtr& DataObject, int OkEffects, int& Effect, const TDragPicture& Picture);
// The picture of the drag running now; its Picture is null outside a drag
// or when the drag shows none.
const TDragPicture& CurrentDragPicture();

// Tests: stands in for the drag loop. DoDragDrop hands the hook the data
// and the allowed effects; the hook answers the effect of the drop
// (DROPEFFECT_NONE: cancelled), usually by running a TDragSimulation. Pass
// nothing to remove it.
using TDragLoopHook = std::function<int(const IDataObjectPtr& DataObject, int OkEffects)>;
void SetDragLoopHook(TDragLoopHook Hook);

// Tests: a drag moving over the program's windows, delivered at screen
// points as the system delivers one, so it takes the same way as a real
// drag: entering, moving over and leaving windows, and the drop.
class TDragSimulation {
public:
    explicit TDragSimulation(const IDataObjectPtr& DataObject,
                             int OkEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
    // Files, as another program drags them.
    explicit TDragSimulation(const std::vector<String>& Files, int OkEffects = DROPEFFECT_COPY);
    // Leaves the window it is over.
    ~TDragSimulation();
    TDragSimulation(const TDragSimulation&) = delete;
    TDragSimulation& operator=(const TDragSimulation&) = delete;

    // The drag at Screen: the effect a drop there would take.
    int Move(TPoint Screen, int KeyState = MK_LBUTTON);
    // Drops at Screen (after moving there) and answers the drop's effect;
    // where a drop takes no effect the drag only leaves.
    int Drop(TPoint Screen, int KeyState = 0);
    // The drag leaves the window it is over (an Esc in the loop).
    void Leave();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

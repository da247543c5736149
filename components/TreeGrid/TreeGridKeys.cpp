// The keyboard on the tree: moving the focus and extending the selection,
// expanding and collapsing, check boxes by Space, starting an edit, and
// finding a node by typing the start of its text.
#include "components/TreeGrid/BaseTreeGrid.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "platform/TextFile.h"

namespace {

constexpr Word VK_F2 = VK_F1 + 1;

bool HasModifier(TShiftState Shift)
{
    return Shift.Contains(ssShift) || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt);
}

// The keys whose characters stand for the keypad's: "+" and "-" by the
// letter keys count as the keypad's plus and minus, "*" and "/" likewise.
Word KeypadEquivalent(Word Key, TShiftState Shift)
{
    const bool shift = Shift.Contains(ssShift);
    if (Key == VK_OEM_PLUS && shift)
        return VK_ADD;
    if (Key == VK_OEM_MINUS && !shift)
        return VK_SUBTRACT;
    if (Key == VK_OEM_2 && !shift)
        return VK_DIVIDE;
    if (Key == '8' && shift)
        return VK_MULTIPLY;
    return Key;
}

// S less its last code point.
String WithoutLastCodePoint(const String& S)
{
    std::size_t n = S.size();
    while (n > 0 && (static_cast<unsigned char>(S[n - 1]) & 0xC0) == 0x80)
        --n;
    return S.substr(0, n > 0 ? n - 1 : 0);
}

// Whether S holds exactly one code point.
bool SingleCodePoint(const String& S)
{
    return !S.empty() && WithoutLastCodePoint(S).empty();
}

}  // namespace

bool TBaseTreeGrid::DoKeyAction(Word& CharCode, TShiftState& Shift)
{
    bool doDefault = true;
    if (OnKeyAction)
        OnKeyAction(this, CharCode, Shift, doDefault);
    return doDefault;
}

void TBaseTreeGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    Word charCode = Key;
    TShiftState shift = Shift;
    if (!DoKeyAction(charCode, shift))
        return;
    if (FStates.Contains(tsKeyCheckPending) && charCode != VK_SPACE) {
        DoStateChange({}, {tsKeyCheckPending});
        FinishCheckPress(false);
    }
    switch (charCode) {
    case VK_BACK:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        HandleNavigationKey(charCode, shift);
        Key = charCode;
        return;
    default: break;
    }

    const TTGMiscOptions misc = FOptions->MiscOptions();
    const bool searching = FStates.Contains(tsIncrementalSearching);
    charCode = KeypadEquivalent(charCode, shift);
    const bool ctrl = shift.Contains(ssCtrl);
    const bool shifted = shift.Contains(ssShift);
    switch (charCode) {
    case VK_ESCAPE:
        if (FStates.ContainsAny(TTreeGridStates{tsDrawSelPending, tsDrawSelecting})) {
            DoStateChange({}, {tsDrawSelPending, tsDrawSelecting});
            if (MouseCapture())
                SetMouseCapture(false);
            Invalidate();
            Key = 0;
        } else if (FStates.Contains(tsEditing)) {
            CancelEditNode();
            Key = 0;
        }
        return;
    case VK_SPACE:
        if (misc.Contains(toCheckSupport) && FFocusedNode && FFocusedNode->CheckType != ctNone &&
            !FStates.ContainsAny(TTreeGridStates{tsKeyCheckPending, tsMouseCheckPending}) &&
            !FFocusedNode->States.Contains(vsDisabled)) {
            BeginCheckPress(FFocusedNode, tsKeyCheckPending);
            return;
        }
        break;
    case VK_APPS:
        if (FFocusedNode) {
            const TColumnIndex column = FHeader->UseColumns() ? FFocusedColumn : NoColumn;
            TRect cell = GetDisplayRect(FFocusedNode, column, false);
            int width = DoGetNodeWidth(FFocusedNode, column);
            if (FHeader->Columns()->IsValidColumn(column))
                width = std::min(width, FHeader->Columns()->Items(column)->Width());
            else
                width = std::min(width, ClientWidth());
            DoPopupMenu(FFocusedNode, FFocusedColumn, {cell.Left + width / 2, (cell.Top + cell.Bottom) / 2});
            Key = 0;
        }
        return;
    case VK_MULTIPLY:
        if (!searching) {
            if (FFocusedNode)
                FullExpand(FFocusedNode);
            return;
        }
        break;
    case VK_ADD:
        if (!searching) {
            if (ctrl && shifted)
                FullExpand();
            else if (ctrl)
                FHeader->AutoFitColumns();
            else if (FFocusedNode && !FFocusedNode->States.Contains(vsExpanded))
                ToggleNode(FFocusedNode);
            return;
        }
        break;
    case VK_SUBTRACT:
        if (!searching) {
            if (ctrl && shifted)
                FullCollapse();
            else if (ctrl)
                FHeader->RestoreColumns();
            else if (FFocusedNode && FFocusedNode->States.Contains(vsExpanded))
                ToggleNode(FFocusedNode);
            return;
        }
        break;
    case VK_DIVIDE:
        if (!searching) {
            if (FFocusedNode)
                FullCollapse(FFocusedNode);
            return;
        }
        break;
    case VK_F1:
        if (OnGetHelpContext)
            ShowHelpFor(FFocusedNode);
        return;
    case VK_F2:
        if (!HasModifier(shift) && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            DoEdit();
        }
        return;
    default:
        if (ctrl && charCode == 'A') {
            SelectAll(true);
            return;
        }
        break;
    }
    // What is left types into the incremental search (its WM_CHAR follows).
    const bool numericKey = charCode == VK_MULTIPLY || charCode == VK_ADD || charCode == VK_SUBTRACT ||
        charCode == VK_DIVIDE;
    if ((numericKey && searching) || (!ctrl && !shift.Contains(ssAlt) && charCode >= 32))
        DoStateChange({tsIncrementalSearchPending});
}

void TBaseTreeGrid::ShowHelpFor(TGridNode* Node)
{
    // Asked from the node up to the root; the first context wins. The
    // platform has no help viewer, so the context is not shown anywhere.
    int context = 0;
    for (TGridNode* run = Node; run && run != FRoot && context == 0; run = run->Parent)
        OnGetHelpContext(this, run, FFocusedColumn, context);
}

void TBaseTreeGrid::HandleNavigationKey(Word& CharCode, TShiftState Shift)
{
    const TTGSelectionOptions selection = FOptions->SelectionOptions();
    const TTGMiscOptions misc = FOptions->MiscOptions();
    TTreeGridColumns* columns = FHeader->Columns();
    const bool useColumns = FHeader->UseColumns();
    const bool multi = selection.Contains(toMultiSelect);
    const bool gridExtensions = misc.Contains(toGridExtensions);
    const bool extendedFocus = selection.Contains(toExtendedFocus);
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool shift = Shift.Contains(ssShift);
    const Word key = CharCode;
    const bool addToSelection = shift && multi && !FStates.Contains(tsEditing);
    bool range = addToSelection && (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME);
    const bool modifier = gridExtensions ? shift : HasModifier(Shift);
    const bool keepSelection = modifier && multi && key != VK_BACK && key != VK_TAB;
    TGridNode* lastFocused = FFocusedNode;
    if (!lastFocused && modifier)
        lastFocused = GetFirstVisible();
    if (!FRangeAnchor) {
        FRangeAnchor = GetFirstSelected();
        if (!FRangeAnchor)
            FRangeAnchor = GetFirst();
    }
    const bool rtl = UseRightToLeftAlignment();
    if (rtl && (key == VK_LEFT || key == VK_RIGHT))
        CharCode = key == VK_LEFT ? VK_RIGHT : VK_LEFT;
    const int clientWidth = TreeClientWidth();
    const int clientHeight = TreeClientHeight();

    TGridNode* node = FFocusedNode;
    TColumnIndex column = FFocusedColumn;
    // The first (or last) visible column from Start on the owner lets the focus go to.
    auto allowedColumn = [&](TColumnIndex Start, bool Forward, TGridNode* Target) {
        TColumnIndex c = Start;
        while (columns->IsValidColumn(c) && !DoFocusChanging(FFocusedNode, Target, FFocusedColumn, c))
            c = Forward ? columns->GetNextVisibleColumn(c, true) : columns->GetPreviousVisibleColumn(c, true);
        return columns->IsValidColumn(c) ? c : FFocusedColumn;
    };
    auto scrollSideways = [&](bool TowardsStart) {
        const int step = useColumns ? columns->GetScrollWidth() : int(FIndent);
        SetOffsetX(FOffsetX + (TowardsStart != rtl ? step : -step));
    };

    switch (CharCode) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching))
            DoStateChange({tsIncrementalSearchPending});
        else if (FFocusedNode && FFocusedNode->Parent != FRoot)
            node = FFocusedNode->Parent;
        break;
    case VK_TAB:
        if (extendedFocus && useColumns) {
            const bool forward = !shift;
            TColumnIndex next = forward ? columns->GetNextVisibleColumn(column, true)
                                        : columns->GetPreviousVisibleColumn(column, true);
            while (columns->IsValidColumn(next) && !DoFocusChanging(FFocusedNode, FFocusedNode, column, next))
                next = forward ? columns->GetNextVisibleColumn(next, true) : columns->GetPreviousVisibleColumn(next, true);
            if (columns->IsValidColumn(next)) {
                column = next;
            } else if (FFocusedNode) {
                TGridNode* other = forward ? GetNextVisible(FFocusedNode) : GetPreviousVisible(FFocusedNode);
                if (other) {
                    const TColumnIndex first = forward ? columns->GetFirstVisibleColumn(true)
                                                       : columns->GetLastVisibleColumn(true);
                    node = other;
                    column = allowedColumn(first, forward, other);
                }
            }
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const bool down = CharCode == VK_NEXT;
        if (ctrl && shift) {
            scrollSideways(!down);
        } else if (shift && useColumns) {
            // Columns within a client width of the focused one, fixed ones counted first.
            if (!columns->IsValidColumn(column)) {
                column = columns->GetFirstVisibleColumn(true);
            } else {
                int space = clientWidth - columns->GetVisibleFixedWidth();
                TColumnIndex run = column;
                for (;;) {
                    const TColumnIndex next = down ? columns->GetNextVisibleColumn(run, true)
                                                   : columns->GetPreviousVisibleColumn(run, true);
                    if (!columns->IsValidColumn(next) || columns->Items(next)->Options().Contains(coFixed))
                        break;
                    space -= columns->Items(next)->Width();
                    if (space < 0)
                        break;
                    run = next;
                }
                column = run;
            }
        } else if (ctrl) {
            SetOffsetY(FOffsetY + (down ? -clientHeight : clientHeight));
        } else if (!FFocusedNode) {
            node = down ? GetLastVisible() : GetFirstVisible();
        } else {
            int passed = 0;
            node = FFocusedNode;
            for (;;) {
                passed += int(NodeHeight(node));
                if (passed >= clientHeight)
                    break;
                TGridNode* next = down ? GetNextVisible(node) : GetPreviousVisible(node);
                if (!next)
                    break;
                node = next;
            }
        }
        break;
    }
    case VK_HOME:
    case VK_END: {
        const bool home = CharCode == VK_HOME;
        if (ctrl && !gridExtensions) {
            TGridNode* target = home ? GetFirstVisible() : GetLastVisible();
            if (target)
                ScrollIntoView(target, false);
            const int widest = std::max(0, int(FRangeX) - clientWidth);
            SetOffsetX(home != rtl ? 0 : -widest);
            break;
        }
        if (!(gridExtensions && ctrl))
            node = home ? GetFirstVisible() : GetLastVisible();
        if (useColumns) {
            const TColumnIndex first = home ? columns->GetFirstVisibleColumn(true) : columns->GetLastVisibleColumn(true);
            column = allowedColumn(first, home, node);
        }
        break;
    }
    case VK_LEFT:
        if (ctrl) {
            scrollSideways(true);
        } else if (extendedFocus && gridExtensions && useColumns) {
            const TColumnIndex previous = columns->GetPreviousVisibleColumn(column, true);
            if (columns->IsValidColumn(previous))
                column = previous;
        } else if (FFocusedNode && !HasModifier(Shift) && FFocusedNode->States.Contains(vsExpanded) &&
            HasChildren(FFocusedNode)) {
            ToggleNode(FFocusedNode);
        } else if (!FFocusedNode) {
            node = GetFirstVisible();
        } else if (FFocusedNode->Parent != FRoot) {
            TGridNode* parent = FFocusedNode->Parent;
            if (addToSelection) {
                if (GetFirstVisibleChild(parent) != FFocusedNode)
                    range = true;
                else if (FRangeAnchor && CompareNodePositions(parent, FRangeAnchor) > 0)
                    RemoveFromSelection(FFocusedNode);
            }
            node = parent;
        }
        break;
    case VK_RIGHT:
        if (ctrl) {
            scrollSideways(false);
        } else if (extendedFocus && gridExtensions && useColumns) {
            const TColumnIndex next = columns->GetNextVisibleColumn(column, true);
            if (columns->IsValidColumn(next))
                column = next;
        } else if (FFocusedNode && !HasModifier(Shift) && !FFocusedNode->States.Contains(vsExpanded) &&
            HasChildren(FFocusedNode)) {
            ToggleNode(FFocusedNode);
        } else if (!FFocusedNode) {
            node = GetFirstVisible();
        } else if (TGridNode* child = GetFirstVisibleChild(FFocusedNode);
                   child && FFocusedNode->States.Contains(vsExpanded)) {
            if (addToSelection && FRangeAnchor && CompareNodePositions(child, FRangeAnchor) < 0)
                RemoveFromSelection(FFocusedNode);
            node = child;
        }
        break;
    case VK_UP:
    case VK_DOWN: {
        const bool down = CharCode == VK_DOWN;
        if (ctrl) {
            SetOffsetY(FOffsetY + (down ? -int(FDefaultNodeHeight) : int(FDefaultNodeHeight)));
            break;
        }
        if (!EndEditNode())
            break;
        TGridNode* next = FFocusedNode ? (down ? GetNextVisible(FFocusedNode) : GetPreviousVisible(FFocusedNode))
                                       : (down ? GetFirstVisible() : GetLastVisible());
        if (!next) {
            InvalidateNode(FFocusedNode);
            break;
        }
        if (addToSelection && FFocusedNode && lastFocused && FRangeAnchor) {
            const int side = CompareNodePositions(lastFocused, FRangeAnchor);
            if (down ? side < 0 : side > 0)
                RemoveFromSelection(FFocusedNode);
        }
        node = next;
        break;
    }
    default: break;
    }

    if (column != FFocusedColumn && useColumns)
        SetFocusedColumn(column);
    TGridNode* before = FFocusedNode;
    if (node != FFocusedNode)
        SetFocusedNode(node);
    const bool moved = FFocusedNode != before;
    bool cleared = false;
    if (!keepSelection && (moved || SelectedCount() > 1)) {
        ClearSelection();
        cleared = true;
    }
    if (!HasModifier(Shift) && FFocusedNode) {
        FRangeAnchor = FFocusedNode;
        FLastSelectionLevel = int(GetNodeLevel(FFocusedNode));
    }
    if (range && FFocusedNode && moved)
        ToggleSelection(lastFocused, FFocusedNode);
    if ((moved || cleared) && FFocusedNode && !FFocusedNode->States.Contains(vsSelected))
        AddToSelection(FFocusedNode);
    if (range || SelectedCount() > 1)
        Invalidate();
}

// ---- incremental search -------------------------------------------------------------

int TBaseTreeGrid::DoIncrementalSearch(TGridNode*, const String&) { return 0; }

void TBaseTreeGrid::WMChar(TMessage& Message)
{
    if (FStates.Contains(tsIncrementalSearchPending)) {
        HandleIncrementalSearch(Message.CharCode());
        // The second half of a surrogate pair comes as a WM_CHAR of its own.
        if (!FPendingSurrogate)
            DoStateChange({}, {tsIncrementalSearchPending});
    }
    TCustomControl::Dispatch(Message);
}

void TBaseTreeGrid::HandleIncrementalSearch(Word CharCode)
{
    StopTimer(SearchTimer);
    if (FIncrementalSearch == isNone)
        return;
    std::u16string typed(1, char16_t(CharCode));
    if (CharCode != 0) {
        DoStateChange({tsIncrementalSearching});
        // One character outside the basic plane comes as two messages.
        if (CharCode >= 0xD800 && CharCode < 0xDC00) {
            FPendingSurrogate = char16_t(CharCode);
            StartTimer(SearchTimer, FSearchTimeout);
            return;
        }
        if (CharCode >= 0xDC00 && CharCode < 0xE000) {
            if (!FPendingSurrogate) {
                StartTimer(SearchTimer, FSearchTimeout);
                return;
            }
            typed.insert(typed.begin(), FPendingSurrogate);
        }
        FPendingSurrogate = 0;
    }
    const bool back = CharCode == VK_BACK;
    if (back && FSearchBuffer.empty()) {
        StartTimer(SearchTimer, FSearchTimeout);
        return;
    }

    TGridNode* start = nullptr;
    if (FSearchStart == ssLastHit)
        start = FLastSearchNode;
    else if (FSearchStart == ssFocusedNode)
        start = FFocusedNode;
    if (start && FIncrementalSearch == isInitializedOnly && !start->States.Contains(vsInitialized))
        start = nullptr;
    if (start && FIncrementalSearch == isVisibleOnly && (!FullyVisible(start) || IsEffectivelyHidden(start)))
        start = nullptr;

    const bool forward = FSearchDirection == sdForward;
    auto step = [&](TGridNode* Node) -> TGridNode* {
        switch (FIncrementalSearch) {
        case isInitializedOnly: return forward ? GetNextNoInit(Node) : GetPreviousNoInit(Node);
        case isVisibleOnly: return forward ? GetNextVisible(Node) : GetPreviousVisible(Node);
        default: return forward ? GetNext(Node) : GetPrevious(Node);
        }
    };
    auto wrap = [&]() -> TGridNode* {
        switch (FIncrementalSearch) {
        case isInitializedOnly: return forward ? GetFirstNoInit() : GetLastNoInit();
        case isVisibleOnly: return forward ? GetFirstVisible() : GetLastVisible();
        default: return forward ? GetFirst() : GetLast();
        }
    };

    String text;
    bool repeated = false;
    if (back) {
        text = WithoutLastCodePoint(FSearchBuffer);
    } else {
        const String typedText = Utf16ToUtf8(typed);
        text = FSearchBuffer + typedText;
        // The same single character again steps to the next node that
        // begins with it, unless the doubled text itself matches here.
        if (SingleCodePoint(FSearchBuffer) && FSearchBuffer == typedText &&
            (!start || DoIncrementalSearch(start, text) != 0)) {
            text = FSearchBuffer;
            repeated = true;
        }
    }

    bool moveOn = false;
    if (!start) {
        start = wrap();
    } else if (FSearchBuffer.empty() || repeated || DoIncrementalSearch(start, text) != 0) {
        moveOn = true;
    }
    TGridNode* found = nullptr;
    // A tree without nodes has nowhere to start: nothing is searched.
    if (start) {
        TGridNode* run = start;
        if (moveOn) {
            run = step(run);
            if (!run)
                run = wrap();
        }
        // Once round, from the start on (wrapping at the end), until a match.
        TGridNode* first = run;
        do {
            if (DoIncrementalSearch(run, text) == 0) {
                found = run;
                break;
            }
            run = step(run);
            if (!run)
                run = wrap();
        } while (run && run != first);
    }
    if (found) {
        ClearSelection();
        FSearchBuffer = text;
        FLastSearchNode = found;
        SetFocusedNode(found);
        SetSelected(found, true);
    } else if (!start || DoIncrementalSearch(start, text) != 0) {
        Beep();
    }
    StartTimer(SearchTimer, FSearchTimeout);
}

// ---- key release ---------------------------------------------------------------------

void TBaseTreeGrid::KeyUp(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyUp(Key, Shift);
    if (Key != VK_SPACE || !FStates.Contains(tsKeyCheckPending))
        return;
    DoStateChange({}, {tsKeyCheckPending});
    FinishCheckPress(FCheckNode && FCheckNode == FFocusedNode);
}

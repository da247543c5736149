#pragma once
// Undo and redo of the document: every change is recorded as an entry that
// knows how to revert itself; the entries of one user action share a group
// index and are reverted together. Reverting an entry records its inverse,
// which lands on the other list, so each step can go back and forth.
//
// Entries never hold a row pointer: they hold a TRowHandle, which knows
// whether its row still lives. A removed row's handle stays in the entries
// that knew it as a placeholder; the row that restores it (undoing the
// removal, or a whole-document step) is adopted by that handle, so every
// entry finds it again. An entry whose row is gone does nothing.
#include <memory>
#include <vector>

#include "document/DocumentTypes.h"
#include "document/IniFiles.h"

class TScheduleDocument;
class TUndoRedo;

// The shared record behind a row handle. A row holds one reference for as
// long as it lives (TNodeData::Link); the row's going clears Row.
struct TRowLink {
    TNodeData* Row = nullptr;
    int Refs = 0;
};

// A counted reference to a TRowLink. Empty, or a placeholder (a link
// without a row), or a live row.
class TRowHandle {
public:
    TRowHandle() = default;
    explicit TRowHandle(TRowLink* Link) : FLink(Link) { Acquire(); }
    TRowHandle(const TRowHandle& Other) : FLink(Other.FLink) { Acquire(); }
    TRowHandle(TRowHandle&& Other) noexcept : FLink(Other.FLink) { Other.FLink = nullptr; }
    TRowHandle& operator=(TRowHandle Other) noexcept
    {
        std::swap(FLink, Other.FLink);
        return *this;
    }
    ~TRowHandle() { Release(); }

    // The handle of a row; it is made on first use and lives with the row.
    static TRowHandle Of(TNodeData* Row);
    // The row is going: every handle of it now holds no row, and stands in
    // for it until a row that replaces it is adopted.
    static void RowGone(TNodeData* Row);
    // Makes Row the row of a handle that has none; the row's own handle, if
    // it had one, is given up. False when the handle already has a row.
    static bool Adopt(const TRowHandle& Handle, TNodeData* Row);

    TNodeData* Row() const { return FLink ? FLink->Row : nullptr; }
    bool Alive() const { return Row() != nullptr; }
    bool operator==(const TRowHandle& Other) const { return FLink == Other.FLink; }
    bool operator!=(const TRowHandle& Other) const { return FLink != Other.FLink; }

private:
    void Acquire()
    {
        if (FLink)
            ++FLink->Refs;
    }
    void Release()
    {
        if (FLink && --FLink->Refs == 0)
            delete FLink;
        FLink = nullptr;
    }
    TRowLink* FLink = nullptr;
};

class TUndoRedoEntry {
public:
    TUndoRedoEntry(TScheduleDocument* Document, int GroupIndex, TRowHandle Node)
        : FGroupIndex(GroupIndex), FNode(std::move(Node)), FDocument(Document)
    {
    }
    virtual ~TUndoRedoEntry() = default;
    TUndoRedoEntry(const TUndoRedoEntry&) = delete;
    TUndoRedoEntry& operator=(const TUndoRedoEntry&) = delete;

    // Reverts the change; this records the inverse entry (or nothing, when
    // nothing could be done).
    virtual void Undo() = 0;
    // The text shown as the Undo action's hint: the step that reverting
    // this entry undoes.
    virtual String Hint() const = 0;
    // The Redo action's hint while the entry waits on the redo list: the
    // step that reverting it redoes. The same step for a cell or a whole
    // document; the opposite one for an added or a removed row.
    virtual String RedoHint() const { return Hint(); }
    // Whether reverting can still do anything: false once its row is gone.
    virtual bool Applicable() const { return FNode.Alive(); }
    // Whether reverting cannot run now but may later (its step is then kept
    // and the Undo or Redo action disabled).
    virtual bool Blocked() const { return false; }

    int FGroupIndex = -1;
    TRowHandle FNode;
    TUndoRedo* FOwner = nullptr;

protected:
    TScheduleDocument* FDocument;
};

// A cell's old text.
class TUndoRedoEntryString : public TUndoRedoEntry {
public:
    TUndoRedoEntryString(TScheduleDocument* Document, TWhichTable Table, int GroupIndex, int Column, TNodeData* Row);
    void Undo() override;
    String Hint() const override;

    String FString;
    int FColumn;
    TWhichTable FTable;
};

// The whole document: setup, public holidays and both tables.
class TUndoRedoEntryTable : public TUndoRedoEntry {
public:
    TUndoRedoEntryTable(TScheduleDocument* Document, int GroupIndex);
    void Undo() override;
    String Hint() const override;
    bool Applicable() const override { return true; }
    // A connected client's rows are the server's: a local reload would part
    // them from it.
    bool Blocked() const override;

    std::unique_ptr<TMemIniFile> FInifile;
    // The rows of each table in the snapshot's order: the rows loaded back
    // take their places.
    std::vector<TRowHandle> FRows[TableCount];
};

// A removed row: its texts and its ID.
class TUndoRedoEntryRemoveNode : public TUndoRedoEntry {
public:
    TUndoRedoEntryRemoveNode(TScheduleDocument* Document, TWhichTable Table, int GroupIndex, TNodeData* Row);
    void Undo() override;
    String Hint() const override;
    String RedoHint() const override;
    // Applicable while the removed row has not come back some other way.
    bool Applicable() const override { return !FNode.Alive(); }
    // On a connected client a new row is made by the server and arrives
    // empty: there would be no row here to fill with the texts.
    bool Blocked() const override;

    std::vector<String> FStrings;
    TWhichTable FTable;
    int FID;
};

// An added row.
class TUndoRedoEntryAddNode : public TUndoRedoEntry {
public:
    TUndoRedoEntryAddNode(TScheduleDocument* Document, TWhichTable Table, int GroupIndex, TNodeData* Row);
    void Undo() override;
    String Hint() const override;
    String RedoHint() const override;

    TWhichTable FTable;
};

class TUndoRedo {
public:
    explicit TUndoRedo(TScheduleDocument* Document) : FDocument(Document) {}
    TUndoRedo(const TUndoRedo&) = delete;
    TUndoRedo& operator=(const TUndoRedo&) = delete;

    void Push(std::unique_ptr<TUndoRedoEntry> Entry);
    void Undo();
    void Redo();
    // Reverts the newest step and forgets it: no redo is left of it.
    void Pop();
    void Clear();
    void DontAcceptUndos() { ++FDontAcceptUndos; }
    void AcceptUndos()
    {
        if (FDontAcceptUndos > 0)
            --FDontAcceptUndos;
    }
    bool DoesAcceptUndo() const { return FDontAcceptUndos == 0; }
    // False also while the next step is blocked.
    bool GetCanUndo() const { return CanRevert(FUndoList); }
    bool GetCanRedo() const { return CanRevert(FRedoList); }
    bool Undoing() const { return FUndoing; }
    // The smallest index >= 0 that no undo entry carries.
    int GetGroupIndex() const;
    // The hints of the steps Undo and Redo would perform; empty when they
    // cannot run.
    String UndoHint() const;
    String RedoHint() const;
    // Tells the document the actions' enabled states and hints.
    void UpdateMainForm();
    // Every entry of both lists that refers to Old refers to New instead.
    void UpdateNode(const TRowHandle& Old, const TRowHandle& New);

    using TEntryList = std::vector<std::unique_ptr<TUndoRedoEntry>>;
    const TEntryList& UndoList() const { return FUndoList; }
    const TEntryList& RedoList() const { return FRedoList; }

private:
    // Whether the list's next step (the newest applicable entry and its
    // group) exists and none of it is blocked.
    bool CanRevert(const TEntryList& List) const;
    // The entry whose step reverting the list would perform; null when none can run.
    const TUndoRedoEntry* NextStep(const TEntryList& List) const;
    void UndoRedo(TEntryList& List, bool IsRedo);
    // Reverts one entry taken off its list; what it pushed goes to the redo
    // list when undoing. True when it did anything.
    bool RevertEntry(std::unique_ptr<TUndoRedoEntry> Entry, bool IsRedo);

    TScheduleDocument* FDocument;
    TEntryList FRedoList;
    TEntryList FUndoList;
    bool FUndoing = false;
    int FLastGroupIndex = -1;
    int FDontAcceptUndos = 0;
};

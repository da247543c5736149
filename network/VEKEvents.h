#pragma once
// The events a served document travels in: the whole document, a client's
// request for it, and the three row changes (a cell, a new row, a removed
// row). The server numbers every event it sends to a client in Transaction;
// the receiver gives an event the document it acts on (SetDocument) before
// it calls Perform. Without a document Perform does nothing.
//
// Everything an event carries came over the wire: Perform checks what it
// uses (a row that does not exist, a column outside the table, a start that
// is no date) and then changes nothing, or only what is sound.
#include <memory>

#include "document/DocumentTypes.h"
#include "network/TOOCSEvent.h"
#include "platform/StringList.h"

class TScheduleDocument;

// The row-section key that carries a row's ID in the whole-document
// message (not in document files).
extern const char* const RowIDKey;

class TVEKEvent : public TTOOCSEvent {
    VEK_DECLARE_CREATABLE_CLASS(TVEKEvent, TTOOCSEvent)

public:
    TVEKEvent() : TTOOCSEvent(nullptr) {}

    // The server's number of this event for the connection it goes out on.
    Int64 Transaction() const { return FTransaction; }
    void SetTransaction(Int64 Value) { FTransaction = Value; }

    TScheduleDocument* Document() const { return FDocument; }
    void SetDocument(TScheduleDocument* Value) { FDocument = Value; }

    void Perform() override {}

protected:
    void DeclareProperties(TEventPropertyList& List) const override;

private:
    Int64 FTransaction = 0;
    TScheduleDocument* FDocument = nullptr;
};

// A client asks for the whole document.
class TVEKGetTableEvent : public TVEKEvent {
    VEK_DECLARE_CREATABLE_CLASS(TVEKGetTableEvent, TVEKEvent)
};

// The whole document but its version section: setup, public holidays and
// both tables, every row with its ID.
class TUpdateTableEvent : public TVEKEvent {
    VEK_DECLARE_CREATABLE_CLASS(TUpdateTableEvent, TVEKEvent)

public:
    // The lines of the document's ini text.
    TStringList* Storage() const { return FStorage.get(); }

    // A new event holding the document as it is now (the caller's to free).
    static TUpdateTableEvent* CreateInitialized(TScheduleDocument& Document);

    // Replaces the document by the one carried, as one load: no undo, no
    // network events, no timer work half-way.
    void Perform() override;

protected:
    void DeclareProperties(TEventPropertyList& List) const override;

private:
    std::unique_ptr<TStringList> FStorage = std::make_unique<TStringList>();
};

// A change of one row, named by its ID.
class TNodeEvent : public TVEKEvent {
    VEK_DECLARE_CREATABLE_CLASS(TNodeEvent, TVEKEvent)

public:
    Int64 ID() const { return FID; }
    void SetID(Int64 Value) { FID = Value; }
    // The row ID the event means: the low 32 bits of ID.
    int RowID() const;
    // The row with that ID in either table; null when there is none (or no
    // document).
    TNodeData* Node() const;

protected:
    void DeclareProperties(TEventPropertyList& List) const override;

private:
    Int64 FID = 0;
};

class TSetNodeDataEvent : public TNodeEvent {
    VEK_DECLARE_CREATABLE_CLASS(TSetNodeDataEvent, TNodeEvent)

public:
    int Column() const { return FColumn; }
    void SetColumn(int Value) { FColumn = Value; }
    const String& Data() const { return FData; }
    void SetData(const String& Value) { FData = Value; }

    void Perform() override;

protected:
    void DeclareProperties(TEventPropertyList& List) const override;

private:
    int FColumn = 0;
    String FData;
};

class TNewNodeEvent : public TNodeEvent {
    VEK_DECLARE_CREATABLE_CLASS(TNewNodeEvent, TNodeEvent)

public:
    TDateTime initialStart() const { return FInitialStart; }
    void SetinitialStart(TDateTime Value) { FInitialStart = Value; }
    int initialLength() const { return FInitialLength; }
    void SetinitialLength(int Value) { FInitialLength = Value; }
    int initialPos() const { return FInitialPos; }
    void SetinitialPos(int Value) { FInitialPos = Value; }
    TWhichTable Table() const { return FTable; }
    void SetTable(TWhichTable Value) { FTable = Value; }

    // Adds the row under RowID. The server's handler gives a row from a
    // client a free ID before it performs the event.
    void Perform() override;

protected:
    void DeclareProperties(TEventPropertyList& List) const override;

private:
    // 0 is the stream's default: a start of 0 is not written.
    TDateTime FInitialStart = 0;
    int FInitialLength = -1;
    int FInitialPos = -1;
    TWhichTable FTable = tbTable;
};

class TDeleteNodeEvent : public TNodeEvent {
    VEK_DECLARE_CREATABLE_CLASS(TDeleteNodeEvent, TNodeEvent)

public:
    void Perform() override;
};

// Registers every event class above so that it can be received; harmless
// when called again.
void RegisterVEKEvents();

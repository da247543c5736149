#include "network/VEKEvents.h"

#include <cmath>
#include <cstdint>

#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "platform/Classes.h"

const char* const RowIDKey = "__id__";

namespace {

// Days from 1899-12-30 to 0001-01-01 and to 9999-12-31: a start outside
// cannot be a date of the plan.
constexpr double FirstDay = -693593;
constexpr double LastDay = 2958465;

}  // namespace

// ---- TVEKEvent -------------------------------------------------------------------------

void TVEKEvent::DeclareProperties(TEventPropertyList& List) const
{
    TTOOCSEvent::DeclareProperties(List);
    List.AddInt64("Transaction", &TVEKEvent::Transaction, &TVEKEvent::SetTransaction);
}

// ---- TUpdateTableEvent ---------------------------------------------------------------

void TUpdateTableEvent::DeclareProperties(TEventPropertyList& List) const
{
    TVEKEvent::DeclareProperties(List);
    List.AddStrings("Storage", &TUpdateTableEvent::Storage);
}

TUpdateTableEvent* TUpdateTableEvent::CreateInitialized(TScheduleDocument& Document)
{
    std::unique_ptr<TUpdateTableEvent, TObjectDeleter> event(new TUpdateTableEvent());
    TMemIniFile ini;
    Document.SaveSetup(ini);
    Document.SavePublicHoliday(ini);
    Document.SaveTable(tbTable, ini, true);
    Document.SaveTable(tbExclude, ini, true);
    ini.GetStrings(*event->FStorage);
    return event.release();
}

void TUpdateTableEvent::Perform()
{
    TScheduleDocument* doc = Document();
    if (!doc)
        return;
    TMemIniFile ini;
    ini.SetStrings(*FStorage);
    doc->UndoRedo().DontAcceptUndos();
    doc->BeginUpdate(doc->Translate("loading Table..."));
    doc->SetLoading(true);
    try {
        doc->ActionNew();
        doc->LoadPublicHoliday(ini);
        doc->LoadSetup(ini);
        doc->LoadTable(tbTable, ini, true);
        doc->LoadTable(tbExclude, ini, true);
        doc->ApplyPositionGroup();
    } catch (const std::exception& e) {
        // What was read stays; the next gap or reconnection asks again.
        WriteLog(String("Document from the server: ") + e.what());
    }
    doc->FFileFormats.reset();
    doc->SetLoading(false);
    doc->EndUpdate();
    doc->UndoRedo().AcceptUndos();
    doc->FReceivedFromServer = true;
    doc->SetFileChanged(false);
    doc->GroupTabChange();
    doc->PageControl1Change();
    doc->UpdateCaption();
}

// ---- TNodeEvent ----------------------------------------------------------------------

void TNodeEvent::DeclareProperties(TEventPropertyList& List) const
{
    TVEKEvent::DeclareProperties(List);
    List.AddInt64("ID", &TNodeEvent::ID, &TNodeEvent::SetID);
}

int TNodeEvent::RowID() const { return int(std::int32_t(std::uint32_t(std::uint64_t(FID) & 0xFFFFFFFFu))); }

TNodeData* TNodeEvent::Node() const
{
    TScheduleDocument* doc = Document();
    if (!doc)
        return nullptr;
    TNodeData* row = nullptr;
    TWhichTable table = tbTable;
    return doc->FindNodeAndTable(RowID(), row, table) ? row : nullptr;
}

// ---- TSetNodeDataEvent ---------------------------------------------------------------

void TSetNodeDataEvent::DeclareProperties(TEventPropertyList& List) const
{
    TNodeEvent::DeclareProperties(List);
    List.AddInteger("Column", &TSetNodeDataEvent::Column, &TSetNodeDataEvent::SetColumn);
    List.AddString("Data", &TSetNodeDataEvent::Data, &TSetNodeDataEvent::SetData);
}

void TSetNodeDataEvent::Perform()
{
    // DoSetData ignores a column outside the row.
    if (TNodeData* row = Node())
        Document()->DoSetData(row, FColumn, FData, cmFromServer);
}

// ---- TNewNodeEvent -------------------------------------------------------------------

void TNewNodeEvent::DeclareProperties(TEventPropertyList& List) const
{
    TNodeEvent::DeclareProperties(List);
    List.AddDateTime("initialStart", &TNewNodeEvent::initialStart, &TNewNodeEvent::SetinitialStart);
    List.AddInteger("initialLength", &TNewNodeEvent::initialLength, &TNewNodeEvent::SetinitialLength);
    List.AddInteger("initialPos", &TNewNodeEvent::initialPos, &TNewNodeEvent::SetinitialPos);
    List.AddEnumeration("Table", &TNewNodeEvent::Table, &TNewNodeEvent::SetTable, {"tbTable", "tbExclude"});
}

void TNewNodeEvent::Perform()
{
    TScheduleDocument* doc = Document();
    if (!doc || (FTable != tbTable && FTable != tbExclude))
        return;
    // A start that is no date of any plan is left out, as -1 asks.
    TDateTime start = FInitialStart;
    if (start != -1 && !(std::isfinite(start) && start >= FirstDay && start <= LastDay))
        start = -1;
    doc->AddNode(RowID(), FTable, FInitialPos, FInitialLength, start, cmFromServer);
}

// ---- TDeleteNodeEvent ----------------------------------------------------------------

void TDeleteNodeEvent::Perform()
{
    if (TNodeData* row = Node())
        Document()->DeleteNode(row, cmFromServer);
}

// ---- registration --------------------------------------------------------------------

void RegisterVEKEvents()
{
    RegisterClass(TVEKEvent::StaticClassInfo());
    RegisterClass(TVEKGetTableEvent::StaticClassInfo());
    RegisterClass(TUpdateTableEvent::StaticClassInfo());
    RegisterClass(TNodeEvent::StaticClassInfo());
    RegisterClass(TSetNodeDataEvent::StaticClassInfo());
    RegisterClass(TNewNodeEvent::StaticClassInfo());
    RegisterClass(TDeleteNodeEvent::StaticClassInfo());
}

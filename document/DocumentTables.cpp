// The document's setup, public holidays and tables in ini form, under the
// names the whole-document undo step uses; the sections themselves are
// written and read by the document file's section routines.
#include "document/ScheduleDocument.h"

void TScheduleDocument::SaveSetup(TCustomIniFile& Ini) { WriteSetupSection(Ini); }

void TScheduleDocument::LoadSetup(TCustomIniFile& Ini) { ReadSetupSection(Ini); }

void TScheduleDocument::SavePublicHoliday(TCustomIniFile& Ini) { WritePublicHolidays(Ini); }

void TScheduleDocument::LoadPublicHoliday(TCustomIniFile& Ini) { ReadPublicHolidays(Ini); }

void TScheduleDocument::SaveTable(TWhichTable Table, TCustomIniFile& Ini, bool WithIDs)
{
    WriteTableSections(Table, Ini, WithIDs);
}

void TScheduleDocument::LoadTable(TWhichTable Table, TMemIniFile& Ini, bool WithIDs)
{
    ReadTableSections(Table, Ini, WithIDs);
}

// The timed backup: the document, its picture and its task table.
#include <unistd.h>

#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "document/SideFolder.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

// A field as the table file writes it: quoted only when it holds the
// separator, a line break or a quote, so that it cannot break its row.
String CsvField(const String& Text)
{
    if (Text.find_first_of(";\r\n\"") == String::npos)
        return Text;
    String out = "\"";
    for (char c : Text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// "<stem>.~<k>~<Suffix>" for "<stem>.<ext>".
String BackupSideName(const String& Folder, const String& FileName, int Number, const String& Suffix)
{
    String base = FileNameOnly(FileName);
    const std::size_t dot = base.find_last_of('.');
    if (dot != String::npos)
        base.resize(dot);
    return Folder + base + ".~" + IntToStr(Number) + "~" + Suffix;
}

}  // namespace

void TScheduleDocument::SetFileChanged(bool Value)
{
    if (Value && !FFileChanged && !IsLoading()) {
        if (!BackupTimer) {
            BackupTimer = Create<TTimer>(this);
            BackupTimer->SetEnabled(false);
            BackupTimer->OnTimer = [this](TObject* Sender) { BackupTimerTimer(Sender); };
        }
        BackupTimer->SetInterval(FBackupInterval);
        BackupTimer->SetEnabled(false);
        BackupTimer->SetEnabled(true);
    } else if (!Value && BackupTimer) {
        BackupTimer->SetEnabled(false);
    }
    FFileChanged = Value;
    if (Value)
        FUntouchedNew = false;
}

void TScheduleDocument::BackupTimerTimer(TObject* Sender)
{
    (void)Sender;
    if (BackupTimer)
        BackupTimer->SetEnabled(false);
    if (FCurrentFile.empty())
        return;
    SetHourglass(true);
    try {
        const String folder = GetBackupPath();
        ForceDirectories(folder);
        int count = 0, highest = 0, lowest = 0;
        GetHistoryInfo(folder, FCurrentFile, count, highest, lowest);
        const int k = highest + 1;
        const bool dropLowest = count > FMaxHistoryFiles;
        SaveTo(HistoryCopyName(folder + FileNameOnly(FCurrentFile), k));
        if (dropLowest)
            ::unlink(HistoryCopyName(folder + FileNameOnly(FCurrentFile), lowest).c_str());

        try {
            SaveBackupPicture(BackupSideName(folder, FCurrentFile, k, ".jpg"));
        } catch (const std::exception& e) {
            WriteLog(String("Backup picture: ") + e.what());
        }
        if (dropLowest)
            ::unlink(BackupSideName(folder, FCurrentFile, lowest, ".jpg").c_str());

        String text;
        const int columns = GetTableColCount(tbTable);
        for (int c = 0; c < columns; ++c)
            text += CsvField(GetColumnCaption(tbTable, c)) + ";";
        text += "\r\n";
        ForEach(tbTable, feAll, 0, [&](TNodeData* Row, NativeInt) {
            for (int c = 0; c < columns; ++c)
                text += CsvField(GetData(Row, c)) + ";";
            text += "\r\n";
        });
        SaveTextFile(BackupSideName(folder, FCurrentFile, k, ".csv"), text);
        if (dropLowest)
            ::unlink(BackupSideName(folder, FCurrentFile, lowest, ".csv").c_str());
    } catch (const std::exception& e) {
        // A failed backup must not disturb the user's work.
        WriteLog(String("Backup: ") + e.what());
    }
    SetHourglass(false);
}

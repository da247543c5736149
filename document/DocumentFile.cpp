// The document file: new, load, save, open and revert.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/LZR.h"
#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "document/SideFolder.h"
#include "platform/AtomicFile.h"
#include "platform/DateUtils.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"
#include "platform/Version.h"

namespace {

bool FileExists(const String& Name)
{
    struct stat st {};
    return ::stat(Name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool EndsWithBackup(const String& Name)
{
    return Name.size() >= 7 && UpperCase(Name.substr(Name.size() - 7)) == ".BACKUP";
}

String UpperExtension(const String& Name)
{
    const String base = FileNameOnly(Name);
    const std::size_t dot = base.find_last_of('.');
    return dot == String::npos ? String() : UpperCase(base.substr(dot));
}

// Whether the bytes begin as a compressed stream does: a total that is no
// negative number, a first block length a writer can produce, and the flag
// of a stored or a compressed block. A text file never starts so.
bool LooksCompressed(const std::string& Bytes)
{
    if (Bytes.size() < 7)
        return false;
    const auto at = [&Bytes](std::size_t I) { return unsigned(Byte(Bytes[I])); };
    const int length = int(at(4) | at(5) << 8);
    return at(3) < 0x80 && length >= 1 && length <= TLZR::MaxBlockSize && (at(6) == 0x40 || at(6) == 0x80);
}

// A save killed while it wrote leaves its temporary file, as large as the
// document, beside it; the next save of the same file clears such files away.
void RemoveSaveLeftovers(const String& FileName)
{
    const String folder = FolderOf(FileName);
    const String prefix = ".." + FileNameOnly(FileName) + ".saving~.";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<String> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        const String name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const String suffix = name.substr(prefix.size());
        struct stat st {};
        if (std::all_of(suffix.begin(), suffix.end(), [](char C) { return std::isalnum(Byte(C)) != 0; }) &&
            ::lstat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            leftovers.push_back(folder + name);
    }
    ::closedir(dir);
    for (const String& name : leftovers)
        ::unlink(name.c_str());
}

}  // namespace

void TScheduleDocument::ReadDocumentBytes(const std::string& Bytes, TMemIniFile& Ini)
{
    // A damaged file must never become an empty plan that a save would then
    // write over it: whatever is not a document is refused here.
    std::string plain;
    String text;
    TLZR lzr;
    if (lzr.DeCompress(Bytes.data(), Bytes.size(), plain)) {
        text = DecodeText(plain);
    } else {
        if (LooksCompressed(Bytes))
            throw EReadError("the compressed data is damaged");
        text = DecodeText(Bytes);
    }
    if (text.find('\0') != String::npos)
        throw EReadError("the file holds binary data, not a document");
    Ini.SetText(text);
    if (Ini.SectionCount() == 0)
        throw EReadError("the file holds no section of a document");
}

std::unique_ptr<TMemIniFile> TScheduleDocument::ReadDocumentFile(const String& FileName)
{
    std::string bytes;
    {
        TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
        bytes = file.ReadBytes(file.Remaining());
    }
    auto ini = std::make_unique<TMemIniFile>();
    ReadDocumentBytes(bytes, *ini);
    return ini;
}

void TScheduleDocument::ClearRows()
{
    // The overlap lists go first: every freed row would otherwise be
    // searched for in them, which is quadratic for a large plan.
    ClearOverlapping();
    FIgnoreOverlappingNodes.Clear();
    StringTreeGrid1->Clear();
    StringTreeGrid2->Clear();
}

// ---- whole documents in ini form ---------------------------------------------------

void TScheduleDocument::SaveToIni(TMemIniFile& Ini, bool WithVersion)
{
    if (WithVersion)
        WriteVersionSection(Ini);
    WriteSetupSection(Ini);
    WritePublicHolidays(Ini);
    WriteTableSections(tbTable, Ini);
    WriteTableSections(tbExclude, Ini);
}

void TScheduleDocument::LoadFromIni(TMemIniFile& Ini)
{
    ClearRows();
    if (GetTableColCount(tbExclude) == 0)
        CreateBasicTable(tbExclude);
    ReadSetupSection(Ini);
    ReadPublicHolidays(Ini);
    ReadTableSections(tbTable, Ini);
    ReadTableSections(tbExclude, Ini);
    FFileFormats.reset();
    ApplyPositionGroup();
}

std::string TScheduleDocument::DocumentBytes()
{
    TMemIniFile ini;
    SaveToIni(ini, true);
    WriteArchiveSections(ini);
    std::string bytes = EncodeText(ini.GetText());
    if (FKomprimiert) {
        TLZR lzr;
        std::string packed;
        // Should compression fail, the plain text is still a valid file.
        if (lzr.Compress(bytes.data(), bytes.size(), packed))
            bytes = std::move(packed);
    }
    return bytes;
}

void TScheduleDocument::SaveTo(const String& FileName) { WriteFileAtomic(FileName, DocumentBytes()); }

// ---- new ------------------------------------------------------------------------------

void TScheduleDocument::ActionNew()
{
    // The lock goes only once New goes ahead: refused, the plan stays open
    // as it was, still locked, its push folder watched.
    if (GetFileChanged() && !IsConnectedClient()) {
        const TDocumentAnswer answer = MessageFileNotSaved();
        // A save that failed or was cancelled keeps the plan.
        if (answer == daCancel || (answer == daYes && !ActionSave()))
            return;
    }
    SetCurrentFile(String());
    FReceivedFromServer = false;
    BeginUpdate(Translate("resetting..."));
    FKomprimiert = true;
    FUserDate = Now();
    FLastFreeID = 0;
    FSaveFileName = Translate("New Table") + ".vek";
    FOpenFileName.clear();
    FFileIsNewAndUnsaved = true;
    UpdateCaption();
    UndoRedo().DontAcceptUndos();
    UndoRedo().Clear();
    ClearRows();
    DocumentCleared();
    FRowSetIndex = 0;
    FRowSet.assign(1, 0);
    FMinUnit = muDay;
    FColWidth = 8;
    FFontsize = 10;
    FStateColors = {0xFFFFFF, 0x00FFFF, 0x00BF00};
    FHolidayColors = {0xF0E5CC, 0xE0CA92, 0x978762};
    FFilters.clear();
    FArchiveSections.clear();
    FPushedFiles.clear();
    FPendingPushedFiles.clear();
    FPositionGroup.Clear();
    FPositionGroup.Add(String());
    FPositionGroupNames.Clear();
    FPositionGroupNames.Add(String());
    CreateBasicTable(tbExclude);
    CreateBasicTable(tbTable);
    ApplyPositionGroup();
    UndoRedo().AcceptUndos();
    FDefaultHolidayReason = Translate("Holiday");
    FDefaultCalcWorkdays = true;
    SetupLoaded();
    EndUpdate();
    SetFileChanged(false);
    // Inside a load this is only its first step.
    FUntouchedNew = !IsLoading();
}

// ---- load ------------------------------------------------------------------------------

void TScheduleDocument::CB_OffsetNode(TNodeData* Row, int Days)
{
    if (!Row)
        return;
    // Inside the load's bracket the cached dates are not parsed yet: read the texts.
    const String start = GetData_(Row, cnStart);
    TDateTime value = 0;
    if (!start.empty() && TryStrToDateTime(start, value))
        DoSetStartOf(Row, cmIgnoreNet, value + Days);
    const int termin = GetConnection(Row->NodeTable, cnTermin);
    if (termin >= 0) {
        const String due = GetData(Row, termin);
        if (!due.empty() && TryStrToDateTime(due, value))
            DoSetData(Row, termin, FormatDateTime(value + Days), cmIgnoreNet);
    }
}

bool TScheduleDocument::Load(const String& FileName)
{
    StopPushedFilesTimer();
    FLoadError.clear();
    const TBuildInfo build = GetBuildInfo();
    std::unique_ptr<TMemIniFile> ini;
    try {
        if (!FileExists(FileName))
            throw EFOpenError("Cannot open file \"" + FileName + "\"");
        ini = ReadDocumentFile(FileName);
    } catch (const std::exception& e) {
        FLoadError = e.what();
        WriteLog(String("Load ") + FileName + ": " + e.what());
        SetFileChanged(false);
        ActionNew();
        return false;
    }

    const int version = ini->ReadInteger("VEK", "Version", -1);
    const int subVersion = ini->ReadInteger("VEK", "SubVersion", -1);
    if (version != build.Major || build.Minor < subVersion) {
        const String text = FillText(
            Translate("The file was created with a newer VEK version.\\nVEK version: %s\\nFile-version: %s\\nOpen file anyway?"),
            {IntToStr(build.Major) + "." + IntToStr(build.Minor), IntToStr(version) + "." + IntToStr(subVersion)});
        if (!AskConfirmation(text))
            return false;
    }
    FFileVersion = version;
    FFileSubVersion = subVersion;

    bool ok = true;
    {
        TUndoBlock noUndo(UndoRedo());
        TUpdateScope update(*this, FillText(Translate("Open File %s..."), {FileName}));
        TLoadingScope loading(*this);
        try {
            ClearRows();
            if (GetTableColCount(tbExclude) == 0)
                CreateBasicTable(tbExclude);
            ReadSetupSection(*ini);
            ReadPublicHolidays(*ini);
            if (version > 2 || subVersion > 2) {
                ReadTableSections(tbTable, *ini);
                ReadTableSections(tbExclude, *ini);
            } else {
                LoadLegacyTables(*ini);
            }
            KeepArchiveSections(*ini);
            ApplyPositionGroup();
            const String offsetText = ini->ReadString("VEK", "Offset", String());
            TDateTime offset = 0;
            if (!offsetText.empty() &&
                TryStrToDateTime(offsetText, offset, FFileFormats ? *FFileFormats : FormatSettings)) {
                const double shift = std::round(Date() - offset);
                if (std::fabs(shift) < 3660000) {
                    const int days = int(shift);
                    ForEach(feAll, 0, [this, days](TNodeData* Row, NativeInt) { CB_OffsetNode(Row, days); });
                }
                FInitialDeOverlap = true;
            }
        } catch (const std::exception& e) {
            FLoadError = e.what();
            WriteLog(String("Load ") + FileName + ": " + e.what());
            ok = false;
        }
        FFileFormats.reset();
    }
    if (!EndLoading(ok))
        return false;
    LoadPushedFiles();
    return true;
}

bool TScheduleDocument::EndLoading(bool Ok)
{
    // What was read of a file that failed is not the user's plan.
    if (!Ok) {
        SetFileChanged(false);
        ActionNew();
    }
    return Ok;
}

// ---- open ------------------------------------------------------------------------------

void TScheduleDocument::Open(const String& FileName)
{
    if (!FileExists(FileName)) {
        ShowMessage(dmError, FillText(Translate("File %s does not exist."), {FileName}));
        return;
    }
    if (ShowInOtherInstance(FileName))
        return;
    // A client's import would reset its copy of the server's plan for nothing.
    if (UpperExtension(FileName) == ".LST" && !CanImportList()) {
        ShowMessage(dmError, FillText(Translate("File %s could not be loaded."), {FileName}));
        return;
    }
    if (GetFileChanged()) {
        const TDocumentAnswer answer = MessageFileNotSaved();
        if (answer == daCancel)
            return;
        // A save that failed or was cancelled keeps the plan.
        if (answer == daYes && !(FFileIsNewAndUnsaved ? ActionSaveAs() : Save(FSaveFileName)))
            return;
    }
    SetFileChanged(false);
    FFileIsNewAndUnsaved = false;
    FInitialDeOverlap = false;
    SetStatusText(FillText(Translate("Open File %s..."), {FileName}));
    ActionNew();

    const String extension = UpperExtension(FileName);
    const bool backup = EndsWithBackup(FileName);
    if (extension == ".LST") {
        FinishListImport(FileName, Import(FileName));
        return;
    }
    if (extension != ".VEK" && !backup) {
        ShowMessage(dmError, Translate("File cannot be loaded. The Filetype is unknown."));
        return;
    }
    SetCurrentFile(FileName);
    if (FCurrentFile.empty())
        ShowMessage(FLockError == 0 ? dmInformation : dmWarning, LockRefusal(FileName, " "));
    if (!Load(FileName)) {
        // Never let the empty document take the file's name: the next save
        // would write it over the user's file.
        const String message = FillText(Translate("File %s could not be loaded."), {FileName});
        WriteLog(message);
        SetCurrentFile(String());
        FSaveFileName = Translate("New Table") + ".vek";
        FOpenFileName.clear();
        FFileIsNewAndUnsaved = true;
        SetFileChanged(false);
        UpdateCaption();
        ShowMessage(dmError, message);
        return;
    }
    FSaveFileName = backup ? String() : FileName;
    FOpenFileName = FileName;
    UpdateCaption();
    AddRecentFile(backup ? FileName.substr(0, FileName.size() - 7) : FileName);
    ScrollToToday();
    if (FInitialDeOverlap) {
        ForEach(tbTable, feAll, 0, [this](TNodeData* Row, NativeInt P) { CB_SetRecalcEndOf(Row, P); });
        UpdateOverlapping(false);
        UndoRedo().Clear();
        FInitialDeOverlap = false;
    }
    DocumentOpened();
    SetFileChanged(false);
    FFileIsNewAndUnsaved = backup;
    if (IsActiveServer())
        BroadcastDocument();
}

void TScheduleDocument::ActionOpen()
{
    String name = FOpenFileName;
    if (ExecuteOpenDialog(name))
        Open(name);
}

// ---- save ------------------------------------------------------------------------------

bool TScheduleDocument::Save(const String& FileName)
{
    // A folder that is not there is a wrong name, not one to make: the side
    // folders would otherwise make the whole path.
    struct stat folder {};
    if (::stat(FolderOf(FileName).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
        ShowMessage(dmWarning, Translate("File could not be saved, please try saving with a different filename"));
        return false;
    }
    // The new name's lock first; the old one goes only once this one is had.
    if (!LockFileFor(FileName)) {
        ShowMessage(FLockError == 0 ? dmInformation : dmWarning, LockRefusal(FileName, ""));
        return false;
    }
    const String temp = FolderOf(FileName) + "." + FileNameOnly(FileName) + ".saving~";
    String history;
    try {
        // The whole new file first; only then does anything else change.
        WriteFileAtomic(temp, DocumentBytes());
        int obsolete = -1;
        try {
            history = MakeHistoryCopy(FileName, obsolete);
        } catch (...) {
            ::unlink(temp.c_str());
            throw;
        }
        if (::rename(temp.c_str(), FileName.c_str()) != 0) {
            const String reason = std::strerror(errno);
            ::unlink(temp.c_str());
            if (!history.empty())
                ::unlink(history.c_str());
            throw EWriteError("Cannot write " + FileName + ": " + reason);
        }
        if (obsolete >= 0)
            ::unlink(HistoryCopyName(HistoryFolderOf(FileName) + FileNameOnly(FileName), obsolete).c_str());
        RemoveSaveLeftovers(FileName);
    } catch (const std::exception& e) {
        WriteLog(String("Save ") + FileName + ": " + e.what());
        ShowMessage(dmWarning, Translate("File could not be saved, please try saving with a different filename"));
        return false;
    }
    DeleteAppliedPushedFiles();
    AddRecentFile(FileName);
    FSaveFileName = FileName;
    FOpenFileName = FileName;
    SetFileChanged(false);
    FFileIsNewAndUnsaved = false;
    UpdateCaption();
    return true;
}

bool TScheduleDocument::ActionSave() { return FFileIsNewAndUnsaved ? ActionSaveAs() : Save(FSaveFileName); }

bool TScheduleDocument::ActionSaveAs()
{
    String name = FSaveFileName;
    if (!ExecuteSaveDialog(name) || name.empty())
        return false;
    if (FileExists(name) && !AskConfirmation(FillText(Translate("File %s already exists.\\nOverwrite this file?"), {name})))
        return false;
    UpdateCaption();
    return Save(name);
}

// ---- revert and the compression switch -----------------------------------------------

bool TScheduleDocument::ActionRevertEnabled() const
{
    return !FOpenFileName.empty() && FFileChanged && !FFileIsNewAndUnsaved && !IsConnectedClient();
}

void TScheduleDocument::ActionRevert()
{
    if (!AskConfirmation(Translate("Revert to last stored file?")))
        return;
    const String name = FOpenFileName;
    SetFileChanged(false);
    FFileIsNewAndUnsaved = false;
    Open(name);
}

void TScheduleDocument::ToggleCompressed()
{
    FKomprimiert = !FKomprimiert;
    SetFileChanged(true);
}

// Change files in the push folder: watching, polling and applying them.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "document/DocumentHelpers.h"
#include "document/DocumentScopes.h"
#include "document/Log.h"
#include "document/ScheduleDocument.h"
#include "document/SideFolder.h"
#include "document/XMLTree.h"
#include "platform/Forms.h"
#include "platform/SysUtils.h"

namespace {

struct TStamp {
    Int64 Size = -1;
    Int64 MTimeNs = -1;
    bool operator==(const TStamp& O) const { return Size == O.Size && MTimeNs == O.MTimeNs; }
};

bool StampOf(const String& FileName, TStamp& Stamp)
{
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    Stamp = TStamp{Int64(st.st_size), Int64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    return true;
}

// A change file larger than this is not one.
constexpr Int64 MaxChangeFileBytes = 16 << 20;

}  // namespace

bool TScheduleDocument::CommandInProgress() const
{
    return IsLoading() || IsUpdating() || FUndoRedoGroupIndex != -1 || !FUndoRedo->DoesAcceptUndo() ||
           FUndoRedo->Undoing() || ModalLoopRunning();
}

struct TScheduleDocument::TPushState {
    String Folder;
    // The stamp seen at the previous tick, per pending file.
    std::map<String, TStamp> Seen;
    std::map<String, int> Tries;
    // Files applied or given up, with their stamp then: not taken again
    // unless they change.
    std::map<String, TStamp> Done;
    // The stamp of each file of FPushedFiles when it was applied; kept
    // when the folder changes, until the save that deletes them.
    std::map<String, TStamp> Applied;
};

void TScheduleDocument::DeleteAppliedPushedFiles()
{
    if (!FPushState)
        FPushState = std::make_shared<TPushState>();
    // A file rewritten since it was applied holds changes this document has
    // not seen: it stays, and the poll takes it up again.
    for (const String& name : FPushedFiles) {
        TStamp now;
        const auto applied = FPushState->Applied.find(name);
        if (applied != FPushState->Applied.end() && StampOf(name, now) && now == applied->second)
            ::unlink(name.c_str());
    }
    FPushedFiles.clear();
    FPushState->Applied.clear();
}

void TScheduleDocument::ListFileDir(const String& Folder, const String& Mask, TStringList& List)
{
    if (Folder.empty())
        return;
    const String folder = Folder.back() == '/' ? Folder : Folder + "/";
    std::vector<String> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(dir)) {
            const String name = e->d_name;
            struct stat st {};
            if (::fnmatch(Mask.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) != 0 ||
                ::stat((folder + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
                continue;
            names.push_back(folder + name);
        }
        ::closedir(dir);
    }
    for (const String& n : names)
        List.Add(n);
}

void TScheduleDocument::UpdatePushWatch()
{
    if (!FPushState)
        FPushState = std::make_shared<TPushState>();
    const String push = FCurrentFileHandle >= 0 && !FCurrentFile.empty() ? GetPushDirectory() : String();
    if (push != FPushState->Folder) {
        // The files of another folder are that document's business.
        FPendingPushedFiles.clear();
        FPushState->Seen.clear();
        FPushState->Tries.clear();
        FPushState->Done.clear();
        FPushState->Folder = push;
    }
    if (push.empty()) {
        if (FPushWatcher)
            FPushWatcher->Stop();
        if (PushedFilesTimer)
            PushedFilesTimer->SetEnabled(false);
        return;
    }
    if (!FPushWatcher) {
        FPushWatcher = Create<TSHChangeNotify>(this);
        FPushWatcher->OnCreate = [this](const String& Name) { OnFileCreate(Name); };
        FPushWatcher->OnUpdateItem = [this](const String& Name) { OnFileCreate(Name); };
        FPushWatcher->OnRenameItem = [this](const String& OldName, const String& NewName) {
            // A file moved out of the folder has no new name.
            if (!NewName.empty())
                OnFileMove(OldName, NewName);
        };
    }
    if (FPushWatcher->NotifyCount() == 0 || FPushWatcher->Folders()->Count() != 1 ||
        FPushWatcher->Folders()->Get(0) != push) {
        FPushWatcher->Folders()->Clear();
        FPushWatcher->Folders()->Add(push);
        try {
            FPushWatcher->Execute();
        } catch (const Exception&) {
            // Not watched (no such folder yet, or the system's limit): the
            // timer's look at the listing finds the files all the same.
        }
    }
    if (!PushedFilesTimer) {
        PushedFilesTimer = Create<TTimer>(this);
        PushedFilesTimer->SetEnabled(false);
        PushedFilesTimer->OnTimer = [this](TObject* Sender) { PushedFilesTimerTimer(Sender); };
    }
    PushedFilesTimer->SetInterval(FPushedFilesInterval);
    // Kept running: other machines' files are seen only by looking.
    PushedFilesTimer->SetEnabled(true);
}

void TScheduleDocument::StopPushedFilesTimer()
{
    if (PushedFilesTimer)
        PushedFilesTimer->SetEnabled(false);
}

void TScheduleDocument::LoadPushedFiles()
{
    UpdatePushWatch();
    if (FPushState->Folder.empty())
        return;
    PushedFilesTimerTimer(nullptr);
}

void TScheduleDocument::OnFileCreate(const String& FileName)
{
    UpdatePushWatch();
    const String& push = FPushState->Folder;
    if (push.empty() || FileName.size() < 5 || UpperCase(FileName.substr(FileName.size() - 5)) != ".DIFF" ||
        UpperCase(FolderOf(FileName)) != UpperCase(push))
        return;
    if (std::find(FPendingPushedFiles.begin(), FPendingPushedFiles.end(), FileName) != FPendingPushedFiles.end())
        return;
    TStamp stamp;
    const auto done = FPushState->Done.find(FileName);
    if (done != FPushState->Done.end() && StampOf(FileName, stamp) && done->second == stamp)
        return;
    FPushState->Done.erase(FileName);
    FPendingPushedFiles.push_back(FileName);
    PushedFileBeep();
}

void TScheduleDocument::OnFileMove(const String& OldName, const String& NewName)
{
    (void)OldName;
    OnFileCreate(NewName);
}

void TScheduleDocument::PushedFilesTimerTimer(TObject* Sender)
{
    (void)Sender;
    UpdatePushWatch();
    TPushState& state = *FPushState;
    // A connected client's new rows are made by the server and arrive
    // empty: change files wait until this instance is no client any more.
    // Nor do they cut into a command: its undo step, a question's answer or
    // the end of its bracket would take the change with it.
    if (state.Folder.empty() || !CanLoadChangeFiles() || CommandInProgress())
        return;

    // The listing, for what no notification told of; new files in the
    // order they were written.
    TStringList listed;
    ListFileDir(state.Folder, "*.diff", listed);
    std::vector<std::pair<TStamp, String>> found;
    for (int i = 0; i < listed.Count(); ++i) {
        TStamp stamp;
        if (StampOf(listed.Get(i), stamp))
            found.emplace_back(stamp, listed.Get(i));
    }
    std::sort(found.begin(), found.end(), [](const auto& A, const auto& B) {
        return A.first.MTimeNs != B.first.MTimeNs ? A.first.MTimeNs < B.first.MTimeNs : A.second < B.second;
    });
    for (const auto& f : found) {
        const auto done = state.Done.find(f.second);
        if (done != state.Done.end() && done->second == f.first)
            continue;
        if (std::find(FPendingPushedFiles.begin(), FPendingPushedFiles.end(), f.second) == FPendingPushedFiles.end())
            OnFileCreate(f.second);
    }

    const std::vector<String> pending = FPendingPushedFiles;
    for (const String& name : pending) {
        const auto drop = [&] {
            FPendingPushedFiles.erase(std::find(FPendingPushedFiles.begin(), FPendingPushedFiles.end(), name));
            state.Seen.erase(name);
            state.Tries.erase(name);
        };
        TStamp stamp;
        if (!StampOf(name, stamp)) {
            drop();
            continue;
        }
        // A file still growing waits: it is taken only once it stood still
        // for a whole tick.
        const auto seen = state.Seen.find(name);
        if (seen == state.Seen.end() || !(seen->second == stamp)) {
            state.Seen[name] = stamp;
            continue;
        }
        if (LoadDiff(name)) {
            drop();
            state.Done[name] = stamp;
            state.Applied[name] = stamp;
            if (std::find(FPushedFiles.begin(), FPushedFiles.end(), name) == FPushedFiles.end())
                FPushedFiles.push_back(name);
        } else if (++state.Tries[name] > FPushedFileRetries) {
            WriteLog("Change file " + name + " is not usable and was left in place");
            drop();
            state.Done[name] = stamp;
        }
    }
}

bool TScheduleDocument::LoadDiff(const String& FileName)
{
    if (FileName.empty() || !CanLoadChangeFiles())
        return false;
    const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string bytes;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && Int64(st.st_size) <= MaxChangeFileBytes;
    char buffer[65536];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        bytes.append(buffer, std::size_t(n));
        if (Int64(bytes.size()) > MaxChangeFileBytes)
            ok = false;
    }
    ::close(fd);
    if (!ok)
        return false;

    TXMLTree tree;
    if (!tree.LoadFromBytes(bytes))
        return false;
    const TXMLNode* data = tree.findNamedNode("data");
    // Half-written: the data element has not been closed yet.
    if (!data || !data->FClosed)
        return false;

    std::vector<String> captions;
    for (int c = 0; c < GetTableColCount(tbTable); ++c)
        captions.push_back(GetColumnCaption(tbTable, c));
    const auto setCells = [&](TNodeData* Row, const TXMLNode* Element) {
        for (int i = 0; i < Element->NodeCount() && Row && Row->VNode; ++i) {
            const TXMLNode* cell = Element->Node(i);
            const auto it = std::find(captions.begin(), captions.end(), cell->FName);
            if (it != captions.end())
                SetData(Row, int(it - captions.begin()), cell->FValue);
        }
    };
    const auto taskRow = [&](const TXMLNode* Element) -> TNodeData* {
        const TXMLAttribute* id = Element->getNamedAttribute("id");
        int value = 0;
        TNodeData* row = nullptr;
        TWhichTable table = tbTable;
        if (!id || !TryStrToInt(Trim(id->FValue), value) || !FindNodeAndTable(value, row, table) || table != tbTable)
            return nullptr;
        return row;
    };

    // One undo step, and one bracket: without it every new row would
    // refresh the whole window.
    TUpdateScope update(*this, FillText(Translate("Applying change file %s..."), {FileNameOnly(FileName)}));
    TUndoGroupScope group(*this);
    for (int i = 0; i < data->NodeCount(); ++i) {
        const TXMLNode* element = data->Node(i);
        if (element->FName == "change") {
            if (TNodeData* row = taskRow(element))
                setCells(row, element);
        } else if (element->FName == "new") {
            int id = -1;
            if (const TXMLAttribute* attr = element->getNamedAttribute("id")) {
                TNodeData* existing = nullptr;
                TWhichTable table = tbTable;
                if (!TryStrToInt(Trim(attr->FValue), id) || id < 0 || FindNodeAndTable(id, existing, table)) {
                    WriteLog("Change file " + FileName + ": ID \"" + attr->FValue + "\" is not free, a new one is used");
                    id = -1;
                }
            }
            if (id < 0)
                id = GetFreeID();
            if (TNodeData* row = AddNode(id, tbTable, -1, -1, -1, cmDefault))
                setCells(row, element);
        } else if (element->FName == "delete") {
            if (TNodeData* row = taskRow(element))
                DeleteNode(row, cmDefault);
        }
    }
    return true;
}

// The frame's behaviour: start, caption and status bar, recent files, the
// language switch, the view switches, the keyboard, the close questions and
// the log.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <limits>

#include "components/KitSplitter.h"
#include "components/KitToolBar.h"
#include "components/StyledMenu.h"
#include "document/Log.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/DateUtils.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/MenuBar.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/SysUtils.h"
#include "shell/MainForm.h"
#include "views/CanvasPanel.h"
#include "shell/MessageDialog.h"
#include "shell/Translation.h"

extern char** environ;

namespace {
constexpr int RecentFileCount = 8;
}  // namespace

void TMainForm::AfterConstruction()
{
    TPlannerForm::AfterConstruction();
    FormCreate();
}

void TMainForm::BeforeDestruction()
{
    SetLogSink(nullptr);
    // Every column's header data goes with the columns, before the trees.
    ResizeTable(tbTable, 0);
    ResizeTable(tbExclude, 0);
    TPlannerForm::BeforeDestruction();
}

void TMainForm::FormCreate()
{
    StyledMenu1->ForceComponent(MainMenu1);
    UpdateLanguageFiles();
    // The spreadsheet exchange writes and reads workbook files itself, so
    // its commands are always there.
    DragAcceptFiles(true);
    FUndoRedoGroupIndex = -1;
    FZoom = 100;
    FTransparency = 50;
    SetLogSink([this](const String& Line) { Log(Line); });
    SetFileChanged(false);
    ActionNew();
    Dateikomprimiertspeichern1->SetChecked(FKomprimiert);
    UpdateStatusBar();
    // The keys go to the chart as the window opens, not to the first box
    // of the tool bar.
    SetActiveControl(TimeChart);
}

// ---- caption and status --------------------------------------------------------------

void TMainForm::SetCaption(const String& Name)
{
    FCaptionFileName = Name;
    UpdateCaption();
    LookupOtherWindows();
}

void TMainForm::UpdateCaption()
{
    // The document names itself by the file it saves to; a backup has none
    // until it is saved under a new name.
    // A client shows the server it mirrors once the plan has come.
    const String name = FReceivedFromServer && IsConnectedClient() ? ConnectedServerAddress()
                        : FSaveFileName.empty()                  ? FOpenFileName
                                                                 : FSaveFileName;
    if (name != FCaptionFileName) {
        SetCaption(name);
        return;
    }
    TForm::SetCaption("VEK - " + FCaptionFileName);
    String state = GetFileChanged() ? ::Translate("File has changed") : String();
    if (IsConnectedClient()) {
        const String connected = ::Translate("Connected to %s", {ConnectedServerAddress()});
        state = state.empty() ? connected : state + " - " + connected;
    }
    SetPanelText(3, state);
    UpdateFileActions();
}

void TMainForm::SetPanelText(int Index, const String& Text)
{
    if (StatusBar1 && Index < StatusBar1->Panels()->Count() && StatusBar1->Panels()->Items(Index)->Text() != Text)
        StatusBar1->Panels()->Items(Index)->SetText(Text);
}

void TMainForm::UpdateStatusBar()
{
    if (IsUpdating() || !StatusBar1)
        return;
    const TWhichTable table = GetActiveTable();
    const int total = TotalCount(table);
    SetPanelText(0, ::Translate("Table total: %s", {std::to_string(total)}));
    SetPanelText(1, ::Translate("in %s: %s", {GetPositionGroupCaption(), std::to_string(GroupCount(table))}));
    SetPanelText(2, ::Translate("filtered: %s", {std::to_string(total - FilteredCount(table))}));
}

String TMainForm::GetStatusText() const
{
    return StatusBar1 && StatusBar1->Panels()->Count() > 3 ? StatusBar1->Panels()->Items(3)->Text() : String();
}

void TMainForm::SetStatusText(const String& Text)
{
    TPlannerForm::SetStatusText(Text);
    SetPanelText(3, Text);
}

void TMainForm::SetHourglass(bool Busy) { Screen->SetCursor(Busy ? crHourGlass : crDefault); }

void TMainForm::SetFileChanged(bool Value)
{
    const bool was = GetFileChanged();
    TPlannerForm::SetFileChanged(Value);
    if (was != Value)
        UpdateCaption();
}

void TMainForm::UpdateUndoRedoActions(bool CanUndo, const String& UndoHint, bool CanRedo, const String& RedoHint)
{
    if (!ActUndo)
        return;
    ActUndo->SetEnabled(CanUndo);
    ActUndo->SetHint(UndoHint);
    ActRedo->SetEnabled(CanRedo);
    ActRedo->SetHint(RedoHint);
}

// ---- recent files --------------------------------------------------------------------

std::vector<String> TMainForm::LastFiles() const
{
    std::vector<String> files;
    for (TAction* a : ActLastFile)
        if (a->Visible() && a->Caption().size() > 3)
            files.push_back(a->Caption().substr(3));
    return files;
}

void TMainForm::ApplyRecentFileCaptions(const std::vector<String>& Files)
{
    for (int i = 0; i < RecentFileCount; ++i) {
        const bool used = i < int(Files.size());
        ActLastFile[i]->SetCaption(std::to_string(i + 1) + ". " + (used ? Files[std::size_t(i)] : String()));
        ActLastFile[i]->SetVisible(used);
    }
    zuletztgeffneteDateien1->SetEnabled(!Files.empty() && !IsConnectedClient());
}

void TMainForm::AddToLastFiles(const String& Path)
{
    if (Path.empty())
        return;
    // Entries are opened later, maybe from another folder: full names only.
    // Linux file names are case-sensitive: only the very same path is the
    // same file, and it is never listed twice.
    const String path = ExpandFileName(Path);
    std::vector<String> files = LastFiles();
    std::erase(files, path);
    files.insert(files.begin(), path);
    if (files.size() > std::size_t(RecentFileCount))
        files.resize(RecentFileCount);
    ApplyRecentFileCaptions(files);
}

void TMainForm::AddRecentFile(const String& FileName) { AddToLastFiles(FileName); }

// ---- language ------------------------------------------------------------------------

void TMainForm::UpdateLanguageFiles()
{
    BuildLanguageMenu(Sprache1, [this](const String& Name) { SetLanguage(Name); });
    // Made anew: styled like the rest.
    StyledMenu1->ActivateMenuItem(Sprache1, true);
}

void TMainForm::SetLanguage(const String& Name)
{
    FLanguage = ApplyLanguage(Name, Sprache1);
    // Only the empty document New made is made again, for its default
    // texts in the new language: an opened backup, an imported list or a
    // server's plan is new and unsaved as well, but it is the user's.
    if (FUntouchedNew && FFileIsNewAndUnsaved && !GetFileChanged() && !IsConnectedClient())
        ActionNew();
    // The form's walk gave Undo and Redo the hints they had when first
    // translated; theirs follow the undo list.
    UndoRedo().UpdateMainForm();
    ActClearAllFilters->SetCaption(::Translate("Clear all Filters"));
    ActClearAllFilters->SetHint(::Translate("Clear all Filters"));
    UpdateToolCaptions();
    UpdateTableCaptions();
    SaveDialog1->SetTitle(::Translate("Save as"));
    OpenDialog1->SetTitle(::Translate("Open"));
    UpdateCaption();
    UpdateStatusBar();
    if (MenuBar1)
        MenuBar1->Invalidate();
}

String TMainForm::Translate(const String& Text) const { return ::Translate(Text); }

void TMainForm::MenuItemsAdded(TMenuItem* Parent)
{
    if (StyledMenu1)
        StyledMenu1->ActivateMenuItem(Parent, true);
}

// ---- view switches -------------------------------------------------------------------

void TMainForm::Statuszeileanzeigen1Click()
{
    Statuszeileanzeigen1->SetChecked(!Statuszeileanzeigen1->Checked());
    StatusBar1->SetVisible(Statuszeileanzeigen1->Checked());
    StatusBar1->SetTop(ClientHeight());
}

void TMainForm::Tabelleanzeigen1Click()
{
    Tabelleanzeigen1->SetChecked(!Tabelleanzeigen1->Checked());
    const bool shown = Tabelleanzeigen1->Checked();
    Panel1->SetVisible(shown);
    Splitter1->SetVisible(shown);
    // Without the table the chart takes the whole window.
    TimeChartPanel->SetAlign(shown ? alTop : alClient);
    if (!shown && EditorAsWindow1->Checked())
        EditorAsWindowClick();
    EditorAsWindow1->SetEnabled(shown);
}

void TMainForm::Werkzeugleisteanzeigen1Click()
{
    Werkzeugleisteanzeigen1->SetChecked(!Werkzeugleisteanzeigen1->Checked());
    dfsToolBar2->SetVisible(Werkzeugleisteanzeigen1->Checked());
    if (dfsToolBar2->Visible())
        dfsToolBar2->SetTop(MenuBar1->Top() + MenuBar1->Height());
}

void TMainForm::SwapCheckedClick(TMenuItem* Item)
{
    Item->SetChecked(!Item->Checked());
    // Two of the switches it serves are the document's settings: each
    // click changes its own.
    if (Item == DenyMoveIntoPast1)
        FDenyMoveBeforeNow = Item->Checked();
    else if (Item == AutoArrange1)
        FAutoArrange = Item->Checked();
    else
        return;
    SetFileChanged(true);
}

void TMainForm::UpdateDocumentSwitches()
{
    if (!DenyMoveIntoPast1)
        return;
    DenyMoveIntoPast1->SetChecked(FDenyMoveBeforeNow);
    AutoArrange1->SetChecked(FAutoArrange);
}

// ---- keyboard ------------------------------------------------------------------------

void TMainForm::FormKeyDown(Word& Key, TShiftState Shift)
{
    // Keys typed into an edit field belong to it; the tables, the chart and
    // the group tabs leave them to the form.
    TWinControl* active = ActiveControl();
    if (active && !dynamic_cast<TBaseTreeGrid*>(active) && active != TimeChartPanel && active != TimeChart &&
        !dynamic_cast<TTabControl*>(active))
        return;
    if (Key == VK_DELETE) {
        ActionDeleteNodeExecute();
        Key = 0;
        return;
    }
    if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN) {
        ScrollByKey(Key, Shift);
        return;
    }
    if (Key != VK_NEXT && Key != VK_PRIOR)
        return;
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    if (!tree || tree->SelectedCount() != 1)
        return;
    TGridNode* node = tree->GetFirstSelected();
    TGridNode* next = Key == VK_NEXT ? tree->GetNextVisible(node) : tree->GetPreviousVisible(node);
    if (TNodeData* row = next ? static_cast<TRowTree*>(tree)->Row(next) : nullptr)
        SelectOnly(row);
    Key = 0;
}

// ---- a further window ----------------------------------------------------------------

void TMainForm::NeuClick()
{
    SaveIni();
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return;
    path[n] = 0;
    char* argv[] = {path, nullptr};
    // The new instance is started by a short-lived middle process, so it is
    // nobody's child here and never lingers as a zombie of this one.
    const pid_t middle = ::fork();
    if (middle == 0) {
        pid_t pid = 0;
        _exit(posix_spawn(&pid, path, nullptr, nullptr, argv, environ) == 0 ? 0 : 1);
    }
    int status = 1;
    if (middle < 0 || ::waitpid(middle, &status, 0) != middle || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Log("Could not start " + String(path));
}

// ---- messages and dialogs ------------------------------------------------------------

bool TMainForm::AskConfirmation(const String& Text)
{
    return MessageDlg(Text, mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) == mrOk;
}

bool TMainForm::AskYesNo(const String& Text)
{
    return MessageDlg(Text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo}) == mrYes;
}

TDocumentAnswer TMainForm::AskSave(const String& Text)
{
    switch (MessageDlg(Text, mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbCancel})) {
    case mrYes: return daYes;
    case mrNo: return daNo;
    default: return daCancel;
    }
}

TDocumentAnswer TMainForm::MessageFileNotSaved()
{
    if (FCurrentFile.empty())
        return AskSave(::Translate("Do you want to save changes?"));
    return AskSave(::Translate("Do you want to save changes to %s?", {FCurrentFile}));
}

void TMainForm::ShowMessage(TDocumentMessageKind Kind, const String& Text)
{
    const TMsgDlgType type = Kind == dmError ? mtError : Kind == dmWarning ? mtWarning : mtInformation;
    MessageDlg(Text, type, TMsgDlgButtons{mbOK});
}

namespace {

// Runs the dialog preset with FileName; the chosen name when accepted.
bool RunFileDialog(TOpenDialog* Dialog, String& FileName)
{
    Dialog->SetFileName(FileName);
    if (!Dialog->Execute())
        return false;
    FileName = ExpandFileName(Dialog->FileName());
    return true;
}

}  // namespace

bool TMainForm::ExecuteSaveDialog(String& FileName) { return RunFileDialog(SaveDialog1, FileName); }

bool TMainForm::ExecuteOpenDialog(String& FileName) { return RunFileDialog(OpenDialog1, FileName); }

bool TMainForm::ExecuteWorkbookOpenDialog(const String& Filter, String& FileName)
{
    std::unique_ptr<TOpenDialog> dialog(Create<TOpenDialog>(nullptr));
    dialog->SetFilter(Filter);
    return RunFileDialog(dialog.get(), FileName);
}

void TMainForm::PushedFileBeep() { Beep(); }

void TMainForm::ApplicationEvents1Idle()
{
    TPlannerForm::ApplicationEvents1Idle();
    UpdateFileActions();
}

// ---- shut-down -----------------------------------------------------------------------

bool TMainForm::FormCloseQuery()
{
    if (IsActiveServer()) {
        const int clients = ConnectedClientCount();
        if (clients > 0 &&
            MessageDlg(::Translate("%s clients are connected to this Server?\\nClose VEK anyway?", {std::to_string(clients)}),
                       mtConfirmation, TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
            return false;
    }
    if (GetFileChanged() && !IsConnectedClient()) {
        switch (MessageFileNotSaved()) {
        case daCancel: return false;
        case daYes:
            // A file opened while someone else holds it cannot be saved
            // under its name: as for a new one, the user picks another.
            // A save that failed or was cancelled keeps the window.
            if (!(FFileIsNewAndUnsaved || FCurrentFile.empty() ? ActionSaveAs() : Save(FSaveFileName)))
                return false;
            break;
        case daNo: break;
        }
    }
    return true;
}

void TMainForm::DoClose(TCloseAction& Action)
{
    if (!FormCloseQuery()) {
        Action = caNone;
        return;
    }
    SetWindowState(wsNormal);
    if (!SaveIni())
        MessageDlg(::Translate("Could not write to vek.ini.\\nCurrent setup is not saved."), mtWarning, TMsgDlgButtons{mbOK});
    SetCurrentFile(String());
    TPlannerForm::DoClose(Action);
}

// ---- log -----------------------------------------------------------------------------

void TMainForm::Log(const String& Text)
{
    // The log must never fail: the program may run in a folder it cannot
    // write, and a failure here would come back through the exception
    // handler that logs it.
    try {
        String line = DateTimeToStr(Now()) + " - file " + FCaptionFileName + ": " + Text;
        // One entry, one line: its own line breaks (a message's, or a file
        // name's) become blanks.
        for (std::size_t i = 0; (i = line.find_first_of("\r\n", i)) != String::npos;)
            line.replace(i, line.compare(i, 2, "\r\n") == 0 ? 2 : 1, " ");
        line += "\r\n";
        if (std::FILE* f = std::fopen("vek.log", "ab")) {
            std::fwrite(line.data(), 1, line.size(), f);
            std::fclose(f);
        }
    } catch (...) {
    }
}

void TMainForm::ApplicationEvents1Exception(Exception& E) { Log("Exception: " + E.Message); }

void TMainForm::ApplicationEvents1ShowHint(String&, bool&, THintInfo& HintInfo)
{
    HintInfo.ReshowTimeout = std::numeric_limits<int>::max();
}

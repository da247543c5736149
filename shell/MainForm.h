#pragma once
// TMainForm: the program's one main window. Below it the document and the
// views hold the plan; this layer is the frame around them: the menus, the
// actions, the tool bar and status bar, the caption, the recent files, the
// window list of the other running instances, the settings, the close
// questions and the log. It answers the lower layers' hooks with the real
// things: message boxes, file dialogs, the status bar and the caption.
#include <memory>
#include <vector>

#include "platform/Menus.h"
#include "views/PlannerForm.h"

class TAction;
class TArchivDialog;
class TDocumentNetwork;
class TActionList;
class TScreenDocker;
class TInstanceRegistry;
class TKitToolBar;
class TStyledMenu;
class TMainMenu;
class TMenuBar;
class TMenuItem;
class TGotoDialog;
class TNewEntryDialog;
class TReorderEntriesDialog;
class TSetupTableDialog;
class TEditTableColumnDialog;
class TSetupPositionsDialog;
class TOrganizePositionsDialog;
class TSetupAbsentDaysDialog;
class TDefineHolidayDialog;
class TOpenDialog;
class TSaveDialog;
class TStatusBar;
class TToolBar;
class TPrintTimeChartDialog;
class TPrintListDialog;
class TPrintPreviewDialog;
class TPrinterSetupDialog;

class TMainForm : public TPlannerForm {
    VEK_DECLARE_CLASS(TMainForm, TPlannerForm)
public:
    explicit TMainForm(TComponent* AOwner);
    ~TMainForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // ---- the frame's components (named as the form names them) ----
    TMainMenu* MainMenu1 = nullptr;
    TMenuBar* MenuBar1 = nullptr;
    // Draws every menu of the window, and the dialogs' popups, flat.
    TStyledMenu* StyledMenu1 = nullptr;
    TActionList* ActionList1 = nullptr;
    // The collapsible bar holding the tool bar.
    TKitToolBar* dfsToolBar2 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TTimer* RedrawTimer = nullptr;
    TScreenDocker* ScreenDocker1 = nullptr;
    // Timers of the views, idle until the views use them.
    // Asked after a bar is drawn on the chart.
    TNewEntryDialog* NewEntryDialog = nullptr;
    TArchivDialog* ArchivDialog = nullptr;
    TGotoDialog* GotoDialog = nullptr;
    TReorderEntriesDialog* ReorderEntriesDialog = nullptr;
    // The five setup dialogs, made once and reused (null until built).
    TSetupTableDialog* SetupTableDialog = nullptr;
    TEditTableColumnDialog* EditTableColumnDialog = nullptr;
    TSetupPositionsDialog* SetupPositionsDialog = nullptr;
    TOrganizePositionsDialog* OrganizePositionsDialog = nullptr;
    TSetupAbsentDaysDialog* SetupAbsentDaysDialog = nullptr;
    TDefineHolidayDialog* DefineHolidayDialog = nullptr;

    // The actions. Their components are named "ActionNew" and so on; the
    // members carry another name because the document's commands of those
    // names are methods.
    TAction* ActNew = nullptr;
    TAction* ActOpen = nullptr;
    TAction* ActRevert = nullptr;
    TAction* ActSave = nullptr;
    TAction* ActSaveAs = nullptr;
    TAction* ActClose = nullptr;
    TAction* ActUndo = nullptr;
    TAction* ActRedo = nullptr;
    TAction* ActSolveOverlapping = nullptr;
    TAction* ActClearAllFilters = nullptr;
    TAction* ActionGoto = nullptr;
    TAction* ActLastFile[8] = {};
    // Printing: "ActionPrintTimechart", "ActionPrintList", "ActionPrinterSetup".
    TAction* ActPrintTimechart = nullptr;
    TAction* ActPrintList = nullptr;
    TAction* ActPrinterSetup = nullptr;
    // The print dialogs, made once and reused.
    TPrintTimeChartDialog* PrintTimeChartDialog1 = nullptr;
    TPrintListDialog* PrintListDialog1 = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

    // Menus and their items.
    TMenuItem* Datei1 = nullptr;
    TMenuItem* Dateikomprimiertspeichern1 = nullptr;
    TMenuItem* Zusammenfhren1 = nullptr;
    TMenuItem* Auftrgearchivieren1 = nullptr;
    TMenuItem* Archivierungrckgngigmachen1 = nullptr;
    TMenuItem* Archivlschen1 = nullptr;
    TMenuItem* Exportieren1 = nullptr;
    TMenuItem* ExcelImport1 = nullptr;
    TMenuItem* zuletztgeffneteDateien1 = nullptr;
    TMenuItem* Neu1 = nullptr;
    TMenuItem* Bearbeiten1 = nullptr;
    TMenuItem* DenyMoveIntoPast1 = nullptr;
    TMenuItem* AutoArrange1 = nullptr;
    TMenuItem* Ansicht1 = nullptr;
    TMenuItem* Werkzeugleisteanzeigen1 = nullptr;
    TMenuItem* Statuszeileanzeigen1 = nullptr;
    TMenuItem* Tabelleanzeigen1 = nullptr;
    // "Setup", after "View": the setup dialogs' openers.
    TMenuItem* Setup1 = nullptr;
    TMenuItem* Tabellebearbeiten1 = nullptr;
    TMenuItem* Arbeitspltzebearbeiten1 = nullptr;
    TMenuItem* Fehltagebearbeiten1 = nullptr;
    TMenuItem* ositionengruppieren1 = nullptr;
    TMenuItem* EditHoliday1 = nullptr;
    TMenuItem* Netzwerk1 = nullptr;
    TMenuItem* Server1 = nullptr;
    TMenuItem* Servername = nullptr;
    TMenuItem* AllowClientChanges1 = nullptr;
    TMenuItem* Clients1 = nullptr;
    TMenuItem* Client1 = nullptr;
    TMenuItem* Sprache1 = nullptr;
    TMenuItem* Fenster1 = nullptr;

    // ---- state of the frame ----
    String FCaptionFileName;
    String FLanguage;
    // The other instances' windows: the text after "VEK - " and the
    // instance's handle (the window menu item's tag is its index here).
    struct TWindowEntry {
        String Name;
        NativeInt Handle = 0;
        bool Own = false;
    };
    std::vector<TWindowEntry> FWindowList;
    // The recent files, newest first, as the actions show them less "n. ".
    std::vector<String> LastFiles() const;
    // What LoadIni restores for parts of the window that are not built yet.
    int FPrinterOrientation = 0;
    String FClientHost = "localhost";
    // The network's default port until the settings give another.
    int FClientPort = 0;
    int FServerPort = 0;

    // ---- start-up, caption, status ----
    void FormCreate();
    void SetCaption(const String& Name);
    void UpdateCaption() override;
    void UpdateStatusBar() override;
    void AddToLastFiles(const String& Path);
    void UpdateLanguageFiles();
    void MenuItemsAdded(TMenuItem* Parent) override;
    void SetLanguage(const String& Name);
    // Rebuilds the window menu from the other instances' registry entries.
    void LookupOtherWindows();
    void SelectOtherVEKClick(TMenuItem* Item);
    void FormKeyDown(Word& Key, TShiftState Shift);
    void NeuClick();

    // ---- view switches ----
    void Statuszeileanzeigen1Click();
    void Tabelleanzeigen1Click();
    void Werkzeugleisteanzeigen1Click();
    void SwapCheckedClick(TMenuItem* Item);
    // The ticks of the document's own switches show its settings.
    void UpdateDocumentSwitches() override;

    // ---- small dialogs ----
    // The chart goes to the date asked for, keeping its top row.
    void ActionGotoExecute();
    void ShowArchiveDialog(TDateTime First, TDateTime Last, TDateTime ArchiveDate) override;
    // ---- setup dialogs ----
    // Fills every setup dialog from the document; each forgets that it was
    // shown. Then one of them is shown; its OK records the whole document
    // once and applies, in one update bracket, every dialog shown since.
    void MainFormToSetupDialog();
    void SetupDialogToMainForm();
    void Tabellebearbeiten1Click();
    void Arbeitspltzebearbeiten1Click();
    void Fehltagebearbeiten1Click();
    void ositionengruppieren1Click();
    void EditHoliday1Click();
    // The OK of a setup dialog opened from the menu: one undo step, then
    // everything shown is applied.
    void ApplySetupDialogs();
    // The task column bound to the positions when the dialogs were filled:
    // the positions edited belong to it wherever the columns move it.
    int FSetupPositionColumn = -1;

    // ---- printing ----
    void ActionPrintTimechartExecute();
    void ActionPrintListExecute();
    // Both print actions while the task table has a row.
    void ActionPrintUpdate();
    void ActionPrinterSetupExecute();
    void AddDefaultHeaderAndFooter(TPrintPreviewDialog* Engine, const String& FooterText, bool PrintFilename,
        const String& HeaderText);


    // ---- settings ----
    // The settings file: $XDG_CONFIG_HOME (or ~/.config) + "/Vek/Vek.ini".
    static String SettingsFileName();
    void LoadIni();
    // False when the file could not be written.
    bool SaveIni();

    // ---- shut-down ----
    // The close questions; false keeps the window open.
    bool FormCloseQuery();
    // One line in "vek.log" of the current folder; never raises.
    void Log(const String& Text);
    void ApplicationEvents1Exception(Exception& E);
    // A shown hint stays until the pointer leaves its control.
    void ApplicationEvents1ShowHint(String& HintStr, bool& CanShow, THintInfo& HintInfo);

    // ---- the lower layers' hooks, answered for real ----
    bool AskConfirmation(const String& Text) override;
    TDocumentAnswer MessageFileNotSaved() override;
    void ShowMessage(TDocumentMessageKind Kind, const String& Text) override;
    bool AskYesNo(const String& Text) override;
    bool ExecuteSaveDialog(String& FileName) override;
    bool ExecuteOpenDialog(String& FileName) override;
    bool ExecuteWorkbookOpenDialog(const String& Filter, String& FileName) override;
    void AddRecentFile(const String& FileName) override;
    bool ShowInOtherInstance(const String& FileName) override;
    String Translate(const String& Text) const override;
    String GetStatusText() const override;
    void SetStatusText(const String& Text) override;
    void SetHourglass(bool Busy) override;
    void SetFileChanged(bool Value) override;
    void UpdateUndoRedoActions(bool CanUndo, const String& UndoHint, bool CanRedo, const String& RedoHint) override;
    void PushedFileBeep() override;
    bool ExecuteNewEntryDialog(const String& Begin, const String& End, const String& Position,
        TWhichTable& Table) override;
    void ApplicationEvents1Idle() override;

    bool IsConnectedClient() const override;
    bool IsActiveServer() const override;
    void SendSetNodeDataEvent(int Column, const String& Text, int ID) override;
    void BroadcastSetNodeDataEvent(int Column, const String& Text, int ID) override;
    void SendNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID) override;
    void BroadcastNewNodeEvent(TWhichTable Table, int Position, int Length, TDateTime Start, int ID) override;
    void SendDeleteNodeEvent(int ID) override;
    void BroadcastDeleteNodeEvent(int ID) override;
    void BroadcastDocument() override;
    void UpdateNetworkControls() override;
    // Clients connected to this instance's server.
    int ConnectedClientCount() const;
    // host:port of the server this instance mirrors.
    String ConnectedServerAddress() const;

    // Serving this document or mirroring a served one.
    TDocumentNetwork* Network() const { return FNetwork.get(); }
    void Server1Click();
    void Client1Click();
    void AllowClientChanges1Click();

    // The registry of running instances (null until the shell starts it).
    TInstanceRegistry* Instances() const { return FInstances; }
    void SetInstances(TInstanceRegistry* Registry);

protected:
    void DoClose(TCloseAction& Action) override;

private:
    void CreateMenus();
    void CreateFileMenu();
    void CreatePrintActions();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateNetworkMenu();
    void CreateSetupMenu();
    void CreateSetupDialogs();
    // The setup dialogs' fill and apply steps, one pair per dialog. Apply
    // runs only for a dialog shown since the fill (its FWasActive), in the
    // order: absent-day reasons, table, positions, position groups,
    // holidays. The positions' apply gets the task column that holds them
    // after the table's apply (-1: that column was deleted).
    void FillTableSetup();
    void FillPositionsSetup();
    void FillAbsentDaysSetup();
    void FillPositionGroupsSetup();
    void FillHolidaySetup();
    void ApplyAbsentDaysSetup();
    // The new index of the positions' column, -1 when it went.
    int ApplyTableSetup();
    void ApplyPositionsSetup(int PositionColumn);
    void ApplyPositionGroupsSetup();
    void ApplyHolidaySetup();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateTimers();
    void CreateNetwork();
    void CreateSmallDialogs();
    void CreateGroupAndHolidayDialogs();
    TAction* NewAction(const String& Name, const String& Caption, TShortCut Key, std::function<void()> Execute);
    TMenuItem* NewItem(TMenuItem* Parent, const String& Name, const String& Caption, std::function<void()> Click);
    TMenuItem* NewActionItem(TMenuItem* Parent, const String& Name, TAction* Action);
    void SetPanelText(int Index, const String& Text);
    void ApplyRecentFileCaptions(const std::vector<String>& Files);
    void UpdateFileActions();
    void UpdateClientsMenu();
    TDocumentAnswer AskSave(const String& Text);

    TInstanceRegistry* FInstances = nullptr;
    std::unique_ptr<TDocumentNetwork> FNetwork;
    bool FClosing = false;
};

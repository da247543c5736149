// The main window's components, built in code in the order the window shows
// them: the menu bar, the tool bar and the status bar along the edges, then
// the views' areas in what they leave.
#include "components/KitToolBar.h"
#include "components/ScreenDocker.h"
#include "components/StyledMenu.h"
#include "network/DocumentNetwork.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/FormBuilder.h"
#include "platform/Graphics.h"
#include "platform/MenuBar.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/SysUtils.h"
#include "shell/MainForm.h"
#include "shell/Translation.h"
#include "shell/dialogs/NewEntryDialog.h"

TAction* TMainForm::NewAction(const String& Name, const String& Caption, TShortCut Key, std::function<void()> Execute)
{
    auto* a = Create<TAction>(this);
    a->SetName(Name);
    a->SetCaption(Caption);
    a->SetShortCut(Key);
    a->SetActionList(ActionList1);
    a->OnExecute = [Execute = std::move(Execute)](TObject*) { Execute(); };
    return a;
}

TMenuItem* TMainForm::NewItem(TMenuItem* Parent, const String& Name, const String& Caption, std::function<void()> Click)
{
    auto* item = Create<TMenuItem>(this);
    if (!Name.empty())
        item->SetName(Name);
    item->SetCaption(Caption);
    if (Click)
        item->OnClick = [Click = std::move(Click)](TObject*) { Click(); };
    Parent->Add(item);
    return item;
}

TMenuItem* TMainForm::NewActionItem(TMenuItem* Parent, const String& Name, TAction* Action)
{
    TMenuItem* item = NewItem(Parent, Name, String(), nullptr);
    item->SetAction(Action);
    return item;
}

void TMainForm::CreateFileMenu()
{
    ActNew = NewAction("ActionNew", "New", ShortCut('N', TShiftState{ssCtrl}), [this] { ActionNew(); });
    ActOpen = NewAction("ActionOpen", "Open...", ShortCut('O', TShiftState{ssCtrl}), [this] { ActionOpen(); });
    ActRevert = NewAction("ActionRevert", "Revert", 0, [this] { ActionRevert(); });
    ActRevert->OnUpdate = [this](TObject*) { ActRevert->SetEnabled(ActionRevertEnabled()); };
    ActSave = NewAction("ActionSave", "Save", ShortCut('S', TShiftState{ssCtrl}), [this] { ActionSave(); });
    ActSaveAs = NewAction("ActionSaveAs", "Save As...", 0, [this] { ActionSaveAs(); });
    ActClose = NewAction("ActionClose", "Close", ShortCut('Q', TShiftState{ssCtrl}), [this] { Close(); });
    for (int i = 0; i < 8; ++i) {
        TAction* a = NewAction("ActionLastFile" + std::to_string(i + 1), std::to_string(i + 1) + ". ", 0, nullptr);
        a->OnExecute = [this, a](TObject*) {
            // The path follows the "n. " prefix.
            if (a->Caption().size() > 3)
                Open(a->Caption().substr(3));
        };
        a->SetVisible(false);
        ActLastFile[i] = a;
    }

    TMenuItem* root = MainMenu1->Items();
    Datei1 = NewItem(root, "Datei1", "&File", nullptr);
    NewActionItem(Datei1, "Neu2", ActNew);
    NewActionItem(Datei1, "Oeffnen1", ActOpen);
    NewActionItem(Datei1, "Zuruecksetzen1", ActRevert);
    NewActionItem(Datei1, "Speichern1", ActSave);
    NewActionItem(Datei1, "Speichernunter1", ActSaveAs);
    Dateikomprimiertspeichern1 = NewItem(Datei1, "Dateikomprimiertspeichern1", "Save File compressed", [this] {
        ToggleCompressed();
        Dateikomprimiertspeichern1->SetChecked(FKomprimiert);
    });
    NewItem(Datei1, "N1", "-", nullptr);
    Zusammenfhren1 = NewItem(Datei1, "Zusammenfhren1", "Merge Files...", [this] { Zusammenfhren1Click(); });
    Auftrgearchivieren1 = NewItem(Datei1, "Auftrgearchivieren1", "Tabelle archivieren...", [this] {
        Auftrgearchivieren1Click();
    });
    // Undoing an archiving has no dialog yet, and clearing the archive does
    // nothing: both stay disabled.
    Archivierungrckgngigmachen1 = NewItem(Datei1, "Archivierungrckgngigmachen1", "Archivierung rückgängig machen...",
        [this] { Archivierungrckgngigmachen1Click(); });
    Archivierungrckgngigmachen1->SetEnabled(false);
    Archivlschen1 = NewItem(Datei1, "Archivlschen1", "Archiv löschen", [this] { Archivlschen1Click(); });
    Archivlschen1->SetEnabled(false);
    Exportieren1 = NewItem(Datei1, "Exportieren1", "Excel Export", [this] { Exportieren1Click(); });
    ExcelImport1 = NewItem(Datei1, "ExcelImport1", "Excel Import...", [this] { ExcelImport1Click(); });
    NewItem(Datei1, "N2", "-", nullptr);
    zuletztgeffneteDateien1 = NewItem(Datei1, "zuletztgeffneteDateien1", "Recent Files", nullptr);
    for (int i = 0; i < 8; ++i)
        NewActionItem(zuletztgeffneteDateien1, "LastFile" + std::to_string(i + 1), ActLastFile[i]);
    zuletztgeffneteDateien1->SetEnabled(false);
    NewItem(Datei1, "N3", "-", nullptr);
    Neu1 = NewItem(Datei1, "Neu1", "New Window", [this] { NeuClick(); });
    NewActionItem(Datei1, "Beenden1", ActClose);
}

void TMainForm::CreateEditMenu()
{
    ActUndo = NewAction("ActionUndo", "Undo", ShortCut('Z', TShiftState{ssCtrl}), [this] { UndoRedo().Undo(); });
    ActRedo = NewAction("ActionRedo", "Redo", ShortCut('Y', TShiftState{ssCtrl}), [this] { UndoRedo().Redo(); });
    ActUndo->SetEnabled(false);
    ActRedo->SetEnabled(false);
    ActSolveOverlapping = NewAction("ActionSolveOverlapping", "Solve overlapping", 0, [this] {
        ActionSolveOverlappingExecute();
    });
    ActSolveOverlapping->OnUpdate = [this](TObject*) {
        ActSolveOverlapping->SetEnabled(ActionSolveOverlappingUpdate());
    };
    // Clears the active table's filters for the moment: the filters stored
    // for the group tab stay, and the document does not count as changed.
    ActClearAllFilters = NewAction("ActionClearAllFilters", "Clear all Filters", 0, [this] {
        ActionClearAllFiltersExecute();
    });
    ActClearAllFilters->SetHint("Clear all Filters");
    ActClearAllFilters->SetEnabled(false);
    ActClearAllFilters->OnUpdate = [this](TObject*) {
        ActClearAllFilters->SetEnabled(ActionClearAllFiltersUpdate());
    };

    Bearbeiten1 = NewItem(MainMenu1->Items(), "Bearbeiten1", "&Edit", nullptr);
    NewActionItem(Bearbeiten1, "Rueckgaengig1", ActUndo);
    NewActionItem(Bearbeiten1, "Wiederholen1", ActRedo);
    NewItem(Bearbeiten1, "N4", "-", nullptr);
    NewActionItem(Bearbeiten1, "Ueberlappungen1", ActSolveOverlapping);
    NewItem(Bearbeiten1, "N5", "-", nullptr);
    NewActionItem(Bearbeiten1, "Ausschneiden1", ActionCut);
    NewActionItem(Bearbeiten1, "Kopieren1", ActionCopy);
    NewActionItem(Bearbeiten1, "Einfuegen1", ActionPaste);
    NewActionItem(Bearbeiten1, "Allesauswaehlen1", ActionSelectAll);
    NewItem(Bearbeiten1, "N8", "-", nullptr);
    NewActionItem(Bearbeiten1, "AufgabeHinzufuegen1", ActionAddNode);
    NewActionItem(Bearbeiten1, "AufgabenLoeschen1", ActionDeleteNode);
    Bearbeiten1->Add(SortMenu);
    NewActionItem(Bearbeiten1, "Spaltenbreiten1", ActionAutoSize);
    NewItem(Bearbeiten1, "N9", "-", nullptr);
    AutoScroll1 = NewItem(Bearbeiten1, "AutoScroll1", "Scroll Timechart while moving Task (invert with shift)", nullptr);
    AutoScroll1->OnClick = [this](TObject*) { SwapCheckedClick(AutoScroll1); };
    AutoScroll1->SetChecked(true);
    DenyMoveIntoPast1 = NewItem(Bearbeiten1, "DenyMoveIntoPast1", "Deny move items into the past", nullptr);
    DenyMoveIntoPast1->OnClick = [this](TObject*) { SwapCheckedClick(DenyMoveIntoPast1); };
    AutoArrange1 = NewItem(Bearbeiten1, "AutoArrange1", "Automatically arrange items", nullptr);
    AutoArrange1->OnClick = [this](TObject*) { SwapCheckedClick(AutoArrange1); };
}

void TMainForm::CreateViewMenu()
{
    Ansicht1 = NewItem(MainMenu1->Items(), "Ansicht1", "&View", nullptr);
    Werkzeugleisteanzeigen1 = NewItem(Ansicht1, "Werkzeugleisteanzeigen1", "Toolbar", [this] {
        Werkzeugleisteanzeigen1Click();
    });
    Statuszeileanzeigen1 = NewItem(Ansicht1, "Statuszeileanzeigen1", "Status Bar", [this] { Statuszeileanzeigen1Click(); });
    Tabelleanzeigen1 = NewItem(Ansicht1, "Tabelleanzeigen1", "Table", [this] { Tabelleanzeigen1Click(); });
    EditorAsWindow1 = NewItem(Ansicht1, "EditorAsWindow1", "Editor as Window", [this] { EditorAsWindowClick(); });
    SmallTimeChart1 = NewItem(Ansicht1, "SmallTimeChart1", "General View", [this] { SmallTimeChartClick(); });
    NewItem(Ansicht1, "N6", "-", nullptr);
    HideEmptyRows1 = NewItem(Ansicht1, "HideEmptyRows1", "Hide empty resources", nullptr);
    HideEmptyRows1->OnClick = [this](TObject*) { HideRowsClick(HideEmptyRows1); };
    HideEmptyMultiRows1 = NewItem(Ansicht1, "HideEmptyMultiRows1", "Hide empty multi-row resources", nullptr);
    HideEmptyMultiRows1->OnClick = [this](TObject*) { HideRowsClick(HideEmptyMultiRows1); };
    DrawLines1 = NewItem(Ansicht1, "DrawLines1", "Lines between resources", nullptr);
    DrawLines1->OnClick = [this](TObject*) { DrawLinesClick(DrawLines1); };
    DrawLinesMultiRow1 = NewItem(Ansicht1, "DrawLinesMultiRow1", "Lines between multi-row resources", nullptr);
    DrawLinesMultiRow1->OnClick = [this](TObject*) { DrawLinesClick(DrawLinesMultiRow1); };
    // As the form is designed: bars and table shown, lines drawn.
    for (TMenuItem* item : {Werkzeugleisteanzeigen1, Statuszeileanzeigen1, Tabelleanzeigen1, SmallTimeChart1, DrawLines1,
                            DrawLinesMultiRow1})
        item->SetChecked(true);
}

void TMainForm::CreateNetworkMenu()
{
    Netzwerk1 = NewItem(MainMenu1->Items(), "Netzwerk1", "&Network", nullptr);
    Server1 = NewItem(Netzwerk1, "Server1", "Setup VEK as server...", nullptr);
    Servername = NewItem(Netzwerk1, "Servername", "Servername", nullptr);
    Servername->SetEnabled(false);
    AllowClientChanges1 = NewItem(Netzwerk1, "AllowClientChanges1", "Allow changes from clients", nullptr);
    AllowClientChanges1->SetAutoCheck(true);
    AllowClientChanges1->SetChecked(true);
    Clients1 = NewItem(Netzwerk1, "Clients1", "Clients", nullptr);
    Clients1->SetEnabled(false);
    NewItem(Netzwerk1, "N7", "-", nullptr);
    Client1 = NewItem(Netzwerk1, "Client1", "Connect with server...", nullptr);
}

void TMainForm::CreateMenus()
{
    MainMenu1 = Create<TMainMenu>(this);
    MainMenu1->SetName("MainMenu1");
    ActionList1 = Create<TActionList>(this);
    ActionList1->SetName("ActionList1");
    CreateFileMenu();
    CreatePrintActions();
    CreateEditMenu();
    CreateViewMenu();
    CreateSetupMenu();
    CreateNetworkMenu();
    Sprache1 = NewItem(MainMenu1->Items(), "Sprache1", "Language", nullptr);
    Fenster1 = NewItem(MainMenu1->Items(), "Fenster1", "&Window", nullptr);
    SetMenu(MainMenu1);
    MenuBar1 = Build<TMenuBar>(this, "MenuBar1").Parent(this).Align(alTop).Get();
    MenuBar1->SetMenu(MainMenu1);
    StyledMenu1 = Create<TStyledMenu>(this);
    StyledMenu1->SetName("StyledMenu1");
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-11);
    font.SetColor(clWindowText);
    StyledMenu1->SetFont(&font);
    StyledMenu1->SetDrawMenuBar(true);
    StyledMenu1->SetDisabledColor(clInactiveCaption);
    StyledMenu1->SetOverrideOwnerDraw(true);
    StyledMenu1->SetStyledControls({xcMainMenu, xcPopupMenu});
    StyledMenu1->SetStyledContainers({});
    StyledMenu1->SetActive(true);
}

void TMainForm::CreateToolBar()
{
    dfsToolBar2 = Build<TKitToolBar>(this, "dfsToolBar2").Parent(this).Align(alTop).Caption("").Get();
    dfsToolBar2->SetTop(MenuBar1->Top() + MenuBar1->Height());
    dfsToolBar2->SetHeight(46);
    dfsToolBar2->SetTabSizeMinimized(46);
    ToolBar1 = Build<TToolBar>(this, "ToolBar1").Parent(dfsToolBar2).Align(alTop).Get();
    ToolBar1->SetShowCaptions(true);
    // The buttons' hints (the undo and redo steps among them) show.
    ToolBar1->SetShowHint(true);
    ToolBar1->SetButtonWidth(64);
    ToolBar1->SetHeight(26);
    int n = 0;
    for (TAction* a : {ActNew, ActOpen, ActSave, ActUndo, ActRedo}) {
        auto* b = Create<TToolButton>(this);
        b->SetName("ToolButton" + std::to_string(++n));
        b->SetParent(ToolBar1);
        b->SetAction(a);
    }
}

void TMainForm::CreateStatusBar()
{
    StatusBar1 = Build<TStatusBar>(this, "StatusBar1").Parent(this).Align(alBottom).Get();
    StatusBar1->SetHeight(20);
    for (int width : {150, 200, 150, 300})
        StatusBar1->Panels()->Add()->SetWidth(width);
}

void TMainForm::CreateTimers()
{
    auto timer = [this](const char* Name, Cardinal Interval) {
        auto* t = Create<TTimer>(this);
        t->SetName(Name);
        t->SetInterval(Interval);
        t->SetEnabled(false);
        return t;
    };
    RedrawTimer = timer("RedrawTimer", 60000);
    // The today marker moves: repaint the chart each minute.
    RedrawTimer->OnTimer = [this](TObject*) { InvalidateTimeChart(); };
    RedrawTimer->SetEnabled(true);
}

TMainForm::TMainForm(TComponent* AOwner) : TPlannerForm(AOwner)
{
    SetName("MainForm");
    SetKeyPreview(true);
    SetBounds(60, 40, 1000, 660);
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateViewPanels();
    CreateTimeChartTools(ToolBar1, Ansicht1);
    CreateColorPanels(ToolBar1);
    CreateTimers();
    CreateNetwork();
    // Dragged near the work area's edges the window snaps to them.
    ScreenDocker1 = Create<TScreenDocker>(this);
    ScreenDocker1->SetName("ScreenDocker1");
    ScreenDocker1->SetDockDistance(20);
    OpenDialog1 = Create<TOpenDialog>(this);
    OpenDialog1->SetName("OpenDialog1");
    // The toolkit shows each pattern after its caption.
    OpenDialog1->SetFilter("VEK Dateien|*.vek|Alte Listen|*.lst|Sicherungen|*.BACKUP|Alle Dateien|*");
    OpenDialog1->SetTitle("Open");
    SaveDialog1 = Create<TSaveDialog>(this);
    SaveDialog1->SetName("SaveDialog1");
    SaveDialog1->SetFilter("VEK Dateien|*.vek");
    SaveDialog1->SetTitle("Save as");
    CreateSmallDialogs();
    NewEntryDialog = Create<TNewEntryDialog>(this);
    CreateSetupDialogs();
    CreateGroupAndHolidayDialogs();
    // Texts of data (the document's name, the recent files, the server's
    // address) or translated where the code sets them (the undo list's
    // hints) are no wording for the form's translation to take back.
    LeaveUntranslated(this, "caption");
    for (TAction* a : ActLastFile)
        LeaveUntranslated(a);
    LeaveUntranslated(Servername, "caption");
    LeaveUntranslated(ActUndo, "hint");
    LeaveUntranslated(ActRedo, "hint");
    // The zoom's and the transparency's texts carry their values.
    LeaveUntranslated(KalendarZoom1, "caption");
    LeaveUntranslated(Transparenz1, "caption");
    LeaveUntranslated(ZoomComboBox, "hint");
    LeaveUntranslated(TransparenceComboBox, "hint");
    OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { FormKeyDown(Key, Shift); };
    OnDropFiles = [this](TObject*, const std::vector<String>& Files) {
        // Exactly one dropped file is opened.
        if (Files.size() == 1)
            Open(ExpandFileName(Files[0]));
    };
}

bool TMainForm::ExecuteNewEntryDialog(const String& Begin, const String& End, const String& Position,
    TWhichTable& Table)
{
    return NewEntryDialog->Execute(Begin, End, Position, Table);
}

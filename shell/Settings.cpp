// The per-user settings of the main window: read once after the window
// exists, written when it closes and before a further instance starts.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "document/IniFiles.h"
#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "components/KitToolBar.h"
#include "platform/Printers.h"
#include "shell/MainForm.h"

namespace {

String ConfigHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return String(home && *home ? home : ".") + "/.config";
}

// Moves a window's bounds into the area: a window stored on a screen that is
// gone (or a hand-edited file) never opens where nobody can reach it.
TRect FitInto(TRect R, const TRect& Area)
{
    const int width = std::clamp(R.Width(), 200, std::max(200, Area.Width()));
    const int height = std::clamp(R.Height(), 150, std::max(150, Area.Height()));
    const int left = std::clamp(R.Left, Area.Left, std::max(Area.Left, Area.Right - width));
    const int top = std::clamp(R.Top, Area.Top, std::max(Area.Top, Area.Bottom - height));
    return TRect{left, top, left + width, top + height};
}

}  // namespace

String TMainForm::SettingsFileName() { return ConfigHome() + "/Vek/Vek.ini"; }

void TMainForm::LoadIni()
{
    std::unique_ptr<TMemIniFile> file;
    try {
        file = std::make_unique<TMemIniFile>(SettingsFileName());
    } catch (...) {
        // An unreadable file reads as a missing one: the defaults.
        file = std::make_unique<TMemIniFile>();
    }
    const TMemIniFile& ini = *file;
    FDrawFullText = true;

    // Each switch is set to the opposite and then clicked, so that its
    // handler applies the view as a user's click would.
    auto apply = [](TMenuItem* Item, bool Value, const std::function<void()>& Click) {
        Item->SetChecked(!Value);
        Click();
    };
    apply(HideEmptyRows1, ini.ReadBool("view", "hiderows", false), [this] { HideRowsClick(HideEmptyRows1); });
    apply(HideEmptyMultiRows1, ini.ReadBool("view", "hidemultirows", false), [this] { HideRowsClick(HideEmptyMultiRows1); });
    apply(DrawLines1, ini.ReadBool("view", "drawlines", DrawLines1->Checked()), [this] { DrawLinesClick(DrawLines1); });
    apply(DrawLinesMultiRow1, ini.ReadBool("view", "drawlines_multirow", DrawLinesMultiRow1->Checked()),
          [this] { DrawLinesClick(DrawLinesMultiRow1); });
    apply(Werkzeugleisteanzeigen1, ini.ReadBool("view", "toolbar", Werkzeugleisteanzeigen1->Checked()),
          [this] { Werkzeugleisteanzeigen1Click(); });
    apply(SmallTimeChart1, ini.ReadBool("view", "smalltimechart", SmallTimeChart1->Checked()),
          [this] { SmallTimeChartClick(); });
    apply(Tabelleanzeigen1, ini.ReadBool("view", "table", Tabelleanzeigen1->Checked()), [this] { Tabelleanzeigen1Click(); });
    apply(Statuszeileanzeigen1, ini.ReadBool("view", "statusbar", Statuszeileanzeigen1->Checked()),
          [this] { Statuszeileanzeigen1Click(); });
    // Written to [view]; files of older versions only have it in [setup].
    const bool editorAsForm =
        ini.ReadBool("view", "editorasform", ini.ReadBool("setup", "editorasform", EditorAsWindow1->Checked()));
    if (EditorAsWindow1->Enabled())
        apply(EditorAsWindow1, editorAsForm, [this] { EditorAsWindowClick(); });

    FSmallTimeChartRowheight = std::max(1, ini.ReadInteger("view", "smalltimechartheight", FSmallTimeChartRowheight));
    FPrinterOrientation = ini.ReadInteger("printer", "orientation", FPrinterOrientation);
    Printer()->SetOrientation(FPrinterOrientation == 1 ? poLandscape : poPortrait);
    FClientHost = ini.ReadString("internet", "host", FClientHost);
    FClientPort = ini.ReadInteger("internet", "port", FClientPort);
    FServerPort = ini.ReadInteger("internet", "serverport", FServerPort);
    FMaxHistoryFiles = std::max(0, ini.ReadInteger("history", "maxfiles", 80));

    TRect bounds{Left(), Top(), 0, 0};
    bounds.Left = ini.ReadInteger("setup", "left", Left());
    bounds.Top = ini.ReadInteger("setup", "top", Top());
    bounds.Right = bounds.Left + ini.ReadInteger("setup", "width", Width());
    bounds.Bottom = bounds.Top + ini.ReadInteger("setup", "height", Height());
    const TRect fitted = FitInto(bounds, Screen->WorkAreaRect());
    SetBounds(fitted.Left, fitted.Top, fitted.Width(), fitted.Height());

    TimeChartPanel->SetHeight(std::max(1, ini.ReadInteger("setup", "TimeChartHeight", TimeChartPanel->Height())));
    // The overview bar folds or unfolds once its rows have their height.
    dfsToolBar1->SetMaximized(ini.ReadBool("setup", "SmallTimeChart", dfsToolBar1->Maximized()));
    FEditorPos.Y = ini.ReadInteger("setup", "editortop", FEditorPos.Y);
    FEditorPos.X = ini.ReadInteger("setup", "editorleft", FEditorPos.X);
    FEditorSize[tbTable].X = ini.ReadInteger("setup", "editorwidth", FEditorSize[tbTable].X);
    FEditorSize[tbTable].Y = ini.ReadInteger("setup", "editorheight", FEditorSize[tbTable].Y);
    FEditorSize[tbExclude].X = ini.ReadInteger("setup", "editorwidthExclude", FEditorSize[tbExclude].X);
    FEditorSize[tbExclude].Y = ini.ReadInteger("setup", "editorheightExclude", FEditorSize[tbExclude].Y);
    ApplyEditorPlace();
    AutoScroll1->SetChecked(ini.ReadBool("edit", "autoscroll", true));

    // Oldest first, so that entry "0" ends on top.
    for (int i = 7; i >= 0; --i)
        AddToLastFiles(ini.ReadString("Last files", std::to_string(i), String()));

    SetLanguage(ini.ReadString("view", "language", "default"));
}

bool TMainForm::SaveIni()
{
    try {
        const String file = SettingsFileName();
        const String folder = file.substr(0, file.rfind('/'));
        ::mkdir(ConfigHome().c_str(), 0700);
        ::mkdir(folder.c_str(), 0700);
        TMemIniFile ini(file);
        FPrinterOrientation = Printer()->Orientation() == poLandscape ? 1 : 0;
        ini.WriteInteger("printer", "orientation", FPrinterOrientation);
        ini.WriteString("internet", "host", FClientHost);
        ini.WriteInteger("internet", "port", FClientPort);
        ini.WriteInteger("internet", "serverport", FServerPort);
        ini.WriteInteger("setup", "width", Width());
        ini.WriteInteger("setup", "height", Height());
        ini.WriteInteger("setup", "top", Top());
        ini.WriteInteger("setup", "left", Left());
        ini.WriteBool("setup", "SmallTimeChart", dfsToolBar1->Maximized());
        StoreEditorPlace();
        ini.WriteInteger("setup", "editortop", FEditorPos.Y);
        ini.WriteInteger("setup", "editorleft", FEditorPos.X);
        ini.WriteInteger("setup", "editorwidth", FEditorSize[tbTable].X);
        ini.WriteInteger("setup", "editorheight", FEditorSize[tbTable].Y);
        ini.WriteInteger("setup", "editorwidthExclude", FEditorSize[tbExclude].X);
        ini.WriteInteger("setup", "editorheightExclude", FEditorSize[tbExclude].Y);
        ini.WriteInteger("setup", "TimeChartHeight", TimeChartPanel->Height());
        ini.WriteBool("view", "hiderows", HideEmptyRows1->Checked());
        ini.WriteBool("view", "hidemultirows", HideEmptyMultiRows1->Checked());
        ini.WriteBool("view", "drawlines", DrawLines1->Checked());
        ini.WriteBool("view", "drawlines_multirow", DrawLinesMultiRow1->Checked());
        ini.WriteBool("view", "toolbar", Werkzeugleisteanzeigen1->Checked());
        ini.WriteBool("view", "smalltimechart", SmallTimeChart1->Checked());
        ini.WriteBool("view", "table", Tabelleanzeigen1->Checked());
        ini.WriteBool("view", "statusbar", Statuszeileanzeigen1->Checked());
        ini.WriteBool("view", "editorasform", EditorAsWindow1->Checked());
        ini.WriteInteger("view", "smalltimechartheight", FSmallTimeChartRowheight);
        ini.WriteString("view", "language", FLanguage);
        ini.WriteBool("edit", "autoscroll", AutoScroll1->Checked());
        for (int i = 0; i < 8; ++i) {
            const String& caption = ActLastFile[i]->Caption();
            ini.WriteString("Last files", std::to_string(i), ActLastFile[i]->Visible() && caption.size() > 3
                                                                 ? caption.substr(3)
                                                                 : String());
        }
        ini.UpdateFile(false);
        return true;
    } catch (...) {
        return false;
    }
}

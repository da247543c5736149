// Forms: the application's form list, placement, styles, dropped files,
// the builder helpers and the component dump.
#include <gtest/gtest.h>

#include <QEvent>
#include <QWidget>

#include "platform/Buttons.h"
#include "platform/ComponentDump.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/QtWidgetHost.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TSecondForm : public TForm {
public:
    explicit TSecondForm(TComponent* AOwner) : TForm(AOwner) { SetName("SecondForm"); }
};

}  // namespace

TEST(Forms, CreateFormKeepsTheListAndTheFirstBecomesMain)
{
    TCustomForm* saved = Application->MainForm();
    const int before = Application->FormCount();
    TSecondForm* a = nullptr;
    TForm* b = nullptr;
    Application->CreateForm(a);
    Application->CreateForm(b);
    ASSERT_EQ(Application->FormCount(), before + 2);
    EXPECT_EQ(Application->Forms(before), a);
    EXPECT_EQ(Application->Forms(before + 1), b);
    if (!saved) {
        EXPECT_EQ(Application->MainForm(), a);
    }
    EXPECT_EQ(a->Owner(), Application);
    delete a;
    EXPECT_EQ(Application->FormCount(), before + 1);
    EXPECT_EQ(Application->Forms(before), b);
    if (!saved) {
        EXPECT_EQ(Application->MainForm(), nullptr);
    }
    delete b;
}

TEST(Forms, PositionCentresOnShowAndCaptionReadsBackAsSet)
{
    EnsureApplication();
    auto* f = Create<TForm>(nullptr);
    f->SetBounds(0, 0, 200, 100);
    f->SetPosition(poScreenCenter);
    f->SetCaption("&Plan - A&&B");
    f->SetBorderStyle(bsDialog);
    f->SetFormStyle(fsStayOnTop);
    int shows = 0, activates = 0;
    f->OnShow = [&](TObject*) { ++shows; };
    f->OnActivate = [&](TObject*) { ++activates; };
    f->Show();
    const TRect area = Screen->WorkAreaRect();
    EXPECT_EQ(f->Left(), area.Left + (area.Width() - 200) / 2);
    EXPECT_EQ(f->Top(), area.Top + (area.Height() - 100) / 2);
    EXPECT_EQ(f->Caption(), "&Plan - A&&B");
    f->Show();  // already shown: no second activation
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(activates, 1);
    delete f;
}

namespace {

// Counts the hide events of a window.
class THideCounter : public QObject {
public:
    int Hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Hide)
            ++Hides;
        return false;
    }
};

}  // namespace

TEST(Forms, ShowingMapsTheWindowOnceWithItsStyle)
{
    // Hiding and showing again at once, as a late change of the window's
    // flags did, makes a reparenting window manager drop the window.
    EnsureApplication();
    for (TBorderStyle style : {bsSizeable, bsDialog, bsNone}) {
        auto* f = Create<TForm>(nullptr);
        f->SetBorderStyle(style);
        auto* edit = Create<TEdit>(f);
        edit->SetParent(f);
        f->HandleNeeded();
        THideCounter counter;
        f->Host()->installEventFilter(&counter);
        f->Show();
        ProcessEvents();
        EXPECT_EQ(counter.Hides, 0) << int(style);
        EXPECT_TRUE(f->Host()->isVisible());
        EXPECT_EQ(bool(f->Host()->windowFlags() & Qt::FramelessWindowHint), style == bsNone);
        // A style changed while shown still reaches the window.
        f->SetBorderStyle(style == bsNone ? bsSizeable : bsNone);
        EXPECT_EQ(bool(f->Host()->windowFlags() & Qt::FramelessWindowHint), style != bsNone);
        EXPECT_TRUE(f->Host()->isVisible());
        f->Host()->removeEventFilter(&counter);
        delete f;
    }
}

TEST(Forms, DroppedFilesArriveOnlyWhenAccepted)
{
    auto* f = Create<TForm>(nullptr);
    std::vector<String> got;
    f->OnDropFiles = [&](TObject*, const std::vector<String>& Files) { got = Files; };
    f->DropFiles({"/tmp/a.vek"});
    EXPECT_TRUE(got.empty());
    f->DragAcceptFiles(true);
    f->DropFiles({"/tmp/a.vek", "/tmp/b.vek"});
    EXPECT_EQ(got, (std::vector<String>{"/tmp/a.vek", "/tmp/b.vek"}));
    delete f;
}

TEST(Forms, BuilderNamesComponentsUniquelyAndDumpShowsTheTree)
{
    auto* f = Create<TForm>(nullptr);
    f->SetName("EditForm");
    f->SetBounds(0, 0, 300, 200);
    auto* ok = Build<TButton>(f, "OKButton").Parent(f).Bounds(8, 160, 75, 25).Caption("OK").Tag(7).Get();
    ok->SetModalResult(mrOk);
    EXPECT_THROW(Build<TButton>(f, "okbutton"), EComponentError);
    EXPECT_EQ(f->ComponentCount(), 1);  // the refused one was freed
    auto* menu = Build<TPopupMenu>(f, "Popup").Get();
    auto* item = Build<TMenuItem>(f, "DeleteItem").Caption("Delete").Get();
    item->SetShortCut(ShortCut(VK_DELETE, {}));
    menu->Items()->Add(item);
    EXPECT_EQ(f->FindComponent("OKBUTTON"), ok);

    const String dump = DumpComponents(f);
    for (const char* line : {"EditForm.OKButton.Caption=OK\n", "EditForm.OKButton.Left=8\n",
                             "EditForm.OKButton.ModalResult=1\n", "EditForm.OKButton.Tag=7\n",
                             "EditForm.Popup.DeleteItem.Caption=Delete\n", "EditForm.Popup.DeleteItem.ShortCut=Del\n"})
        EXPECT_NE(dump.find(line), String::npos) << line << "\n" << dump;
    // The item is listed under its menu only.
    EXPECT_EQ(dump.find("EditForm.DeleteItem."), String::npos);
    delete f;
}

TEST(Forms, DumpHooksAddAndReplacePropertiesForDescendantsToo)
{
    class TFancyPanel : public TPanel {
        VEK_DECLARE_CLASS(TFancyPanel, TPanel)
    public:
        explicit TFancyPanel(TComponent* AOwner) : TPanel(AOwner) {}
    };
    RegisterDumpHook(TPanel::StaticClassInfo(), [](TComponent* C, TDumpProperties& P) {
        P.Set("BevelOuter", std::to_string(static_cast<TPanel*>(C)->BevelOuter()));
        P.Set("Width", "wide");
    });
    // An ancestor's hook runs first, so the descendant's has the last word.
    RegisterDumpHook(TWinControl::StaticClassInfo(), [](TComponent*, TDumpProperties& P) {
        P.Set("Width", "from the ancestor");
        P.Set("Windowed", "True");
    });
    auto* f = Create<TForm>(nullptr);
    f->SetName("DumpForm");
    auto* p = Build<TFancyPanel>(f, "Fancy").Parent(f).Get();
    p->SetBevelOuter(bvLowered);
    const String dump = DumpComponents(f);
    EXPECT_NE(dump.find("DumpForm.Fancy.Width=wide\nDumpForm.Fancy.Height="), String::npos) << dump;
    EXPECT_NE(dump.find("DumpForm.Fancy.Windowed=True\nDumpForm.Fancy.BevelOuter=1\n"), String::npos) << dump;
    EXPECT_NE(dump.find("DumpForm.Width=from the ancestor\n"), String::npos) << dump;
    RegisterDumpHook(TPanel::StaticClassInfo(), nullptr);
    RegisterDumpHook(TWinControl::StaticClassInfo(), nullptr);
    EXPECT_NE(DumpComponents(f).find("DumpForm.Fancy.Width=185\n"), String::npos);
    delete f;
}

// Popup windows: all input taken while shown, an outside press offered to
// the popup, dismissal by the toolkit, the nested loop with the modal hook,
// a quit and an exception leaving it, and the drop shadow's band.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "platform/ControlsPrivate.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TTestPopup : public TForm {
public:
    using TForm::TForm;
    bool Swallow = true;
    bool DefaultAnswer = false;  // let the form's own answer decide
    std::vector<TPoint> Offered;
    int Dismissals = 0;

protected:
    bool PopupOutsidePress(TMouseButton Button, const TPoint& ScreenPos) override
    {
        EXPECT_EQ(Button, mbLeft);
        Offered.push_back(ScreenPos);
        return DefaultAnswer ? TForm::PopupOutsidePress(Button, ScreenPos) : Swallow;
    }
    void PopupDismissed() override { ++Dismissals; }
};

class TShadowForm : public TForm {
public:
    using TForm::TForm;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TForm::CreateParams(Params);
        Params.WindowClassStyle |= CS_DROPSHADOW;
    }
};

using THookGuard = TModalHookGuard;

// An owner with a field, and a popup with a field of its own beside it.
struct TPopupScene {
    TForm* Owner;
    TRecordingControl* OwnerField;
    TTestPopup* Popup;
    TRecordingControl* PopupField;

    TPopupScene()
    {
        EnsureApplication();
        Owner = Create<TForm>(nullptr);
        Owner->SetBorderStyle(bsNone);
        Owner->SetBounds(0, 0, 400, 300);
        OwnerField = Build<TRecordingControl>(Owner, "OwnerField").Parent(Owner).Bounds(10, 10, 200, 200);
        OwnerField->RecordMoves = true;
        OwnerField->SetTabStop(true);
        Popup = Create<TTestPopup>(nullptr);
        Popup->SetBorderStyle(bsNone);
        Popup->SetBounds(250, 50, 100, 80);
        PopupField = Build<TRecordingControl>(Popup, "PopupField").Parent(Popup).Bounds(0, 0, 100, 80);
        PopupField->RecordMoves = true;
        Owner->Show();
        OwnerField->SetFocus();
    }
    TPopupScene(const TPopupScene&) = delete;
    TPopupScene& operator=(const TPopupScene&) = delete;
    ~TPopupScene()
    {
        delete Popup;
        delete Owner;
    }
    void ClearLogs()
    {
        OwnerField->Log.clear();
        if (Popup)
            PopupField->Log.clear();
    }
};

int Count(const std::vector<UINT>& Messages, UINT Msg) { return int(std::count(Messages.begin(), Messages.end(), Msg)); }

}  // namespace

TEST(Popup, TakesKeysAndPointerWhileTheOwnerKeepsTheFocus)
{
    TPopupScene s;
    s.Popup->SetActiveControl(s.PopupField);
    s.Popup->ShowPopup();
    ASSERT_TRUE(s.Popup->IsPopup());
    ASSERT_EQ(ShownPopups().size(), 1U);
    EXPECT_EQ(FindFocusedControl(), s.OwnerField);
    s.ClearLogs();

    // Keys sent to the owner's window reach the popup's control.
    KeyDown(s.OwnerField, 'A', "a");
    EXPECT_EQ(Count(s.PopupField->Messages(), WM_KEYDOWN), 1);
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_KEYDOWN), 0);
    // A move over the owner goes to the popup, not to what lies beneath.
    MouseMove(s.OwnerField, {20, 20});
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_MOUSEMOVE), 0);
    // A press on the popup reaches its control as usual.
    Click(s.PopupField, {5, 5});
    EXPECT_EQ(Count(s.PopupField->Messages(), WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(s.Popup->Offered.empty());

    // Outside: offered; swallowed, nothing beneath hears the press or its
    // release; let through, the control beneath gets it.
    Click(s.OwnerField, {30, 40});
    ASSERT_EQ(s.Popup->Offered.size(), 1U);
    EXPECT_EQ(s.Popup->Offered[0], s.OwnerField->ClientToScreen({30, 40}));
    EXPECT_TRUE(s.OwnerField->Messages().empty());
    s.Popup->Swallow = false;
    NextClick();
    MouseDown(s.OwnerField, {30, 40});
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(s.Popup->Visible());
    MouseUp(s.OwnerField, {30, 40});

    // The default answer closes the popup and swallows the press.
    s.ClearLogs();
    s.Popup->DefaultAnswer = true;
    Click(s.OwnerField, {30, 40});
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_FALSE(s.Popup->IsPopup());
    EXPECT_TRUE(ShownPopups().empty());
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_LBUTTONDOWN), 0);
    // Gone: input flows as before.
    Click(s.OwnerField, {30, 40});
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_LBUTTONDOWN), 1);
    KeyDown(s.OwnerField, 'B', "b");
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_KEYDOWN), 1);
}

TEST(Popup, ADismissalByTheToolkitIsReportedAndHidesIt)
{
    TPopupScene s;
    s.Popup->ShowPopup();
    s.Popup->Host()->close();
    EXPECT_EQ(s.Popup->Dismissals, 1);
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_TRUE(ShownPopups().empty());
    // Hidden by the toolkit without a close, too.
    s.Popup->ShowPopup();
    s.Popup->Host()->hide();
    EXPECT_EQ(s.Popup->Dismissals, 2);
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_FALSE(s.Popup->IsPopup());
    // Hiding it ourselves is no dismissal.
    s.Popup->ShowPopup();
    s.Popup->ClosePopup(mrOk);
    EXPECT_EQ(s.Popup->Dismissals, 2);
}

TEST(Popup, NestedPopupsStackAndGoWithTheOneTheyWereShownFrom)
{
    TPopupScene s;
    auto* inner = Create<TTestPopup>(nullptr);
    inner->SetBounds(360, 60, 50, 50);
    TRecordingControl* innerField = Build<TRecordingControl>(inner, "Field").Parent(inner).Bounds(0, 0, 50, 50);
    s.Popup->ShowPopup();
    inner->ShowPopup();
    ASSERT_EQ(ShownPopups().size(), 2U);
    // The pointer over the older popup reaches it; outside both, the newest
    // is asked.
    s.ClearLogs();
    Click(innerField, {-100, 10});
    EXPECT_EQ(Count(s.PopupField->Messages(), WM_LBUTTONDOWN), 1);
    EXPECT_TRUE(inner->Offered.empty());
    Click(s.OwnerField, {5, 5});
    EXPECT_EQ(inner->Offered.size(), 1U);
    EXPECT_TRUE(s.Popup->Offered.empty());
    s.Popup->ClosePopup(mrCancel);
    EXPECT_FALSE(inner->Visible());
    EXPECT_TRUE(ShownPopups().empty());
    delete inner;
}

TEST(Popup, TheLoopIsAnsweredOrCancelledThroughTheModalHook)
{
    TPopupScene s;
    {
        int calls = 0;
        THookGuard hook([&](TCustomForm* F) {
            ++calls;
            EXPECT_EQ(F, s.Popup);
            EXPECT_TRUE(s.Popup->IsPopup());
            EXPECT_TRUE(s.Popup->Visible());
            F->SetModalResult(mrOk);
        });
        EXPECT_EQ(s.Popup->RunPopup(), mrOk);
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(s.Popup->Visible());
    }
    {
        // An answer through input: a press on the popup closes it.
        s.PopupField->OnMessage = [&](TMessage& M) {
            if (M.Msg == WM_LBUTTONDOWN)
                s.Popup->ClosePopup(mrYes);
            return false;
        };
        THookGuard hook([&](TCustomForm*) { Click(s.PopupField, {3, 3}); });
        EXPECT_EQ(s.Popup->RunPopup(), mrYes);
        s.PopupField->OnMessage = nullptr;
    }
    {
        THookGuard hook([](TCustomForm*) {});
        EXPECT_EQ(s.Popup->RunPopup(), mrCancel);
        EXPECT_FALSE(s.Popup->Visible());
        EXPECT_TRUE(ShownPopups().empty());
    }
}

TEST(Popup, AQuitEndsTheLoopAndGoesOnAndAnExceptionHidesThePopup)
{
    TPopupScene s;
    // Posted, so it runs inside the popup's own loop.
    const HWND quitter = AllocateHWnd([](TMessage& M) {
        if (M.Msg == WM_USER)
            Application->Terminate();
    });
    PostMessage(quitter, WM_USER);
    EXPECT_EQ(s.Popup->RunPopup(), mrCancel);
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_TRUE(Application->Terminated());
    Application->Run();  // the quit ends the loop outside at once
    EXPECT_FALSE(Application->Terminated());
    DeallocateHWnd(quitter);

    THookGuard hook([](TCustomForm*) { throw Exception("hook failed"); });
    EXPECT_THROW(s.Popup->RunPopup(), Exception);
    EXPECT_FALSE(s.Popup->Visible());
    EXPECT_FALSE(s.Popup->IsPopup());
    EXPECT_TRUE(ShownPopups().empty());
}

TEST(Popup, ADropShadowIsABandOutsideTheUnchangedBounds)
{
    EnsureApplication();
    ASSERT_TRUE(TranslucentWindows());  // the offscreen platform keeps alpha
    auto* form = Create<TShadowForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetColor(clWhite);
    form->SetBounds(100, 100, 120, 90);
    form->ShowPopup();
    EXPECT_EQ(form->BoundsRect(), TRect(100, 100, 220, 190));
    EXPECT_EQ(form->ClientRect(), TRect(0, 0, 120, 90));
    ASSERT_EQ(form->Host()->size(), QSize(124, 94));
    const QImage img = form->Host()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(img.size(), QSize(124, 94));
    EXPECT_EQ(img.pixel(60, 45), qRgba(255, 255, 255, 255));
    // The band: black, fading outward, starting 4 px along each edge.
    const QColor right0 = img.pixelColor(120, 50), right3 = img.pixelColor(123, 50);
    EXPECT_EQ(right0.red() + right0.green() + right0.blue(), 0);
    EXPECT_GT(right0.alpha(), right3.alpha());
    EXPECT_GT(right3.alpha(), 0);
    EXPECT_GT(img.pixelColor(60, 90).alpha(), img.pixelColor(60, 93).alpha());
    EXPECT_EQ(img.pixelColor(121, 2).alpha(), 0);
    EXPECT_EQ(img.pixelColor(2, 91).alpha(), 0);
    EXPECT_GT(img.pixelColor(122, 92).alpha(), 0);
    // Resizing keeps the band outside.
    form->SetBounds(100, 100, 60, 40);
    EXPECT_EQ(form->Host()->size(), QSize(64, 44));
    EXPECT_EQ(form->Width(), 60);
    delete form;
}

TEST(Popup, APopupFreedWhileShownLeavesTheStack)
{
    TPopupScene s;
    s.Popup->ShowPopup();
    ASSERT_EQ(ShownPopups().size(), 1U);
    delete s.Popup;
    s.Popup = nullptr;
    EXPECT_TRUE(ShownPopups().empty());
    s.ClearLogs();
    Click(s.OwnerField, {30, 40});
    EXPECT_EQ(Count(s.OwnerField->Messages(), WM_LBUTTONDOWN), 1);
}

// The application loop, idle handling, exceptions and forms.
#include <gtest/gtest.h>

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

class TQueueWatcher : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<UINT> Seen;
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg >= WM_USER && Message.Msg < CM_BASE) {
            Seen.push_back(Message.Msg);
            if (Message.Msg == WM_USER + 9)
                throw EConvertError("handler failed");
            return;
        }
        TCustomControl::Dispatch(Message);
    }
};

}  // namespace

TEST(Application, IdleRunsWhenTheQueueIsEmptyAndExceptionsDoNotStopTheLoop)
{
    EnsureApplication();
    auto* w = Create<TQueueWatcher>(nullptr);
    w->HandleNeeded();
    PostMessage(w->Handle(), WM_USER + 1);
    PostMessage(w->Handle(), WM_USER + 9);
    PostMessage(w->Handle(), WM_USER + 2);
    std::vector<std::size_t> seenAtIdle;
    String error;
    int notDoneCalls = 0;
    Application->OnException = [&](TObject*, Exception& E) { error = E.Message; };
    Application->OnIdle = [&](TObject*, bool& Done) {
        seenAtIdle.push_back(w->Seen.size());
        // Not done twice: called again without waiting for an event.
        if (notDoneCalls < 2) {
            ++notDoneCalls;
            Done = false;
            return;
        }
        Application->Terminate();
    };
    Application->Run();
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    ASSERT_GE(seenAtIdle.size(), 3u);
    EXPECT_EQ(seenAtIdle.front(), 3u);  // all three handled before the first idle
    EXPECT_EQ(w->Seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 9, WM_USER + 2}));
    EXPECT_EQ(error, "handler failed");
    delete w;
}

TEST(Application, ExceptionInIdleGoesToOnException)
{
    EnsureApplication();
    int calls = 0;
    String error;
    Application->OnException = [&](TObject*, Exception& E) { error = E.Message; };
    Application->OnIdle = [&](TObject*, bool&) {
        if (++calls == 1)
            throw Exception("idle failed");
        Application->Terminate();
    };
    // Something must wake the loop a second time.
    auto* w = Create<TQueueWatcher>(nullptr);
    w->HandleNeeded();
    SetTimer(w->Handle(), 1, 10);
    Application->Run();
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    EXPECT_EQ(error, "idle failed");
    EXPECT_GE(calls, 2);
    delete w;
}

TEST(Application, MainFormCloseEndsRunAndCloseQueryCanRefuse)
{
    EnsureApplication();
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->MainForm(), main);
    main->SetCaption("Main");
    bool allow = false;
    int closes = 0;
    main->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    main->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    Application->OnIdle = [&](TObject*, bool&) {
        main->Close();  // refused the first time, accepted the second
        allow = true;
    };
    Application->Run();
    Application->OnIdle = nullptr;
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(main->HandleAllocated());
    EXPECT_FALSE(main->Visible());
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST(Application, FormEventsAndReleasedFormsGoAfterTheQueue)
{
    EnsureApplication();
    TForm* main = nullptr;
    Application->CreateForm(main);  // so the next one is not the main form
    class TCreated : public TForm {
    public:
        explicit TCreated(TComponent* AOwner) : TForm(AOwner) {}
        bool* Destroyed = nullptr;
        void DoCreate() override { SetCaption("created"); }
        void DoDestroy() override
        {
            if (Destroyed) *Destroyed = true;
        }
    };
    auto* f = Create<TCreated>(nullptr);
    EXPECT_EQ(f->Caption(), "created");
    bool destroyed = false;
    f->Destroyed = &destroyed;
    f->OnClose = [](TObject*, TCloseAction& A) { A = caFree; };
    f->Show();
    EXPECT_TRUE(f->Showing());
    f->Close();
    EXPECT_FALSE(destroyed);  // not while its own messages may run
    ProcessEvents();
    EXPECT_TRUE(destroyed);
    delete main;
}

TEST(Application, ScreenBasics)
{
    EnsureApplication();
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
    EXPECT_FALSE(Screen->WorkAreaRect().IsEmpty());
    EXPECT_NE(Screen->Cursors(crHourGlass), nullptr);
    EXPECT_EQ(Screen->Cursors(12345), Screen->Cursors(crDefault));
}

TEST(Application, CursorsFromPicturesSeeThroughTheirTransparentColour)
{
    EnsureApplication();
    TBitmap picture(4, 1);
    TCanvas* c = picture.Canvas();
    c->SetPixels(0, 0, clFuchsia);
    c->SetPixels(1, 0, clWhite);
    c->SetPixels(2, 0, clBlack);
    c->SetPixels(3, 0, clFuchsia);
    const auto alphas = [](HCURSOR Cursor) {
        const QImage image = Cursor->Cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        std::vector<int> a;
        for (int x = 0; x < image.width(); ++x)
            a.push_back(qAlpha(image.pixel(x, 0)));
        return a;
    };
    HCURSOR keyed = CreateCursorFromBitmap(&picture, TPoint{1, 0}, clFuchsia);
    EXPECT_EQ(alphas(keyed), (std::vector<int>{0, 255, 255, 0})) << "white stays, the key goes";
    EXPECT_EQ(keyed->Cursor.hotSpot(), QPoint(1, 0));
    EXPECT_EQ(alphas(CreateCursorFromBitmap(&picture, TPoint{0, 0})), (std::vector<int>{255, 0, 255, 255}))
        << "white by default";

    // A window shows what its WM_SETCURSOR handler chose.
    TForm* form = Create<TForm>(nullptr);
    form->SetBounds(10, 10, 100, 80);
    form->Show();
    SetWindowCursor(form, keyed);
    EXPECT_EQ(WindowCursor(form), keyed);
    EXPECT_EQ(form->Host()->cursor().pixmap().cacheKey(), keyed->Cursor.pixmap().cacheKey());
    delete form;
}

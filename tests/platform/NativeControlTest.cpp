// Controls that show a toolkit widget: the widget's life, fields pushed into
// it, user input coming back, keys as messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/Forms.h"
#include "platform/QtNativeControl.h"
#include "platform/StdCtrls.h"
#include "tests/support/PlatformFixture.h"

namespace {

void Type(QWidget* W, int QtKey, const QString& Text)
{
    QKeyEvent press(QEvent::KeyPress, QtKey, Qt::NoModifier, Text);
    QCoreApplication::sendEvent(W, &press);
    QKeyEvent release(QEvent::KeyRelease, QtKey, Qt::NoModifier, Text);
    QCoreApplication::sendEvent(W, &release);
}

// Each test's controls live on a 300 x 200 form, freed with the test.
class NativeControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        form = Create<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
    }
    void TearDown() override { delete form; }
    template <class T> T* Put() { auto* c = Create<T>(form); c->SetParent(form); return c; }
    TForm* form = nullptr;
};

}  // namespace

TEST_F(NativeControl, WidgetIsMadeWithTheWindowAndFilledFromTheFields)
{
    auto* edit = Put<TEdit>();
    edit->SetBounds(10, 20, 120, 24);
    edit->SetText("before");
    edit->SetEnabled(false);
    edit->SetMaxLength(10);
    // Headless: the fields answer, nothing was made.
    EXPECT_EQ(edit->NativeWidget(), nullptr);
    EXPECT_EQ(edit->Text(), "before");

    form->Show();
    auto* w = NativeAs<QLineEdit>(edit);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->text(), QString("before"));
    EXPECT_FALSE(w->isEnabled());
    EXPECT_EQ(w->maxLength(), 10);
    EXPECT_EQ(w->geometry(), QRect(0, 0, 120, 24));

    // Later changes of the fields and the bounds follow.
    edit->SetEnabled(true);
    edit->SetText("after");
    edit->SetBounds(10, 20, 150, 30);
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(w->text(), QString("after"));
    EXPECT_EQ(w->size(), QSize(150, 30));

    // The window goes, the fields stay.
    edit->DestroyHandle();
    EXPECT_EQ(edit->NativeWidget(), nullptr);
    EXPECT_EQ(edit->Text(), "after");
}

TEST_F(NativeControl, KeysReachTheControlFirstAndAClearedKeyNeverReachesTheWidget)
{
    auto* edit = Put<TEdit>();
    std::vector<Word> downs;
    edit->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { downs.push_back(Key); };
    edit->OnKeyPress = [&](TObject*, WideChar& Key) {
        if (Key == u'x')
            Key = 0;  // swallowed
        else if (Key == u'a')
            Key = u'A';  // changed on the way
    };
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    QWidget* w = edit->NativeWidget();
    Type(w, Qt::Key_B, "b");
    Type(w, Qt::Key_X, "x");
    Type(w, Qt::Key_A, "a");
    EXPECT_EQ(edit->Text(), "bA");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(downs, (std::vector<Word>{'B', 'X', 'A'}));
    EXPECT_TRUE(edit->Modified());

    // A key-down handler that clears the key keeps it from the widget too.
    edit->OnKeyDown = [](TObject*, Word& Key, TShiftState) { Key = 0; };
    Type(w, Qt::Key_C, "c");
    EXPECT_EQ(edit->Text(), "bA");
}

TEST_F(NativeControl, FocusOfTheWidgetIsTheControlsFocus)
{
    auto* a = Put<TEdit>();
    auto* b = Put<TEdit>();
    b->SetTop(40);
    int enters = 0;
    b->OnEnter = [&](TObject*) { ++enters; };
    form->Show();
    b->SetFocus();
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(form->ActiveControl(), b);
    // The widget got focus: a focus-in on the other widget moves ours.
    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(a->NativeWidget(), &in);
    EXPECT_TRUE(a->Focused());
}

TEST_F(NativeControl, AHandlerMayFreeItsControlFromTheWidgetsOwnSignal)
{
    auto* box = Put<TCheckBox>();
    bool clicked = false;
    box->OnClick = [&](TObject* Sender) {
        clicked = true;
        delete Sender;
    };
    form->Show();
    TControlWatch watch(box);
    NativeAs<QCheckBox>(box)->click();
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(watch);
    EXPECT_EQ(form->ControlCount(), 0);

    // The same from a typed key, through the key messages and the edit's
    // change event.
    auto* edit = Put<TEdit>();
    edit->SetMaxLength(2);
    edit->OnChange = [](TObject* Sender) { delete Sender; };
    edit->HandleNeeded();
    TControlWatch editWatch(edit);
    Type(edit->NativeWidget(), Qt::Key_Q, "q");
    EXPECT_FALSE(editWatch);
    // The widgets go once they are off the stack.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(NativeControl, AFormThatPreviewsKeysSeesTheWidgetsKeysFirst)
{
    form->SetKeyPreview(true);
    auto* edit = Put<TEdit>();
    std::vector<Word> seen;
    form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        seen.push_back(Key);
        if (Key == 'Z')
            Key = 0;
    };
    int editDowns = 0;
    edit->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++editDowns; };
    form->Show();
    Type(edit->NativeWidget(), Qt::Key_Z, "z");
    Type(edit->NativeWidget(), Qt::Key_Y, "y");
    EXPECT_EQ(seen, (std::vector<Word>{'Z', 'Y'}));
    EXPECT_EQ(editDowns, 1);
    EXPECT_EQ(edit->Text(), "y");
}

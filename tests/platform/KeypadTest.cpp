// Keys of the numeric keypad: their own codes, the characters they type,
// the navigation keys with Num Lock off; the main keyboard as before.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <QCoreApplication>
#include <QKeyEvent>

#include "platform/Forms.h"
#include "platform/QtWidgetHost.h"
#include "tests/support/PlatformFixture.h"

namespace {

class KeypadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Form = Create<TForm>(nullptr);
        Target = Create<TRecordingControl>(Form);
        Target->SetParent(Form);
        Target->SetTabStop(true);
        Form->Show();
        Target->SetFocus();
    }
    void TearDown() override { delete Form; }

    // One press as the toolkit delivers it; the key-down code and the
    // characters that followed.
    std::pair<Word, std::u16string> Press(int QtKey, Qt::KeyboardModifiers Mods, const QString& Text)
    {
        Target->Log.clear();
        QKeyEvent press(QEvent::KeyPress, QtKey, Mods, Text);
        QCoreApplication::sendEvent(Target->Host(), &press);
        QKeyEvent release(QEvent::KeyRelease, QtKey, Mods, Text);
        QCoreApplication::sendEvent(Target->Host(), &release);
        Word down = 0;
        std::u16string chars;
        for (const TMessage& m : Target->Log) {
            if (m.Msg == WM_KEYDOWN)
                down = Word(m.WParam);
            if (m.Msg == WM_CHAR)
                chars.push_back(char16_t(m.WParam));
        }
        return {down, chars};
    }

    TForm* Form = nullptr;
    TRecordingControl* Target = nullptr;
};

}  // namespace

TEST_F(KeypadTest, KeypadKeysHaveTheirOwnCodesAndTypeTheirCharacters)
{
    for (int d = 0; d <= 9; ++d) {
        const QString text = QString::number(d);
        EXPECT_EQ(Press(Qt::Key_0 + d, Qt::KeypadModifier, text), std::pair(Word(VK_NUMPAD0 + d), text.toStdU16String()))
            << d;
    }
    using TCase = std::tuple<int, Word, QString>;
    for (const auto& [key, vk, text] :
         {TCase{Qt::Key_Plus, VK_ADD, "+"}, TCase{Qt::Key_Minus, VK_SUBTRACT, "-"},
          TCase{Qt::Key_Asterisk, VK_MULTIPLY, "*"}, TCase{Qt::Key_Slash, VK_DIVIDE, "/"},
          TCase{Qt::Key_Period, VK_DECIMAL, "."}, TCase{Qt::Key_Comma, VK_DECIMAL, ","},
          TCase{Qt::Key_Enter, VK_RETURN, "\r"}})
        EXPECT_EQ(Press(key, Qt::KeypadModifier, text), std::pair(vk, text.toStdU16String())) << vk;
    // Num Lock off: the navigation keys, typing nothing.
    using TNav = std::pair<int, Word>;
    for (const auto& [key, vk] : {TNav{Qt::Key_Home, VK_HOME}, TNav{Qt::Key_End, VK_END}, TNav{Qt::Key_Left, VK_LEFT},
                                  TNav{Qt::Key_Up, VK_UP}, TNav{Qt::Key_PageDown, VK_NEXT},
                                  TNav{Qt::Key_Insert, VK_INSERT}, TNav{Qt::Key_Delete, VK_DELETE},
                                  TNav{Qt::Key_Clear, VK_CLEAR}})
        EXPECT_EQ(Press(key, Qt::KeypadModifier, ""), std::pair(vk, std::u16string())) << vk;
    // With Shift held the keypad keeps its codes.
    EXPECT_EQ(Press(Qt::Key_7, Qt::KeypadModifier | Qt::ShiftModifier, "7").first, VK_NUMPAD0 + 7);
}

TEST_F(KeypadTest, TheMainKeyboardIsUnchanged)
{
    EXPECT_EQ(Press(Qt::Key_5, Qt::NoModifier, "5"), std::pair(Word('5'), std::u16string(u"5")));
    EXPECT_EQ(Press(Qt::Key_Plus, Qt::NoModifier, "+").first, VK_OEM_PLUS);
    EXPECT_EQ(Press(Qt::Key_Minus, Qt::NoModifier, "-").first, VK_OEM_MINUS);
    EXPECT_EQ(Press(Qt::Key_Period, Qt::NoModifier, ".").first, VK_OEM_PERIOD);
    EXPECT_EQ(Press(Qt::Key_Slash, Qt::NoModifier, "/").first, VK_OEM_2);
    EXPECT_EQ(Press(Qt::Key_Return, Qt::NoModifier, "\r").first, VK_RETURN);
    EXPECT_EQ(Press(Qt::Key_Home, Qt::NoModifier, "").first, VK_HOME);

    // The test helpers bring keypad codes from the keypad's keys.
    Target->Log.clear();
    KeyDown(Target, VK_ADD, "+");
    KeyDown(Target, VK_NUMPAD3, "3");
    KeyDown(Target, '3', "3");
    std::vector<WPARAM> downs;
    for (const TMessage& m : Target->Log)
        if (m.Msg == WM_KEYDOWN)
            downs.push_back(m.WParam);
    EXPECT_EQ(downs, (std::vector<WPARAM>{VK_ADD, VK_NUMPAD3, '3'}));
}

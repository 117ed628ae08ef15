#include "platform/ui/key_rules.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosswick;

namespace {

std::optional<int> code_of(Qt::Key key, Qt::KeyboardModifiers mods, const QString& text)
{
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    return ui::typed_code(e);
}

bool digit(QChar c) { return c >= u'0' && c <= u'9'; }

// A digit box as the window builds one: typed keys filtered, pastes judged.
struct DigitBox : ::testing::Test {
    QLineEdit box;
    int refusals = 0;

    void SetUp() override
    {
        ui::refuse_pastes(&box, digit, [this] { ++refusals; });
        box.show();
        box.setFocus();
    }
};

} // namespace

TEST(TypedCode, CharactersReturnAndBackspaceReachTheFilters)
{
    EXPECT_EQ(code_of(Qt::Key_7, Qt::NoModifier, "7"), '7');
    EXPECT_EQ(code_of(Qt::Key_QuoteDbl, Qt::ShiftModifier, "\""), '"');
    EXPECT_EQ(code_of(Qt::Key_Return, Qt::NoModifier, "\r"), 13);
    EXPECT_EQ(code_of(Qt::Key_Enter, Qt::KeypadModifier, "\r"), 13);
    EXPECT_EQ(code_of(Qt::Key_Backspace, Qt::NoModifier, "\b"), 8);
}

TEST(TypedCode, EditingShortcutsAndSilentKeysPassUntouched)
{
    for (auto [key, text] : {std::pair{Qt::Key_A, "\x01"}, {Qt::Key_C, "\x03"}, {Qt::Key_V, "\x16"},
                             {Qt::Key_X, "\x18"}, {Qt::Key_Z, "\x1a"}})
        EXPECT_FALSE(code_of(key, Qt::ControlModifier, QString::fromLatin1(text))) << text;
    EXPECT_FALSE(code_of(Qt::Key_Left, Qt::NoModifier, {}));
    EXPECT_FALSE(code_of(Qt::Key_Tab, Qt::NoModifier, "\t"));
    EXPECT_FALSE(code_of(Qt::Key_F, Qt::AltModifier, "f"));
    // A control character without Ctrl held (some layouts) is not typed text.
    EXPECT_FALSE(code_of(Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x1b))));
}

TEST_F(DigitBox, APasteOfAcceptedTextGoesIn)
{
    QApplication::clipboard()->setText("123");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "123");
    EXPECT_EQ(refusals, 0);
}

TEST_F(DigitBox, APasteWithARefusedCharacterIsRefusedWhole)
{
    box.setText("9");
    QApplication::clipboard()->setText("12a");
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "9");
    EXPECT_EQ(refusals, 1);
    // Shift+Insert is a paste too.
    QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(box.text(), "9");
    EXPECT_EQ(refusals, 2);
}

TEST_F(DigitBox, APasteThatArrivesWithoutTheShortcutIsUndone)
{
    box.setText("45");
    box.setCursorPosition(1);
    QApplication::clipboard()->setText("x");
    box.paste(); // as the context menu does
    EXPECT_EQ(box.text(), "45");
    EXPECT_EQ(box.cursorPosition(), 1);
    EXPECT_EQ(refusals, 1);
    QApplication::clipboard()->setText("0");
    box.paste();
    EXPECT_EQ(box.text(), "405");
    EXPECT_EQ(refusals, 1);
}

TEST_F(DigitBox, TextThatTheProgramPutsInIsNotJudged)
{
    box.setText("abc");
    EXPECT_EQ(box.text(), "abc");
    // Typing after it keeps working: only newly refused characters count.
    box.end(false);
    QTest::keyClicks(&box, "1");
    EXPECT_EQ(box.text(), "abc1");
    EXPECT_EQ(refusals, 0);
}

TEST_F(DigitBox, SelectAllCopyCutAndUndoWork)
{
    QTest::keyClicks(&box, "2468");
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box.selectedText(), "2468");
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "2468");
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "");
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(box.text(), "2468");
    EXPECT_EQ(refusals, 0);
}

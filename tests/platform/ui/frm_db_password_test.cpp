#include "platform/ui/frm_db_password.h"
#include "platform/ui/dialogs.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using mosswick::ui::frmDbPassword;

TEST(PasswordPrompt, DesignOfThePrompt)
{
    frmDbPassword prompt;
    EXPECT_EQ(prompt.windowTitle(), "Database password");
    EXPECT_EQ(prompt.Text1->echoMode(), QLineEdit::Password);
    EXPECT_EQ(prompt.Text1->toolTip(), "Return to confirm, ESC to exit");
    EXPECT_EQ(prompt.pos(), QPoint(0, 0));
}

TEST(PasswordPrompt, EnterConfirmsEscAndCloseCancel)
{
    const struct {
        const char* how;
        std::function<void(frmDbPassword&)> end;
        bool confirmed;
    } endings[] = {
        {"Enter", [](frmDbPassword& p) { QTest::keyClick(p.Text1, Qt::Key_Return); }, true},
        {"Esc", [](frmDbPassword& p) { QTest::keyClick(p.Text1, Qt::Key_Escape); }, false},
        {"the close box", [](frmDbPassword& p) { p.close(); }, false},
    };
    for (const auto& e : endings) {
        SCOPED_TRACE(e.how);
        frmDbPassword prompt;
        prompt.show();
        QTest::keyClicks(prompt.Text1, "s3cret");
        e.end(prompt);
        EXPECT_EQ(prompt.password(), e.confirmed ? "s3cret" : "");
        EXPECT_EQ(prompt.result(), e.confirmed ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_FALSE(prompt.isVisible());
    }
    {
        // A prompt shown modally returns when Enter is pressed.
        frmDbPassword prompt;
        QTimer::singleShot(0, &prompt, [&] {
            QTest::keyClicks(prompt.Text1, "pw");
            QTest::keyClick(prompt.Text1, Qt::Key_Enter);
        });
        prompt.exec();
        EXPECT_EQ(prompt.password(), "pw");
    }
}

TEST(PasswordPrompt, TakesTheTwentyCharactersOfAnAccessPassword)
{
    frmDbPassword prompt;
    prompt.show();
    testsupport::type_text(prompt.Text1, QStringLiteral("Kx7 päss 20 Zeichen!and more"));
    QTest::keyClick(prompt.Text1, Qt::Key_Return);
    EXPECT_EQ(prompt.password(), QStringLiteral("Kx7 päss 20 Zeichen!"));
}

TEST(PasswordPrompt, ShowsAStarForEachCharacterAndRoomForItsCaption)
{
    frmDbPassword prompt;
    prompt.show();
    testsupport::type_text(prompt.Text1, QStringLiteral("pä s"));
    EXPECT_EQ(prompt.Text1->displayText(), "****");
    QFont bold = prompt.font();
    bold.setBold(true);
    const int caption = QFontMetrics(bold).horizontalAdvance(prompt.windowTitle());
    const int title_bar = prompt.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &prompt);
    // The caption, the window's icon and three title-bar buttons.
    EXPECT_GE(prompt.width(), caption + 4 * title_bar);
}

TEST(PasswordPrompt, ThePlainQtDialogsAskThroughTheSamePrompt)
{
    const std::unique_ptr<mosswick::ui::Dialogs> dialogs = mosswick::ui::make_qt_dialogs();
    QString shown_title;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* prompt = qobject_cast<frmDbPassword*>(modal);
        if (!prompt) {
            ADD_FAILURE() << "another prompt was shown";
            if (modal)
                modal->close();
            return;
        }
        shown_title = prompt->windowTitle();
        testsupport::type_text(prompt->Text1, QStringLiteral("twenty-one characters"));
        QTest::keyClick(prompt->Text1, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs->ask_password(nullptr), QStringLiteral("twenty-one character"));
    EXPECT_EQ(shown_title, "Database password");

    QTimer::singleShot(0, [] {
        if (QWidget* prompt = QApplication::activeModalWidget())
            QTest::keyClick(prompt, Qt::Key_Escape);
    });
    EXPECT_TRUE(dialogs->ask_password(nullptr).isEmpty());
}

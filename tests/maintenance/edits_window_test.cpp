#include "maintenance_fixture.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace mosswick;

TEST_F(MaintenanceWindow, DeletingAPageRenumbersAndCountsAgain)
{
    open_catalogue(14);
    ctl(*window).Txt_delpag->setText("2");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Page deleted.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 5, 6, 13, 14}));
    EXPECT_EQ(rows().back(), "8/2/pic014.jpg/-");
    EXPECT_EQ(window->session().picture_count(), 8);
    EXPECT_EQ(ctl(*window).Label27->text(), "8");
    EXPECT_EQ(ctl(*window).Label29->text(), "2");
    EXPECT_TRUE(ctl(*window).delete_page->isEnabled());
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    expect_usable();
    expect_renumbering_by_name();
}

TEST_F(MaintenanceWindow, DeletingEverythingKeepsTheFiles)
{
    open_catalogue(5);
    ctl(*window).Txt_delpag->setText("*");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Entire content of the database deleted.");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(ctl(*window).Label27->text(), "0");
    EXPECT_TRUE(QFile::exists(data("pic001.jpg")));
    expect_usable();
}

TEST_F(MaintenanceWindow, APageOrPictureThatIsNotThereIsReportedInABox)
{
    open_catalogue(7);
    ctl(*window).Txt_delpag->setText("3");
    ctl(*window).delete_page->click();
    ctl(*window).Text15->setText("8");
    ctl(*window).delete_picture->click();
    ASSERT_EQ(dialogs->asked.size(), 2u);
    EXPECT_EQ(dialogs->asked[0].text, "The page not exist.");
    EXPECT_EQ(dialogs->asked[0].title, "Error");
    EXPECT_EQ(dialogs->asked[1].text, "The picture not exist.");
    EXPECT_EQ(dialogs->asked[1].title, "Error");
    EXPECT_EQ(rows().size(), 7);
    EXPECT_TRUE(ctl(*window).delete_page->isEnabled());
    EXPECT_TRUE(ctl(*window).delete_picture->isEnabled());
    expect_usable();
}

TEST_F(MaintenanceWindow, TypedNumbersAreReadStrictly)
{
    open_catalogue(7);
    // What SQL built from the text would have taken for page 2.
    ctl(*window).Txt_delpag->setText("1*2");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(rows().size(), 7);
    EXPECT_TRUE(dialogs->asked.empty());
    // Leading zeros are harmless.
    ctl(*window).Text15->setText("007");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 5, 6}));
    // Empty boxes do nothing.
    window->set_message("before");
    ctl(*window).Text15->clear();
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "before");
}

TEST_F(MaintenanceWindow, AStopDuringTheRenumberingOfADeleteUndoesTheDelete)
{
    open_catalogue(14);
    stop_at(3);
    ctl(*window).Text15->setText("1");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(window->message_text(), "Renumbering stopped, the picture was not deleted.");
    EXPECT_EQ(rows().size(), 14);
    EXPECT_EQ(rows().front(), "1/1/pic001.jpg/-");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    EXPECT_EQ(ctl(*window).Label27->text(), "14");
    expect_usable();

    const QStringList before = rows();
    stop_at(2);
    ctl(*window).Txt_delpag->setText("1");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Renumbering stopped, the page was not deleted.");
    EXPECT_EQ(rows(), before);

    // The bar counts from the first place that moves (3).
    stop_at(5);
    ctl(*window).Text22->setText("10");
    ctl(*window).Text20->setText("3");
    ctl(*window).insert_picture->click();
    EXPECT_EQ(window->message_text(), "Renumbering stopped, the picture was not inserted.");
    EXPECT_EQ(rows(), before);
    expect_usable();
    expect_renumbering_by_name();
}

TEST_F(MaintenanceWindow, ExchangeSwapsTwoPicturesAndRestoresItsButtons)
{
    open_catalogue(12);
    ASSERT_TRUE(ctl(*window).refresh_grid->isEnabled());
    ctl(*window).Text9->setText("3");
    ctl(*window).Text11->setText("10");
    ctl(*window).exchange_picture->click();
    EXPECT_EQ(window->message_text(), "Pictures exchanged.");
    EXPECT_EQ(rows()[2], "3/1/pic010.jpg/-");
    EXPECT_EQ(rows()[9], "10/2/pic003.jpg/-");
    EXPECT_TRUE(ctl(*window).refresh_grid->isEnabled());
    EXPECT_TRUE(ctl(*window).exchange_picture->isEnabled());

    ctl(*window).Text9->setText("13");
    ctl(*window).exchange_picture->click();
    ctl(*window).Text9->setText("1");
    ctl(*window).Text11->setText("13");
    ctl(*window).exchange_picture->click();
    ASSERT_EQ(dialogs->asked.size(), 2u);
    EXPECT_EQ(dialogs->asked[0].text, "First picture not exist.");
    EXPECT_EQ(dialogs->asked[1].text, "Last picture not exist.");
    expect_usable();
}

TEST_F(MaintenanceWindow, InsertMovesAPictureAndTimesTheWholeAction)
{
    open_catalogue(12);
    ctl(*window).Text22->setText("10");
    ctl(*window).Text20->setText("3");
    ctl(*window).insert_picture->click();
    EXPECT_EQ(window->message_text(), "Picture inserted.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_EQ(order(), QList<int>({1, 2, 10, 3, 4, 5, 6, 7, 8, 9, 11, 12}));
    EXPECT_EQ(rows()[6], "7/2/pic006.jpg/-");
    EXPECT_TRUE(ctl(*window).insert_picture->isEnabled());

    ctl(*window).Text22->setText("99");
    ctl(*window).insert_picture->click();
    ASSERT_EQ(dialogs->asked.size(), 1u);
    EXPECT_EQ(dialogs->asked[0].text, "First picture not exist.");
    EXPECT_EQ(window->timing_text(), "");
    expect_usable();
}

TEST_F(MaintenanceWindow, TheRenumberButtonNumbersByNameAndShowsPageOne)
{
    open_catalogue(8);
    exec("UPDATE demopicture SET numpic = 100 - numpic");   // reversed, pages unchanged
    ctl(*window).renumber_pages->click();
    EXPECT_EQ(order(), QList<int>({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(rows()[6], "7/2/pic007.jpg/-");
    EXPECT_EQ(ctl(*window).Label5[1]->text(), "1");
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_TRUE(ctl(*window).renumber_pages->isEnabled());
    EXPECT_TRUE(window->session().db_open());
    expect_usable();
}

TEST_F(MaintenanceWindow, EditingShortcutsPassAndAPasteMeetsTheBoxRule)
{
    open_catalogue(2);
    focus(ctl(*window).Text9);
    QTest::keyClicks(ctl(*window).Text9, "27");
    window->set_message({});
    QTest::keyClick(ctl(*window).Text9, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(ctl(*window).Text9, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Text9->text(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "27");
    EXPECT_EQ(window->message_text(), "");
    QTest::keyClick(ctl(*window).Text9, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Text9->text(), "27");

    QApplication::clipboard()->setText("4a");
    QTest::keyClick(ctl(*window).Text9, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ctl(*window).Text9->text(), "27");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");

    focus(ctl(*window).Text8);
    window->set_message({});
    QApplication::clipboard()->setText("new/name.jpg");
    QTest::keyClick(ctl(*window).Text8, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(ctl(*window).Text8->text().isEmpty());
    EXPECT_FALSE(window->message_text().isEmpty());
}

TEST_F(MaintenanceWindow, NumberBoxesTakeDigitsOnly)
{
    open_catalogue(2);
    focus(ctl(*window).Txt_delpag);
    QTest::keyClicks(ctl(*window).Txt_delpag, "1a*2");
    EXPECT_EQ(ctl(*window).Txt_delpag->text(), "1*2");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
    for (QLineEdit* box : {ctl(*window).Text15, ctl(*window).Text9, ctl(*window).Text11, ctl(*window).Text22, ctl(*window).Text20}) {
        focus(box);
        window->set_message({});
        QTest::keyClicks(box, "3*x");
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(box->text(), "3") << box->objectName().toStdString();
        EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(box->text(), "");
    }
    focus(ctl(*window).Text20);
    QTest::keyClick(ctl(*window).Text20, '5');
    EXPECT_EQ(ctl(*window).Text20->text(), "5");
    // Return is no digit either: refused with the message.
    focus(ctl(*window).Txt_delpag);
    window->set_message({});
    QTest::keyClick(ctl(*window).Txt_delpag, Qt::Key_Return);
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
}

TEST_F(MaintenanceWindow, APastedTextWithARefusedCharacterIsRefusedWhole)
{
    open_catalogue(2);
    focus(ctl(*window).Text15);
    ctl(*window).Text15->setText("5");
    QGuiApplication::clipboard()->setText("1x2; drop");
    ctl(*window).Text15->paste();
    EXPECT_EQ(ctl(*window).Text15->text(), "5");
    EXPECT_EQ(window->message_text(), "Characters supported 0 1 2 3 4 5 6 7 8 9");
}

TEST_F(MaintenanceWindow, AnActionButtonHandsTheFocusBackToItsBox)
{
    open_catalogue(2);
    // A disabled box (Text15, delete_picture's) does not take the focus back.
    ctl(*window).Text15->setEnabled(false);
    const auto& c = ctl(*window);
    for (const auto& [button, clicked, focused] : {std::tuple<QWidget*, QWidget*, QWidget*>{c.delete_page, c.Text9, c.Txt_delpag},
                                                   {c.delete_picture, c.Text11, c.Text11},
                                                   {c.insert_picture, c.Text11, c.Text22}}) {
        focus(button);
        ASSERT_TRUE(button->hasFocus());
        clicked->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        EXPECT_TRUE(focused->hasFocus()) << button->objectName().toStdString();
    }
}

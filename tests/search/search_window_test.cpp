#include "search_window_fixture.h"

#include "platform/ui/grid_headings.h"
#include "support/layout_probe.h"

using namespace searchtest;

namespace {

class SearchTab : public SearchWindowTest {
protected:
    void SetUp() override
    {
        SearchWindowTest::SetUp();
        open_with([](store::Connection& c) {
            add_picture(c, 1, "Beach_01.jpg", {QString("b.avi"), rtf("red apple"), "sea sun", {}});
            add_picture(c, 2, "beach%.jpg", {{}, {}, {}, rtf("green apple")});
            add_picture(c, 3, "mountain.jpg", {{}, QString("plain red"), "snow sun", QString("blue")});
            add_picture(c, 4, "CITY.jpg", {{}, rtf("nothing"), {}, {}});
        });
    }

    void expect_unlocked()
    {
        EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());
        EXPECT_TRUE(ctl(*window).SSTab_search->isEnabled());
        EXPECT_TRUE(ctl(*window).refresh_grid->isEnabled());
        for (QLineEdit* box : {ctl(*window).Text1, ctl(*window).Text3, ctl(*window).Text4})
            EXPECT_FALSE(box->isReadOnly());
        EXPECT_FALSE(window->session().busy().search_running());
        expect_usable();
    }

    QStringList found() const { return grid_column(ctl(*window).MSFlexGrid1, 0); }
};

} // namespace

TEST_F(SearchTab, EmptyBoxesListEveryRecordInTheChosenOrder)
{
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1", "2", "3", "4"}));
    EXPECT_FALSE(ctl(*window).MSFlexGrid1->isHidden());
    EXPECT_EQ(window->message_text(), "4 records selected.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_EQ(grid_column(ctl(*window).MSFlexGrid1, 2), (QStringList{"*", "", "", ""}));
    EXPECT_EQ(ctl(*window).MSFlexGrid1->currentIndex().row(), 0);
    expect_unlocked();

    ctl(*window).Check2->setChecked(true);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(grid_column(ctl(*window).MSFlexGrid1, 3),
              (QStringList{"beach%.jpg", "Beach_01.jpg", "CITY.jpg", "mountain.jpg"}));
}

TEST_F(SearchTab, CountsOneAndNoneInTheSingular)
{
    ctl(*window).Text1->setText("mountain");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"3"}));
    EXPECT_EQ(window->message_text(), "1 record selected.");
    ctl(*window).Text1->setText("nowhere");
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    EXPECT_EQ(window->message_text(), "0 record selected.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    expect_unlocked();
}

TEST_F(SearchTab, TypedWildcardsAndQuotesAreLiteral)
{
    ctl(*window).Text1->setText("%");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"2"}));
    // A value put in without typing is still only a value.
    ctl(*window).Text1->clear();
    ctl(*window).Text3->setText("sun\" OR \"1");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(window->message_text(), "0 record selected.");
    expect_unlocked();
}

TEST_F(SearchTab, SameTextInBothBoxesSearchesNameAndReferenceWords)
{
    ctl(*window).Text1->setText("sea snow");
    ctl(*window).Text3->setText("sea snow");
    EXPECT_TRUE(ctl(*window).Option5[0]->isEnabled());
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(ctl(*window).Text3->text().isEmpty());
    EXPECT_TRUE(ctl(*window).Option1[2]->isChecked());
    EXPECT_FALSE(ctl(*window).Text3->isEnabled());
    EXPECT_EQ(found(), (QStringList{"1", "3"}));

    // With "And" between the parts the scope becomes "Picture And Reference".
    ctl(*window).Option1[0]->setChecked(true);
    EXPECT_TRUE(ctl(*window).Text3->isEnabled());
    ctl(*window).Text3->setText("sea");
    ctl(*window).Option5[0]->setChecked(true);
    ctl(*window).Text1->setText("sea");
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(ctl(*window).Option1[3]->isChecked());
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());   // no file name holds "sea"
    expect_unlocked();
}

TEST_F(SearchTab, ReferenceWordsWithAndOr)
{
    ctl(*window).Text3->setText("sea sun");
    EXPECT_TRUE(ctl(*window).Option6[0]->isEnabled());
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1", "3"}));
    ctl(*window).Option6[1]->setChecked(true);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1"}));
    // The picture part joins the whole group of reference words.
    ctl(*window).Option6[0]->setChecked(true);
    ctl(*window).Option5[0]->setChecked(true);
    ctl(*window).Text1->setText("mountain");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"3"}));
}

TEST_F(SearchTab, MoreThanNinetyNineStringsAreRefusedBeforeAnyQuery)
{
    ctl(*window).refresh_grid->click();   // earlier rows are not shown again
    QStringList words;
    for (int i = 0; i < 100; ++i)
        words << QStringLiteral("w%1").arg(i);
    ctl(*window).Text3->setText(words.join(u' '));
    ctl(*window).refresh_grid->click();
    ASSERT_EQ(dialogs->messages(), (QStringList{"There are more than 99 strings, please reduce."}));
    EXPECT_EQ(dialogs->asked.back().title, "Error");
    EXPECT_EQ(window->message_text(), "");
    EXPECT_EQ(window->timing_text(), "Time elapsed ...");
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    expect_unlocked();

    words.removeLast();   // 99 words alone are accepted
    ctl(*window).Text3->setText(words.join(u' '));
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(dialogs->count("message"), 1);
    EXPECT_EQ(window->message_text(), "0 record selected.");
    ctl(*window).Text1->setText("x");   // but not with a picture text
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(dialogs->count("message"), 2);
}

TEST_F(SearchTab, KeyFiltersRefuseAndReturnSearches)
{
    ctl(*window).Text1->setFocus();
    for (const QChar c : QStringLiteral("\"/\\:*?<>|")) {
        window->set_message("x");
        type(ctl(*window).Text1, c);
        EXPECT_EQ(window->message_text(), "Characters not supported \\ / * ? < > | \"") << c.toLatin1();
    }
    EXPECT_EQ(ctl(*window).Text1->text(), "");
    type(ctl(*window).Text1, 'c');
    EXPECT_EQ(ctl(*window).Text1->text(), "c");
    EXPECT_EQ(window->message_text(), "");

    type(ctl(*window).Text3, '"');
    EXPECT_EQ(window->message_text(), "Character not supported \"");
    type(ctl(*window).Text3, ':');
    EXPECT_EQ(ctl(*window).Text3->text(), ":");
    ctl(*window).Text3->clear();
    type(ctl(*window).Text4, '"');
    EXPECT_EQ(window->message_text(), "Characters not supported \"");
    EXPECT_EQ(ctl(*window).Text4->text(), "");

    ctl(*window).Text1->setText("city");
    QTest::keyClick(ctl(*window).Text1, Qt::Key_Return);
    EXPECT_EQ(found(), (QStringList{"4"}));
    EXPECT_EQ(window->message_text(), "1 record selected.");
    expect_unlocked();
}

TEST_F(SearchTab, OptionsFollowWhatTheBoxesHold)
{
    EXPECT_FALSE(ctl(*window).Option5[0]->isEnabled());
    ctl(*window).Text1->setText("a");
    EXPECT_FALSE(ctl(*window).Option5[1]->isEnabled());
    ctl(*window).Text3->setText("b");
    EXPECT_TRUE(ctl(*window).Option5[0]->isEnabled());
    EXPECT_TRUE(ctl(*window).Option5[1]->isEnabled());
    EXPECT_FALSE(ctl(*window).Option1[2]->isEnabled());
    EXPECT_FALSE(ctl(*window).Option6[0]->isEnabled());
    ctl(*window).Text3->setText("b c");
    EXPECT_TRUE(ctl(*window).Option6[0]->isEnabled());
    EXPECT_TRUE(ctl(*window).Option6[1]->isEnabled());
    ctl(*window).Option5[0]->setChecked(true);
    ctl(*window).Text3->clear();
    EXPECT_FALSE(ctl(*window).Option5[0]->isEnabled());
    EXPECT_TRUE(ctl(*window).Option5[0]->isChecked());   // a disabled option keeps its choice
    EXPECT_TRUE(ctl(*window).Option1[2]->isEnabled());
    EXPECT_TRUE(ctl(*window).Option1[0]->isChecked());

    ctl(*window).Option1[3]->click();
    EXPECT_FALSE(ctl(*window).Text3->isEnabled());
    ctl(*window).Option1[0]->click();
    EXPECT_TRUE(ctl(*window).Text3->isEnabled());
    ctl(*window).Option1[2]->click();
    ctl(*window).Text3->setText("z");   // typing is not possible then, but code may set it
    EXPECT_TRUE(ctl(*window).Option1[0]->isChecked());
    EXPECT_TRUE(ctl(*window).Text3->isEnabled());

    // Closing the catalogue empties the picture box, which disables the pair.
    ctl(*window).Text1->setText("a");
    ASSERT_TRUE(ctl(*window).Option5[0]->isEnabled());
    ctl(*window).mnuDb->trigger();
    EXPECT_FALSE(ctl(*window).Option5[0]->isEnabled());
    EXPECT_FALSE(ctl(*window).refresh_grid->isEnabled());
    ctl(*window).refresh_grid->click();   // nothing to search
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
}

TEST_F(SearchTab, NoteSearchFindsVisibleTextOfTheChosenFields)
{
    ctl(*window).SSTab_search->setCurrentIndex(1);
    ctl(*window).Text4->setText("apple");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1"}));
    EXPECT_EQ(window->message_text(), "1 record selected.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    ctl(*window).Option7[2]->setChecked(true);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1", "2"}));
    ctl(*window).Option7[1]->setChecked(true);
    ctl(*window).Text4->setText("RED");
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    EXPECT_EQ(window->message_text(), "0 record selected.");
    ctl(*window).Text4->setText("fonttbl");   // only in the formatting codes
    ctl(*window).Option7[2]->setChecked(true);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(window->message_text(), "0 record selected.");
    ctl(*window).Text4->clear();
    ctl(*window).Check2->setChecked(true);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"2", "1", "4", "3"}));
    expect_unlocked();
}

TEST_F(SearchTab, EscStopsTheNoteSearchAndKeepsTheRowsFound)
{
    ctl(*window).SSTab_search->setCurrentIndex(1);
    int steps = 0;
    const auto esc = QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(), [&](int v) {
        ++steps;
        if (v == 3)
            press_esc();
    });
    ctl(*window).refresh_grid->click();
    QObject::disconnect(esc);
    EXPECT_EQ(found(), (QStringList{"1", "2"}));
    EXPECT_EQ(window->message_text(), "2 records selected.");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_GE(steps, 3);
    expect_unlocked();
}

TEST_F(SearchTab, AnEarlierEscDoesNotStopANewNoteSearch)
{
    ctl(*window).SSTab_search->setCurrentIndex(1);
    window->session().busy().request_stop(ui::StopRequest::Esc);
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(found(), (QStringList{"1", "2", "3", "4"}));
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::Esc));
}

TEST_F(SearchTab, QueryFailureIsReportedAndTheTabUnlocked)
{
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("ALTER TABLE demopicture RENAME TO gone")));
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(window->message_text().startsWith("Error ")) << window->message_text().toStdString();
    EXPECT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    expect_unlocked();
    ctl(*window).SSTab_search->setCurrentIndex(1);
    ctl(*window).refresh_grid->click();
    EXPECT_TRUE(window->message_text().startsWith("Error "));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    expect_unlocked();
    ctl(*window).refresh_ref->click();
    EXPECT_TRUE(window->message_text().startsWith("Error "));
    EXPECT_TRUE(ctl(*window).refresh_ref->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());
    ctl(*window).refresh_extraction->click();
    EXPECT_TRUE(window->message_text().startsWith("Error "));
    EXPECT_TRUE(ctl(*window).SSTab4->isEnabled());
    expect_unlocked();
}

TEST_F(SearchTab, TypingGoesOnInTheBoxAfterReturn)
{
    show_tab(1);
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto return_in = [this](QLineEdit* box, const char* text) {
        box->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        // The next key lands in the box.
        QTest::keyClick(QApplication::focusWidget(), 'z');
        EXPECT_TRUE(box->text().endsWith('z')) << box->text().toStdString();
        box->clear();
    };
    return_in(ctl(*window).Text1, "city");
    EXPECT_EQ(found(), (QStringList{"4"}));
    return_in(ctl(*window).Text3, "sun");
    ctl(*window).SSTab_search->setCurrentIndex(1);
    return_in(ctl(*window).Text4, "apple");
    EXPECT_EQ(found(), (QStringList{"1"}));
    expect_unlocked();
}

TEST_F(SearchTab, TheSearchBlockKeepsItsPlaceAndHeadingsStandOverTheirColumns)
{
    show_tab(1);
    auto* headings = ctl(*window).MSFlexGrid1->parentWidget()->findChild<ui::GridHeadings*>();
    ASSERT_NE(headings, nullptr);
    auto block = [&] {
        return testsupport::places_in(window.get(),
                                      {ctl(*window).Text1, ctl(*window).Text3, ctl(*window).refresh_grid, ctl(*window).Check2, headings});
    };
    // Before the first search the grid is hidden.
    ASSERT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    const QList<QRect> before = block();
    ctl(*window).Text1->setText("beach");
    ctl(*window).refresh_grid->click();
    ASSERT_TRUE(ctl(*window).MSFlexGrid1->isVisible());
    EXPECT_EQ(block(), before);
    for (int c = 0; c < headings->count(); ++c) {
        QLabel* label = headings->label(c);
        const int column_x = ctl(*window).MSFlexGrid1->viewport()->mapTo(window.get(), QPoint(0, 0)).x()
            + ctl(*window).MSFlexGrid1->columnViewportPosition(c);
        EXPECT_EQ(label->mapTo(window.get(), QPoint(0, 0)).x(), column_x) << c;
        EXPECT_GE(ctl(*window).MSFlexGrid1->columnWidth(c), label->sizeHint().width()) << c;
    }
    ctl(*window).Text1->setText("no such picture");
    ctl(*window).refresh_grid->click();
    ASSERT_TRUE(ctl(*window).MSFlexGrid1->isHidden());
    EXPECT_EQ(block(), before);
}

namespace {

// A catalogue of more rows than a grid reads at once, named in an order
// unlike their numbers (and in mixed case).
class LargeGrids : public SearchWindowTest {
protected:
    static constexpr int k_rows = 1500;

    void SetUp() override
    {
        SearchWindowTest::SetUp();
        open_with([](store::Connection& c) {
            store::Transaction t(c);
            for (int n = 1; n <= k_rows; ++n) {
                const int key = (n * 7919) % k_rows;
                add_picture(c, n, QStringLiteral("%1%2.jpg").arg(n % 2 ? "Pic" : "pic").arg(key, 4, 10, QLatin1Char('0')),
                    {{}, n % 100 == 0 ? QVariant(rtf("marker")) : QVariant(), QStringLiteral("ref %1").arg(key), {}});
            }
            ASSERT_FALSE(t.commit());
        });
    }

    const store::RowBlocks* listing(QTableView* grid) const { return model(grid)->rows().listed(); }
};

} // namespace

TEST_F(LargeGrids, ShowTheFirstScreenAtOnceAndEveryRowInOrderWhenReached)
{
    show_tab(1);
    ctl(*window).refresh_grid->click();
    QCoreApplication::processEvents();
    ASSERT_NE(listing(ctl(*window).MSFlexGrid1), nullptr);
    EXPECT_EQ(model(ctl(*window).MSFlexGrid1)->rowCount(), k_rows);
    EXPECT_EQ(window->message_text(), QStringLiteral("%1 records selected.").arg(k_rows));
    // Only what was shown has been read.
    EXPECT_LE(listing(ctl(*window).MSFlexGrid1)->blocks_read(), 2);
    EXPECT_EQ(model(ctl(*window).MSFlexGrid1)->text(0, 0), "1");
    EXPECT_EQ(model(ctl(*window).MSFlexGrid1)->text(0, 3), "Pic0419.jpg");

    // By name: case-folded order across every block.
    ctl(*window).Check2->setChecked(true);
    ctl(*window).refresh_grid->click();
    const QStringList names = grid_column(ctl(*window).MSFlexGrid1, 3);
    ASSERT_EQ(names.size(), k_rows);
    for (int r = 1; r < names.size(); ++r)
        ASSERT_LT(names[r - 1].compare(names[r], Qt::CaseInsensitive), 0) << r;
    EXPECT_EQ(names.front(), "pic0000.jpg");

    // The reference grid in reference order, the far rows right too.
    ctl(*window).Check5->setChecked(true);
    ctl(*window).refresh_ref->click();
    EXPECT_EQ(model(ctl(*window).MSHFlexGrid1)->rowCount(), k_rows);
    EXPECT_EQ(model(ctl(*window).MSHFlexGrid1)->text(0, 3), "ref 0");
    EXPECT_EQ(model(ctl(*window).MSHFlexGrid1)->text(k_rows - 1, 3), "ref 999");
}

TEST_F(LargeGrids, TheNoteSearchListsItsMatchesTheSameWay)
{
    ctl(*window).SSTab_search->setCurrentIndex(1);
    ctl(*window).Text4->setText("MARKER");
    ctl(*window).refresh_grid->click();
    EXPECT_EQ(window->message_text(), QStringLiteral("%1 records selected.").arg(k_rows / 100));
    EXPECT_EQ(grid_column(ctl(*window).MSFlexGrid1, 0).last(), QString::number(k_rows));
}

TEST_F(LargeGrids, ARowFarDownIsShownWhenClickedAfterOneJumpThere)
{
    show_tab(1);
    ctl(*window).SSTab3->setCurrentIndex(0);
    ctl(*window).refresh_grid->click();
    const int far = k_rows - 3;
    EXPECT_LE(listing(ctl(*window).MSFlexGrid1)->blocks_read(), 2);
    click_row(ctl(*window).MSFlexGrid1, far);
    const int key = ((far + 1) * 7919) % k_rows;
    EXPECT_EQ(window->message_text(),
              QStringLiteral("pic%1.jpg have not a movie.").arg(key, 4, 10, QLatin1Char('0')));
}

#include "support/page_gestures.h"
#include "search_window_fixture.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/vb.h"
#include "search/messages.h"

#include <QDir>
#include <QLabel>

using namespace searchtest;

namespace {

// Ten pictures over two pages; 1 and 8 have files of known sizes, 3 is
// stored in the catalogue, 9 has no file at all.
class DetailsPanel : public SearchWindowTest {
protected:
    void SetUp() override
    {
        SearchWindowTest::SetUp();
        QDir().mkpath(dir.file("data"));
        // 9360 x 3000 twips and 3000 x 5430 twips, in pixels.
        ASSERT_TRUE(testsupport::write_picture(dir.file("data/p01.jpg"), 624, 200, "jpg"));
        ASSERT_TRUE(testsupport::write_picture(dir.file("data/p08.jpg"), 200, 362, "jpg"));
        for (int n : {2, 4, 5, 6, 7, 10})
            ASSERT_TRUE(testsupport::write_picture(dir.file(QStringLiteral("data/p%1.jpg").arg(n, 2, 10, QLatin1Char('0'))),
                                                   40, 30, "jpg"));
        const QString stored = dir.write("p03.jpg", testsupport::make_picture_bytes(150, 100, "jpg"));
        open_with([&](store::Connection& c) {
            for (int n = 1; n <= 10; ++n) {
                Fields f;
                f.note = rtf(QStringLiteral("note %1").arg(n));
                f.reference = QStringLiteral("ref %1").arg(n);
                if (n == 1)
                    f.movfile = QStringLiteral("p01.avi");
                if (n == 2)
                    f.movfile = QString("");   // empty, not Null
                if (n == 4)
                    f.addnote = QStringLiteral("added four");
                add_picture(c, n, QStringLiteral("p%1.jpg").arg(n, 2, 10, QLatin1Char('0')), f);
            }
            ASSERT_FALSE(c.write_picture_bytes(3, stored));
        });
        ctl(*window).refresh_grid->click();
        ASSERT_EQ(model(ctl(*window).MSFlexGrid1)->rowCount(), 10);
    }

    QSize twips(const QLabel* l) const
    {
        return {int(mosswick::ui::px_to_twips(l->width())), int(mosswick::ui::px_to_twips(l->height()))};
    }
};

} // namespace

TEST_F(DetailsPanel, ClickShowsTheRecordAndArmsDisplayPage)
{
    EXPECT_FALSE(ctl(*window).display_page->isEnabled());
    show_tab(1);
    click_row(ctl(*window).MSFlexGrid1, 3);
    EXPECT_EQ(ctl(*window).SSTab3->currentIndex(), 1);
    EXPECT_TRUE(ctl(*window).SSTab3->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).display_page->isEnabled());
    EXPECT_EQ(ctl(*window).Text30->text(), "4");
    EXPECT_EQ(ctl(*window).Text31->text(), "1");
    EXPECT_EQ(ctl(*window).Text29->text(), "p04.jpg");
    EXPECT_EQ(ctl(*window).Text32->text(), "");
    EXPECT_EQ(ctl(*window).text24->text(), "ref 4");
    EXPECT_EQ(ctl(*window).Text33->Text(), "note 4");
    EXPECT_EQ(ctl(*window).Text25->Text(), "added four");
    EXPECT_EQ(window->message_text(), "p04.jpg have not a movie.");
    EXPECT_FALSE(ctl(*window).Image1->isHidden());
    EXPECT_TRUE(ctl(*window).Image3->isHidden());
    EXPECT_EQ(ctl(*window).Image1->size(), QSize(40, 30));   // small pictures are never enlarged
    expect_usable();
}

TEST_F(DetailsPanel, PicturesShrinkIntoTheAreaKeepingTheirShape)
{
    click_row(ctl(*window).MSFlexGrid1, 0);
    EXPECT_EQ(window->message_text(), "p01.jpg have movie.");
    EXPECT_EQ(twips(ctl(*window).Image1), QSize(4680, 1500));
    click_row(ctl(*window).MSFlexGrid1, 7);
    EXPECT_EQ(twips(ctl(*window).Image1), QSize(1500, 2715));
    EXPECT_FALSE(ctl(*window).Image1->pixmap().isNull());
}

TEST_F(DetailsPanel, StoredPictureUsesTheStretchedImage)
{
    click_row(ctl(*window).MSFlexGrid1, 2);
    EXPECT_TRUE(ctl(*window).Image1->isHidden());
    EXPECT_FALSE(ctl(*window).Image3->isHidden());
    EXPECT_EQ(ctl(*window).Image3->size(), QSize(150, 100));
    click_row(ctl(*window).MSFlexGrid1, 3);
    EXPECT_FALSE(ctl(*window).Image1->isHidden());
    EXPECT_TRUE(ctl(*window).Image3->isHidden());
}

TEST_F(DetailsPanel, NullAdditionalNoteShowsAnEmptyBoxInTheResetFormat)
{
    click_row(ctl(*window).MSFlexGrid1, 4);
    EXPECT_EQ(ctl(*window).Text25->Text(), "");
    EXPECT_EQ(ctl(*window).Text25->SelFontName(), "Comic Sans MS");
    EXPECT_EQ(ctl(*window).Text25->SelFontSize(), 8);
}

TEST_F(DetailsPanel, MissingPictureFileIsReportedAndTheProgramGoesOn)
{
    click_row(ctl(*window).MSFlexGrid1, 8);
    ASSERT_EQ(dialogs->messages(), (QStringList{"Picture file not found."}));
    EXPECT_EQ(dialogs->asked.back().title, "Error");
    EXPECT_EQ(ctl(*window).Text29->text(), "p09.jpg");
    EXPECT_TRUE(ctl(*window).Image1->isHidden());
    EXPECT_TRUE(ctl(*window).Image3->isHidden());
    EXPECT_TRUE(ctl(*window).display_page->isEnabled());
    EXPECT_EQ(ctl(*window).Text30->text(), "9");
    expect_usable();
}

TEST_F(DetailsPanel, UndecodablePictureIsReportedWithAnEmptyArea)
{
    dir.write("data/p10.jpg", "not a picture at all");
    click_row(ctl(*window).MSFlexGrid1, 9);
    EXPECT_TRUE(window->message_text().startsWith("p10.jpg have not a movie. Picture"))
        << window->message_text().toStdString();
    EXPECT_TRUE(ctl(*window).Image1->isHidden());
    EXPECT_EQ(ctl(*window).Text30->text(), "10");
}

TEST_F(DetailsPanel, DragOverRowsKeepsTheFirstAndChangesNothing)
{
    click_row(ctl(*window).MSFlexGrid1, 1);
    show_tab(1);
    ctl(*window).SSTab3->setCurrentIndex(0);
    drag_rows(ctl(*window).MSFlexGrid1, 4, 6);
    EXPECT_EQ(window->message_text(), "Select one row.");
    EXPECT_EQ(selected_rows(ctl(*window).MSFlexGrid1), (std::vector<int>{4}));
    EXPECT_EQ(ctl(*window).Text30->text(), "2");
    EXPECT_EQ(ctl(*window).Text29->text(), "p02.jpg");
    EXPECT_EQ(ctl(*window).SSTab3->currentIndex(), 0);
    // A plain click afterwards shows its row.
    click_row(ctl(*window).MSFlexGrid1, 5);
    EXPECT_EQ(ctl(*window).Text30->text(), "6");
}

TEST_F(DetailsPanel, GridOlderThanTheCatalogueShowsNothingWrong)
{
    click_row(ctl(*window).MSFlexGrid1, 1);
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("UPDATE demopicture SET picfile = 'other.jpg' WHERE numpic = 5")));
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("DELETE FROM demopicture WHERE numpic = 6")));
    click_row(ctl(*window).MSFlexGrid1, 4);
    EXPECT_EQ(window->message_text(), QString::fromLatin1(mosswick::search::k_row_changed));
    EXPECT_EQ(ctl(*window).Text30->text(), "2");
    click_row(ctl(*window).MSFlexGrid1, 5);
    EXPECT_EQ(window->message_text(), QString::fromLatin1(mosswick::search::k_row_gone));
    EXPECT_EQ(ctl(*window).Text30->text(), "2");
    EXPECT_EQ(ctl(*window).Text29->text(), "p02.jpg");
    expect_usable();
}

TEST_F(DetailsPanel, ClickOnAnEmptyGridDoesNothing)
{
    ctl(*window).Text1->setText("nothing like this");
    ctl(*window).refresh_grid->click();
    QTest::mouseClick(ctl(*window).MSFlexGrid1->viewport(), Qt::LeftButton);
    QTest::mouseClick(ctl(*window).MSHFlexGrid1->viewport(), Qt::LeftButton);
    EXPECT_EQ(window->message_text(), "0 record selected.");
    EXPECT_FALSE(ctl(*window).display_page->isEnabled());
    EXPECT_TRUE(ctl(*window).Text30->text().isEmpty());
}

TEST_F(DetailsPanel, ReferenceGridListsAndShowsRecords)
{
    ctl(*window).refresh_ref->click();
    EXPECT_FALSE(ctl(*window).MSHFlexGrid1->isHidden());
    EXPECT_EQ(window->message_text(), "10 records selected.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_EQ(grid_column(ctl(*window).MSHFlexGrid1, 3).front(), "ref 1");
    ctl(*window).Check5->setChecked(true);
    ctl(*window).refresh_ref->click();
    EXPECT_EQ(grid_column(ctl(*window).MSHFlexGrid1, 3).mid(0, 3), (QStringList{"ref 1", "ref 10", "ref 2"}));
    EXPECT_TRUE(ctl(*window).refresh_ref->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());

    // The reference grid reads the movie from the record: an empty movie is none.
    click_row(ctl(*window).MSHFlexGrid1, 2);   // "ref 2"
    EXPECT_EQ(window->message_text(), "p02.jpg have not a movie.");
    EXPECT_EQ(ctl(*window).Text30->text(), "2");
    click_row(ctl(*window).MSFlexGrid1, 1);
    EXPECT_EQ(window->message_text(), "p02.jpg have movie.");
    // A reference changed since the list was made is not shown under the old one.
    ASSERT_FALSE(window->session().db_conn()->exec(QStringLiteral("UPDATE demopicture SET reference = 'new' WHERE numpic = 1")));
    click_row(ctl(*window).MSHFlexGrid1, 0);
    EXPECT_EQ(window->message_text(), QString::fromLatin1(mosswick::search::k_row_changed));
    expect_usable();
}

TEST_F(DetailsPanel, DisplayPageShowsTheRecordsPageWithItsCellSelected)
{
    click_row(ctl(*window).MSFlexGrid1, 7);   // picture 8 on page 2
    ctl(*window).display_page->click();
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    ASSERT_GT(testsupport::white_cell(*window), 0);
    EXPECT_EQ(ctl(*window).Label5[size_t(testsupport::white_cell(*window))]->text(), "8");
    // A record of the page shown selects its cell without reloading.
    click_row(ctl(*window).MSFlexGrid1, 9);
    ctl(*window).display_page->click();
    EXPECT_EQ(window->session().current_page(), 2);
    EXPECT_EQ(ctl(*window).Label5[size_t(testsupport::white_cell(*window))]->text(), "10");
}

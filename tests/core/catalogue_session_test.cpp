// The session's own word: each change is said once, when it happens, and
// what opening and closing leave behind.
#include "core/catalogue_session.h"
#include "support/catalogue_builder.h"
#include "support/test_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace mosswick;

namespace {

class SessionTest : public ::testing::Test {
protected:
    // A catalogue of n pictures, opened in the session step by step as the window does.
    void open(int pictures)
    {
        testsupport::CatalogueSpec spec;
        spec.pictures = pictures;
        path = testsupport::make_catalogue(dir.path(), spec);
        store::Error error;
        std::unique_ptr<store::Connection> conn = store::Connection::open(path, {}, error);
        ASSERT_TRUE(conn) << error.text.toStdString();
        session.begin_open(path, false);
        session.file_opened();
        session.attach_connection(std::move(conn));
    }

    testsupport::TempDir dir;
    QString path;
    CatalogueSession session{Edition::enhanced()};
    QSignalSpy opened{&session, &CatalogueSession::opened};
    QSignalSpy closed{&session, &CatalogueSession::closed};
    QSignalSpy counts{&session, &CatalogueSession::counts_changed};
    QSignalSpy pages{&session, &CatalogueSession::page_shown};
    QSignalSpy writable{&session, &CatalogueSession::writable_changed};
};

} // namespace

TEST_F(SessionTest, EachSetterSaysItsChangeOnceAndNothingWhenNothingChanged)
{
    session.set_read_only(true);
    session.set_read_only(true);
    session.set_read_only(false);
    ASSERT_EQ(writable.count(), 2);
    EXPECT_FALSE(writable.at(0).at(0).toBool());
    EXPECT_TRUE(writable.at(1).at(0).toBool());

    session.set_picture_count(13);
    session.set_picture_count(13);
    EXPECT_EQ(counts.count(), 1);
    EXPECT_EQ(session.picture_count(), 13);
    EXPECT_EQ(session.page_count(), 3);

    // The page moved to is drawn later: only the drawing is said.
    session.move_to_page(2);
    EXPECT_EQ(session.current_page(), 2);
    EXPECT_EQ(pages.count(), 0);
    session.page_drawn(2);
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.at(0).at(0).toLongLong(), 2);
    EXPECT_EQ(opened.count() + closed.count(), 0);
}

TEST_F(SessionTest, AWriteIsSaidEvenWhenTheCountStayed)
{
    session.set_picture_count(4);
    counts.clear();
    // The file's size beside the count has moved.
    session.catalogue_written(4);
    EXPECT_EQ(counts.count(), 1);
    // A count that could not be read keeps the old one, and the write is still said.
    session.catalogue_written(std::nullopt);
    EXPECT_EQ(counts.count(), 2);
    EXPECT_EQ(session.picture_count(), 4);
    session.catalogue_written(5);
    EXPECT_EQ(counts.count(), 3);
    EXPECT_EQ(session.picture_count(), 5);
}

TEST_F(SessionTest, ARecountAfterAWriteReadsTheConnectionsRows)
{
    // Without a connection there is nothing to count and nothing is said.
    session.recount_after_write();
    EXPECT_EQ(counts.count(), 0);
    open(7);
    session.set_picture_count(2);
    counts.clear();
    session.recount_after_write();
    EXPECT_EQ(session.picture_count(), 7);
    EXPECT_EQ(counts.count(), 1);
}

TEST_F(SessionTest, OpeningSaysNothingUntilTheCatalogueIsReadAndShown)
{
    open(9);
    EXPECT_TRUE(session.db_open());
    EXPECT_NE(session.db_conn(), nullptr);
    EXPECT_EQ(counts.count() + opened.count() + writable.count(), 0);

    ASSERT_FALSE(session.read_catalogue());
    EXPECT_TRUE(session.db_table_open());
    EXPECT_EQ(session.picture_count(), 9);
    EXPECT_EQ(session.db_folder(), dir.path() + "/");
    EXPECT_EQ(session.data_folder(), dir.path() + "/data/");
    EXPECT_EQ(session.current_page(), 1);
    EXPECT_EQ(counts.count(), 1);
    EXPECT_EQ(opened.count(), 0);
    session.finish_open();
    EXPECT_EQ(opened.count(), 1);

    // Read again (a refresh) the same count is shown again.
    session.close_table();
    EXPECT_FALSE(session.db_table_open());
    ASSERT_FALSE(session.read_catalogue());
    EXPECT_EQ(counts.count(), 2);
}

TEST_F(SessionTest, AnEmptyCatalogueIsReadWithoutACountToShow)
{
    open(0);
    ASSERT_FALSE(session.read_catalogue());
    EXPECT_EQ(session.picture_count(), 0);
    EXPECT_EQ(session.current_page(), 1);
    EXPECT_EQ(counts.count(), 0);
}

TEST_F(SessionTest, ReadingWithoutAConnectionFailsAndLeavesTheFoldersAlone)
{
    session.begin_open(dir.file("none.mdb"), false);
    const store::Error error = session.read_catalogue();
    ASSERT_TRUE(error);
    EXPECT_EQ(error.text, "No catalogue is open.");
    EXPECT_FALSE(session.db_table_open());
    EXPECT_TRUE(session.db_folder().isEmpty());
    EXPECT_EQ(session.current_page(), 0);
    EXPECT_EQ(counts.count(), 0);
}

TEST_F(SessionTest, ClosingForgetsTheCatalogueButNotItsPasswordAndSaysSoOnce)
{
    open(7);
    session.set_password("secret");
    ASSERT_FALSE(session.read_catalogue());
    session.set_read_only(true);
    writable.clear();

    // The connection goes first; the catalogue stays open until it is closed.
    std::unique_ptr<store::Connection> conn = session.take_connection();
    EXPECT_NE(conn, nullptr);
    EXPECT_EQ(session.db_conn(), nullptr);
    EXPECT_TRUE(session.db_open());
    EXPECT_EQ(closed.count(), 0);

    session.close_catalogue();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(session.db_open());
    EXPECT_FALSE(session.db_read_only());
    EXPECT_TRUE(session.db_path().isEmpty());
    EXPECT_TRUE(session.db_folder().isEmpty());
    EXPECT_TRUE(session.data_folder().isEmpty());
    EXPECT_EQ(session.picture_count(), 0);
    EXPECT_EQ(session.current_page(), 0);
    EXPECT_EQ(session.db_password(), "secret");
    // Closing says closed, not every value it reset.
    EXPECT_EQ(writable.count(), 0);
}

TEST_F(SessionTest, AnOpeningGivenUpForgetsPathAndPasswordWithoutAWord)
{
    open(3);
    session.set_password("secret");
    session.abandon_open();
    EXPECT_FALSE(session.db_open());
    EXPECT_TRUE(session.db_path().isEmpty());
    EXPECT_TRUE(session.db_password().isEmpty());
    EXPECT_EQ(opened.count() + closed.count() + counts.count(), 0);
}

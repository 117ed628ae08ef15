// What the catalogue session tells the parts as a catalogue opens, is
// checked, is browsed and closes.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/window_steps.h"

#include <QSignalSpy>

using namespace mosswick;

TEST_F(WindowTest, TheSessionTellsThePartsWhatChanged)
{
    CatalogueSession& session = window->session();
    QSignalSpy opened(&session, &CatalogueSession::opened);
    QSignalSpy closed(&session, &CatalogueSession::closed);
    QSignalSpy pages(&session, &CatalogueSession::page_shown);
    QSignalSpy writable(&session, &CatalogueSession::writable_changed);
    QSignalSpy counts(&session, &CatalogueSession::counts_changed);

    open(make(9));
    ASSERT_TRUE(session.db_open());
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(closed.count(), 0);
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.at(0).at(0).toLongLong(), 1);
    EXPECT_GE(counts.count(), 1);
    // Writes wait for the check of the whole file, then are allowed.
    ASSERT_EQ(writable.count(), 2);
    EXPECT_FALSE(writable.at(0).at(0).toBool());
    EXPECT_TRUE(writable.at(1).at(0).toBool());
    EXPECT_EQ(ctl(*window).Label27->text(), "9");

    ctl(*window).go_right->click();
    ASSERT_EQ(pages.count(), 2);
    EXPECT_EQ(pages.at(1).at(0).toLongLong(), 2);

    ctl(*window).mnuDb->trigger();
    EXPECT_FALSE(session.db_open());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(opened.count(), 1);
    // The frame's counters go with the catalogue.
    EXPECT_TRUE(ctl(*window).Label27->text().isEmpty());
    EXPECT_TRUE(ctl(*window).Text2->text().isEmpty());
}

TEST_F(WindowTest, AReadOnlyCatalogueNeverBecomesWritable)
{
    const QString path = make(3);
    // The mode alone makes a catalogue read-only here, whoever runs the program.
    const ReadOnlyFile read_only(path);
    QSignalSpy writable(&window->session(), &CatalogueSession::writable_changed);
    QSignalSpy opened(&window->session(), &CatalogueSession::opened);
    open(path);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_EQ(opened.count(), 1);
    EXPECT_EQ(writable.count(), 0);
}

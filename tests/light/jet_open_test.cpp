#include "light_fixture.h"

#include "support/jet_fixtures.h"

#include <tuple>

using namespace mosswick;
using testsupport::copy_jet_fixture;

namespace {

const QString k_question_start = QStringLiteral("Detected a database file in the old Access format, convert it");

} // namespace

TEST_F(LightWindow, AccessCataloguesAreConvertedAndOpenedAsTheyAre)
{
    for (const auto& [fixture, rows, columns] :
         {std::tuple{"jet4-full.mdb", 13, 9}, std::tuple{"jet4-7col.mdb", 8, 7}, std::tuple{"jet4-5col.mdb", 7, 5},
          std::tuple{"jet4-empty.mdb", 0, 9}}) {
        SCOPED_TRACE(fixture);
        const QString path = copy_jet_fixture(dir, fixture);
        const QByteArray original = testsupport::read_all(path);
        dialogs->asked.clear();
        dialogs->answers = {ui::Answer::Yes};
        open(path);
        ASSERT_TRUE(window->session().db_open());
        // The light edition never upgrades: one question only.
        const QStringList asked = testsupport::questions_asked(*dialogs);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(k_question_start));
        EXPECT_EQ(window->session().picture_count(), rows);
        EXPECT_TRUE(window->message_text().startsWith("Database opened. Converted from the Access format"));
        const QString backup = QString(path).replace(".mdb", ".access.mdb");
        EXPECT_TRUE(window->message_text().contains(backup));
        EXPECT_EQ(testsupport::read_all(backup), original);
        testsupport::expect_jet_rows(*window->session().db_conn(), rows, columns);
        ctl(*window).mnuDb->trigger();
    }
}

TEST_F(LightWindow, AccessConversionRefusedOpensNothing)
{
    const QString path = copy_jet_fixture(dir, "jet4-empty.mdb");
    dialogs->answers = {ui::Answer::No};
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Conversion not confirmed.");
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_FALSE(QFile::exists(dir.file("jet4-empty.access.mdb")));
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    expect_usable();
}

TEST_F(LightWindow, AnAccessFileWithAPasswordIsLeftToTheFullEditionAndSaysWhyReadably)
{
    // Deep in folders, so that the message is longer than its panel.
    const QString folder = "pictures/" + QString("holidays and more/").repeated(8);
    ASSERT_TRUE(QDir().mkpath(dir.file(folder)));
    const QString path = copy_jet_fixture(dir, "jet4-password.mdb", folder + "jet4-password.mdb");
    const QByteArray original = testsupport::read_all(path);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    EXPECT_TRUE(testsupport::questions_asked(*dialogs).isEmpty());
    EXPECT_EQ(window->message_text(), path + " is an Access database with a password: the full edition converts it.");
    EXPECT_TRUE(window->message_tip().contains("convert it once with the full edition"));
    // Only the path gives way: the reason shows whole, with no error number.
    const auto* panel = window->findChild<QLabel*>("message_panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(panel->text(), window->message_text());
    EXPECT_TRUE(panel->text().endsWith("jet4-password.mdb is an Access database with a password: the full edition "
                                       "converts it."))
        << panel->text().toStdString();
    EXPECT_EQ(testsupport::read_all(path), original);
    expect_usable();
}

TEST_F(LightWindow, AnEncodedAccessFileBecomesAScrambledCatalogueThatReopens)
{
    const QString path = copy_jet_fixture(dir, "jet4-encrypted.mdb");
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    EXPECT_EQ(window->session().picture_count(), 13);
    testsupport::expect_jet_rows(*window->session().db_conn(), 13, 9);
    ctl(*window).mnuDb->trigger();
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
    EXPECT_EQ(dialogs->count("password"), 0);
}

TEST_F(LightWindow, AnAccessCatalogueOnTheCommandLineIsConverted)
{
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb", "cmd.mdb");
    dialogs->answers = {ui::Answer::Yes};
    start(Edition::light(), path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(tabs_have_focus(*window));   // the focus stays where the program put it
    EXPECT_EQ(window->session().picture_count(), 13);
}

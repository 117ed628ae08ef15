#include "support/window_controls.h"
#include "support/jet_fixtures.h"
#include "support/window_fixture.h"

#include "platform/ui/frm_db_password.h"
#include "platform/store/connection.h"

#include <QTimer>
#include <QFile>

#include <sys/stat.h>

using namespace mosswick;
using testsupport::copy_jet_fixture;
using testsupport::folder_listing;

namespace {

const QString k_question_start = QStringLiteral("Detected a database file in the old Access format, convert it");

QString converted_note(const QString& backup)
{
    return QStringLiteral("Converted from the Access format; the original is kept as %1.").arg(backup);
}

// What the password prompt gives when the keys are typed into it and Enter is pressed.
QString typed_at_prompt(const QString& keys)
{
    ui::frmDbPassword prompt;
    prompt.show();
    testsupport::type_text(prompt.Text1, keys);
    QTest::keyClick(prompt.Text1, Qt::Key_Return);
    return prompt.password();
}

} // namespace

TEST_F(WindowTest, AccessCatalogueIsConvertedOnYesAndOpened)
{
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb", "pics.mdb");
    const QByteArray original = testsupport::read_all(path);
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    ASSERT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
    const auto& asked = dialogs->asked[1];
    EXPECT_TRUE(asked.text.startsWith(k_question_start)) << asked.text.toStdString();
    EXPECT_TRUE(asked.text.contains("pics.access.mdb"));
    EXPECT_EQ(asked.title, "Mosswick Zudidudi - Confirmation");
    EXPECT_EQ(asked.buttons, ui::MessageButtons::YesNo);
    EXPECT_EQ(dialogs->count("password"), 0);

    EXPECT_EQ(window->message_text(), "Database opened. " + converted_note(dir.file("pics.access.mdb")));
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(window->session().picture_count(), 13);
    EXPECT_EQ(testsupport::read_all(dir.file("pics.access.mdb")), original);
    testsupport::expect_jet_rows(*window->session().db_conn(), 13, 9);
    expect_usable();

    // Closed and opened again it is an ordinary catalogue: no question.
    ctl(*window).mnuDb->trigger();
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
    EXPECT_EQ(window->message_text(), "Database opened.");
}

TEST_F(WindowTest, AccessConversionRefusedLeavesEverythingAsItWas)
{
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
    const QByteArray original = testsupport::read_all(path);
    const QString menu = ctl(*window).mnuDb->text();
    dialogs->answers = {ui::Answer::No};
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(window->session().db_conn());
    EXPECT_EQ(ctl(*window).mnuDb->text(), menu);
    EXPECT_EQ(window->message_text(), "Conversion not confirmed.");
    EXPECT_EQ(window->windowTitle(), "Mosswick Database");
    EXPECT_EQ(testsupport::read_all(path), original);
    EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
    expect_usable();
}

TEST_F(WindowTest, OldAccessLayoutsAreConvertedThenOfferedTheUpgrade)
{
    const QString five = copy_jet_fixture(dir, "jet4-5col.mdb");
    dialogs->answers = {ui::Answer::Yes, ui::Answer::Yes};
    open(five);
    ASSERT_TRUE(window->session().db_open());
    const QStringList asked = testsupport::questions_asked(*dialogs);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].startsWith(k_question_start));
    EXPECT_EQ(asked[1], "Detected an old version of database file, update it?");
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    EXPECT_EQ(window->session().picture_count(), 7);
    ctl(*window).mnuDb->trigger();

    // A refused upgrade keeps the converted catalogue in its old layout.
    const QString seven = copy_jet_fixture(dir, "jet4-7col.mdb");
    dialogs->answers = {ui::Answer::Yes, ui::Answer::No};
    open(seven);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_TRUE(dialogs->messages().contains("Detected a 2.2 version of database file, update it?"));
    EXPECT_EQ(window->message_text(),
              "Update procedure not confirmed. " + converted_note(dir.file("jet4-7col.access.mdb")));
    testsupport::expect_jet_rows(seven, 8, 7);
    expect_usable();
}

TEST_F(WindowTest, AccessPasswordIsAskedCheckedAndBecomesTheCataloguesKey)
{
    const QString path = copy_jet_fixture(dir, "jet4-password.mdb");
    const QByteArray original = testsupport::read_all(path);

    // Esc at the prompt: nothing asked further, nothing changed.
    dialogs->passwords = {""};
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_TRUE(testsupport::questions_asked(*dialogs).isEmpty());
    EXPECT_EQ(testsupport::read_all(path), original);
    EXPECT_EQ(folder_listing(dir), QStringList{"jet4-password.mdb"});
    expect_usable();

    // A wrong password brings the prompt back, as for any catalogue.
    dialogs->passwords = {"kx7 päss", "Kx7 päss"};
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 3);
    EXPECT_EQ(window->session().db_password(), QStringLiteral("Kx7 päss"));
    EXPECT_EQ(window->session().picture_count(), 6);
    testsupport::expect_jet_rows(*window->session().db_conn(), 6, 9);
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    ctl(*window).mnuDb->trigger();

    // The converted catalogue asks for the same password.
    dialogs->passwords = {"Kx7 päss"};
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 4);
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
}

TEST_F(WindowTest, ATwentyCharacterAccessPasswordConvertsAndReopensThroughThePrompt)
{
    const QString twenty = QStringLiteral("Kx7 päss 20 Zeichen!");
    const QString path = testsupport::copy_jet_fixture_with_password(dir, twenty);
    dialogs->passwords = {typed_at_prompt(twenty)};
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().db_password(), twenty);
    testsupport::expect_jet_rows(*window->session().db_conn(), 6, 9);
    ctl(*window).mnuDb->trigger();

    // The converted catalogue's key is the whole password.
    dialogs->passwords = {typed_at_prompt(twenty)};
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 2);
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
}

TEST_F(WindowTest, EncodedAccessFileConvertsWithoutAPromptIntoAScrambledCatalogue)
{
    const QString path = copy_jet_fixture(dir, "jet4-encrypted.mdb");
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    EXPECT_FALSE(testsupport::is_plain_sqlite(path));
    testsupport::expect_jet_rows(*window->session().db_conn(), 13, 9);
    ctl(*window).mnuDb->trigger();
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);
}

TEST_F(WindowTest, DamagedOrReadOnlyAccessFilesAreNotConverted)
{
    const QString damaged = copy_jet_fixture(dir, "jet4-full.mdb", "damaged.mdb");
    QFile::resize(damaged, 4096 * 3);
    const QByteArray original = testsupport::read_all(damaged);
    dialogs->answers = {ui::Answer::Yes};
    open(damaged);
    EXPECT_FALSE(window->session().db_open());
    // About the file, not the engine: no error number.
    EXPECT_TRUE(window->message_text().startsWith(damaged + " could not be converted: "))
        << window->message_text().toStdString();
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    EXPECT_EQ(testsupport::read_all(damaged), original);
    EXPECT_EQ(folder_listing(dir), QStringList{"damaged.mdb"});
    expect_usable();

    const QString locked = copy_jet_fixture(dir, "jet4-full.mdb", "locked.mdb");
    ::chmod(QFile::encodeName(locked).constData(), 0444);
    open(locked);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "The database is an old Access file, cannot convert a Read-Only database.");
    EXPECT_EQ(testsupport::questions_asked(*dialogs).size(), 1);   // only the damaged file's question
    ::chmod(QFile::encodeName(locked).constData(), 0644);
    expect_usable();
}

TEST_F(WindowTest, AccessCatalogueNamedOnTheCommandLineIsConvertedToo)
{
    const QString path = copy_jet_fixture(dir, "jet4-7col.mdb", "cmd.mdb");
    dialogs->answers = {ui::Answer::Yes, ui::Answer::Yes};
    start(Edition::enhanced(), "\"" + path + "\"");
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(tabs_have_focus(*window));   // the focus stays where the program put it
    EXPECT_EQ(dialogs->count("open"), 0);
    EXPECT_TRUE(testsupport::questions_asked(*dialogs).value(0).startsWith(k_question_start));
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    EXPECT_TRUE(QFile::exists(dir.file("cmd.access.mdb")));
}

TEST_F(WindowTest, EscStopsAnAccessConversionAndLeavesTheOriginal)
{
    const QString path = copy_jet_fixture(dir, "jet4-full.mdb");
    const QByteArray original = testsupport::read_all(path);
    dialogs->answers = {ui::Answer::Yes};
    // Esc pressed while the conversion runs (the key itself sets this flag,
    // as EscSetsBothAbortFlagsWhateverRuns shows).
    QTimer esc;
    esc.setInterval(0);
    QObject::connect(&esc, &QTimer::timeout, [this] {
        if (window->message_text().startsWith("Converting the Access database"))
            window->session().busy().request_stop(ui::StopRequest::Esc);
    });
    esc.start();
    open(path);
    esc.stop();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Conversion stopped; " + path + " is unchanged.");
    // Closed as after any opening that failed: nothing to search, the password forgotten.
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(window->session().db_password().isEmpty());
    EXPECT_EQ(testsupport::read_all(path), original);
    EXPECT_EQ(folder_listing(dir), QStringList{"jet4-full.mdb"});
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    expect_usable();

    // The next try converts.
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    EXPECT_TRUE(window->session().db_open());
}

TEST_F(WindowTest, AnEmptyAccessCatalogueOpensOnTheLoaderTab)
{
    const QString path = copy_jet_fixture(dir, "jet4-empty.mdb");
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().picture_count(), 0);
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 2);
    testsupport::expect_jet_rows(*window->session().db_conn(), 0, 9);
    EXPECT_TRUE(window->message_text().endsWith(converted_note(dir.file("jet4-empty.access.mdb"))));
}

#include "support/window_controls.h"
#include "support/long_messages.h"
#include "support/window_steps.h"

#include "catalogue/frm_about.h"
#include "pageview/frm_zoom.h"

#include "platform/store/connection.h"
#include "platform/store/sqlite.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeySequenceEdit>
#include <QProcess>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

using namespace mosswick;
using testsupport::CatalogueSpec;

TEST_F(WindowTest, StartsInTheNoCatalogueState)
{
    EXPECT_EQ(window->windowTitle(), "Mosswick Database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "&Open DB");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_EQ(window->tab_text(), "Pictures & Movies");
    EXPECT_EQ(window->session().thumb_quality(), 6);
    EXPECT_EQ(window->session().zoom_quality(), 5);
    EXPECT_TRUE(ctl(*window).mnuTQ[6]->isChecked());
    EXPECT_TRUE(ctl(*window).mnuZQ[5]->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{
             ctl(*window).load_pictures, ctl(*window).update_pictures, ctl(*window).renumber_pages, ctl(*window).exchange_picture,
             ctl(*window).insert_picture, ctl(*window).delete_page, ctl(*window).delete_picture, ctl(*window).Command1, ctl(*window).Text35,
             ctl(*window).Text36, ctl(*window).Check4, ctl(*window).cmd_OK, ctl(*window).clear_note, ctl(*window).Txt_Notes, ctl(*window).Text27,
             ctl(*window).text23, ctl(*window).load_list, ctl(*window).verify_loaded_pictures, ctl(*window).Fil_ImportFile,
             ctl(*window).File_movies, ctl(*window).cancel_load_picture, ctl(*window).Label3, ctl(*window).go_left, ctl(*window).go_right,
             ctl(*window).show_page, ctl(*window).bof, ctl(*window).eof, ctl(*window).Slider1, ctl(*window).refresh_grid,
             ctl(*window).refresh_ref, ctl(*window).refresh_extraction, ctl(*window).Extract})
        EXPECT_FALSE(w->isEnabled()) << w->metaObject()->className();
    EXPECT_TRUE(ctl(*window).Create_database->isEnabled());
    EXPECT_FALSE(ctl(*window).SSTab4->isTabEnabled(1));
    EXPECT_FALSE(ctl(*window).SSTab_mgm_pic->isTabEnabled(2));
    EXPECT_FALSE(ctl(*window).SSTab3->isTabEnabled(1));
    for (int i = 1; i <= 6; ++i) {
        EXPECT_TRUE(ctl(*window).im[size_t(i)]->isHidden());
        EXPECT_FALSE(ctl(*window).lbl_note[size_t(i)]->isEnabled());
    }
    expect_usable();
}

TEST_F(WindowTest, StartUpPutsEveryTabControlOnItsFirstTab)
{
    window = std::make_unique<frmBrowser>(Edition::enhanced());
    const std::initializer_list<QTabWidget*> tabs = {ctl(*window).SSTab_mgm, ctl(*window).SSTab2,        ctl(*window).SSTab3,
                                                     ctl(*window).SSTab4,    ctl(*window).SSTab5,        ctl(*window).SSTab_mgm_pic};
    for (QTabWidget* t : tabs)
        t->setCurrentIndex(1);
    window->Form_Load({});
    for (QTabWidget* t : tabs)
        EXPECT_EQ(t->currentIndex(), 0) << t->tabText(0).toStdString();
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 0);
}

TEST_F(WindowTest, TabChangesRewriteTheTabPanel)
{
    ctl(*window).SSTab_main->setTabEnabled(1, true);
    ctl(*window).SSTab_main->setCurrentIndex(2);
    EXPECT_EQ(window->tab_text(), "Loader");
    ctl(*window).SSTab_main->setCurrentIndex(1);
    EXPECT_EQ(window->tab_text(), "Search & Sort");
    ctl(*window).SSTab_main->setCurrentIndex(0);
    EXPECT_EQ(window->tab_text(), "Pictures & Movies");
}

TEST_F(WindowTest, EscSetsBothAbortFlagsWhateverRuns)
{
    QTest::keyClick(window.get(), Qt::Key_A);
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->session().busy().stop_requested(ui::StopRequest::Esc));
    EXPECT_TRUE(window->session().busy().stop_requested(ui::StopRequest::UpdateEsc));
    // So does a control put into the window later that takes Esc itself.
    window->session().busy().clear_stop_request(ui::StopRequest::Esc);
    QTest::keyClick(new QKeySequenceEdit(ctl(*window).SSTab_main->widget(2)), Qt::Key_Escape);
    EXPECT_TRUE(window->session().busy().stop_requested(ui::StopRequest::Esc));
}

TEST_F(WindowTest, OpenAndCloseRoundTrip)
{
    const QString path = make(13);
    open(path);
    ASSERT_TRUE(window->session().db_open());
    ASSERT_EQ(dialogs->count("open"), 1);
    EXPECT_EQ(dialogs->asked[0].text, "Select the database");
    EXPECT_EQ(dialogs->asked[0].title, "Mosswick catalogue (*.mdb)");
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_EQ(window->db_path(), path);
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Close DB");
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_EQ(window->session().db_folder(), dir.path() + "/");
    EXPECT_EQ(window->session().data_folder(), dir.path() + "/data/");
    EXPECT_EQ(window->session().picture_count(), 13);
    EXPECT_EQ(ctl(*window).Label27->text(), "13");
    EXPECT_EQ(ctl(*window).Text2->text(), QString::number(QFileInfo(path).size()));
    EXPECT_TRUE(ctl(*window).renumber_pages->isEnabled());
    EXPECT_TRUE(ctl(*window).Command1->isEnabled());
    EXPECT_TRUE(window->timing_text().isEmpty() || window->timing_text().endsWith(" ms"));
    expect_usable();

    ctl(*window).mnuDb->trigger();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "Database closed.");
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(1));
    EXPECT_TRUE(ctl(*window).Label27->text().isEmpty());
    EXPECT_TRUE(ctl(*window).Label29->text().isEmpty());
    EXPECT_TRUE(ctl(*window).Text2->text().isEmpty());
    EXPECT_FALSE(window->session().db_conn());
    EXPECT_TRUE(window->session().db_password().isEmpty());
    expect_usable();
}

TEST_F(WindowTest, CancelledOpenDialogChangesNothingButTheTitle)
{
    dialogs->files.push_back(QString());
    ctl(*window).mnuDb->trigger();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->windowTitle(), "Mosswick Database");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "&Open DB");
    expect_usable();
}

TEST_F(WindowTest, WrongPasswordThenRightPassword)
{
    const QString path = make(2, spec_of(store::Schema::Full, "secret"));
    dialogs->passwords = {"wrong", "secret"};
    open(path);
    EXPECT_EQ(dialogs->count("password"), 2);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->session().db_password(), "secret");
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_TRUE(tabs_have_focus(*window));   // opened by the menu: the tab control takes the focus
    ctl(*window).mnuDb->trigger();
    EXPECT_TRUE(window->session().db_password().isEmpty());
}

TEST_F(WindowTest, EscAtThePasswordPromptLeavesTheCatalogueClosed)
{
    const QString path = make(2, spec_of(store::Schema::Full, "secret"));
    dialogs->passwords = {""};
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_TRUE(window->session().db_password().isEmpty());
    EXPECT_FALSE(window->session().db_conn());
    expect_usable();
}

TEST_F(WindowTest, EncryptedWithoutPasswordOpensWithoutAPrompt)
{
    CatalogueSpec spec;
    spec.protection.encrypt = true;
    open(make(3, spec));
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 0);
}

namespace {

// A catalogue of an older version, by the columns it has beyond the light
// five, opened with the given answer ready for a question.
struct UpgradeCase {
    const char* name;
    QStringList extra_columns;
    ui::Answer answer;
    QString question;   // none asked when empty
    int columns_after;  // 9 once upgraded
};

void PrintTo(const UpgradeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Upgrade : public WindowTest, public ::testing::WithParamInterface<UpgradeCase> {};

const QString k_old_question = QStringLiteral("Detected an old version of database file, update it?");
const QString k_22_question = QStringLiteral("Detected a 2.2 version of database file, update it?");
const QStringList k_22_columns = {QStringLiteral("reference VARCHAR(255)"), QStringLiteral("addnote TEXT")};

} // namespace

TEST_P(Upgrade, TheOpenAsksByColumnCountAndUpgradesOnYesAlone)
{
    const UpgradeCase& c = GetParam();
    const QString path = make(4, spec_of(store::Schema::Light));
    add_columns(path, c.extra_columns);
    dialogs->answers = {c.answer};
    open(path);
    if (c.question.isEmpty()) {
        EXPECT_EQ(dialogs->count("message"), 0);
    } else {
        EXPECT_EQ(dialogs->messages().value(0), c.question);
        EXPECT_EQ(dialogs->asked[1].title, "Mosswick Zudidudi - Confirmation");
    }
    if (c.columns_after == 9) {
        ASSERT_TRUE(window->session().db_open());
        EXPECT_EQ(window->session().db_conn()->column_count(), 9);
        EXPECT_EQ(window->message_text(), "Database opened.");
    } else {
        // Refused: the file stays as it was and nothing is open.
        EXPECT_FALSE(window->session().db_open());
        EXPECT_EQ(window->message_text(), "Update procedure not confirmed.");
        EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
        EXPECT_EQ(window->windowTitle(), "Mosswick Database");
        EXPECT_FALSE(window->session().db_conn());
        store::Error e;
        EXPECT_EQ(store::Connection::open(path, {}, e)->column_count(), c.columns_after);
    }
    expect_usable();
}

// Six columns are no version of the program: nothing is asked, and even a
// Yes at hand counts as No.
INSTANTIATE_TEST_SUITE_P(
    ByColumns, Upgrade,
    ::testing::Values(UpgradeCase{"FiveYes", {}, ui::Answer::Yes, k_old_question, 9},
                      UpgradeCase{"SevenYes", k_22_columns, ui::Answer::Yes, k_22_question, 9},
                      UpgradeCase{"FiveNo", {}, ui::Answer::No, k_old_question, 5},
                      UpgradeCase{"SevenNo", k_22_columns, ui::Answer::No, k_22_question, 7},
                      UpgradeCase{"SixAsksNothing", {k_22_columns[0]}, ui::Answer::Yes, {}, 6}),
    [](const ::testing::TestParamInfo<UpgradeCase>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, ATextTypedSevenColumnFileOfTheSqliteShellReachesTheUpgradeQuestion)
{
    const QString path = dir.file("shell.mdb");
    const QString sql = "CREATE TABLE demopicture (movfile TEXT, picfile TEXT, note TEXT, numpage INTEGER, numpic INTEGER, reference TEXT, addnote TEXT);\n"
                        "INSERT INTO demopicture VALUES (NULL, 'pic001.jpg', 'kept', 1, 1, 'r1', NULL);\n";
    const QString shell = QStandardPaths::findExecutable("sqlite3");
    if (!shell.isEmpty()) {
        QProcess p;
        p.start(shell, {path});
        ASSERT_TRUE(p.waitForStarted());
        p.write(sql.toUtf8());
        p.closeWriteChannel();
        ASSERT_TRUE(p.waitForFinished());
        ASSERT_EQ(p.exitCode(), 0);
    } else {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    dialogs->answers = {ui::Answer::Yes};
    open(path);
    ASSERT_TRUE(window->session().db_open()) << window->message_text().toStdString();
    EXPECT_TRUE(dialogs->messages().contains("Detected a 2.2 version of database file, update it?"));
    EXPECT_EQ(window->session().db_conn()->column_count(), 9);
    store::Error e;
    const auto row = window->session().db_conn()->find_row(1, e);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value(store::col_note).toString(), "kept");
    EXPECT_EQ(row->value(store::col_reference).toString(), "r1");
    EXPECT_TRUE(window->session().db_conn()->has_index("UniqueKey"));
}

TEST_F(WindowTest, ReadOnlyCatalogueOpensForViewingOnly)
{
    const QString path = make(8);
    const ReadOnlyFile read_only(path);
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(ctl(*window).SSTab_main->isTabEnabled(2));
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(1));
    for (QWidget* w : std::initializer_list<QWidget*>{ctl(*window).renumber_pages, ctl(*window).exchange_picture,
                                                      ctl(*window).insert_picture, ctl(*window).delete_page,
                                                      ctl(*window).delete_picture, ctl(*window).Command1, ctl(*window).Text35,
                                                      ctl(*window).Opt_delete_page, ctl(*window).Opt_exchange})
        EXPECT_FALSE(w->isEnabled());

    // The password change is refused and the catalogue stays open.
    ctl(*window).Command1->click();
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_TRUE(window->session().db_open());
}

TEST_F(WindowTest, ReadOnlyOldFileIsNotUpgraded)
{
    const QString path = make(2, spec_of(store::Schema::Light));
    const ReadOnlyFile read_only(path);
    open(path);
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), "The database is an old file, cannot upgrade a Read-Only database.");
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_EQ(dialogs->count("message"), 0);
}

TEST_F(WindowTest, ForeignFilesAreRefusedWithAClearMessage)
{
    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    open(dir.write("old.mdb", jet));
    EXPECT_FALSE(window->session().db_open());
    // Refusals of the file's format carry no engine error number.
    EXPECT_EQ(window->message_text(), dir.file("old.mdb") + " is an Access 97 (Jet 3) database; only Access "
                                                            "catalogues of the Jet 4.0 format can be converted.");
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    EXPECT_EQ(dialogs->count("password"), 0);
    expect_usable();

    open(dir.write("garbage.mdb", QByteArray("hello world, not a database\n").repeated(100)));
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->message_text(), dir.file("garbage.mdb") + " is not a Mosswick catalogue (not an SQLite database file).");
    EXPECT_EQ(dialogs->count("password"), 0);
    EXPECT_FALSE(window->session().db_conn());
    expect_usable();

    // The window still opens a good catalogue afterwards.
    open(make(1));
    EXPECT_TRUE(window->session().db_open());
}

namespace {
struct PageCase {
    int pictures;
    QString pages;
    int slider_max;
};
} // namespace

TEST_F(WindowTest, PageArithmeticAfterOpen)
{
    for (const PageCase& c : {PageCase{6, "1", 10}, PageCase{7, "2", 2}, PageCase{12, "2", 2}, PageCase{13, "3", 3}}) {
        CatalogueSpec spec;
        spec.name = QStringLiteral("c%1.mdb").arg(c.pictures);
        open(make(c.pictures, spec));
        ASSERT_TRUE(window->session().db_open());
        EXPECT_EQ(ctl(*window).Label29->text(), c.pages) << c.pictures;
        EXPECT_EQ(ctl(*window).Slider1->maximum(), c.slider_max) << c.pictures;
        EXPECT_EQ(ctl(*window).Label3->text(), "1");
        EXPECT_EQ(window->session().current_page(), 1);
        ctl(*window).mnuDb->trigger();
    }
}

TEST_F(WindowTest, SliderTicksStopAbove495Pages)
{
    CatalogueSpec spec;
    spec.name = "a.mdb";
    open(make(495 * 6, spec));
    EXPECT_EQ(ctl(*window).Slider1->maximum(), 495);
    EXPECT_EQ(ctl(*window).Slider1->tickInterval(), 1);
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::TicksBelow);
    ctl(*window).mnuDb->trigger();
    spec.name = "b.mdb";
    const QString longer = make(495 * 6 + 1, spec);
    open(longer);
    EXPECT_EQ(ctl(*window).Slider1->maximum(), 496);
    // An interval of 0 still draws the slider's default ticks: none are drawn.
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::NoTicks);
    ctl(*window).mnuDb->trigger();
    open(dir.path() + "/a.mdb");
    EXPECT_EQ(ctl(*window).Slider1->tickPosition(), QSlider::TicksBelow);
}

TEST_F(WindowTest, EmptyCatalogueShowsNoPage)
{
    open(make(0));
    ASSERT_TRUE(window->session().db_open());
    EXPECT_FALSE(ctl(*window).Label3->isEnabled());
    EXPECT_FALSE(ctl(*window).renumber_pages->isEnabled());
    EXPECT_TRUE(ctl(*window).Label27->text().isEmpty());
    EXPECT_TRUE(ctl(*window).Command1->isEnabled());
    EXPECT_EQ(ctl(*window).SSTab_main->currentIndex(), 2);
}

TEST_F(WindowTest, RefreshNeedsACatalogueAndRedrawsPageOne)
{
    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(window->message_text(), "Open a database first.");
    open(make(13));
    window->session().move_to_page(3);
    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(window->message_text(), "Database refreshed.");
    EXPECT_EQ(window->session().current_page(), 1);
    expect_usable();
}

TEST_F(WindowTest, CreateDatabaseMakesNewMdbAndRefusesAnExistingOne)
{
    ctl(*window).Create_database->click();
    EXPECT_EQ(window->message_text(), "Database created.");
    const QString path = dir.file("new.mdb");
    store::Error e;
    auto c = store::Connection::open(path, {}, e);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->column_count(), 9);
    c.reset();
    const QByteArray before = testsupport::read_all(path);

    ctl(*window).Create_database->click();
    EXPECT_TRUE(window->message_text().startsWith("Error 58 - ")) << window->message_text().toStdString();
    EXPECT_EQ(testsupport::read_all(path), before);
    EXPECT_TRUE(ctl(*window).Create_database->isEnabled());
    expect_usable();
}

TEST_F(WindowTest, CreateDatabaseWithTheDefaultPassword)
{
    ctl(*window).Check1->setChecked(true);
    ctl(*window).Create_database->click();
    store::Error e;
    EXPECT_FALSE(store::Connection::open(dir.file("new.mdb"), {}, e));
    EXPECT_EQ(e.kind, store::ErrorKind::WrongPassword);
    EXPECT_TRUE(store::Connection::open(dir.file("new.mdb"), "qmvrtzo", e));
}

TEST_F(WindowTest, PasswordChangeRoundTrip)
{
    const QString path = make(3, spec_of(store::Schema::Full, "old"));
    dialogs->passwords = {"old"};
    open(path);
    ASSERT_TRUE(window->session().db_open());

    change_password(*window, "new");
    EXPECT_EQ(window->message_text(), "Database password changed.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(window->windowTitle(), "Mosswick database");
    EXPECT_FALSE(QFile::exists(dir.file("NewCmpctDB.mdb")));
    expect_usable();

    // The old password is tried first and refused; the prompt takes the new one.
    dialogs->passwords = {"new"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 2);
    EXPECT_EQ(window->session().picture_count(), 3);
}

TEST_F(WindowTest, PasswordChangeNeedsMatchingBoxes)
{
    open(make(1));
    change_password(*window, "a", "b");
    EXPECT_TRUE(dialogs->messages().contains("Database password are not equals. Re-Enter."));
    EXPECT_TRUE(window->session().db_open());
    EXPECT_TRUE(ctl(*window).Command1->isEnabled());
    expect_usable();
}

TEST_F(WindowTest, FailedPasswordChangeKeepsTheOldFile)
{
    const QString path = make(2);
    // Something that cannot be replaced stands where the temporary file goes.
    QDir(dir.path()).mkdir("NewCmpctDB.mdb");
    QFile(dir.file("NewCmpctDB.mdb/keep")).open(QIODevice::WriteOnly);
    const QByteArray before = testsupport::read_all(path);
    open(path);
    change_password(*window, "x");
    EXPECT_TRUE(window->message_text().startsWith("Error ")) << window->message_text().toStdString();
    EXPECT_NE(window->message_text(), "Database password changed.");
    EXPECT_EQ(testsupport::read_all(path), before);
    store::Error e;
    EXPECT_TRUE(store::Connection::open(path, {}, e));
    expect_usable();
}

TEST_F(WindowTest, RenumberModeRenumbersByFileNameAndShowsNothing)
{
    const QString path = make(8);
    {
        // Scramble the numbers so that the renumbering has work to do.
        store::Error e;
        auto c = store::Connection::open(path, {}, e);
        ASSERT_TRUE(c->exec("UPDATE demopicture SET numpic = numpic + 100, numpage = 9").ok());
    }
    ctl(*window).mnuDbRnm->trigger();
    EXPECT_TRUE(ctl(*window).mnuDbRnm->isChecked());
    open(path);
    EXPECT_EQ(dialogs->asked[0].text, "Select the database for pages renumbering.");
    EXPECT_EQ(window->message_text(), "Database pages renumbered.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(window->session().db_conn());
    EXPECT_EQ(ctl(*window).mnuDb->text(), "Open DB");
    expect_usable();

    store::Error e;
    auto c = store::Connection::open(path, {}, e);
    auto row = c->find_row(7, e);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value(store::col_picfile).toString(), testsupport::picture_name(7));
    EXPECT_EQ(row->value(store::col_numpage).toInt(), 2);
}

TEST_F(WindowTest, CommandLineWithAndWithoutQuotes)
{
    const QString path = make(2);
    start(Edition::enhanced(), "\"" + path + "\"");
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_FALSE(tabs_have_focus(*window));   // the focus stays where the program put it
    EXPECT_EQ(dialogs->count("open"), 0);

    start(Edition::enhanced(), path);
    EXPECT_TRUE(window->session().db_open());

    start(Edition::enhanced(), "\"" + dir.file("missing.mdb") + "\"");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(dialogs->count("open"), 0);
    // Nothing of it is left for the next opening: Open DB asks for a file.
    dialogs->files.push_back(QString());
    ctl(*window).mnuDb->trigger();
    EXPECT_EQ(dialogs->count("open"), 1);
}

TEST_F(WindowTest, CommandLineRelativePathIsMadeAbsolute)
{
    const QString path = make(1);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    start(Edition::enhanced(), QFileInfo(path).fileName());
    QDir::setCurrent(cwd);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(window->db_path(), path);
}

TEST_F(WindowTest, ExitIsRefusedWhileBusyAndClosesTheCatalogueOtherwise)
{
    open(make(1));
    window->show();
    {
        ui::BusyLock lock(window->busy_state());
        const ui::StopOffer stops(window->busy_state(), {.esc = true, .progress_bar = true});
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->message_text(),
                  "Busy: stop the running action first (Esc, or a click on the progress bar), then exit.");
        // The action's own message waits behind the reason until it ends.
        window->set_message(QStringLiteral("Action done."));
        ctl(*window).Command3->click();
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->message_text().startsWith("Busy: stop the running action first"));
    }
    EXPECT_EQ(window->message_text(), "Action done.");
    ctl(*window).mnuFileExit->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->session().db_conn());
}

TEST_F(WindowTest, AboutBoxIsOneWindowAndItsScreenshotOpensZoomWindows)
{
    window->show();
    ctl(*window).mnuAbout->trigger();
    auto boxes = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == "frmAbout" && w->isVisible();
        return n;
    };
    EXPECT_EQ(boxes(), 1);
    ctl(*window).mnuAbout->trigger();
    EXPECT_EQ(boxes(), 1);
    frmAbout* about = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* a = qobject_cast<frmAbout*>(w))
            about = a;
    ASSERT_TRUE(about);
    EXPECT_EQ(about->windowTitle(), "About Mosswick Database");
    EXPECT_FALSE(about->screenshot().isNull());
    // The labels name what the program is really made of.
    EXPECT_FALSE(about->Label7->text().contains("Access"));

    emit about->screenshot_clicked();
    QPointer<frmZoom> first = testsupport::last_zoom();
    emit about->screenshot_clicked();
    QPointer<frmZoom> second = testsupport::last_zoom();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->windowTitle().endsWith("The Screenshot.")) << first->windowTitle().toStdString();
    about->close();
    EXPECT_TRUE(second->isVisible());
    first->close();
    second->close();
}

TEST_F(WindowTest, PasswordChangeToNoneAndToEncryptOnly)
{
    const QString path = make(2, spec_of(store::Schema::Full, "old"));
    dialogs->passwords = {"old"};
    open(path);
    ASSERT_TRUE(window->session().db_open());
    // Two empty boxes: no password, a plain file.
    ctl(*window).Command1->click();
    EXPECT_EQ(window->message_text(), "Database password changed.");
    EXPECT_EQ(testsupport::read_all(path).left(16), QByteArray("SQLite format 3\0", 16));

    open(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 1);
    // Encrypt without a password: scrambled, and still no prompt.
    ctl(*window).Check4->setChecked(true);
    ctl(*window).Command1->click();
    EXPECT_EQ(window->message_text(), "Database password changed.");
    EXPECT_NE(testsupport::read_all(path).left(16), QByteArray("SQLite format 3\0", 16));
    open(path);
    EXPECT_TRUE(window->session().db_open());
    EXPECT_EQ(dialogs->count("password"), 1);
}

TEST_F(WindowTest, ACatalogueNamedLikeTheTemporaryFileSurvivesAPasswordChange)
{
    CatalogueSpec spec;
    spec.name = "NewCmpctDB.mdb";
    const QString path = make(3, spec);
    open(path);
    change_password(*window, "pw");
    EXPECT_EQ(window->message_text(), "Database password changed.");
    store::Error e;
    auto c = store::Connection::open(path, "pw", e);
    ASSERT_TRUE(c) << e.text.toStdString();
    EXPECT_EQ(c->record_count(e), 3);
}

TEST_F(WindowTest, RenumberModeOnAReadOnlyCatalogueRenumbersNothing)
{
    const QString path = make(3);
    const ReadOnlyFile read_only(path);
    ctl(*window).mnuDbRnm->trigger();
    open(path);
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
    EXPECT_FALSE(window->session().db_open());
    EXPECT_FALSE(window->session().db_conn());
}

TEST_F(WindowTest, ALongMessageKeepsItsReasonAndTheWholeTextIsInTheTooltip)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QSize size = window->size();
    const QString deep = "/home/user/" + QString("folder/").repeated(30) + "cat.mdb";
    const QString text = "Error 26 - " + deep + " was refused: it holds a trigger.";
    window->set_message(text);
    auto* panel = window->findChild<QLabel*>("message_panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(window->message_text(), text);
    EXPECT_NE(panel->text(), text);
    EXPECT_TRUE(panel->text().startsWith("Error 26 - /home")) << panel->text().toStdString();
    EXPECT_TRUE(panel->text().endsWith("/cat.mdb was refused: it holds a trigger.")) << panel->text().toStdString();
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
    EXPECT_EQ(window->message_tip(), text);
    // The panel does not grow with its text.
    EXPECT_EQ(window->size(), size);
    // A message that fits shows as it is, with no tooltip.
    window->set_message("Database opened.");
    EXPECT_EQ(panel->text(), "Database opened.");
    EXPECT_TRUE(window->message_tip().isEmpty());
}

// In either window at its design width (1280 pixels) and at its narrowest,
// a long message gives up its path, never a word; at 1280 its reason reads
// whole.
TEST_F(WindowTest, LongMessagesKeepTheirWordsAtTheDesignAndTheNarrowestWidth)
{
    for (const Edition& edition : {Edition::enhanced(), Edition::light()}) {
        start(edition);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        auto* panel = window->findChild<QLabel*>("message_panel");
        ASSERT_NE(panel, nullptr);
        for (const int width : {1280, window->minimumSizeHint().width()}) {
            window->resize(width, window->height());
            QCoreApplication::processEvents();
            ASSERT_EQ(window->width(), width);
            for (const testsupport::LongMessage& m : testsupport::k_long_messages) {
                SCOPED_TRACE(QStringLiteral("%1 px: %2").arg(width).arg(m.text).toStdString());
                window->set_message(m.text);
                const QString shown = panel->text();
                EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->contentsRect().width());
                EXPECT_TRUE(shown.startsWith(m.text.left(m.text.indexOf(u'/')))) << shown.toStdString();
                EXPECT_TRUE(testsupport::cut_words(shown, m.text).isEmpty()) << shown.toStdString();
                if (width == 1280) {
                    EXPECT_TRUE(shown.contains(m.reason)) << shown.toStdString();
                }
                EXPECT_EQ(window->message_tip(), m.text);
            }
        }
    }
}

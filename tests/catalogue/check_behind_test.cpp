// The integrity check behind the shown page: the catalogue opens at once,
// nothing writes to it until the check of the whole file has passed.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "maintenance/maintenance_tab.h"
#include "support/window_fixture.h"

#include "platform/store/checked_files.h"
#include "platform/store/connection.h"
#include "platform/store/sqlite.h"

#include <QDateTime>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <memory>

using namespace mosswick;

namespace {

// Holds the window's check on its thread until released (or stopped), so
// that a test sees the catalogue while the check runs.
class Gate {
public:
    void release() { m_open->store(true); }
    store::BackgroundIntegrityCheck::Opener opener(const QString& path) const
    {
        return [open = m_open, path](store::Error& e, const std::function<bool()>& stopping) {
            while (!open->load() && !stopping())
                QThread::msleep(1);
            auto conn = store::Connection::open(path, {}, e);
            if (conn && (e = conn->exec(QStringLiteral("PRAGMA query_only = 1"))))
                conn.reset();
            return conn;
        };
    }

private:
    // Shared with the check's thread, which may outlive the test's scope.
    std::shared_ptr<std::atomic<bool>> m_open = std::make_shared<std::atomic<bool>>(false);
};

qint64 rows_in(const QString& path)
{
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    return conn ? conn->record_count(e) : -1;
}

class CheckBehindTest : public WindowTest {
protected:
    // Opens with the check held at its start.
    void open_held(const QString& path)
    {
        catalogue_file(*window).open_check_connection = gate.opener(path);
        open_unchecked(path);
        ASSERT_TRUE(window->session().db_open());
        ASSERT_TRUE(window->integrity_check_running());
    }

    std::vector<QWidget*> writers() const
    {
        return {ctl(*window).renumber_pages, ctl(*window).exchange_picture, ctl(*window).insert_picture, ctl(*window).delete_page,
                ctl(*window).delete_picture, ctl(*window).Command1, ctl(*window).Text15, ctl(*window).Opt_delete_picture,
                ctl(*window).Opt_exchange};
    }

    // Open, and writable or held Read-Only with every writer disabled.
    void expect_writable(bool writable = true) const
    {
        EXPECT_TRUE(window->session().db_open());
        EXPECT_EQ(window->session().db_read_only(), !writable);
        EXPECT_EQ(ctl(*window).SSTab_main->isTabEnabled(2), writable);
        for (QWidget* w : writers()) {
            if (w) {   // the light edition has no password change
                EXPECT_EQ(w->isEnabled(), writable) << w->objectName().toStdString();
            }
        }
    }
    void expect_held() const { expect_writable(false); }

    // Deletes picture 1 on the maintenance tab; forced as if its button had
    // been left enabled.
    void delete_first_picture(bool forced = false) const
    {
        ctl(*window).Text15->setText("1");
        if (forced)
            ctl(*window).delete_picture->setEnabled(true);
        ctl(*window).delete_picture->click();
    }

    void close_catalogue()
    {
        ctl(*window).mnuDb->trigger();
        ASSERT_FALSE(window->session().db_open());
    }

    void expect_damaged_message() const
    {
        EXPECT_TRUE(window->message_text().startsWith("The catalogue is damaged (")) << window->message_text().toStdString();
    }

    Gate gate;
};

} // namespace

TEST_F(CheckBehindTest, WritesWaitForTheCheckAndAreAllowedAfterIt)
{
    const QString path = make(20);
    open_held(path);
    // Page 1 is there at once and can be browsed and searched.
    EXPECT_EQ(window->message_text(), "Database opened.");
    EXPECT_EQ(testsupport::cells_shown(*window), 6);
    EXPECT_TRUE(ctl(*window).check_progress->isVisibleTo(window.get()));
    EXPECT_TRUE(ctl(*window).SSTab_main->isTabEnabled(1));
    ASSERT_TRUE(ctl(*window).go_right->isEnabled());
    ctl(*window).go_right->click();
    EXPECT_EQ(window->session().current_page(), 2);
    expect_held();
    expect_usable();

    // Nothing writes: not a button left enabled, not the connection.
    delete_first_picture(true);
    EXPECT_FALSE(window->session().db_conn()->exec("UPDATE demopicture SET note = 'x' WHERE numpic = 1").ok());
    EXPECT_EQ(rows_in(path), 20);
    // An edit asks to wait, until the check has passed.
    testsupport::click_cell(*window, 1);
    EXPECT_TRUE(testsupport::type_keypad(*window, '1'));
    EXPECT_EQ(window->message_text(), "Checking the catalogue, please wait...");
    EXPECT_FALSE(testsupport::note_editor(*window));

    gate.release();
    ASSERT_TRUE(wait_for_integrity_check(*window));
    EXPECT_EQ(window->message_text(), "");
    expect_writable();
    EXPECT_FALSE(ctl(*window).check_progress->isVisibleTo(window.get()));
    delete_first_picture();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    EXPECT_EQ(rows_in(path), 19);
}

TEST_F(CheckBehindTest, AnEngineThatKeepsRefusingWritesLeavesTheCatalogueReadOnly)
{
    const QString path = make(20);
    open_held(path);
    // The engine will not let the connection write again.
    sqlite3* db = window->session().db_conn()->handle();
    sqlite3_set_authorizer(
        db,
        [](void*, int action, const char* name, const char* value, const char*, const char*) {
            const bool lifts_the_hold = action == SQLITE_PRAGMA && qstrcmp(name, "query_only") == 0 && value &&
                                        qstrcmp(value, "0") == 0;
            return lifts_the_hold ? SQLITE_DENY : SQLITE_OK;
        },
        nullptr);
    gate.release();
    ASSERT_TRUE(wait_for_integrity_check(*window));
    EXPECT_TRUE(window->message_text().startsWith("The catalogue was checked but could not be opened for changes (Error "))
        << window->message_text().toStdString();
    EXPECT_TRUE(window->message_text().endsWith("It stays open Read-Only until it is opened again."));
    expect_held();
    expect_usable();
    delete_first_picture(true);
    EXPECT_EQ(rows_in(path), 20);
    sqlite3_set_authorizer(db, nullptr, nullptr);
}

TEST_F(CheckBehindTest, ADamagedCatalogueStaysOpenReadOnlyWithItsMessage)
{
    const QString path = make(300);
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    const QByteArray before = testsupport::read_all(path);
    // The check runs while page 1 says its pictures are missing; a verdict
    // that comes meanwhile waits for the opening's own message.
    bool checking_at_the_box = false;
    dialogs->on_message = [&](const QString&) {
        checking_at_the_box = window->integrity_check_running();
        QTest::qWait(100);
    };
    open_unchecked(path);
    ASSERT_TRUE(window->session().db_open());
    EXPECT_TRUE(checking_at_the_box);
    EXPECT_EQ(window->message_text(), "Database opened.");
    ASSERT_TRUE(wait_for_integrity_check(*window));
    EXPECT_TRUE(window->session().db_open());
    expect_damaged_message();
    EXPECT_TRUE(window->message_text().contains("nothing was written")) << window->message_text().toStdString();
    expect_held();
    // Still browsed as it is.
    EXPECT_EQ(testsupport::cells_shown(*window), 6);
    delete_first_picture(true);
    EXPECT_EQ(testsupport::read_all(path), before);
}

TEST_F(CheckBehindTest, EscOrAClickOnTheBarStopsTheCheckAndKeepsItReadOnly)
{
    const QString path = make(14);
    for (const bool by_click : {false, true}) {
        open_held(path);
        if (by_click)
            QTest::mouseClick(ctl(*window).check_progress, Qt::LeftButton);
        else
            QTest::keyClick(window.get(), Qt::Key_Escape);
        ASSERT_TRUE(wait_for_integrity_check(*window));
        EXPECT_EQ(window->message_text(), "Catalogue check stopped: the database stays Read-Only until it is opened again.");
        expect_held();
        EXPECT_FALSE(ctl(*window).check_progress->isVisibleTo(window.get()));
        close_catalogue();
    }
    // The next opening checks again and allows writes.
    catalogue_file(*window).open_check_connection = nullptr;
    open(path);
    EXPECT_FALSE(window->session().db_read_only());
    EXPECT_TRUE(ctl(*window).delete_picture->isEnabled());
}

TEST_F(CheckBehindTest, ClosingOrOpeningAnotherCatalogueStopsARunningCheck)
{
    const QString first = make(14);
    open_held(first);
    close_catalogue();   // while the check is held
    EXPECT_FALSE(window->integrity_check_running());
    EXPECT_EQ(window->message_text(), "Database closed.");
    expect_usable();

    // Opened again, then another catalogue instead: its own check runs.
    open_held(first);
    ctl(*window).mnuDb->trigger();
    const QString second = make(7, {.protection = {}, .name = QStringLiteral("second.mdb")});
    catalogue_file(*window).open_check_connection = nullptr;
    open(second);
    EXPECT_EQ(window->db_path(), second);
    EXPECT_TRUE(ctl(*window).delete_picture->isEnabled());

    // Closing the window itself while a check is held ends it too.
    ctl(*window).mnuDb->trigger();
    open_held(first);
    window->close();
    EXPECT_FALSE(window->integrity_check_running());
    EXPECT_FALSE(window->session().db_conn());
}

TEST_F(CheckBehindTest, AFileRenamedOverTheCatalogueBeforeTheCheckIsNeverTakenForIt)
{
    const QString path = make(20);
    const QString other = make(8, {.protection = {}, .name = QStringLiteral("other.mdb")});
    open_held(path);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
    gate.release();
    ASSERT_TRUE(wait_for_integrity_check(*window));
    EXPECT_EQ(window->message_text(), "The catalogue file was replaced or moved away after it was opened: it stays "
                                      "open Read-Only. Open it again to use the file now under its name.");
    expect_held();
    expect_usable();
}

TEST_F(CheckBehindTest, TheLightEditionWaitsForTheCheckToo)
{
    start(Edition::light());
    const QString path = make(9, {.schema = store::Schema::Light, .protection = {}});
    open_held(path);
    expect_held();
    EXPECT_FALSE(ctl(*window).compact_database->isEnabled());
    gate.release();
    ASSERT_TRUE(wait_for_integrity_check(*window));
    EXPECT_FALSE(window->session().db_read_only());
    EXPECT_TRUE(ctl(*window).delete_picture->isEnabled());
    EXPECT_TRUE(ctl(*window).compact_database->isEnabled());
}

TEST_F(CheckBehindTest, AnOpeningThatWritesAtOnceChecksTheFileFirst)
{
    const QString path = make(300);
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    // Renumber mode writes at once: a damaged file is not renumbered.
    const QByteArray before = testsupport::read_all(path);
    ctl(*window).mnuDbRnm->setChecked(true);
    open_unchecked(path);
    expect_damaged_message();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(testsupport::read_all(path), before);
    expect_usable();
}

TEST_F(CheckBehindTest, AnUpgradeChecksTheWholeFileBeforeItWrites)
{
    const QString path = make(300, {.schema = store::Schema::Light, .protection = {}});
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    const QByteArray before = testsupport::read_all(path);
    dialogs->answers.push_back(ui::Answer::Yes);
    open_unchecked(path);
    ASSERT_EQ(dialogs->count("message"), 1);
    expect_damaged_message();
    EXPECT_FALSE(window->session().db_open());
    EXPECT_EQ(testsupport::read_all(path), before);
    expect_usable();
}

// ---- a catalogue found sound and unchanged since opens for writing at once --

namespace {

// True when the record (in the tests' own settings folder) holds the
// catalogue in the state it is in now.
bool recorded(const QString& path)
{
    const std::optional<store::FileState> now = store::file_state(path);
    return now && store::CheckedCatalogues().unchanged(path, *now);
}

// Another program writes into the file without the engine, once the clock
// has moved on: the byte it held, so that only the file's times show it.
void write_behind_the_engine(const QString& path)
{
    ASSERT_TRUE(store::later_changes_show(store::file_state(path).value()));
    QFile f(path);
    char byte = 0;
    ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.seek(8209) && f.getChar(&byte) && f.seek(8209) && f.putChar(byte));
}

// The file's modification time set that many seconds from now.
void touch(const QString& path, int seconds)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime));
}

// Another program's connection gives picture 3 that note.
void write_elsewhere(const QString& path, const char* note)
{
    store::Error e;
    auto other = store::Connection::open(path, {}, e);
    ASSERT_TRUE(other) << e.text.toStdString();
    ASSERT_FALSE(other->exec(QStringLiteral("UPDATE demopicture SET note = '%1' WHERE numpic = 3").arg(QLatin1String(note))));
}

class RecordedCatalogue : public CheckBehindTest, public ::testing::WithParamInterface<bool> {
protected:
    bool light() const { return GetParam(); }
    void SetUp() override
    {
        if (light())
            start(Edition::light());
        else
            CheckBehindTest::SetUp();
    }
    QString make_here(int pictures) { return make(pictures, {.schema = light() ? store::Schema::Light : store::Schema::Full, .protection = {}}); }
    // Opened with its check held: true when a check ran at all.
    bool opened_with_check(const QString& path)
    {
        Gate held;
        catalogue_file(*window).open_check_connection = held.opener(path);
        open_unchecked(path);
        const bool checking = window->integrity_check_running();
        held.release();
        EXPECT_TRUE(wait_for_integrity_check(*window));
        catalogue_file(*window).open_check_connection = nullptr;
        return checking;
    }
};

} // namespace

TEST_P(RecordedCatalogue, ReopenedAfterACleanCloseItIsWritableWithoutACheck)
{
    const QString path = make_here(20);
    EXPECT_TRUE(opened_with_check(path));
    expect_writable();
    // Open for writing, it has no entry: were the program killed now, the
    // next opening would check it.
    EXPECT_FALSE(recorded(path));
    delete_first_picture();
    ASSERT_EQ(window->message_text(), "Picture deleted.");
    close_catalogue();
    // Recorded as the last write and the close left it.
    EXPECT_TRUE(recorded(path));

    open_unchecked(path);
    EXPECT_FALSE(window->integrity_check_running());
    EXPECT_FALSE(ctl(*window).check_progress && ctl(*window).check_progress->isVisibleTo(window.get()));
    EXPECT_EQ(window->message_text(), "Database opened.");
    expect_writable();
    EXPECT_FALSE(recorded(path));
    delete_first_picture();
    EXPECT_EQ(window->message_text(), "Picture deleted.");
    EXPECT_EQ(rows_in(path), 18);
    expect_usable();

    // The light edition shares the record (it opens full catalogues as they are).
    if (!light()) {
        close_catalogue();
        start(Edition::light());
        EXPECT_FALSE(opened_with_check(path));
        expect_writable();
    }
}

TEST_P(RecordedCatalogue, AnyOtherStateOfTheFileIsCheckedAgain)
{
    const QString path = make_here(14);
    ASSERT_TRUE(opened_with_check(path));
    close_catalogue();
    ASSERT_TRUE(recorded(path));

    // Touched by another program.
    touch(path, -60);
    EXPECT_TRUE(opened_with_check(path));
    close_catalogue();
    // Written by another program.
    write_elsewhere(path, "elsewhere");
    EXPECT_TRUE(opened_with_check(path));
    close_catalogue();
    // Replaced by a copy of itself, and copied elsewhere.
    ASSERT_TRUE(QFile::copy(path, path + ".copy"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(path + ".copy", path));
    EXPECT_TRUE(opened_with_check(path));
    close_catalogue();
    ASSERT_TRUE(QFile::copy(path, dir.file("elsewhere.mdb")));
    EXPECT_TRUE(opened_with_check(dir.file("elsewhere.mdb")));
    close_catalogue();

    // Written by another program while this one has it open: not recorded
    // at the close, whatever this one did.
    EXPECT_FALSE(opened_with_check(path));
    write_elsewhere(path, "theirs");
    close_catalogue();
    EXPECT_FALSE(recorded(path));
    EXPECT_TRUE(opened_with_check(path));
    close_catalogue();

    // A check stopped: nothing is recorded, the next opening checks.
    touch(path, -30);
    open_held(path);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(wait_for_integrity_check(*window));
    close_catalogue();
    EXPECT_FALSE(recorded(path));
    catalogue_file(*window).open_check_connection = nullptr;
    EXPECT_TRUE(opened_with_check(path));
}

TEST_P(RecordedCatalogue, ADamagedFileCannotPassByTheRecord)
{
    const QString path = make_here(300);
    ASSERT_TRUE(opened_with_check(path));
    close_catalogue();
    ASSERT_TRUE(recorded(path));
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    const QByteArray before = testsupport::read_all(path);
    open_unchecked(path);
    ASSERT_TRUE(wait_for_integrity_check(*window));
    expect_damaged_message();
    expect_held();
    close_catalogue();
    EXPECT_FALSE(recorded(path));
    EXPECT_EQ(testsupport::read_all(path), before);
}

TEST_P(RecordedCatalogue, AReadOnlyCatalogueIsRecordedWhenItsCheckPasses)
{
    const QString path = make_here(8);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_TRUE(opened_with_check(path));
    EXPECT_TRUE(window->session().db_read_only());
    // Nothing of this program can change it: recorded while it is open.
    EXPECT_TRUE(recorded(path));
    close_catalogue();
    EXPECT_FALSE(opened_with_check(path));
    EXPECT_EQ(window->message_text(), "The database is Read-Only.");
}

TEST_P(RecordedCatalogue, RenumberModeRenumbersARecordedCatalogueAtOnce)
{
    const QString path = make_here(13);
    ASSERT_TRUE(opened_with_check(path));
    ASSERT_FALSE(window->session().db_conn()->exec("UPDATE demopicture SET picfile = 'zz.jpg' WHERE numpic = 1"));
    close_catalogue();
    ASSERT_TRUE(recorded(path));
    ctl(*window).mnuDbRnm->setChecked(true);
    open_unchecked(path);
    EXPECT_FALSE(window->message_text().startsWith("Checking")) << window->message_text().toStdString();
    EXPECT_FALSE(window->session().db_open());
    // Renumbered by name, and recorded again as its own writes left it.
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    ASSERT_TRUE(conn);
    EXPECT_EQ(conn->scalar("SELECT picfile FROM demopicture WHERE numpic = 13", {}, e).toString(), "zz.jpg");
    conn.reset();
    EXPECT_TRUE(recorded(path));
}

TEST_P(RecordedCatalogue, OnlyAStateThisProgramLeftIsRecordedAtTheClose)
{
    const QString path = make_here(30);
    const struct {
        const char* writes;   // o: one of its own, t: one by another program
        bool recorded;
    } cases[] = {{"", true}, {"oo", true}, {"t", false}, {"ot", false}, {"to", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writes);
        opened_with_check(path);
        for (const char* w = c.writes; *w; ++w) {
            if (*w == 't') {
                write_behind_the_engine(path);
                continue;
            }
            delete_first_picture();
            ASSERT_EQ(window->message_text(), "Picture deleted.");
        }
        close_catalogue();
        EXPECT_EQ(recorded(path), c.recorded);
    }
}

INSTANTIATE_TEST_SUITE_P(Editions, RecordedCatalogue, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Light" : "Full"); });

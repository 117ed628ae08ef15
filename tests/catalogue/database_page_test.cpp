// The database page on its own: a session, a status bar and the page, no window.
#include "catalogue/database_page.h"
#include "core/loader_listing.h"
#include "core/status_line.h"

#include "platform/store/checked_files.h"
#include "platform/store/connection.h"
#include "support/catalogue_builder.h"
#include "support/scripted_access.h"
#include "support/scripted_dialogs.h"
#include "support/session_fixture.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace mosswick;

namespace {

// The loader's listing as the page reads it: the folder a test chose.
class FolderListing : public LoaderListing {
public:
    QString folder;
    QString listed_folder() const override { return folder; }
    LoaderLists lists() const override { return {}; }
};

class DatabasePageTest : public ::testing::Test {
protected:
    void start(const Edition& edition)
    {
        session = std::make_unique<CatalogueSession>(edition);
        status = new StatusLine(frame.statusBar());
        session->set_status(status);
        access = std::make_unique<testsupport::ScriptedAccess>(*session);
        page = new DatabasePage(*session, listing, *access, &frame);
        QObject::connect(page, &DatabasePage::catalogue_closed, [this] {
            closed++;
            session->close_catalogue();
        });
    }

    template <class T>
    T* control(const char* name) const
    {
        return page->findChild<T*>(QString::fromLatin1(name));
    }
    void click(const char* button) const { control<QPushButton>(button)->click(); }

    // The part asks before it copies: the catalogue is still its own file then.
    void expect_asked_before_the_copy(const QString& path)
    {
        access->on_request = [path, held = store::file_state(path)] {
            ASSERT_TRUE(held && store::file_state(path));
            EXPECT_TRUE(store::file_state(path)->same_file(*held));
        };
    }

    // Opens a catalogue in the session as the window would.
    void open(const QString& path, const QString& password = {}, bool read_only = false)
    {
        store::Error e;
        std::unique_ptr<store::Connection> conn = store::Connection::open(path, password, e);
        ASSERT_TRUE(conn) << e.text.toStdString();
        testsupport::open_in_session(*session, path, std::move(conn), password, read_only);
        page->enable_for_catalogue();
    }

    testsupport::TempDir dir;
    testsupport::ScopedScriptedDialogs dialogs;
    FolderListing listing;
    QMainWindow frame;
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<testsupport::ScriptedAccess> access;
    StatusLine* status = nullptr;
    DatabasePage* page = nullptr;
    int closed = 0;
};

TEST_F(DatabasePageTest, EachEditionBuildsOnlyItsOwnControls)
{
    start(Edition::enhanced());
    for (const char* name : {"Create_database", "Check1", "Check3", "Text35", "Text36", "Check4", "Command1"})
        EXPECT_NE(page->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_EQ(page->findChild<QWidget*>("compact_database"), nullptr);

    start(Edition::light());
    for (const char* name : {"Check1", "Check3", "Text35", "Text36", "Check4", "Command1"})
        EXPECT_EQ(page->findChild<QWidget*>(name), nullptr) << name;
    EXPECT_NE(page->findChild<QWidget*>("compact_database"), nullptr);
}

TEST_F(DatabasePageTest, NewPasswordBoxesTakeFourteenCharactersShownAsStars)
{
    start(Edition::enhanced());
    for (const char* name : {"Text35", "Text36"}) {
        auto* box = control<QLineEdit>(name);
        box->setEnabled(true);
        QTest::keyClicks(box, QStringLiteral("fourteen chars and more"));
        EXPECT_EQ(box->text(), "fourteen chars") << name;
        EXPECT_EQ(box->displayText(), QString(14, u'*')) << name;
    }
}

TEST_F(DatabasePageTest, CreatesNewMdbInTheListedFolderWithTheChosenProtection)
{
    start(Edition::enhanced());
    click("Create_database");
    EXPECT_EQ(status->message_text(), "Error 76 - Path not found: no folder is listed.");

    listing.folder = dir.path();
    control<QCheckBox>("Check1")->setChecked(true);
    click("Create_database");
    EXPECT_EQ(status->message_text(), "Database created.");
    store::Error e;
    EXPECT_FALSE(store::Connection::open(dir.file("new.mdb"), {}, e));
    EXPECT_TRUE(store::Connection::open(dir.file("new.mdb"), "qmvrtzo", e)) << e.text.toStdString();
    EXPECT_TRUE(control<QPushButton>("Create_database")->isEnabled());
    EXPECT_FALSE(session->busy().busy());
}

TEST_F(DatabasePageTest, ThePasswordChangeReleasesTheCatalogueAndLeavesItClosed)
{
    start(Edition::enhanced());
    const QString path = testsupport::make_catalogue(dir.path(), {.pictures = 3, .protection = {}});
    open(path);
    expect_asked_before_the_copy(path);
    EXPECT_TRUE(control<QPushButton>("Command1")->isEnabled());

    control<QLineEdit>("Text35")->setText("one");
    control<QLineEdit>("Text36")->setText("two");
    click("Command1");
    EXPECT_EQ(dialogs->messages(), QStringList({"Database password are not equals. Re-Enter."}));
    EXPECT_EQ(access->released + closed, 0);

    control<QLineEdit>("Text36")->setText("one");
    click("Command1");
    EXPECT_EQ(status->message_text(), "Database password changed.");
    EXPECT_EQ(access->released, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(control<QLineEdit>("Text35")->text().isEmpty());
    store::Error e;
    EXPECT_TRUE(store::Connection::open(path, "one", e)) << e.text.toStdString();
}

TEST_F(DatabasePageTest, ReadOnlyCataloguesOfferNothingThatWrites)
{
    start(Edition::light());
    const QString path = testsupport::make_catalogue(dir.path(), {.pictures = 2, .schema = store::Schema::Light, .protection = {}});
    open(path, {}, true);
    expect_asked_before_the_copy(path);
    EXPECT_FALSE(control<QPushButton>("compact_database")->isEnabled());
    page->reset();
    EXPECT_FALSE(control<QPushButton>("compact_database")->isEnabled());

    session->set_read_only(false);
    page->enable_for_catalogue();
    ASSERT_TRUE(control<QPushButton>("compact_database")->isEnabled());
    click("compact_database");
    EXPECT_EQ(access->closed, 1);
    EXPECT_EQ(status->message_text(), "Database compacted, now you can open the database.");
}

// A catalogue the window could not let go of is not copied: the page
// stops with its message, the file as it was.
TEST_F(DatabasePageTest, NothingIsCopiedWhileTheCatalogueIsHeld)
{
    for (const bool light : {false, true}) {
        const char* button = light ? "compact_database" : "Command1";
        SCOPED_TRACE(button);
        start(light ? Edition::light() : Edition::enhanced());
        const QString path =
            testsupport::make_catalogue(dir.path(), {.schema = light ? store::Schema::Light : store::Schema::Full, .protection = {}});
        open(path);
        expect_asked_before_the_copy(path);
        access->refuse = true;
        click(button);
        EXPECT_EQ(status->message_text(), "The catalogue could not be closed for its copy: nothing was changed.");
        EXPECT_EQ(access->released + access->closed, 1);
        EXPECT_TRUE(session->db_conn());
        EXPECT_TRUE(control<QPushButton>(button)->isEnabled());
        EXPECT_FALSE(session->busy().busy());
        access->on_request();   // still the catalogue's own file
        QFile::remove(path);
    }
}

} // namespace

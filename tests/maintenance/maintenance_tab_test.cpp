// The maintenance tab on its own: a session, a status bar and the tab, no
// main window. What it asks of the rest of the window goes through the
// loader's listing it is given and its signals only.
#include "core/catalogue_session.h"
#include "core/edition.h"
#include "core/status_line.h"
#include "maintenance/maintenance_tab.h"
#include "support/catalogue_builder.h"
#include "support/list_gestures.h"
#include "support/scripted_access.h"
#include "support/scripted_dialogs.h"
#include "support/session_fixture.h"
#include "support/test_support.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

using namespace mosswick;

namespace {

// The loader's lists as a test sets them; counts how often a pass asks.
class FakeListing : public LoaderListing {
public:
    QString listed_folder() const override { return lists_shown.picture_folder; }
    LoaderLists lists() const override
    {
        ++asked;
        return lists_shown;
    }

    LoaderLists lists_shown;
    mutable int asked = 0;
};

class MaintenanceTabAlone : public ::testing::Test {
protected:
    MaintenanceTabAlone()
    {
        session.set_status(&status);
        tab.reset();
    }

    // Opens a catalogue of picture rows pic001.jpg ... as the window would.
    void open_catalogue(int pictures)
    {
        testsupport::CatalogueSpec spec;
        spec.pictures = pictures;
        const QString path = testsupport::make_catalogue(dir.path(), spec);
        store::Error error;
        std::unique_ptr<store::Connection> conn = store::Connection::open(path, {}, error);
        ASSERT_TRUE(conn) << error.text.toStdString();
        testsupport::open_in_session(session, path, std::move(conn));
        ASSERT_EQ(session.picture_count(), pictures);
        tab.enable_for_catalogue();
    }

    template <class T>
    T* child(const char* name) const
    {
        T* control = tab.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QStringList items(const char* list) const { return testsupport::items(child<QListWidget>(list)); }

    static QList<bool> flags(const QSignalSpy& spy)
    {
        QList<bool> out;
        for (const QList<QVariant>& call : spy)
            out << call.at(0).toBool();
        return out;
    }

    testsupport::TempDir dir;
    testsupport::ScopedScriptedDialogs dialogs;
    QStatusBar bar;
    StatusLine status{&bar};
    CatalogueSession session{Edition::enhanced()};
    FakeListing listing;
    testsupport::ScriptedAccess access{session};
    MaintenanceTab tab{session, listing, access};
};

const char* const k_edit_controls[] = {"renumber_pages", "exchange_picture", "insert_picture", "delete_page",
                                       "delete_picture", "Text9", "Text11", "Txt_delpag", "Text20", "Text22",
                                       "Text15"};

TEST_F(MaintenanceTabAlone, OffersWhatTheOpenCatalogueAllows)
{
    for (const char* name : k_edit_controls)
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(child<QPushButton>("load_list")->isEnabled());
    EXPECT_FALSE(child<QTabWidget>("SSTab_mgm_pic")->isTabEnabled(1));

    // An empty catalogue: nothing to act on yet.
    session.file_opened();
    tab.enable_for_catalogue();
    EXPECT_FALSE(child<QPushButton>("load_list")->isEnabled());
    EXPECT_FALSE(child<QWidget>("delete_picture")->isEnabled());

    // Read-only: the grid and the verify pass, nothing that writes.
    session.set_picture_count(3);
    session.set_read_only(true);
    tab.enable_for_catalogue();
    EXPECT_TRUE(child<QPushButton>("load_list")->isEnabled());
    EXPECT_TRUE(child<QPushButton>("verify_loaded_pictures")->isEnabled());
    EXPECT_TRUE(child<QTabWidget>("SSTab_mgm_pic")->isTabEnabled(1));
    EXPECT_TRUE(child<QTabWidget>("SSTab_mgm_pic")->isTabEnabled(2));
    for (const char* name : k_edit_controls)
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(child<QRadioButton>("Opt_exchange")->isEnabled());

    session.set_read_only(false);
    tab.enable_for_catalogue();
    for (const char* name : k_edit_controls)
        EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QRadioButton>("Opt_delete_page")->isEnabled());

    // A pending single load holds the edits by number, and gives them back.
    tab.lock_edits(true);
    for (const char* name : k_edit_controls)
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>("load_list")->isEnabled());
    tab.lock_edits(false);
    for (const char* name : k_edit_controls)
        EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;

    child<QTabWidget>("SSTab_mgm_pic")->setCurrentIndex(2);
    tab.show_first_tabs();
    EXPECT_EQ(child<QTabWidget>("SSTab_mgm_pic")->currentIndex(), 0);
}

TEST_F(MaintenanceTabAlone, TellsWhichRuleEachBoxHolds)
{
    using ui::KeyFilter;
    const auto filter = [this](const QWidget* box) { return tab.paste_rule(box).filter; };
    EXPECT_EQ(filter(child<QLineEdit>("Text8")), KeyFilter::FileName);
    EXPECT_EQ(filter(child<QLineEdit>("Text28")), KeyFilter::FileName);
    EXPECT_EQ(filter(child<QLineEdit>("Txt_delpag")), KeyFilter::DigitsOrStar);
    for (const char* name : {"Text9", "Text11", "Text20", "Text22", "Text15"})
        EXPECT_EQ(filter(child<QLineEdit>(name)), KeyFilter::Digits) << name;
    EXPECT_EQ(tab.paste_rule(child<QLineEdit>("Text15")).message, "Characters supported 0 1 2 3 4 5 6 7 8 9");
    EXPECT_EQ(tab.paste_rule(child<QLineEdit>("Text8")).message, "Characters not supported \\ / * ? < > | \"");
    QLineEdit elsewhere;
    EXPECT_EQ(filter(&elsewhere), KeyFilter::None);
    EXPECT_EQ(filter(nullptr), KeyFilter::None);
}

TEST_F(MaintenanceTabAlone, ADeleteAnnouncesTheNewCount)
{
    open_catalogue(7);
    QSignalSpy counts(&session, &CatalogueSession::counts_changed);
    child<QLineEdit>("Text15")->setText("3");
    child<QPushButton>("delete_picture")->click();
    EXPECT_EQ(status.message_text(), "Picture deleted.");
    EXPECT_EQ(session.picture_count(), 6);
    EXPECT_EQ(counts.count(), 1);
    EXPECT_FALSE(session.busy().busy());
}

TEST_F(MaintenanceTabAlone, AnExchangeSaysWhenItRunsAndWhenItEnds)
{
    open_catalogue(4);
    QSignalSpy running(&tab, &MaintenanceTab::exchange_running);
    child<QLineEdit>("Text9")->setText("1");
    child<QLineEdit>("Text11")->setText("2");
    child<QPushButton>("exchange_picture")->click();
    EXPECT_EQ(status.message_text(), "Pictures exchanged.");
    EXPECT_EQ(flags(running), QList<bool>({true, false}));

    // A refused exchange ends too.
    running.clear();
    child<QLineEdit>("Text11")->setText("x");
    child<QPushButton>("exchange_picture")->click();
    EXPECT_EQ(flags(running), QList<bool>({true, false}));
}

TEST_F(MaintenanceTabAlone, TheRenumberButtonAsksForTheCatalogueToBeShownAgain)
{
    open_catalogue(3);
    access.on_request = [this] { EXPECT_FALSE(session.db_table_open()); };
    child<QPushButton>("renumber_pages")->click();
    EXPECT_EQ(access.reopened, 1);
    EXPECT_TRUE(session.db_table_open());
    EXPECT_EQ(status.message_text(), "Database pages renumbered.");
}

TEST_F(MaintenanceTabAlone, TheGridFillHoldsTheMainTabsWhileItRuns)
{
    open_catalogue(5);
    QSignalSpy tabs(&tab, &MaintenanceTab::main_tabs_enable_requested);
    child<QRadioButton>("Opt_insert")->setChecked(true);
    child<QPushButton>("load_list")->click();
    EXPECT_EQ(flags(tabs), QList<bool>({false, true}));
    EXPECT_EQ(child<QTableView>("mgm_pic")->model()->rowCount(), 5);
    EXPECT_FALSE(child<QTableView>("mgm_pic")->isHidden());
    // A grid filled afresh waits for an action to be chosen.
    EXPECT_FALSE(child<QRadioButton>("Opt_insert")->isChecked());
}

TEST_F(MaintenanceTabAlone, ThePassesRunOverTheListsTheLoaderHandsThem)
{
    open_catalogue(2);
    QSignalSpy update_button(&tab, &MaintenanceTab::update_button_enable_requested);
    // Without the loader's lists there is nothing to update.
    tab.update_pictures_Click();
    EXPECT_EQ(status.message_text(), "Update pictures, no picture(s) in the list.");
    EXPECT_EQ(flags(update_button), QList<bool>({false, true}));

    testsupport::TempDir listed;
    LoaderLists& lists = listing.lists_shown;
    lists.picture_folder = lists.files_folder = listed.path();
    lists.pictures = lists.all_files = QStringList({"extra.jpg", "pic001.jpg", "pic002.jpg"});
    listing.asked = 0;
    QSignalSpy tabs(&tab, &MaintenanceTab::main_tabs_enable_requested);
    child<QPushButton>("verify_loaded_pictures")->click();
    EXPECT_EQ(listing.asked, 1);
    EXPECT_EQ(items("List1"), QStringList({"extra.jpg"}));
    EXPECT_EQ(flags(tabs), QList<bool>({true}));

    // The update's summary waits for the catalogue shown again; a reading that failed said why.
    QDir().mkpath(dir.file("data"));
    access.refuse = true;
    access.on_request = [this] { status.set_message("Shown no more."); };
    tab.update_pictures_Click();
    EXPECT_EQ(access.reopened, 1);
    EXPECT_EQ(status.message_text(), "Shown no more.");
}

} // namespace

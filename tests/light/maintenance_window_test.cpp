// The light maintenance: its messages, no timing, the rename button and
// extension box, and the update pass stopped by the progress bar.
#include "support/window_controls.h"
#include "support/list_gestures.h"
#include "light_fixture.h"
#include "support/grid_clicks.h"
#include "support/layout_probe.h"

#include "maintenance/grid_model.h"

#include <QHeaderView>
#include <QTest>

using namespace mosswick;

namespace {

class LightMaintenance : public LightWindow {
protected:
    maintenance::ManagementGridModel* model() const
    {
        return qobject_cast<maintenance::ManagementGridModel*>(ctl(*window).mgm_pic->model());
    }
    void click_row(int row) { testsupport::click_grid_row(ctl(*window).mgm_pic, row); }
    // Shows a folder holding files of these names in the loader's lists.
    void show_listed(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            touch(listed.file(n));
        show_folder(listed.path());
    }

    testsupport::TempDir listed;
};

} // namespace

TEST_F(LightMaintenance, EditsByNumberSayWhatTheyStart)
{
    open_light(14);
    ctl(*window).Txt_delpag->setText("9");
    ctl(*window).delete_page->click();
    EXPECT_EQ(dialogs->messages(), QStringList({"The page not exist."}));
    EXPECT_EQ(window->message_text(), "Deleting page(s)...");

    ctl(*window).Text15->setText("99");
    ctl(*window).delete_picture->click();
    EXPECT_EQ(dialogs->messages().back(), "The picture not exist.");
    EXPECT_EQ(window->message_text(), "Deleting picture...");

    window->set_timing("earlier");
    ctl(*window).Text22->setText("99");
    ctl(*window).Text20->setText("1");
    ctl(*window).insert_picture->click();
    EXPECT_EQ(dialogs->messages().back(), "First picture not exist.");
    EXPECT_EQ(window->message_text(), "Inserting picture...");
    EXPECT_TRUE(ctl(*window).insert_picture->isEnabled());

    // A complete edit: renumbered, "Ready" without its full stop, no timing.
    ctl(*window).Text22->setText("14");
    ctl(*window).Text20->setText("1");
    ctl(*window).insert_picture->click();
    EXPECT_EQ(window->message_text(), "Picture inserted.");
    EXPECT_EQ(window->ready_text(), "Ready");
    EXPECT_EQ(window->timing_text(), "earlier");
    EXPECT_EQ(rows().front(), "1/1/pic014.jpg/-");

    ctl(*window).Txt_delpag->setText("1");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Page deleted.");
    EXPECT_EQ(rows().size(), 8);
    EXPECT_EQ(rows().front(), "1/1/pic006.jpg/-");

    ctl(*window).Txt_delpag->setText("*");
    ctl(*window).delete_page->click();
    EXPECT_EQ(window->message_text(), "Entire content of the database deleted.");
    EXPECT_TRUE(rows().isEmpty());
    expect_usable();
}

TEST_F(LightMaintenance, NumberBoxesTakeFourteenDigits)
{
    open_light(3);
    ctl(*window).Text15->setText(QString(20, '9'));
    EXPECT_EQ(ctl(*window).Text15->text(), QString(14, '9'));
    ctl(*window).delete_picture->click();
    EXPECT_EQ(dialogs->messages(), QStringList({"The picture not exist."}));
    EXPECT_EQ(rows().size(), 3);
}

TEST_F(LightMaintenance, TheRenumberButtonLeavesThePageLoadsTime)
{
    open_light(8);
    exec("UPDATE demopicture SET picfile = 'a.jpg' WHERE numpic = 8");
    window->set_timing("earlier");
    ctl(*window).renumber_pages->click();
    EXPECT_EQ(rows().front(), "1/1/a.jpg/-");
    EXPECT_TRUE(window->timing_text().endsWith(" ms")) << window->timing_text().toStdString();

    open_to_renumber(path);
    EXPECT_EQ(window->message_text(), "Database pages renumbered.");
    EXPECT_EQ(window->ready_text(), "Ready");
}

TEST_F(LightMaintenance, TheGridSpeaksWithTwoBlanksAndIsNotTimed)
{
    open_light(8);
    window->set_timing("earlier");
    ctl(*window).load_list->click();
    EXPECT_EQ(window->message_text(), "Grid loaded:  8 records listed.");
    EXPECT_EQ(window->timing_text(), "earlier");
    exec("DELETE FROM demopicture WHERE numpic > 1");
    ctl(*window).load_list->click();
    EXPECT_EQ(window->message_text(), "Grid loaded:  1 record listed.");
}

TEST_F(LightMaintenance, GridInsertEndsReady)
{
    open_light(8);
    ctl(*window).load_list->click();
    ctl(*window).Opt_insert->setChecked(true);
    click_row(6);
    EXPECT_EQ(window->message_text(), "Insert in...");
    click_row(0);
    EXPECT_EQ(window->message_text(), "Inserted.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_EQ(rows().front(), "1/1/pic007.jpg/-");
}

TEST_F(LightMaintenance, RenameWithTheExtensionBox)
{
    open_light(3);
    exec("UPDATE demopicture SET movfile = 'pic002.avi' WHERE numpic = 2");
    touch(data("pic002.avi"), "movie");
    ctl(*window).load_list->click();
    click_row(1);
    EXPECT_EQ(ctl(*window).Text8->text(), "pic002");
    EXPECT_EQ(ctl(*window).Text28->text(), "jpg");
    EXPECT_TRUE(ctl(*window).Command2->isEnabled());
    ctl(*window).Text8->setText("coast");
    ctl(*window).Command2->click();
    EXPECT_EQ(window->message_text(), "Picture & Multimedia files renamed.");
    EXPECT_EQ(rows()[1], "2/1/coast.jpg/coast.avi");
    EXPECT_TRUE(QFile::exists(data("coast.jpg")));
    EXPECT_TRUE(QFile::exists(data("coast.avi")));
    // The page view and the grid go on working on the catalogue.
    ctl(*window).load_list->click();
    EXPECT_EQ(model()->cell_text(1, 3), "coast.jpg");
    ctl(*window).mnuRefresh->trigger();
    EXPECT_EQ(ctl(*window).lbl_filePic[2]->text(), "coast.jpg");
}

TEST_F(LightMaintenance, UpdatePassLinksMoviesOnlyAndIsNotTimed)
{
    open_light(4);
    touch(data("pic002.avi"));
    touch(data("pic003.gif"));
    touch(dir.file("pic003.txt"), "a note file beside the catalogue");
    exec("UPDATE demopicture SET movfile = 'pic004.avi' WHERE numpic = 4");
    show_listed({"pic002.jpg", "pic003.jpg", "pic004.jpg", "other.jpg"});
    // There is no IN choice: the pass relinks movies only.
    EXPECT_EQ(ctl(*window).OptionFL2[0], nullptr);
    window->set_timing("earlier");
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed on 2 records.");
    EXPECT_EQ(window->ready_text(), "Ready");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(rows()[1], "2/1/pic002.jpg/pic002.avi");
    EXPECT_EQ(rows()[2], "3/1/pic003.jpg/-");
    EXPECT_EQ(rows()[3], "4/1/pic004.jpg/-");
    EXPECT_EQ(field("note", "pic003.jpg").toString(), "note 3");
    EXPECT_FALSE(QFile::exists(dir.file("Mosswick-Zudidudi update verify.log")));
    // The page load after the pass times itself.
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    expect_usable();

    testsupport::TempDir empty;
    show_folder(empty.path());
    ctl(*window).update_pictures->setEnabled(true);   // as if left enabled: an empty list disables it
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures, no picture(s) in the list.");
    EXPECT_EQ(window->ready_text(), "Ready");
}

TEST_F(LightMaintenance, TheProgressBarNotEscStopsTheUpdatePass)
{
    open_light(4);
    for (const char* m : {"pic001.avi", "pic002.avi", "pic003.avi", "pic004.avi"})
        touch(data(m));
    show_listed({"pic001.jpg", "pic002.jpg", "pic003.jpg", "pic004.jpg"});
    // An old click never stops a new pass, and Esc does not reach it.
    click_progress_bar();
    when_bar_reaches(1, [this] { QTest::keyClick(window.get(), Qt::Key_Escape); });
    when_bar_reaches(3, [this] { click_progress_bar(); });
    window->set_timing("earlier");
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Upgrading stopped.");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    EXPECT_FALSE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(ctl(*window).ProgressBar1->value(), 0);
    EXPECT_EQ(window->ready_text(), "");
    EXPECT_EQ(window->timing_text(), "earlier");
    // Stopped, the pass changed nothing.
    for (const QString& r : rows())
        EXPECT_TRUE(r.endsWith("/-")) << r.toStdString();
    EXPECT_TRUE(ctl(*window).update_pictures->isEnabled());
    expect_usable();
}

TEST_F(LightMaintenance, VerifyFillsTheListsWithoutTiming)
{
    open_light(3);
    exec("UPDATE demopicture SET picfile = 'pic001.jpg' WHERE numpic = 2");
    show_listed({"pic001.jpg", "new.jpg", "notes.txt"});
    window->set_timing("earlier");
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify complete, error(s) found.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_EQ(window->timing_text(), "earlier");
    EXPECT_EQ(testsupport::items(ctl(*window).List1), QStringList({"new.jpg", "notes.txt"}));
    EXPECT_EQ(testsupport::items(ctl(*window).List2), QStringList({"pic003.jpg"}));
    EXPECT_EQ(testsupport::items(ctl(*window).List3), QStringList({"pic001.jpg", "no movie.", "-------------------------"}));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
}

TEST_F(LightMaintenance, TheGridTabKeepsItsControlsInPlaceAndItsHeadingsWhole)
{
    open_light(9);
    ctl(*window).SSTab_main->setCurrentIndex(2);
    ctl(*window).SSTab_mgm->setCurrentIndex(1);
    ctl(*window).SSTab_mgm_pic->setCurrentIndex(1);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto controls = [this] {
        return testsupport::places_in(window.get(),
                                      {ctl(*window).Opt_exchange, ctl(*window).load_list, ctl(*window).Text8, ctl(*window).Command2});
    };
    const QList<QRect> before = controls();
    ctl(*window).load_list->click();
    ASSERT_TRUE(ctl(*window).mgm_pic->isVisible());
    EXPECT_EQ(controls(), before);
    for (int c = 0; c < 4; ++c)
        EXPECT_GE(ctl(*window).mgm_pic->columnWidth(c), ctl(*window).mgm_pic->horizontalHeader()->sectionSizeHint(c)) << c;
}

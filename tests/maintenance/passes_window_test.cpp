#include "support/list_gestures.h"
#include "maintenance_fixture.h"

#include "platform/richtext/plain_text.h"

using namespace mosswick;

namespace {

class PassesWindow : public MaintenanceWindow {
protected:
    // A folder of listed files shown in the loader's lists.
    void show_listed(std::initializer_list<const char*> names)
    {
        QDir().mkpath(listed.path());
        for (const char* n : names)
            touch(listed.file(n));
        ASSERT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, listed.path()));
    }

    testsupport::TempDir listed;
};

} // namespace

// ---- update pass -----------------------------------------------------------------

TEST_F(PassesWindow, UpdateOutLinksMoviesAndReopensTheCatalogue)
{
    open_catalogue(8);
    touch(data("pic002.avi"));
    touch(data("pic005.mpg"));
    show_listed({"pic002.jpg", "pic005.jpg", "pic007.jpg", "other.jpg"});
    window->session().move_to_page(2);
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed on 2 records.");
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(rows()[1], "2/1/pic002.jpg/pic002.avi");
    EXPECT_EQ(rows()[4], "5/1/pic005.jpg/pic005.mpg");
    EXPECT_EQ(window->session().current_page(), 1);
    EXPECT_TRUE(ctl(*window).update_pictures->isEnabled());
    expect_usable();

    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed, no updates made.");
}

TEST_F(PassesWindow, UpdateWithAnEmptyListOrCatalogueEndsAtOnce)
{
    open_catalogue(2);
    show_listed({});
    ctl(*window).update_pictures->setEnabled(true);   // as if left enabled: an empty list disables it
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures, no picture(s) in the list.");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(window->ready_text(), "Ready.");
    expect_usable();

    exec("DELETE FROM demopicture");
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Database empty.");
    EXPECT_TRUE(ctl(*window).update_pictures->isEnabled());
    expect_usable();
}

TEST_F(PassesWindow, EscStopsTheUpdateAndUndoesIt)
{
    open_catalogue(4);
    for (const char* m : {"pic001.avi", "pic002.avi", "pic003.avi"})
        touch(data(m));
    show_listed({"pic001.jpg", "pic002.jpg", "pic003.jpg"});
    QTest::keyClick(window.get(), Qt::Key_Escape);   // an old Esc does not stop a new pass
    QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(), [this](int v) {
        if (v == 2)
            QTest::keyClick(window.get(), Qt::Key_Escape);
    });
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Upgrading stopped.");
    EXPECT_FALSE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(ctl(*window).ProgressBar1->value(), 0);
    EXPECT_EQ(window->ready_text(), "");
    EXPECT_EQ(window->timing_text(), "");
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::UpdateEsc));
    EXPECT_EQ(rows()[0], "1/1/pic001.jpg/-");
    EXPECT_EQ(rows()[1], "2/1/pic002.jpg/-");
    EXPECT_TRUE(ctl(*window).update_pictures->isEnabled());
    expect_usable();
}

TEST_F(PassesWindow, UpdateInImportsNotesAndLogsThem)
{
    open_catalogue(3);
    touch(dir.file("pic002.txt"), "hello");
    show_listed({"pic002.jpg"});
    ctl(*window).OptionFL2[0]->click();
    ctl(*window).OptionF12[0]->click();
    ctl(*window).update_pictures->click();
    EXPECT_EQ(window->message_text(), "Update pictures completed on 1 record.");
    EXPECT_EQ(richtext::extract_plain_text(field("note", 2).toString()), "note 2hello");
    const QByteArray log = testsupport::read_all(dir.file("Mosswick-Zudidudi update verify.log"));
    EXPECT_TRUE(log.endsWith(" - Picture: pic002.jpg - pic002.txt - TXT in NOTE\r\n")) << log.toStdString();
}

TEST_F(PassesWindow, AFailedUpdateIsReportedAndChangesNothing)
{
    open_catalogue(3);
    touch(dir.file("pic001.txt"), "one");
    touch(dir.file("pic002.txt"), "two");
    // A folder where the log should be: the log cannot be written.
    QDir().mkpath(dir.file("Mosswick-Zudidudi update verify.log"));
    show_listed({"pic001.jpg", "pic002.jpg"});
    ctl(*window).OptionFL2[0]->click();
    ctl(*window).update_pictures->click();
    EXPECT_TRUE(window->message_text().startsWith("Error ")) << window->message_text().toStdString();
    EXPECT_EQ(field("note", 1).toString(), "note 1");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(window->ready_text(), "Ready.");
    expect_usable();
}

// ---- verify pass -----------------------------------------------------------------

TEST_F(PassesWindow, VerifyFillsTheThreeLists)
{
    open_catalogue(4);
    exec("UPDATE demopicture SET picfile = 'pic001.jpg' WHERE numpic = 2");
    exec("UPDATE demopicture SET movfile = 'pic003.avi' WHERE numpic = 3");
    show_listed({"pic001.jpg", "pic003.jpg", "new.jpg", "notes.txt"});
    ctl(*window).List1->addItem("from before");
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify complete, error(s) found.");
    EXPECT_EQ(testsupport::items(ctl(*window).List1), QStringList({"new.jpg", "notes.txt"}));
    EXPECT_EQ(testsupport::items(ctl(*window).List2), QStringList({"pic003.avi", "pic004.jpg"}));
    EXPECT_EQ(testsupport::items(ctl(*window).List3), QStringList({"pic001.jpg", "no movie.", "-------------------------"}));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_TRUE(ctl(*window).verify_loaded_pictures->isEnabled());
    EXPECT_TRUE(ctl(*window).SSTab_main->isEnabled());
    EXPECT_EQ(ui::to_bgr(ctl(*window).lbl_v1->palette().color(QPalette::Window)), 0xFFC0C0u);
    expect_usable();
}

TEST_F(PassesWindow, VerifyOfAMatchingFolderFindsNoErrors)
{
    open_catalogue(2);
    show_listed({"pic001.jpg", "pic002.jpg"});
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify complete, no error(s) found.");
}

TEST_F(PassesWindow, AStopInPhaseOneEndsTheVerify)
{
    open_catalogue(2);
    show_listed({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    window->session().busy().request_stop(ui::StopRequest::ProgressBar);   // an old click does not stop a new pass
    stop_at(2);
    ctl(*window).verify_loaded_pictures->click();
    EXPECT_EQ(window->message_text(), "Verify stopped.");
    EXPECT_EQ(testsupport::items(ctl(*window).List1), QStringList({"a.jpg", "b.jpg"}));
    EXPECT_EQ(ctl(*window).List2->count(), 0);
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    expect_usable();
}

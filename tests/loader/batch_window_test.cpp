#include "loader_fixture.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

using namespace mosswick;

namespace {

bool in_phase_2(const frmBrowser& w)
{
    return w.message_text().startsWith("File length verification phase 1/2 passed.");
}

} // namespace

TEST_F(LoaderWindow, BatchLoadFillsTheCatalogueAndUpdatesTheCounts)
{
    for (int i = 1; i <= 14; ++i)
        file(QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    file("p01.avi");
    show(source.path());
    ctl(*window).text7->setText("left over");
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "14 pictures processed. 14 loaded. No Errors found.");
    EXPECT_EQ(window->ready_text(), "Ready");
    EXPECT_TRUE(window->timing_text().endsWith(" ms"));
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(ctl(*window).ProgressBar1->value(), 0);
    EXPECT_EQ(ctl(*window).Label27->text(), "14");
    EXPECT_EQ(ctl(*window).Label29->text(), "3");
    EXPECT_EQ(window->session().picture_count(), 14);
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
    EXPECT_EQ(ctl(*window).text7->text(), "");
    const QStringList r = rows();
    ASSERT_EQ(r.size(), 14);
    EXPECT_EQ(r.front(), "1/1/p01.jpg/p01.avi");
    EXPECT_EQ(r[6], "7/2/p07.jpg/-");
    EXPECT_EQ(r.back(), "14/3/p14.jpg/-");
}

TEST_F(LoaderWindow, BatchLoadLogsDuplicatesBesideTheCatalogue)
{
    file("keep.jpg");
    show(source.path());
    ctl(*window).load_pictures->click();
    file("new.jpg");
    ctl(*window).refresh_pictures->click();
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "2 pictures processed. 1 loaded. There are errors.");
    const QByteArray log = testsupport::read_all(dir.file("Mosswick-Zudidudi load errors.log"));
    EXPECT_TRUE(log.endsWith(" - File name: keep.jpg\r\n")) << log.toStdString();
    EXPECT_EQ(log.count('\n'), 1);
    EXPECT_EQ(rows(), QStringList({"1/1/keep.jpg/-", "2/1/new.jpg/-"}));
}

TEST_F(LoaderWindow, BatchLoadWarnsAboutTheCataloguesOwnFolder)
{
    QFile(dir.file("own.jpg")).open(QIODevice::WriteOnly);
    show(dir.path());
    ctl(*window).OptionFL[0]->click();
    ctl(*window).load_pictures->click();
    ASSERT_EQ(dialogs->asked.size(), 2u);   // the open dialog, then the warning
    EXPECT_EQ(dialogs->asked[1].title, "WARNING");
    EXPECT_EQ(dialogs->asked[1].text,
              "Do not use the database directory when load TXT or RTF content in the note fields. Use a temp "
              "directory instead.");
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
    // Also when the pictures would be stored inside.
    ctl(*window).Option4[0]->setChecked(true);
    ctl(*window).load_pictures->click();
    EXPECT_EQ(dialogs->count("message"), 2);
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(LoaderWindow, AStopHalfwayKeepsTheRowsAndLeavesTheBarShownEmpty)
{
    for (int i = 1; i <= 20; ++i)
        file(QStringLiteral("s%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    show(source.path());
    window->session().busy().request_stop(ui::StopRequest::ProgressBar);   // an old click never stops a new run
    const auto clicker = QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(), [this](int v) {
        if (in_phase_2(*window) && v == 8)
            click_progress_bar();
    });
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "File loading stopped.");
    EXPECT_FALSE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(ctl(*window).ProgressBar1->value(), 0);
    EXPECT_FALSE(window->session().busy().stop_requested(ui::StopRequest::ProgressBar));
    EXPECT_EQ(rows().size(), 8);
    EXPECT_EQ(rows().back(), "8/2/s08.jpg/-");
    EXPECT_EQ(ctl(*window).Label27->text(), "8");
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
    // The next run takes the rest: the first eight are duplicates now.
    QObject::disconnect(clicker);
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "20 pictures processed. 12 loaded. There are errors.");
    EXPECT_EQ(rows().size(), 20);
}

TEST_F(LoaderWindow, AnErrorHalfwayLeavesAUsableLoader)
{
    for (int i = 1; i <= 5; ++i) {
        file(QStringLiteral("e%1.jpg").arg(i));
        file(QStringLiteral("e%1.txt").arg(i), "text");
    }
    show(source.path());
    ctl(*window).OptionFL[0]->click();
    QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(), [this](int v) {
        if (in_phase_2(*window) && v == 2)
            QFile::remove(source.file("e4.txt"));
    });
    ctl(*window).load_pictures->click();
    EXPECT_TRUE(window->message_text().startsWith("Error 53 - File not found: ")) << window->message_text().toStdString();
    EXPECT_EQ(window->ready_text(), "Ready.");
    EXPECT_TRUE(ctl(*window).ProgressBar1->isHidden());
    EXPECT_EQ(rows().size(), 3);
    EXPECT_EQ(ctl(*window).Label27->text(), "3");
    EXPECT_EQ(field("note", "e1.jpg").toString(), "text");
    EXPECT_TRUE(QFileInfo::exists(dir.file("e3.txt")));
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
    // And the loader still works: a single load goes through.
    ctl(*window).refresh_pictures->click();
    pick_picture("e5.jpg");
    ctl(*window).cmd_OK->click();
    EXPECT_EQ(window->message_text(), "Picture loaded.");
}

TEST_F(LoaderWindow, BatchLoadInsideStoresPicturesAndRefusesOthers)
{
    const QString a = jpg("a.jpg");
    png("b.png");
    file("a.avi");
    show(source.path());
    ctl(*window).Option4[0]->setChecked(true);
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "2 pictures processed. 1 loaded. There are errors.");
    EXPECT_EQ(rows(), QStringList({"1/1/a.jpg/-"}));
    store::Error e;
    EXPECT_TRUE(window->session().db_conn()->read_picture_bytes(1, e) == testsupport::read_all(a));
}

TEST_F(LoaderWindow, OneListedPictureGivesTheSingularSummary)
{
    file("one.jpg");
    show(source.path());
    ctl(*window).load_pictures->click();
    EXPECT_EQ(window->message_text(), "1 picture processed. 1 loaded. No Errors found.");
}

TEST_F(LoaderWindow, ABatchLoadThatCannotMakeIdxPicfileSaysWhyAndWritesNothing)
{
    // A row without a picture file name keeps idxPicfile from being made.
    store::Connection& conn = *window->session().db_conn();
    ASSERT_FALSE(conn.exec("DROP INDEX idxPicfile"));
    ASSERT_FALSE(conn.exec("INSERT INTO demopicture (numpic, numpage) VALUES (1, 1)"));
    file("a.jpg");
    show(source.path());
    ctl(*window).load_pictures->click();
    EXPECT_TRUE(window->message_text().contains("The index idxPicfile cannot be created: 1 row(s)"))
        << window->message_text().toStdString();
    EXPECT_EQ(rows().size(), 1);
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
    EXPECT_FALSE(window->busy_state().busy());
}

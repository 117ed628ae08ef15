#include "loader_fixture.h"

#include <QRadioButton>

using namespace mosswick;

TEST_F(LoaderWindow, CountMessageAndEnablingFollowTheFolder)
{
    jpg("a.jpg");
    jpg("b.jpg");
    show(source.path());
    EXPECT_EQ(window->message_text(), "Listed 2 pictures, no movies found.");
    for (QWidget* w : std::initializer_list<QWidget*>{ctl(*window).Fil_ImportFile, ctl(*window).File_movies, ctl(*window).load_pictures,
                                                      ctl(*window).update_pictures})
        EXPECT_TRUE(w->isEnabled());
    // One listing feeds both file lists.
    file("a.avi");
    file("README");
    file(".hidden.jpg");
    QDir(source.path()).mkdir("sub.jpg");
    ctl(*window).refresh_pictures->click();
    EXPECT_EQ(window->message_text(), "Listed 2 pictures & 2 movies.");
    EXPECT_EQ(ctl(*window).Fil_ImportFile->names(), QStringList({"a.jpg", "b.jpg"}));
    EXPECT_EQ(ctl(*window).File_movies->names(), QStringList({"a.avi", "a.jpg", "b.jpg", "README"}));
    EXPECT_EQ(ctl(*window).Fil_ImportFile->path(), source.path());

    testsupport::TempDir texts;
    QFile(texts.file("note.txt")).open(QIODevice::WriteOnly);
    show(texts.path());
    EXPECT_EQ(window->message_text(), "No pictures found.");
    EXPECT_EQ(ctl(*window).File_movies->count(), 1);
    for (QWidget* w : std::initializer_list<QWidget*>{ctl(*window).Fil_ImportFile, ctl(*window).File_movies, ctl(*window).load_pictures,
                                                      ctl(*window).update_pictures})
        EXPECT_FALSE(w->isEnabled());
}

TEST_F(LoaderWindow, WithoutACatalogueTheListsStayDisabledAndSilent)
{
    jpg("a.jpg");
    ctl(*window).mnuDb->trigger();   // close
    ASSERT_FALSE(window->session().db_open());
    window->set_message("unchanged");
    show(source.path());
    EXPECT_EQ(window->message_text(), "unchanged");
    EXPECT_EQ(ctl(*window).Fil_ImportFile->count(), 1);
    EXPECT_FALSE(ctl(*window).Fil_ImportFile->isEnabled());
    EXPECT_FALSE(ctl(*window).load_pictures->isEnabled());
}

TEST_F(LoaderWindow, AFolderThatCannotBeListedKeepsThePreviousOne)
{
    jpg("a.jpg");
    // The folder goes away after it was listed, before the double click.
    QDir(source.path()).mkdir("missing");
    show(source.path());
    QDir(source.path()).rmdir("missing");
    show(source.file("missing"));
    EXPECT_EQ(window->message_text(), "Error 76 - Path not found: " + source.file("missing"));
    EXPECT_EQ(ctl(*window).Dir_ImportDir->path(), source.path());
    EXPECT_EQ(ctl(*window).Fil_ImportFile->names(), QStringList({"a.jpg"}));
    EXPECT_TRUE(ctl(*window).load_pictures->isEnabled());
}

TEST_F(LoaderWindow, ADriveThatIsNotReadyKeepsTheOldFolder)
{
    show(source.path());
    ctl(*window).Drv_ImportDrive->set_drive("/media/mosswick-test-no-such-volume");
    EXPECT_EQ(window->message_text(), "Drive is not ready.  Please check the drive.");
    EXPECT_EQ(ctl(*window).Dir_ImportDir->path(), source.path());
    EXPECT_EQ(ctl(*window).Drv_ImportDrive->drive(), "/media/mosswick-test-no-such-volume");
    // A drive that is there lists its root.
    ctl(*window).Drv_ImportDrive->set_drive("/");
    EXPECT_EQ(ctl(*window).Dir_ImportDir->path(), "/");
    EXPECT_EQ(ctl(*window).Fil_ImportFile->path(), "/");
    // The drive list follows the folder list wherever it goes.
    show(QDir::homePath());
    EXPECT_EQ(ctl(*window).Drv_ImportDrive->drive(), QDir::homePath());
    show(source.path());
    EXPECT_EQ(ctl(*window).Drv_ImportDrive->drive(), ctl(*window).Drv_ImportDrive->drive_of(source.path()));
}

TEST_F(LoaderWindow, RefreshOfAVanishedFolderEmptiesTheLists)
{
    testsupport::TempDir gone;
    QFile(gone.file("x.jpg")).open(QIODevice::WriteOnly);
    show(gone.path());
    ASSERT_TRUE(ctl(*window).load_pictures->isEnabled());
    QDir(gone.path()).removeRecursively();
    ctl(*window).refresh_pictures->click();
    EXPECT_TRUE(window->message_text().startsWith("Error 76 - ")) << window->message_text().toStdString();
    EXPECT_EQ(ctl(*window).Fil_ImportFile->count(), 0);
    EXPECT_FALSE(ctl(*window).load_pictures->isEnabled());
}

TEST_F(LoaderWindow, FolderListShowsTheWayDownAndOpensSubFolders)
{
    QDir(source.path()).mkdir("inner");
    QFile(source.file("inner/deep.jpg")).open(QIODevice::WriteOnly);
    show(source.path());
    const int rows = ctl(*window).Dir_ImportDir->count();
    ASSERT_GE(rows, 2);
    EXPECT_EQ(ctl(*window).Dir_ImportDir->entry_path(0), "/");
    EXPECT_EQ(ctl(*window).Dir_ImportDir->entry_path(rows - 1), source.file("inner"));
    EXPECT_EQ(ctl(*window).Dir_ImportDir->entry_path(rows - 2), source.path());
    testsupport::double_click_row(ctl(*window).Dir_ImportDir, rows - 1);
    EXPECT_EQ(ctl(*window).Dir_ImportDir->path(), source.file("inner"));
    EXPECT_EQ(ctl(*window).Fil_ImportFile->names(), QStringList({"deep.jpg"}));
    EXPECT_EQ(window->message_text(), "Listed 1 picture, no movies found.");
}

TEST_F(LoaderWindow, InOutOptionsEnableTheFieldChoices)
{
    EXPECT_FALSE(ctl(*window).OptionF1[0]->isEnabled());
    ctl(*window).OptionF1[2]->setChecked(true);
    ctl(*window).OptionFL[0]->click();
    for (QRadioButton* r : ctl(*window).OptionF1)
        EXPECT_TRUE(r->isEnabled());
    ctl(*window).OptionFL[1]->click();
    for (QRadioButton* r : ctl(*window).OptionF1)
        EXPECT_FALSE(r->isEnabled());
    EXPECT_TRUE(ctl(*window).OptionF1[2]->isChecked());
    ctl(*window).OptionFL2[0]->click();
    for (QRadioButton* r : ctl(*window).OptionF12)
        EXPECT_TRUE(r->isEnabled());
    EXPECT_TRUE(ctl(*window).OptionF12[0]->isEnabled());
    ctl(*window).OptionFL2[1]->click();
    EXPECT_FALSE(ctl(*window).OptionF12[1]->isEnabled());
}

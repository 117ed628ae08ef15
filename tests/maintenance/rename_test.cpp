#include "maintenance/rename.h"

#include "maintenance_test_util.h"

using namespace mosswick;
using namespace mosswick::maintenance;

namespace {

PictureRef row(int n, const QString& picfile)
{
    return PictureRef::grid_row(n, (n + 5) / 6, picfile);
}

} // namespace

TEST(RenameBoxesCheck, NameAndExtensionComeFirst)
{
    EXPECT_EQ(check_rename_boxes("", "jpg"), RenameOutcome::NoName);
    EXPECT_EQ(check_rename_boxes("   ", "jpg"), RenameOutcome::NoName);
    EXPECT_EQ(check_rename_boxes("coast", ""), RenameOutcome::BadExtension);
    EXPECT_EQ(check_rename_boxes("coast", " "), RenameOutcome::BadExtension);
    EXPECT_EQ(check_rename_boxes("coast", "txt"), RenameOutcome::BadExtension);
    EXPECT_EQ(check_rename_boxes("co/ast", "jpg"), RenameOutcome::BadCharacters);
    EXPECT_EQ(check_rename_boxes("co:ast", "jpg"), RenameOutcome::BadCharacters);
    for (const char* ext : {"bmp", "gif", "jpg", "png", "tif", "emf", "wmf", "rle", "ico", "JPG", "Gif"})
        EXPECT_EQ(check_rename_boxes("coast", ext), std::nullopt) << ext;
}

TEST_F(CatalogueTest, RenameTakesTheMovieAlongWithItsOwnExtension)
{
    make(3);
    exec("UPDATE demopicture SET picfile = 'beach.jpg', movfile = 'beach.avi' WHERE numpic = 2");
    touch(data_folder() + "beach.jpg", "picture");
    touch(data_folder() + "beach.avi", "movie");
    const RenameResult r = rename_picture(*conn, data_folder(), row(2, "beach.jpg"), "coast", "jpg");
    EXPECT_EQ(r.outcome, RenameOutcome::RenamedWithMovie);
    EXPECT_EQ(testsupport::read_all(data_folder() + "coast.jpg"), "picture");
    EXPECT_EQ(testsupport::read_all(data_folder() + "coast.avi"), "movie");
    EXPECT_FALSE(QFile::exists(data_folder() + "beach.jpg"));
    EXPECT_FALSE(QFile::exists(data_folder() + "beach.avi"));
    EXPECT_EQ(rows()[1], "2/1/coast.jpg/coast.avi");
}

TEST_F(CatalogueTest, APictureWithAMovieIsReportedWithItsMovieEvenWhenTheMovieKeepsItsName)
{
    make(2);
    exec("UPDATE demopicture SET picfile = 'beach.jpg', movfile = 'beach.avi' WHERE numpic = 1");
    touch(data_folder() + "beach.jpg", "picture");
    touch(data_folder() + "beach.avi", "movie");
    // Only the picture's extension changes: the movie's new name is its old one.
    const RenameResult r = rename_picture(*conn, data_folder(), row(1, "beach.jpg"), "beach", "gif");
    EXPECT_EQ(r.outcome, RenameOutcome::RenamedWithMovie);
    EXPECT_EQ(testsupport::read_all(data_folder() + "beach.gif"), "picture");
    EXPECT_EQ(testsupport::read_all(data_folder() + "beach.avi"), "movie");
    EXPECT_EQ(rows()[0], "1/1/beach.gif/beach.avi");
    // Without a movie it is the picture alone.
    touch(data_folder() + "pic002.jpg");
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(2, "pic002.jpg"), "pic002", "gif").outcome,
              RenameOutcome::Renamed);
}

TEST_F(CatalogueTest, RenameKeepsTheExtensionAsTypedAndMayChangeCaseOnly)
{
    make(2);
    touch(data_folder() + "pic001.jpg");
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "Pic001", "JPG").outcome,
              RenameOutcome::Renamed);
    EXPECT_TRUE(QFile::exists(data_folder() + "Pic001.JPG"));
    EXPECT_EQ(field("picfile", 1).toString(), "Pic001.JPG");
    EXPECT_TRUE(field("movfile", 1).isNull());
}

TEST_F(CatalogueTest, RenameNeverReplacesAFile)
{
    make(3);
    exec("UPDATE demopicture SET movfile = 'pic002.avi' WHERE numpic = 2");
    touch(data_folder() + "pic001.jpg", "one");
    touch(data_folder() + "pic002.jpg", "two");
    touch(data_folder() + "pic002.avi", "movie two");
    touch(data_folder() + "taken.avi", "someone else's");
    const QStringList before = rows();

    EXPECT_EQ(rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "pic001", "jpg").outcome,
              RenameOutcome::TargetExists);
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "pic002", "jpg").outcome,
              RenameOutcome::TargetExists);
    // The movie's new name is taken: nothing moves, not even the picture.
    const RenameResult r = rename_picture(*conn, data_folder(), row(2, "pic002.jpg"), "taken", "jpg");
    EXPECT_EQ(r.outcome, RenameOutcome::Failed);
    EXPECT_EQ(r.error.code, 58);
    EXPECT_EQ(testsupport::read_all(data_folder() + "pic002.jpg"), "two");
    EXPECT_EQ(testsupport::read_all(data_folder() + "taken.avi"), "someone else's");
    EXPECT_FALSE(QFile::exists(data_folder() + "taken.jpg"));
    EXPECT_EQ(testsupport::read_all(data_folder() + "pic001.jpg"), "one");
    EXPECT_EQ(rows(), before);
}

TEST_F(CatalogueTest, AMissingMovieFileUndoesThePictureRename)
{
    make(2);
    exec("UPDATE demopicture SET movfile = 'pic001.avi' WHERE numpic = 1");
    touch(data_folder() + "pic001.jpg", "one");
    const QStringList before = rows();
    const RenameResult r = rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "new", "jpg");
    EXPECT_EQ(r.outcome, RenameOutcome::Failed);
    EXPECT_EQ(r.error.code, 53);
    EXPECT_EQ(testsupport::read_all(data_folder() + "pic001.jpg"), "one");
    EXPECT_FALSE(QFile::exists(data_folder() + "new.jpg"));
    EXPECT_EQ(rows(), before);
}

TEST_F(CatalogueTest, AMissingPictureFileIsReportedUnlessThePictureIsStoredInside)
{
    make(2);
    const RenameResult r = rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "new", "jpg");
    EXPECT_EQ(r.outcome, RenameOutcome::Failed);
    EXPECT_EQ(r.error.code, 53);
    EXPECT_EQ(field("picfile", 1).toString(), "pic001.jpg");

    exec("UPDATE demopicture SET inoutpic = 1 WHERE numpic = 2");
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(2, "pic002.jpg"), "kept", "gif").outcome, RenameOutcome::Renamed);
    EXPECT_EQ(field("picfile", 2).toString(), "kept.gif");

    // Any value in inoutpic means stored, as the page view shows it.
    exec("UPDATE demopicture SET inoutpic = -1 WHERE numpic = 1");
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), "also", "jpg").outcome, RenameOutcome::Renamed);
    EXPECT_EQ(field("picfile", 1).toString(), "also.jpg");
}

TEST(StoredInside, OneRuleForEveryValueOfInoutpic)
{
    EXPECT_FALSE(store::picture_stored_inside(QVariant()));
    EXPECT_FALSE(store::picture_stored_inside(QVariant(QMetaType(QMetaType::QString))));
    for (const QVariant& v : {QVariant(1), QVariant(0), QVariant(-1), QVariant(qint64(2)), QVariant(QStringLiteral(""))})
        EXPECT_TRUE(store::picture_stored_inside(v)) << v.toString().toStdString();
}

TEST_F(CatalogueTest, RenameActsOnlyOnTheRowTheGridShowed)
{
    make(3);
    touch(data_folder() + "pic002.jpg");
    touch(data_folder() + "pic003.jpg");
    exec("UPDATE demopicture SET picfile = 'changed.jpg' WHERE numpic = 2");
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(2, "pic002.jpg"), "x", "jpg").outcome, RenameOutcome::Stale);
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(7, "pic007.jpg"), "x", "jpg").outcome, RenameOutcome::Stale);
    EXPECT_EQ(rename_picture(*conn, data_folder(), PictureRef::grid_row(3, 2, "pic003.jpg"), "x", "jpg").outcome,
              RenameOutcome::Stale);
    EXPECT_TRUE(QFile::exists(data_folder() + "pic002.jpg"));
    EXPECT_TRUE(QFile::exists(data_folder() + "pic003.jpg"));
    EXPECT_FALSE(QFile::exists(data_folder() + "x.jpg"));
}

TEST_F(CatalogueTest, NamesTooLongForTheRowOrReachingOutsideAreRefused)
{
    make(2);
    exec("UPDATE demopicture SET movfile = 'pic001.movie' WHERE numpic = 1");
    exec("UPDATE demopicture SET picfile = '../outside.jpg' WHERE numpic = 2");
    touch(data_folder() + "pic001.jpg");
    touch(data_folder() + "pic001.movie");
    touch(db_folder() + "outside.jpg");
    const QString long_base(251, QChar(u'n'));
    const RenameResult too_long = rename_picture(*conn, data_folder(), row(1, "pic001.jpg"), long_base, "jpg");
    EXPECT_EQ(too_long.outcome, RenameOutcome::Failed);
    EXPECT_TRUE(QFile::exists(data_folder() + "pic001.jpg"));
    EXPECT_EQ(field("picfile", 1).toString(), "pic001.jpg");

    EXPECT_EQ(rename_picture(*conn, data_folder(), row(2, "../outside.jpg"), "inside", "jpg").outcome,
              RenameOutcome::Failed);
    EXPECT_TRUE(QFile::exists(db_folder() + "outside.jpg"));
    EXPECT_FALSE(QFile::exists(data_folder() + "inside.jpg"));
}

TEST_F(CatalogueTest, AFileOtherPicturesUseKeepsItsName)
{
    make(6);
    exec("UPDATE demopicture SET picfile = 'beach.jpg' WHERE numpic IN (1, 2, 3)");
    exec("UPDATE demopicture SET picfile = 'sea.jpg', movfile = 'waves.avi' WHERE numpic = 4");
    exec("UPDATE demopicture SET movfile = 'waves.avi' WHERE numpic = 5");
    touch(data_folder() + "beach.jpg", "beach");
    touch(data_folder() + "sea.jpg", "sea");
    touch(data_folder() + "waves.avi", "waves");
    const QStringList before = rows();

    const RenameResult picture = rename_picture(*conn, data_folder(), row(1, "beach.jpg"), "coast", "jpg");
    EXPECT_EQ(picture.outcome, RenameOutcome::FileShared);
    EXPECT_EQ(picture.other_users, 2);
    EXPECT_EQ(shared_file_message(picture), "The picture file beach.jpg is also used by 2 other pictures; nothing was renamed.");
    const RenameResult movie = rename_picture(*conn, data_folder(), row(4, "sea.jpg"), "coast", "jpg");
    EXPECT_EQ(movie.outcome, RenameOutcome::FileShared);
    EXPECT_EQ(shared_file_message(movie), "The movie file waves.avi is also used by 1 other picture; nothing was renamed.");
    EXPECT_EQ(rows(), before);
    for (const char* name : {"beach.jpg", "sea.jpg", "waves.avi"})
        EXPECT_TRUE(QFile::exists(data_folder() + name)) << name;
    EXPECT_FALSE(QFile::exists(data_folder() + "coast.jpg"));

    // The picture alone may change its name while the shared movie keeps its own.
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(4, "sea.jpg"), "waves", "jpg").outcome,
              RenameOutcome::RenamedWithMovie);
    EXPECT_EQ(rows()[3], "4/1/waves.jpg/waves.avi");
    EXPECT_EQ(rows()[4], "5/1/pic005.jpg/waves.avi");
    // A shared name without a file to move takes nothing from anyone.
    exec("UPDATE demopicture SET inoutpic = 1 WHERE numpic = 2");
    ASSERT_TRUE(QFile::remove(data_folder() + "beach.jpg"));
    EXPECT_EQ(rename_picture(*conn, data_folder(), row(2, "beach.jpg"), "inside", "jpg").outcome, RenameOutcome::Renamed);
}

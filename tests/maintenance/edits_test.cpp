#include "maintenance/edits.h"
#include "maintenance/renumber.h"

#include "maintenance_test_util.h"

using namespace mosswick;
using namespace mosswick::maintenance;

namespace {

// Hooks that count the renumbering's calls; stop_at stops once that many
// rows are done (the bar moves a step of rows at a time).
struct Counting {
    int started = 0;
    qint64 last_done = 0;
    qint64 last_total = 0;
    qint64 stop_at = -1;
    RenumberHooks hooks()
    {
        return {[this] { ++started; },
                [this](qint64 done, qint64 total) {
                    last_done = done;
                    last_total = total;
                    return stop_at < 0 || done < stop_at;
                }};
    }
};

} // namespace

// ---- renumbering -----------------------------------------------------------------

TEST_F(CatalogueTest, RenumberingByNameFoldsCaseAndPutsSixOnAPage)
{
    make(13);
    exec("UPDATE demopicture SET picfile = 'B.jpg' WHERE numpic = 1");
    exec("UPDATE demopicture SET picfile = 'a.jpg' WHERE numpic = 2");
    exec("UPDATE demopicture SET picfile = 'A.jpg' WHERE numpic = 3");
    store::Error e;
    EXPECT_EQ(renumber_rows(*conn, false, {}, e), RenumberOutcome::Done);
    const QStringList r = rows();
    ASSERT_EQ(r.size(), 13);
    EXPECT_EQ(r.mid(0, 3), QStringList({"1/1/A.jpg/-", "2/1/a.jpg/-", "3/1/B.jpg/-"}));
    for (int i = 3; i < 13; ++i)
        EXPECT_EQ(r[i], QStringLiteral("%1/%2/%3/-").arg(i + 1).arg(i / 6 + 1).arg(testsupport::picture_name(i + 1)));
}

TEST_F(CatalogueTest, RenumberingInOrderClosesGapsAndPutsUnnumberedRowsLast)
{
    make(5);
    exec("DELETE FROM demopicture WHERE numpic = 3");
    exec("UPDATE demopicture SET numpic = NULL WHERE numpic = 1");
    store::Error e;
    EXPECT_EQ(renumber_rows(*conn, true, {}, e), RenumberOutcome::Done);
    EXPECT_EQ(rows(), QStringList({"1/1/pic002.jpg/-", "2/1/pic004.jpg/-", "3/1/pic005.jpg/-", "4/1/pic001.jpg/-"}));
}

TEST_F(CatalogueTest, AStoppedRenumberingChangesNothing)
{
    make(9);
    exec("UPDATE demopicture SET numpic = numpic + 100");
    const QStringList before = rows();
    store::Error e;
    EXPECT_EQ(renumber_rows(*conn, false, [](qint64 done, qint64) { return done < 4; }, e), RenumberOutcome::Stopped);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(renumber_rows(*conn, false, {}, e), RenumberOutcome::Done);
    EXPECT_EQ(rows().front(), "1/1/pic001.jpg/-");
}

TEST_F(CatalogueTest, AnEmptyCatalogueHasNothingToRenumber)
{
    make(0);
    store::Error e;
    EXPECT_EQ(renumber_rows(*conn, true, {}, e), RenumberOutcome::Empty);
    EXPECT_EQ(renumber_rows(*conn, false, {}, e), RenumberOutcome::Empty);
}

// ---- deletes -------------------------------------------------------------------------

TEST_F(CatalogueTest, DeletingPageTwoOfFourteenClosesTheNumbering)
{
    make(14);
    Counting c;
    const EditResult r = delete_page(*conn, 2, c.hooks());
    EXPECT_EQ(r.outcome, EditOutcome::Done);
    EXPECT_EQ(r.renumbering, RenumberOutcome::Done);
    EXPECT_EQ(c.started, 1);
    EXPECT_EQ(c.last_total, 8);
    EXPECT_EQ(rows(), QStringList({"1/1/pic001.jpg/-", "2/1/pic002.jpg/-", "3/1/pic003.jpg/-", "4/1/pic004.jpg/-",
                                   "5/1/pic005.jpg/-", "6/1/pic006.jpg/-", "7/2/pic013.jpg/-", "8/2/pic014.jpg/-"}));
}

TEST_F(CatalogueTest, DeletingPictureThreeOfSevenMovesTheRestDown)
{
    make(7);
    const EditResult r = delete_picture(*conn, PictureRef::number(3), {});
    EXPECT_EQ(r.outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names({1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(rows().back(), "6/1/pic007.jpg/-");
}

TEST_F(CatalogueTest, DeletingTheOnlyPageLeavesNothingToRenumber)
{
    make(4);
    const EditResult r = delete_page(*conn, 1, {});
    EXPECT_EQ(r.outcome, EditOutcome::Done);
    EXPECT_EQ(r.renumbering, RenumberOutcome::Empty);
    EXPECT_TRUE(rows().isEmpty());
}

TEST_F(CatalogueTest, NumbersWithoutARowChangeNothing)
{
    make(7);
    const QStringList before = rows();
    Counting c;
    EXPECT_EQ(delete_page(*conn, 3, c.hooks()).outcome, EditOutcome::Missing);
    EXPECT_EQ(delete_page(*conn, 0, c.hooks()).outcome, EditOutcome::Missing);
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(8), c.hooks()).outcome, EditOutcome::Missing);
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(0), c.hooks()).outcome, EditOutcome::Missing);
    EXPECT_EQ(c.started, 0);
    EXPECT_EQ(rows(), before);
}

TEST_F(CatalogueTest, DeletingEverythingEmptiesTheTableOnly)
{
    make(5);
    const QString movie = touch(data_folder() + "pic001.avi");
    EXPECT_EQ(delete_all_pictures(*conn).outcome, EditOutcome::Done);
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_TRUE(QFile::exists(movie));
}

TEST_F(CatalogueTest, AStopDuringTheRenumberingUndoesTheDelete)
{
    make(14);
    const QStringList before = rows();
    Counting c;
    c.stop_at = 3;
    const EditResult r = delete_page(*conn, 1, c.hooks());
    EXPECT_EQ(r.outcome, EditOutcome::Stopped);
    EXPECT_EQ(r.renumbering, RenumberOutcome::Stopped);
    EXPECT_EQ(rows(), before);
    // The connection is usable and the next edit goes through.
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(1), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(rows().size(), 13);
}

TEST_F(CatalogueTest, AGridRowThatChangedIsNotDeleted)
{
    make(8);
    exec("UPDATE demopicture SET picfile = 'renamed.jpg' WHERE numpic = 2");
    const QStringList before = rows();
    EXPECT_EQ(delete_picture(*conn, PictureRef::grid_row(2, 1, "pic002.jpg"), {}).outcome, EditOutcome::Stale);
    EXPECT_EQ(delete_picture(*conn, PictureRef::grid_row(3, 2, "pic003.jpg"), {}).outcome, EditOutcome::Stale);
    EXPECT_EQ(delete_picture(*conn, PictureRef::grid_row(9, 2, "pic009.jpg"), {}).outcome, EditOutcome::Stale);
    EXPECT_EQ(delete_page_of(*conn, PictureRef::grid_row(2, 1, "pic002.jpg"), {}).outcome, EditOutcome::Stale);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(delete_page_of(*conn, PictureRef::grid_row(8, 2, "pic008.jpg"), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(rows().size(), 6);
    EXPECT_EQ(delete_picture(*conn, PictureRef::grid_row(2, 1, "renamed.jpg"), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names({1, 3, 4, 5, 6}));
}

TEST(StillAsShown, ComparesPageAndNameOfGridRowsOnly)
{
    EXPECT_TRUE(still_as_shown(PictureRef::number(4), QVariant(), "anything"));
    EXPECT_TRUE(still_as_shown(PictureRef::grid_row(4, 1, "a.jpg"), 1, "a.jpg"));
    EXPECT_FALSE(still_as_shown(PictureRef::grid_row(4, 1, "a.jpg"), 2, "a.jpg"));
    EXPECT_FALSE(still_as_shown(PictureRef::grid_row(4, 1, "a.jpg"), 1, "A.jpg"));
    EXPECT_FALSE(still_as_shown(PictureRef::grid_row(4, 1, "a.jpg"), QVariant(), "a.jpg"));
    EXPECT_TRUE(still_as_shown(PictureRef::grid_row(4, std::nullopt, "a.jpg"), QVariant(), "a.jpg"));
}

// ---- exchange ------------------------------------------------------------------------

TEST_F(CatalogueTest, ExchangingThreeAndTenSwapsTheirPlacesOnly)
{
    make(12);
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(3), PictureRef::number(10)).outcome, EditOutcome::Done);
    const QStringList r = rows();
    EXPECT_EQ(r[2], "3/1/pic010.jpg/-");
    EXPECT_EQ(r[9], "10/2/pic003.jpg/-");
    EXPECT_EQ(order(), names({1, 2, 10, 4, 5, 6, 7, 8, 9, 3, 11, 12}));
}

TEST_F(CatalogueTest, ExchangeRefusesMissingPicturesAndIgnoresItself)
{
    make(5);
    const QStringList before = rows();
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(3), PictureRef::number(3)).outcome, EditOutcome::Done);
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(6), PictureRef::number(1)).outcome, EditOutcome::Missing);
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(1), PictureRef::number(6)).outcome,
              EditOutcome::SecondMissing);
    EXPECT_EQ(rows(), before);
}

TEST_F(CatalogueTest, ExchangeWorksBesideARowLeftInTheParkingSlot)
{
    make(4);
    exec("UPDATE demopicture SET numpic = 0, numpage = 0 WHERE numpic = 4");
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(1), PictureRef::number(2)).outcome, EditOutcome::Done);
    EXPECT_EQ(rows(), QStringList({"0/0/pic004.jpg/-", "1/1/pic002.jpg/-", "2/1/pic001.jpg/-", "3/1/pic003.jpg/-"}));
}

TEST_F(CatalogueTest, GridExchangeChecksBothRows)
{
    make(6);
    exec("UPDATE demopicture SET picfile = 'other.jpg' WHERE numpic = 5");
    const QStringList before = rows();
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::grid_row(1, 1, "pic001.jpg"), PictureRef::grid_row(5, 1, "pic005.jpg"))
                  .outcome,
              EditOutcome::Stale);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::grid_row(1, 1, "pic001.jpg"), PictureRef::grid_row(5, 1, "other.jpg"))
                  .outcome,
              EditOutcome::Done);
    EXPECT_EQ(rows().front(), "1/1/other.jpg/-");
}

// ---- insert ---------------------------------------------------------------------------

struct InsertCase {
    const char* name;
    int moving;   // places in the number order, 1..12
    int place;
    std::vector<int> expected;   // empty where the insert is refused
};

const InsertCase k_insert_cases[] = {
    {"back_10_to_3", 10, 3, {1, 2, 10, 3, 4, 5, 6, 7, 8, 9, 11, 12}},
    {"forward_3_to_10", 3, 10, {1, 2, 4, 5, 6, 7, 8, 9, 10, 3, 11, 12}},
    {"back_by_one", 10, 9, {1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12}},
    {"forward_by_one", 9, 10, {1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12}},
    {"first_to_last", 1, 12, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}},
    {"last_to_first", 12, 1, {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
    {"in_place", 5, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
    {"outside", 13, 1, {}},
};

// Twelve pictures numbered 1..12, or 2, 4, ... 24 when gapped: the insert
// follows their order either way and numbers them 1..12 afterwards.
class InsertPicture : public CatalogueTest, public ::testing::WithParamInterface<std::tuple<InsertCase, bool>> {};

TEST_P(InsertPicture, MovesOnePictureAndShiftsThoseBetween)
{
    const auto& [c, gapped] = GetParam();
    make(12);
    const int step = gapped ? 2 : 1;
    if (gapped) {
        exec("UPDATE demopicture SET numpic = numpic + 100");
        exec("UPDATE demopicture SET numpic = (numpic - 100) * 2");
    }
    Counting counting;
    const EditResult r =
        insert_picture(*conn, PictureRef::number(c.moving * step), PictureRef::number(c.place * step), counting.hooks());
    if (c.expected.empty()) {
        EXPECT_NE(r.outcome, EditOutcome::Done);
        EXPECT_EQ(rows().front(), QStringLiteral("%1/1/pic001.jpg/-").arg(step));
        return;
    }
    EXPECT_EQ(r.outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names(c.expected));
    EXPECT_EQ(rows().back(), QStringLiteral("12/2/%1/-").arg(testsupport::picture_name(c.expected.back())));
    EXPECT_EQ(counting.last_total, 12);
    expect_numbered_in_pages();
}

INSTANTIATE_TEST_SUITE_P(Cases, InsertPicture, ::testing::Combine(::testing::ValuesIn(k_insert_cases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "_gapped" : "_dense");
                         });

TEST_F(CatalogueTest, InsertFollowsThePresentOrderAcrossGaps)
{
    make(5);
    exec("DELETE FROM demopicture WHERE numpic = 3");
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(5), PictureRef::number(2), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(rows(), QStringList({"1/1/pic001.jpg/-", "2/1/pic005.jpg/-", "3/1/pic002.jpg/-", "4/1/pic004.jpg/-"}));
}

TEST_F(CatalogueTest, InsertRefusesMissingPicturesAndUndoesAStop)
{
    make(8);
    const QStringList before = rows();
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(9), PictureRef::number(2), {}).outcome, EditOutcome::Missing);
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(2), PictureRef::number(9), {}).outcome,
              EditOutcome::SecondMissing);
    Counting c;
    c.stop_at = 5;
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(8), PictureRef::number(1), c.hooks()).outcome,
              EditOutcome::Stopped);
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(insert_picture(*conn, PictureRef::grid_row(8, 1, "pic008.jpg"), PictureRef::grid_row(1, 1, "pic001.jpg"),
                             {})
                  .outcome,
              EditOutcome::Stale);
    EXPECT_EQ(rows(), before);
}

// ---- only what changes is written ---------------------------------------------------

namespace {

// Records the file name of every row an UPDATE or DELETE touches from now on.
class WrittenRows {
public:
    explicit WrittenRows(store::Connection& conn) : m_conn(conn)
    {
        for (const char* sql : {"CREATE TEMP TABLE written (picfile TEXT)",
                                "CREATE TEMP TRIGGER note_update AFTER UPDATE ON main.demopicture "
                                "BEGIN INSERT INTO written VALUES (old.picfile); END",
                                "CREATE TEMP TRIGGER note_delete AFTER DELETE ON main.demopicture "
                                "BEGIN INSERT INTO written VALUES (old.picfile); END"}) {
            const store::Error e = conn.exec(QString::fromLatin1(sql));
            EXPECT_TRUE(e.ok()) << e.text.toStdString();
        }
    }
    ~WrittenRows()
    {
        for (const char* sql : {"DROP TRIGGER temp.note_update", "DROP TRIGGER temp.note_delete", "DROP TABLE temp.written"}) {
            const store::Error e = m_conn.exec(QString::fromLatin1(sql));
            EXPECT_TRUE(e.ok()) << e.text.toStdString();
        }
    }
    WrittenRows(const WrittenRows&) = delete;
    WrittenRows& operator=(const WrittenRows&) = delete;
    // The distinct names written, sorted.
    QStringList names() const
    {
        QStringList out;
        auto st = m_conn.prepare("SELECT DISTINCT picfile FROM written ORDER BY picfile");
        while (st.step())
            out << st.text(0);
        return out;
    }

private:
    store::Connection& m_conn;
};

qint64 total_changes(store::Connection& conn)
{
    store::Error e;
    return conn.scalar("SELECT total_changes()", {}, e).toLongLong();
}

} // namespace

TEST_F(CatalogueTest, DeletingTheLastPictureWritesNoOtherRow)
{
    make(60);
    const qint64 before = total_changes(*conn);
    const WrittenRows written(*conn);
    Counting c;
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(60), c.hooks()).outcome, EditOutcome::Done);
    EXPECT_EQ(written.names(), names({60}));
    EXPECT_EQ(rows().size(), 59);
    EXPECT_EQ(c.started, 1);
    // Only the delete itself and the trigger's own note.
    EXPECT_EQ(total_changes(*conn) - before, 2);
}

TEST_F(CatalogueTest, DeletesRewriteOnlyTheRowsAfterTheGap)
{
    make(20);
    {
        const WrittenRows written(*conn);
        Counting c;
        EXPECT_EQ(delete_picture(*conn, PictureRef::number(17), c.hooks()).outcome, EditOutcome::Done);
        EXPECT_EQ(written.names(), names({17, 18, 19, 20}));
        EXPECT_EQ(c.last_done, 19);
        EXPECT_EQ(c.last_total, 19);
    }
    const WrittenRows written(*conn);
    // Page 2 holds 7..12; 13..19 move down, 1..6 stay untouched.
    EXPECT_EQ(delete_page(*conn, 2, {}).outcome, EditOutcome::Done);
    EXPECT_EQ(written.names(), names({7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20}));
    EXPECT_EQ(order(), names({1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 18, 19, 20}));
    expect_numbered_in_pages();
}

TEST_F(CatalogueTest, InsertAndExchangeWriteOnlyTheRowsThatMove)
{
    make(30);
    {
        const WrittenRows written(*conn);
        EXPECT_EQ(insert_picture(*conn, PictureRef::number(12), PictureRef::number(9), {}).outcome, EditOutcome::Done);
        EXPECT_EQ(written.names(), names({9, 10, 11, 12}));
    }
    EXPECT_EQ(order(), names({1, 2, 3, 4, 5, 6, 7, 8, 12, 9, 10, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,
                              26, 27, 28, 29, 30}));
    const WrittenRows written(*conn);
    EXPECT_EQ(exchange_pictures(*conn, PictureRef::number(2), PictureRef::number(29)).outcome, EditOutcome::Done);
    EXPECT_EQ(written.names(), names({2, 29}));
}

TEST_F(CatalogueTest, ARenumberingThatChangesNothingWritesNothing)
{
    make(13);
    store::Error e;
    {
        const WrittenRows written(*conn);
        EXPECT_EQ(renumber_rows(*conn, false, {}, e), RenumberOutcome::Done);
        EXPECT_EQ(renumber_rows(*conn, true, {}, e), RenumberOutcome::Done);
        EXPECT_TRUE(written.names().isEmpty());
    }
    // One row out of place: it alone is written.
    exec("UPDATE demopicture SET numpage = 9 WHERE numpic = 4");
    const WrittenRows written(*conn);
    EXPECT_EQ(renumber_rows(*conn, true, {}, e), RenumberOutcome::Done);
    EXPECT_EQ(written.names(), names({4}));
    EXPECT_EQ(field("numpage", 4), QVariant(qint64(1)));
}

TEST_F(CatalogueTest, ANumberingWithGapsIsRepairedWholeByAnEdit)
{
    make(14);
    // Not 1..N: a gap at 3 and a picture without a number.
    exec("DELETE FROM demopicture WHERE numpic = 3");
    exec("UPDATE demopicture SET numpic = NULL WHERE numpic = 1");
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(14), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names({2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1}));
    expect_numbered_in_pages();
}

TEST_F(CatalogueTest, AFractionAmongTheRowsThatMoveRenumbersTheWholeCatalogue)
{
    make(12);
    exec("UPDATE demopicture SET numpic = 5.5 WHERE numpic = 5");
    // The rows after 7 move down as a range; the fraction before them stays.
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(7), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(rows()[4], "5.5/1/pic005.jpg/-");
    EXPECT_EQ(rows().back(), "11/2/pic012.jpg/-");
    // Among the rows that would move it makes the edit number every row.
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(3), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names({1, 2, 4, 5, 6, 8, 9, 10, 11, 12}));
    expect_numbered_in_pages();
    // An insert across a fraction too.
    exec("UPDATE demopicture SET numpic = 2.5 WHERE numpic = 3");
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(1), PictureRef::number(4), {}).outcome, EditOutcome::Done);
    EXPECT_EQ(order(), names({2, 4, 5, 1, 6, 8, 9, 10, 11, 12}));
    EXPECT_EQ(rows()[1], "2/1/pic004.jpg/-");
}

TEST_F(CatalogueTest, AStopDuringAPartialRenumberingUndoesTheEdit)
{
    make(20);
    const QStringList before = rows();
    Counting c;
    c.stop_at = 12;   // after the rows 11 and 12 of 20 took their new places
    EXPECT_EQ(delete_picture(*conn, PictureRef::number(10), c.hooks()).outcome, EditOutcome::Stopped);
    EXPECT_EQ(rows(), before);
    c.stop_at = 5;
    EXPECT_EQ(insert_picture(*conn, PictureRef::number(18), PictureRef::number(3), c.hooks()).outcome,
              EditOutcome::Stopped);
    EXPECT_EQ(rows(), before);
}

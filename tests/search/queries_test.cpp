#include "search_fixture.h"

#include "search/messages.h"
#include "search/queries.h"

using namespace searchtest;
using namespace mosswick::search;

TEST(Messages, CountsTakeTheirGrammar)
{
    EXPECT_EQ(selected_message(0), "0 record selected.");
    EXPECT_EQ(selected_message(1), "1 record selected.");
    EXPECT_EQ(selected_message(2), "2 records selected.");
    EXPECT_EQ(listed_message(0), " 0 record listed.");
    EXPECT_EQ(listed_message(1), " 1 record listed.");
    EXPECT_EQ(listed_message(14), " 14 records listed.");
    EXPECT_EQ(movie_message("a.jpg", true), "a.jpg have movie.");
    EXPECT_EQ(movie_message("a.jpg", false), "a.jpg have not a movie.");
    EXPECT_EQ(elapsed_message(12), "12 ms");
}

TEST(GridNumber, ReadsOnlyWholeNumbersAsGridsShowThem)
{
    EXPECT_EQ(grid_number("7"), 7);
    EXPECT_EQ(grid_number("-3"), -3);
    EXPECT_EQ(grid_number("2147483648"), 2147483648LL);
    for (const char* bad : {"", " 7", "7 ", "+7", "7a", "x", "1.5"})
        EXPECT_FALSE(grid_number(QString::fromLatin1(bad))) << bad;
}

TEST(GridRowsModel, HoldsTextsWithColumnAlignments)
{
    GridModel model({Qt::AlignCenter, Qt::AlignLeft});
    GridRows rows(2);
    rows.append({"1", "a.jpg"});
    rows.append({"2"});   // a missing cell is empty
    model.set_rows(std::move(rows));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::DisplayRole).toString(), "a.jpg");
    EXPECT_EQ(model.text(1, 1), "");
    EXPECT_EQ(model.text(5, 0), "");   // outside the table
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft));
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    model.set_rows(GridRows(3));   // wrong shape: no rows rather than wrong columns
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 2);
}

TEST(RowToKeep, KeepsTheRowWhereTheSelectionBegan)
{
    EXPECT_EQ(row_to_keep({}, 0), -1);
    EXPECT_EQ(row_to_keep({4}, 4), 4);
    EXPECT_EQ(row_to_keep({2, 3, 4}, 4), 2);   // dragged down from 2
    EXPECT_EQ(row_to_keep({4, 3, 2}, 2), 4);   // dragged up from 4
    EXPECT_EQ(row_to_keep({1, 5, 7}, 5), 5);   // picked one by one: the last picked
    EXPECT_EQ(row_to_keep({1, 5, 7}, 3), 1);
}

namespace {

class Queries : public CatalogueTest {};

} // namespace

TEST_F(Queries, RowsShowNullAsEmptyAndMarkEveryMovieThatIsNotNull)
{
    add(1, "a.jpg", {QString("a.avi"), {}, {}, {}});
    add(2, "b.jpg", {QString(""), {}, {}, {}});
    add(3, "c.jpg", {});
    ASSERT_FALSE(conn->exec(QStringLiteral("UPDATE demopicture SET numpage = NULL WHERE numpic = 3")));
    store::Error e;
    const GridRows rows = read_rows(*conn, reference_list_query(*conn, false), k_search_columns, e);
    ASSERT_FALSE(e);
    EXPECT_EQ(column(rows, 1), (QStringList{"1", "1", ""}));
    EXPECT_EQ(column(rows, 2), (QStringList{"*", "*", ""}));
}

TEST_F(Queries, ReferenceListOrdersByNumberOrByFoldedReference)
{
    add(1, "a.jpg", {{}, {}, "beta", {}});
    add(2, "b.jpg", {{}, {}, "Alpha", {}});
    add(3, "c.jpg", {});
    add(4, "d.jpg", {{}, {}, "alpha", {}});
    store::Error e;
    GridRows rows = read_rows(*conn, reference_list_query(*conn, false), k_search_columns, e);
    EXPECT_EQ(column(rows, 3), (QStringList{"beta", "Alpha", "", "alpha"}));
    rows = read_rows(*conn, reference_list_query(*conn, true), k_search_columns, e);
    ASSERT_FALSE(e);
    EXPECT_EQ(column(rows, 0), (QStringList{"3", "2", "4", "1"}));
}

TEST_F(Queries, ImportExportListTellsWhereEachPictureLives)
{
    add(1, "a.jpg", {QString("a.avi"), {}, {}, {}});
    add(2, "b.jpg", {});
    const QString file = dir.write("b.jpg", testsupport::make_picture_bytes(20, 10, "jpg"));
    ASSERT_FALSE(conn->write_picture_bytes(2, file));
    store::Error e;
    const GridRows rows = read_rows(*conn, import_export_query(*conn), k_import_export_columns, e);
    ASSERT_FALSE(e);
    ASSERT_EQ(rows.count(), 2);
    EXPECT_EQ(column(rows, 2), (QStringList{"*", ""}));
    EXPECT_EQ(column(rows, 3), (QStringList{"OUT", "IN"}));
    EXPECT_EQ(column(rows, 4), (QStringList{"a.jpg", "b.jpg"}));
}

TEST_F(Queries, BrokenStatementReportsTheEngineError)
{
    store::Error e;
    const GridRows rows = read_rows(*conn, {QStringLiteral("nosuchcolumn"), {}, {}, {}}, 1, e);
    EXPECT_TRUE(e);
    EXPECT_GT(e.code, 0);
    EXPECT_TRUE(rows.empty());
}

TEST_F(Queries, RecordIsReadByNumberAndPageWithItsStoredBytes)
{
    add(7, "g.jpg", {QString("g.avi"), rtf("hello"), "ref", QString("plain add")});
    const QByteArray bytes = testsupport::make_picture_bytes(30, 20, "jpg");
    ASSERT_FALSE(conn->write_picture_bytes(7, dir.write("g.jpg", bytes)));
    store::Error e;
    const auto r = read_record(*conn, 7, 2, e);
    ASSERT_FALSE(e);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->numpic.toLongLong(), 7);
    EXPECT_EQ(r->picfile.toString(), "g.jpg");
    EXPECT_EQ(r->movfile.toString(), "g.avi");
    EXPECT_EQ(r->reference.toString(), "ref");
    EXPECT_EQ(r->addnote.toString(), "plain add");
    EXPECT_TRUE(r->inoutpic.isValid());
    EXPECT_EQ(r->dbpic, bytes);
    EXPECT_FALSE(read_record(*conn, 7, 1, e));   // renumbered since: another page
    EXPECT_FALSE(e);
}

TEST(NoteMatch, LooksAtTheVisibleTextOnly)
{
    EXPECT_TRUE(note_matches(rtf("Hello \\b World\\b0"), "hello world"));
    EXPECT_TRUE(note_matches(QString("plain text note"), "TEXT"));
    EXPECT_FALSE(note_matches(rtf("Hello"), "fonttbl"));
    EXPECT_FALSE(note_matches(rtf("Hello"), "Comic"));
    EXPECT_FALSE(note_matches(QVariant(), " "));
    EXPECT_TRUE(note_matches(QVariant(), ""));
    EXPECT_TRUE(note_matches(rtf("caf\\'e9"), QString::fromUtf8("CAFÉ")));
    EXPECT_TRUE(note_matches(QString("50% off"), "50%"));
}

namespace {

// A catalogue to run note searches on.
class NoteSearchTest : public CatalogueTest {
protected:
    NoteSearchResult run(const QString& text, NoteFields fields, bool by_name = false,
                         const std::function<bool(qint64)>& before = {})
    {
        NoteSearchRequest r;
        r.text = text;
        r.fields = fields;
        r.order_by_name = by_name;
        return run_note_search(*conn, r, before);
    }
};

class NoteSearch : public NoteSearchTest {
protected:
    void SetUp() override
    {
        NoteSearchTest::SetUp();
        add(1, "zeta.jpg", {{}, rtf("red apple"), {}, {}});
        add(2, "alpha.jpg", {{}, {}, {}, rtf("green apple")});
        add(3, "Mid.jpg", {QString("m.avi"), QString("plain red"), {}, QString("blue")});
        add(4, "beta.jpg", {{}, rtf("nothing"), {}, {}});
    }
};

} // namespace

TEST_F(NoteSearch, FindsTheTextInTheChosenFields)
{
    NoteSearchResult r = run("apple", NoteFields::Note);
    ASSERT_FALSE(r.error);
    EXPECT_EQ(column(r.rows, 0), (QStringList{"1"}));
    EXPECT_EQ(r.scanned, 4);
    EXPECT_EQ(column(run("apple", NoteFields::AddNote).rows, 0), (QStringList{"2"}));
    EXPECT_EQ(column(run("apple", NoteFields::Both).rows, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(column(run("RED", NoteFields::Both).rows, 0), (QStringList{"1", "3"}));
    EXPECT_TRUE(run("purple", NoteFields::Both).rows.empty());
    const NoteSearchResult mid = run("blue", NoteFields::AddNote);
    EXPECT_EQ(mid.rows.cell(0, 2), "*");
    EXPECT_EQ(mid.rows.cell(0, 3), "Mid.jpg");
}

TEST_F(NoteSearch, EmptyTextListsEveryRecordInScanOrder)
{
    EXPECT_EQ(column(run("", NoteFields::AddNote).rows, 0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(column(run("", NoteFields::Note, true).rows, 3),
              (QStringList{"alpha.jpg", "beta.jpg", "Mid.jpg", "zeta.jpg"}));
}

TEST_F(NoteSearch, FieldsNotChosenAreNeverSearched)
{
    // A blank is found only where a chosen field shows one: a field that is
    // not searched, or Null, never matches it.
    EXPECT_EQ(column(run(" ", NoteFields::Note).rows, 0), (QStringList{"1", "3"}));
    EXPECT_EQ(column(run(" ", NoteFields::AddNote).rows, 0), (QStringList{"2"}));
    // Null additional notes do not match.
    EXPECT_EQ(column(run("a", NoteFields::AddNote).rows, 0), (QStringList{"2"}));
}

TEST_F(NoteSearch, StopKeepsTheRowsFoundBeforeIt)
{
    std::vector<qint64> seen;
    const NoteSearchResult r = run("", NoteFields::Note, false, [&](qint64 i) {
        seen.push_back(i);
        return i < 2;
    });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.scanned, 2);
    EXPECT_EQ(column(r.rows, 0), (QStringList{"1", "2"}));
    EXPECT_EQ(seen, (std::vector<qint64>{0, 1, 2}));

    seen.clear();
    const NoteSearchResult all = run("", NoteFields::Note, false, [&](qint64 i) {
        seen.push_back(i);
        return true;
    });
    EXPECT_FALSE(all.stopped);
    EXPECT_EQ(seen, (std::vector<qint64>{0, 1, 2, 3}));   // once per record, never past the last
}

TEST_F(NoteSearch, EmptyTableScansNothing)
{
    ASSERT_FALSE(conn->exec(QStringLiteral("DELETE FROM demopicture")));
    int calls = 0;
    const NoteSearchResult r = run("x", NoteFields::Both, false, [&](qint64) {
        ++calls;
        return true;
    });
    EXPECT_FALSE(r.error);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(r.rows.empty());
}

TEST(LightCatalogue, QueriesNameOnlyTheColumnsItHas)
{
    testsupport::TempDir dir;
    testsupport::CatalogueSpec spec;
    spec.pictures = 2;
    spec.schema = mosswick::store::Schema::Light;
    const QString path = testsupport::make_catalogue(dir.path(), spec);
    mosswick::store::Error e;
    auto conn = mosswick::store::Connection::open(path, {}, e);
    ASSERT_TRUE(conn);
    const GridRows refs = read_rows(*conn, reference_list_query(*conn, true), k_search_columns, e);
    EXPECT_FALSE(e) << e.text.toStdString();
    EXPECT_EQ(refs.count(), 2);
    NoteSearchRequest r;
    r.text = QStringLiteral("note 2");
    r.fields = NoteFields::Both;
    const NoteSearchResult notes = run_note_search(*conn, r, {});
    EXPECT_FALSE(notes.error);
    EXPECT_EQ(column(notes.rows, 0), (QStringList{"2"}));
    const auto rec = read_record(*conn, 1, 1, e);
    EXPECT_FALSE(e);
    ASSERT_TRUE(rec);
    EXPECT_FALSE(rec->inoutpic.isValid());
    const GridRows io = read_rows(*conn, import_export_query(*conn), k_import_export_columns, e);
    EXPECT_EQ(column(io, 3), (QStringList{"OUT", "OUT"}));
}

namespace {

// Enough records for many batches of the walk, with notes of every kind.
class LargeNoteSearch : public NoteSearchTest {
protected:
    static constexpr int k_rows = 5000;

    void SetUp() override
    {
        NoteSearchTest::SetUp();
        store::Transaction t(*conn);
        for (int n = 1; n <= k_rows; ++n) {
            QVariant note;
            switch (n % 5) {
            case 0: note = rtf(QStringLiteral("word%1 \\b caf\\'e9\\b0").arg(n % 7)); break;
            case 1: note = QStringLiteral("plain word%1 Caf\u00e9").arg(n % 3); break;
            case 2: break;   // Null
            case 3: note = rtf(QStringLiteral("{\\*\\hidden word%1} shown").arg(n % 7)); break;
            default: note = QString(); break;
            }
            add(n, QStringLiteral("n%1.jpg").arg((n * 37) % k_rows), {{}, note, {}, n % 4 == 0 ? QVariant(rtf("word1")) : QVariant()});
        }
        EXPECT_FALSE(t.commit());
    }

    // The numbers a walk of one record at a time finds, up to `limit` records.
    QStringList one_by_one(const QString& text, NoteFields fields, bool by_name, qint64 limit = -1)
    {
        const QString order = by_name ? QStringLiteral(" ORDER BY picfile COLLATE mw_fold, numpic")
                                      : QStringLiteral(" ORDER BY numpic, numpage");
        auto st = conn->prepare(QStringLiteral("SELECT numpic, note, addnote FROM demopicture") + order);
        QStringList out;
        for (qint64 i = 0; st.step() && i != limit; ++i) {
            const bool in_note = fields != NoteFields::AddNote && note_matches(st.value(1), text);
            const bool in_add = fields != NoteFields::Note && note_matches(st.value(2), text);
            if (in_note || in_add)
                out << st.text(0);
        }
        return out;
    }
};

} // namespace

TEST_F(LargeNoteSearch, FindsWhatAWalkOfOneRecordAtATimeFindsInTheSameOrder)
{
    for (const bool by_name : {false, true})
        for (const NoteFields fields : {NoteFields::Note, NoteFields::AddNote, NoteFields::Both})
            for (const char* text : {"word1", "CAF\u00c9", "hidden", "shown"}) {
                const QStringList expected = one_by_one(QString::fromUtf8(text), fields, by_name);
                const NoteSearchResult r = run(QString::fromUtf8(text), fields, by_name);
                EXPECT_FALSE(r.error);
                EXPECT_EQ(r.scanned, k_rows);
                EXPECT_EQ(column(r.rows, 0), expected) << text << " " << int(fields) << " " << by_name;
            }
    EXPECT_TRUE(run("hidden", NoteFields::Note, false).rows.empty());
    EXPECT_FALSE(run("word1", NoteFields::Both, false).rows.empty());
}

TEST_F(LargeNoteSearch, AStopFarIntoTheWalkKeepsExactlyTheMatchesBeforeIt)
{
    const qint64 stop_at = 3333;
    const NoteSearchResult r = run("word1", NoteFields::Both, true, [&](qint64 i) { return i < stop_at; });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.scanned, stop_at);
    EXPECT_EQ(column(r.rows, 0), one_by_one("word1", NoteFields::Both, true, stop_at));
}

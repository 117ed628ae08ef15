// The edits that renumber, checked row for row against a model that numbers
// the rows one at a time, as the program always has: on catalogues with gaps,
// rows without a number, a row left in the parking slot, pages out of step,
// stored pictures and movies, stored in number order, out of it and
// in it but for two rows, in both editions.
#include "maintenance/edits.h"
#include "maintenance/renumber.h"

#include "support/test_support.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <random>

using namespace mosswick;
using namespace mosswick::maintenance;

namespace {

struct ModelRow {
    qint64 rowid = 0;
    std::optional<qint64> numpic;
    std::optional<qint64> numpage;
    QString picfile;
    QString movfile;   // "" for none
    QByteArray stored; // hash of the stored picture; "" for none

    bool operator==(const ModelRow&) const = default;
};

// The rows in storage order.
using Model = std::vector<ModelRow>;

std::ostream& operator<<(std::ostream& os, const ModelRow& r)
{
    const auto n = [](const std::optional<qint64>& v) { return v ? std::to_string(*v) : std::string("-"); };
    return os << "row " << r.rowid << ": " << n(r.numpic) << "/" << n(r.numpage) << " " << r.picfile.toStdString();
}

std::optional<qint64> whole(const QVariant& v)
{
    return v.isValid() ? std::optional<qint64>(v.toLongLong()) : std::nullopt;
}

qint64 page_of(qint64 numpic)
{
    return (numpic + 5) / 6;
}

Model read_model(store::Connection& conn)
{
    Model m;
    const bool stored = conn.column_count() > 7;
    auto st = conn.prepare(stored ? "SELECT rowid, numpic, numpage, picfile, movfile, dbpic FROM demopicture ORDER BY rowid"
                                  : "SELECT rowid, numpic, numpage, picfile, movfile, NULL FROM demopicture ORDER BY rowid");
    while (st.step()) {
        const QVariant bytes = st.value(5);
        m.push_back({st.integer(0), whole(st.value(1)), whole(st.value(2)), st.text(3), st.text(4),
                     bytes.isValid() ? QCryptographicHash::hash(bytes.toByteArray(), QCryptographicHash::Sha1) : QByteArray()});
    }
    EXPECT_TRUE(st.error().ok()) << st.error().text.toStdString();
    return m;
}

// ---- the model: numbering row by row -------------------------------------------

// Positions of the rows in the present number order: numbered rows by
// number, then those without one, ties by storage order.
std::vector<size_t> number_order(const Model& m)
{
    std::vector<size_t> order(m.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&m](size_t a, size_t b) {
        const ModelRow& x = m[a];
        const ModelRow& y = m[b];
        if (x.numpic.has_value() != y.numpic.has_value())
            return x.numpic.has_value();
        if (x.numpic && *x.numpic != *y.numpic)
            return *x.numpic < *y.numpic;
        return x.rowid < y.rowid;
    });
    return order;
}

// File-name order: case folded, then exact, then the number order.
std::vector<size_t> name_order(const Model& m)
{
    std::vector<size_t> by_number = number_order(m);
    std::stable_sort(by_number.begin(), by_number.end(), [&m](size_t a, size_t b) {
        const int folded = m[a].picfile.compare(m[b].picfile, Qt::CaseInsensitive);
        if (folded != 0)
            return folded < 0;
        return m[a].picfile.compare(m[b].picfile, Qt::CaseSensitive) < 0;
    });
    return by_number;
}

// Gives the rows at the listed positions the numbers first, first + 1, ...
void place(Model& m, const std::vector<size_t>& order, qint64 first)
{
    for (size_t k = 0; k < order.size(); ++k) {
        m[order[k]].numpic = first + qint64(k);
        m[order[k]].numpage = page_of(first + qint64(k));
    }
}

// The numbers are exactly 1..N.
bool dense(const Model& m)
{
    std::vector<qint64> numbers;
    for (const ModelRow& r : m) {
        if (!r.numpic)
            return false;
        numbers.push_back(*r.numpic);
    }
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 0; i < numbers.size(); ++i)
        if (numbers[i] != qint64(i) + 1)
            return false;
    return true;
}

std::optional<size_t> numbered(const Model& m, qint64 numpic)
{
    for (size_t i = 0; i < m.size(); ++i)
        if (m[i].numpic == numpic)
            return i;
    return std::nullopt;
}

// The positions, in number order, of the rows numbered first or more.
std::vector<size_t> from_number(const Model& m, qint64 first)
{
    std::vector<size_t> out;
    for (size_t i : number_order(m))
        if (m[i].numpic && *m[i].numpic >= first)
            out.push_back(i);
    return out;
}

void model_renumber(Model& m, bool keep_order)
{
    place(m, keep_order ? number_order(m) : name_order(m), 1);
}

// After a delete: from the first number deleted when the numbers were 1..N,
// else the whole catalogue.
void close_after_delete(Model& m, bool was_dense, std::optional<qint64> first)
{
    if (was_dense && first)
        place(m, from_number(m, *first), *first);
    else if (!was_dense)
        model_renumber(m, true);
}

void model_delete_picture(Model& m, qint64 numpic)
{
    const bool was_dense = dense(m);
    m.erase(m.begin() + qsizetype(*numbered(m, numpic)));
    close_after_delete(m, was_dense, numpic);
}

void model_delete_page(Model& m, qint64 page)
{
    const bool was_dense = dense(m);
    std::optional<qint64> first;
    for (const ModelRow& r : m)
        if (r.numpage == page)
            first = first ? std::min(*first, *r.numpic) : *r.numpic;
    std::erase_if(m, [page](const ModelRow& r) { return r.numpage == page; });
    close_after_delete(m, was_dense, first);
}

void model_insert(Model& m, qint64 moving, qint64 place_of)
{
    const size_t s = *numbered(m, moving);
    const size_t t = *numbered(m, place_of);
    if (dense(m)) {
        const qint64 lo = std::min(moving, place_of);
        const qint64 hi = std::max(moving, place_of);
        std::vector<size_t> range;
        for (size_t i : from_number(m, lo))
            if (*m[i].numpic <= hi)
                range.push_back(i);
        if (moving < place_of)
            std::rotate(range.begin(), range.begin() + 1, range.end());
        else
            std::rotate(range.begin(), range.end() - 1, range.end());
        place(m, range, lo);
        return;
    }
    std::vector<size_t> order = number_order(m);
    const auto from = std::find(order.begin(), order.end(), s) - order.begin();
    const auto to = std::find(order.begin(), order.end(), t) - order.begin();
    const size_t entry = order[size_t(from)];
    order.erase(order.begin() + from);
    order.insert(order.begin() + to, entry);
    place(m, order, 1);
}

void model_exchange(Model& m, qint64 a, qint64 b)
{
    ModelRow& x = m[*numbered(m, a)];
    ModelRow& y = m[*numbered(m, b)];
    std::swap(x.numpic, y.numpic);
    std::swap(x.numpage, y.numpage);
}

// ---- the catalogues ------------------------------------------------------------

enum class Shape {
    Gapped,   // gaps, a row without a number, one in the parking slot, pages out of step
    Dense,    // numbered 1..N over several of the renumbering's steps, some pages out of step
};

// How the rows lie in the file against their numbers: a set of rows moves
// in one statement only where each finds its place free in storage order.
enum class Storage {
    Shuffled,
    InOrder,      // as loading stores them
    TwoSwapped,   // in order but for two rows in the middle
};

constexpr qint64 k_dense_rows = 2 * k_renumber_step_rows + k_renumber_step_rows / 2;

struct Fixture {
    testsupport::TempDir dir;
    std::unique_ptr<store::Connection> conn;
    std::vector<qint64> numbers;   // the numbers in use, ascending
};

void make(Fixture& f, store::Schema schema, Shape shape, Storage storage)
{
    const QString path = f.dir.file("catalogue.mdb");
    ASSERT_FALSE(store::Connection::create(path, schema, {}));
    store::Error e;
    f.conn = store::Connection::open(path, {}, e);
    ASSERT_TRUE(f.conn) << e.text.toStdString();
    const bool full = schema == store::Schema::Full;
    const qint64 rows = shape == Shape::Dense ? k_dense_rows : 70;
    std::vector<std::optional<qint64>> numbers;
    for (qint64 i = 1; i <= rows; ++i)
        numbers.push_back(shape == Shape::Dense ? i : i * 2 + (i % 7 == 0 ? 1 : 0));
    if (shape == Shape::Gapped) {
        numbers[10] = std::nullopt;
        numbers[20] = 0;   // a row left in the parking slot
    }
    std::vector<qint64> rowids(static_cast<size_t>(rows));
    for (qint64 i = 0; i < rows; ++i)
        rowids[size_t(i)] = 100 + i * 3;
    if (storage == Storage::Shuffled) {
        std::mt19937 shuffle(21);
        std::shuffle(rowids.begin(), rowids.end(), shuffle);
    } else if (storage == Storage::TwoSwapped) {
        std::swap(rowids[size_t(rows * 6 / 10)], rowids[size_t(rows * 6 / 10 + 3)]);
    }

    store::Transaction t(*f.conn);
    auto st = f.conn->prepare(full ? "INSERT INTO demopicture (rowid, numpic, numpage, picfile, movfile, note, dbpic) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                                   : "INSERT INTO demopicture (rowid, numpic, numpage, picfile, movfile, note) "
                                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    for (qint64 i = 0; i < rows; ++i) {
        const std::optional<qint64> n = numbers[size_t(i)];
        QVariant page = n ? QVariant(page_of(*n)) : QVariant(qint64(3));
        if (n && *n == 0)
            page = qint64(0);
        else if (i % 13 == 5)
            page = qint64(999);   // out of step with its number
        // Names in an order of their own, some differing only in case.
        const QString name = QStringLiteral("%1%2.jpg").arg(i % 4 == 0 ? "Pic" : "pic").arg((i * 37) % rows, 5, 10, QLatin1Char('0'));
        QVariantList values{rowids[size_t(i)], n ? QVariant(*n) : QVariant(), page, name,
                            i % 3 == 0 ? QVariant(QStringLiteral("movie%1.avi").arg(i)) : QVariant(),
                            QStringLiteral("note %1").arg(i)};
        if (full)
            values << (i % 5 == 0 ? QVariant(QByteArray(64 + int(i % 17), char('a' + i % 26))) : QVariant());
        st.bind_list(values);
        ASSERT_FALSE(st.run());
    }
    ASSERT_FALSE(t.commit());
    for (const std::optional<qint64>& n : numbers)
        if (n && *n > 0)
            f.numbers.push_back(*n);
    std::sort(f.numbers.begin(), f.numbers.end());
}

enum class Op { DeletePicture, DeletePage, InsertBack, InsertForward, Exchange, RenumberInOrder, RenumberByName };

struct Case {
    store::Schema schema;
    Shape shape;
    Storage storage;
    Op op;
};

std::string case_name(const ::testing::TestParamInfo<Case>& info)
{
    static const char* const ops[] = {"DeletePicture", "DeletePage", "InsertBack", "InsertForward",
                                      "Exchange", "RenumberInOrder", "RenumberByName"};
    static const char* const storages[] = {"Shuffled", "InOrder", "TwoSwapped"};
    return std::string(info.param.schema == store::Schema::Full ? "Full" : "Light") +
           (info.param.shape == Shape::Dense ? "Dense" : "Gapped") + storages[int(info.param.storage)] +
           ops[int(info.param.op)];
}

// Numbers chosen within the catalogue: near the start, middle and end.
qint64 at(const Fixture& f, double share)
{
    return f.numbers[size_t(double(f.numbers.size() - 1) * share)];
}

class RenumberModel : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(RenumberModel, GivesTheRowsTheOneAtATimeNumberingGives)
{
    Fixture f;
    make(f, GetParam().schema, GetParam().shape, GetParam().storage);
    Model expected = read_model(*f.conn);
    ASSERT_FALSE(expected.empty());
    qint64 last_done = -1;
    qint64 last_total = -1;
    const RenumberHooks hooks{{}, [&](qint64 done, qint64 total) {
                                  EXPECT_GE(done, last_done);
                                  last_done = done;
                                  last_total = total;
                                  return true;
                              }};
    EditResult r;
    store::Error e;
    switch (GetParam().op) {
    case Op::DeletePicture: {
        const qint64 n = at(f, 0.3);
        model_delete_picture(expected, n);
        r = delete_picture(*f.conn, PictureRef::number(n), hooks);
        break;
    }
    case Op::DeletePage: {
        const qint64 page = page_of(at(f, 0.4));
        model_delete_page(expected, page);
        r = delete_page(*f.conn, page, hooks);
        break;
    }
    case Op::InsertBack:
    case Op::InsertForward: {
        const bool back = GetParam().op == Op::InsertBack;
        const qint64 s = at(f, back ? 0.9 : 0.1);
        const qint64 t = at(f, back ? 0.05 : 0.95);
        model_insert(expected, s, t);
        r = insert_picture(*f.conn, PictureRef::number(s), PictureRef::number(t), hooks);
        break;
    }
    case Op::Exchange: {
        const qint64 a = at(f, 0.2);
        const qint64 b = at(f, 0.8);
        model_exchange(expected, a, b);
        r = exchange_pictures(*f.conn, PictureRef::number(a), PictureRef::number(b));
        break;
    }
    case Op::RenumberInOrder:
    case Op::RenumberByName: {
        const bool keep = GetParam().op == Op::RenumberInOrder;
        model_renumber(expected, keep);
        const RenumberOutcome o = renumber_rows(*f.conn, keep, hooks.progress, e);
        EXPECT_EQ(o, RenumberOutcome::Done) << e.text.toStdString();
        break;
    }
    }
    EXPECT_EQ(r.outcome, EditOutcome::Done) << r.error.text.toStdString();
    const Model got = read_model(*f.conn);
    ASSERT_EQ(got.size(), expected.size());
    int shown = 0;
    for (size_t i = 0; i < got.size() && shown < 10; ++i)
        if (!(got[i] == expected[i])) {
            ADD_FAILURE() << "got " << got[i] << ", expected " << expected[i];
            ++shown;
        }
    // The bar is set against the whole catalogue, and ends full after a delete.
    if (last_total >= 0) {
        EXPECT_EQ(last_total, qint64(expected.size()));
        EXPECT_LE(last_done, last_total);
        if (GetParam().op == Op::DeletePicture || GetParam().op == Op::DeletePage) {
            EXPECT_EQ(last_done, last_total);
        }
    }
}

namespace {

std::vector<Case> all_cases()
{
    std::vector<Case> out;
    for (store::Schema schema : {store::Schema::Full, store::Schema::Light})
        for (Shape shape : {Shape::Gapped, Shape::Dense})
            for (Storage storage : {Storage::Shuffled, Storage::InOrder, Storage::TwoSwapped})
                for (Op op : {Op::DeletePicture, Op::DeletePage, Op::InsertBack, Op::InsertForward, Op::Exchange,
                              Op::RenumberInOrder, Op::RenumberByName})
                    if (shape == Shape::Dense || storage == Storage::Shuffled)
                        out.push_back({schema, shape, storage, op});
    return out;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Editions, RenumberModel, ::testing::ValuesIn(all_cases()), case_name);

// A stop between two steps of a long renumbering undoes the whole edit.
TEST(RenumberSteps, AStopAfterTheFirstStepLeavesEveryRowAsItWas)
{
    for (const auto& [shape, storage] : {std::pair{Shape::Dense, Storage::Shuffled}, std::pair{Shape::Dense, Storage::InOrder},
                                         std::pair{Shape::Gapped, Storage::Shuffled}}) {
        Fixture f;
        make(f, store::Schema::Full, shape, storage);
        const Model before = read_model(*f.conn);
        int calls = 0;
        const RenumberProgress stop_second = [&calls](qint64, qint64) { return ++calls < 2; };
        const RenumberHooks hooks{{}, stop_second};
        EXPECT_EQ(delete_picture(*f.conn, PictureRef::number(at(f, 0.1)), hooks).outcome, EditOutcome::Stopped);
        EXPECT_EQ(read_model(*f.conn), before);
        calls = 0;
        EXPECT_EQ(insert_picture(*f.conn, PictureRef::number(at(f, 0.9)), PictureRef::number(at(f, 0.1)), hooks).outcome,
                  EditOutcome::Stopped);
        EXPECT_EQ(read_model(*f.conn), before);
        calls = 0;
        store::Error e;
        EXPECT_EQ(renumber_rows(*f.conn, false, stop_second, e), RenumberOutcome::Stopped);
        EXPECT_EQ(read_model(*f.conn), before);
        EXPECT_EQ(calls, 2);
        // Nothing is left behind: the next edit runs through.
        EXPECT_EQ(renumber_rows(*f.conn, false, {}, e), RenumberOutcome::Done) << e.text.toStdString();
    }
}

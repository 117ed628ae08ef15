// The note search: one reader walks the records in scan order on the
// caller's connection while batches of notes are extracted and matched on
// every core; the batches' results are taken back in order, so the rows
// and a stop are exactly those of a walk on one thread.
#include "search/queries.h"

#include "platform/richtext/plain_text.h"
#include "platform/store/text_rules.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <deque>

namespace mosswick::search {

namespace {

const QString k_grid_columns = QStringLiteral("numpic, numpage, CASE WHEN movfile IS NULL THEN '' ELSE '*' END, picfile");

constexpr int k_batch_records = 1024;

bool text_matches(QStringView note, const QString& text)
{
    const QString plain = richtext::extract_plain_text(note);
    return richtext::find_text(plain, text, 0, 0) >= 0;
}

// Records read by the walk, waiting to be matched: the fields of each
// record as UTF-8 in one buffer.
struct Batch {
    struct Field {
        qsizetype offset = 0;
        qsizetype size = -1;   // -1: Null
    };
    std::vector<qint64> ids;
    std::vector<Field> fields;   // fields_per_record per record
    QByteArray bytes;
};

// The ids of the batch's records whose fields show the text, in order.
std::vector<qint64> match_batch(const Batch& batch, int fields_per_record, const QString& text)
{
    std::vector<qint64> found;
    QString note;
    for (size_t r = 0; r < batch.ids.size(); ++r) {
        for (int f = 0; f < fields_per_record; ++f) {
            const Batch::Field& field = batch.fields[r * size_t(fields_per_record) + size_t(f)];
            if (field.size < 0)
                continue;
            note = QString::fromUtf8(batch.bytes.constData() + field.offset, field.size);
            if (text_matches(note, text)) {
                found.push_back(batch.ids[r]);
                break;
            }
        }
    }
    return found;
}

QString by_name()
{
    return QStringLiteral(" ORDER BY picfile COLLATE %1, numpic").arg(QLatin1String(store::k_fold_collation));
}

} // namespace

bool note_matches(const QVariant& note, const QString& text)
{
    if (text.isEmpty())
        return true;
    if (!note.isValid())
        return false;
    return text_matches(note.toString(), text);
}

NoteSearchResult run_note_search(store::Connection& conn, const NoteSearchRequest& request,
                                 const std::function<bool(qint64 index)>& before_record)
{
    NoteSearchResult result;
    const bool any = request.text.isEmpty();
    // Only the fields searched are read; with an empty text none is needed.
    QStringList fields;
    if (!any && request.fields != NoteFields::AddNote)
        fields << column_or_null(conn, store::col_note);
    if (!any && request.fields != NoteFields::Note)
        fields << column_or_null(conn, store::col_addnote);
    fields.removeAll(QStringLiteral("NULL"));   // a column the catalogue lacks matches nothing
    const int per_record = int(fields.size());
    const bool read_fields = !any;
    const QString select = QStringLiteral("SELECT rowid%1%2 FROM demopicture")
                               .arg(per_record > 0 ? QStringLiteral(", ") : QString(), fields.join(QStringLiteral(", ")));
    const std::vector<QString> statements = request.order_by_name
        ? std::vector<QString>{select + by_name()}
        : store::by_number_statements(conn, select, {});
    std::vector<store::Statement> walks;
    for (const QString& sql : statements) {
        walks.push_back(conn.prepare(sql));
        if (!walks.back().valid()) {
            result.error = walks.back().error();
            return result;
        }
    }

    std::vector<qint64> found;
    std::deque<QFuture<std::vector<qint64>>> running;
    QThreadPool* pool = QThreadPool::globalInstance();
    const size_t most_running = size_t(std::max(2, 2 * pool->maxThreadCount()));
    auto take_oldest = [&] {
        const std::vector<qint64> ids = running.front().result();
        running.pop_front();
        found.insert(found.end(), ids.begin(), ids.end());
    };
    Batch batch;
    auto send = [&] {
        if (batch.ids.empty())
            return;
        if (running.size() >= most_running)
            take_oldest();
        running.push_back(QtConcurrent::run(pool, [b = std::move(batch), per_record, text = request.text] {
            return match_batch(b, per_record, text);
        }));
        batch = Batch();
    };

    for (store::Statement& st : walks) {
        while (!result.stopped && st.step()) {
            if (before_record && !before_record(result.scanned)) {
                result.stopped = true;
                break;
            }
            ++result.scanned;
            const qint64 id = st.integer(0);
            if (!read_fields) {
                found.push_back(id);
                continue;
            }
            if (per_record == 0)
                continue;
            batch.ids.push_back(id);
            for (int f = 1; f <= per_record; ++f) {
                Batch::Field field;
                if (!st.is_null(f)) {
                    const QByteArrayView bytes = st.utf8(f);
                    field.offset = batch.bytes.size();
                    field.size = bytes.size();
                    batch.bytes.append(bytes);
                }
                batch.fields.push_back(field);
            }
            if (batch.ids.size() >= size_t(k_batch_records))
                send();
        }
        if (!result.stopped && st.error()) {
            result.error = st.error();
            break;
        }
    }
    send();
    while (!running.empty())
        take_oldest();
    auto listed = std::make_shared<store::RowBlocks>();
    listed->assign(conn, k_grid_columns, k_search_columns, std::move(found));
    result.rows = GridRows(std::move(listed));
    return result;
}

} // namespace mosswick::search

#include "loader/batch_load.h"

#include "core/listing.h"

#include "core/catalogue_logic.h"
#include "core/companions.h"
#include "core/file_ops.h"
#include "core/load_log.h"
#include "core/name_rules.h"
#include "loader/row_writer.h"
#include "platform/richtext/note_file.h"
#include "platform/richtext/plain_text.h"
#include "platform/ui/vb.h"

#include <QFileInfo>

#include <optional>
#include <vector>

namespace mosswick::loader {

using files::append_log_line;
using files::CompanionIndex;
using files::extension_of;
using files::file_error;
using files::is_link_or_special;
using files::is_note_file;
using files::log_line;
using files::move_no_replace;
using files::movie_name_message;
using files::name_too_long;
using files::NoteTarget;
using files::picture_name_message;
using files::same_folder;

namespace {

using store::Error;

// A note file whose content went into a row; it moves once that row is committed.
struct PendingMove {
    QString from;
    QString to;
    QString name;
};

// The first n characters, never splitting a surrogate pair.
QString left_characters(const QString& text, qsizetype n)
{
    if (text.size() <= n)
        return text;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

Error note_read_error(const QString& path, const QString& why)
{
    if (!QFileInfo::exists(path))
        return file_error(path, ENOENT);
    return store::make_error(store::ErrorKind::FileAccess, why);
}

class BatchRun {
public:
    BatchRun(store::Connection& conn, const BatchRequest& request, const BatchHooks& hooks)
        : m_conn(conn), m_request(request), m_hooks(hooks)
    {
        m_result.listed = request.pictures.size();
    }

    BatchResult run()
    {
        if (!phase1())
            return m_result;
        phase2();
        return m_result;
    }

private:
    bool step(qint64 value)
    {
        return !m_hooks.advance || m_hooks.advance(value);
    }

    bool phase1()
    {
        m_result.phase = 1;
        const qint64 total = m_request.pictures.size() + m_request.all_files.size();
        if (m_hooks.phase_started)
            m_hooks.phase_started(1, total);
        qint64 value = 0;
        for (int list = 0; list < 2; ++list) {
            for (const QString& name : list == 0 ? m_request.pictures : m_request.all_files) {
                if (name_too_long(name)) {
                    m_result.outcome = BatchOutcome::NameTooLong;
                    m_result.message = list == 0 ? picture_name_message(name) : movie_name_message(name);
                    return false;
                }
                if (!step(++value)) {
                    m_result.outcome = BatchOutcome::Stopped;
                    return false;
                }
            }
        }
        return true;
    }

    void phase2()
    {
        m_result.phase = 2;
        if (m_hooks.phase_started)
            m_hooks.phase_started(2, m_request.pictures.size());
        Error error;
        PictureSlot slot = next_picture_slot(m_conn, error);
        if (error)
            return fail(error);
        RowWriter writer(m_conn);
        if (writer.error())
            return fail(writer.error());
        const bool inside = m_request.options.pictures_inside;
        if (!inside) {
            // Companions as the folder holds them now, read once for the run.
            const Listing now = list_folder(m_request.list_folder);
            m_companions = CompanionIndex(now.ok ? now.files : m_request.all_files);
        }
        // A name catalogued already is loaded again only from the data folder itself.
        const bool from_data_folder = same_folder(m_request.list_folder, m_request.data_folder);
        if (Error e = begin_batch())
            return fail(e);

        qint64 value = 0;
        for (const QString& name : m_request.pictures) {
            const QString path = join_path(m_request.list_folder, name);
            if (m_hooks.picture_started)
                m_hooks.picture_started(path);
            bool skip = false;
            if (!from_data_folder) {
                skip = writer.is_catalogued(name, error);
                if (error)
                    return fail(error);
                if (skip)
                    log(name);
            }
            if (!skip) {
                std::optional<NewPicture> row = inside ? inside_row(name, path) : outside_row(name);
                if (m_failed)
                    return;
                if (row) {
                    row->picfile = name;
                    row->numpic = slot.numpic;
                    row->numpage = slot.numpage;
                    if (Error e = writer.add(*row)) {
                        m_moves_of_row.clear();
                        return fail(e);
                    }
                    ++m_rows_in_batch;
                    ++m_saved_in_batch;
                    m_bytes_in_batch += m_row_bytes;
                    for (PendingMove& m : m_moves_of_row)
                        m_moves.push_back(std::move(m));
                    m_moves_of_row.clear();
                    slot = loader::advance(slot);
                }
            }
            if (batch_full())
                if (Error e = commit_batch(true))
                    return fail(e);
            if (!step(++value)) {
                if (Error e = commit_batch(false))
                    return fail(e);
                m_result.outcome = BatchOutcome::Stopped;
                return;
            }
        }
        if (Error e = commit_batch(false))
            return fail(e);
        m_result.outcome = BatchOutcome::Done;
    }

    // The row of a picture stored inside, or nothing when it is logged instead.
    std::optional<NewPicture> inside_row(const QString& name, const QString& path)
    {
        const InsideCheck check = check_inside(path, name);
        if (check.verdict != InsideVerdict::Ok) {
            log(name);
            return std::nullopt;
        }
        NewPicture row;
        row.note = name;
        row.inside_path = path;
        m_row_bytes = check.bytes;
        return row;
    }

    // The row of a picture stored by name, with its companion.
    std::optional<NewPicture> outside_row(const QString& name)
    {
        m_row_bytes = 0;
        NewPicture row;
        const QString companion = m_companions.first_for(name);
        if (m_hooks.movie_found)
            m_hooks.movie_found(companion);
        const BatchOptions& o = m_request.options;
        if (!companion.isEmpty() && o.companion_text_in) {
            // Only note files are taken; any other companion is neither
            // recorded nor moved.
            const QString from = join_path(m_request.list_folder, companion);
            const bool wanted = is_note_file(companion)
                && !(o.note_target == NoteTarget::Reference && extension_of(companion) == QLatin1String("rtf"));
            if (wanted && is_link_or_special(from)) {
                // A link could hand any file of the user's to the catalogue:
                // it is skipped, stays where it is, and is logged.
                log(companion);
            } else if (wanted) {
                QString why;
                const std::optional<QString> content = richtext::read_note_file(from, &why, richtext::NoteLinks::Refuse);
                if (!content) {
                    fail(note_read_error(from, why));
                    return std::nullopt;
                }
                const bool rtf = extension_of(companion) == QLatin1String("rtf");
                // A text file is stored as the text a note box shows of it;
                // an RTF file keeps its markup verbatim.
                const QString value = rtf ? *content : richtext::extract_plain_text(*content);
                switch (o.note_target) {
                case NoteTarget::Note: row.note = value; break;
                case NoteTarget::AddNote: row.addnote = value; break;
                case NoteTarget::Reference: row.reference = left_characters(value, store::k_text_limit); break;
                }
                m_moves_of_row.push_back({from, join_path(m_request.db_folder, companion), companion});
                m_companions.remove(companion);
            }
        } else if (!companion.isEmpty()) {
            row.movfile = companion;
        }
        if (!row.note.isValid())
            row.note = name;
        return row;
    }

    // A log that cannot be written does not end the run: the first reason is
    // reported with the summary.
    void log(const QString& name)
    {
        m_result.errors = true;
        const QDateTime when = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
        const Error e = append_log_line(m_request.log_path, log_line(when, name));
        if (e && m_result.log_error.isEmpty())
            m_result.log_error = ui::error_message(e.code, e.text);
    }

    bool batch_full() const
    {
        return m_rows_in_batch >= k_rows_per_commit || m_bytes_in_batch >= k_bytes_per_commit
            || ui::tick_count() - m_batch_started >= k_ms_per_commit;
    }

    Error begin_batch()
    {
        m_batch.emplace(m_conn);
        m_rows_in_batch = 0;
        m_saved_in_batch = 0;
        m_bytes_in_batch = 0;
        m_batch_started = ui::tick_count();
        if (Error e = m_batch->error()) {
            m_batch.reset();
            return e;
        }
        return {};
    }

    // Commits the rows written so far, then moves their note files; opens
    // the next batch when more rows follow.
    Error commit_batch(bool again)
    {
        if (m_batch) {
            Error e = m_batch->commit();
            m_batch.reset();
            if (e) {
                m_moves.clear();
                return e;
            }
            m_result.loaded += m_saved_in_batch;
            m_saved_in_batch = 0;
        }
        std::vector<PendingMove> moves;
        moves.swap(m_moves);
        // Every saved row's note file gets its move, even after one failed.
        Error first;
        for (const PendingMove& m : moves) {
            Error e = move_no_replace(m.from, m.to);
            if (e.kind == store::ErrorKind::FileExists) {
                // Never overwrite a file in the catalogue's folder: the
                // note file stays where it was and the log says so.
                log(m.name);
                e = {};
            }
            if (e && first.ok())
                first = e;
        }
        if (first)
            return first;
        return again ? begin_batch() : Error{};
    }

    // Ends the run with an error: the rows saved before it stay.
    void fail(const Error& error)
    {
        if (m_failed)
            return;
        m_failed = true;
        m_result.outcome = BatchOutcome::Failed;
        m_result.message = ui::error_message(error.code, error.text);
        if (m_batch) {
            // The failed row was undone by its own unit; what came before it is kept.
            // The first error is the one to report; a failed save is added to it.
            const Error e = commit_batch(false);
            if (e)
                m_result.message += QStringLiteral(" (the last rows were not saved: %1)").arg(e.text);
        }
    }

    store::Connection& m_conn;
    const BatchRequest& m_request;
    const BatchHooks& m_hooks;
    BatchResult m_result;
    CompanionIndex m_companions;
    std::optional<store::Transaction> m_batch;
    std::vector<PendingMove> m_moves;
    std::vector<PendingMove> m_moves_of_row;
    qint64 m_rows_in_batch = 0;
    qint64 m_saved_in_batch = 0;
    qint64 m_bytes_in_batch = 0;
    qint64 m_row_bytes = 0;
    qint64 m_batch_started = 0;
    bool m_failed = false;
};

} // namespace

BatchResult run_batch_load(store::Connection& conn, const BatchRequest& request, const BatchHooks& hooks)
{
    return BatchRun(conn, request, hooks).run();
}

} // namespace mosswick::loader

#include "maintenance/update_pass.h"

#include "core/catalogue_logic.h"
#include "core/companions.h"
#include "core/file_ops.h"
#include "core/listing.h"
#include "core/load_log.h"
#include "core/name_rules.h"
#include "platform/richtext/note_file.h"
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_format.h"
#include "platform/richtext/rtf_writer.h"

#include <QFileInfo>
#include <QSet>
#include <QTextCursor>
#include <QTextDocument>

#include <cerrno>
#include <vector>

namespace mosswick::maintenance {

namespace {

using files::NoteTarget;

QString log_ending(NoteTarget target)
{
    switch (target) {
    case NoteTarget::Note: return QStringLiteral(" - TXT in NOTE");
    case NoteTarget::AddNote: return QStringLiteral(" - TXT in ADD.NOTE");
    case NoteTarget::Reference: return QStringLiteral(" - TXT in REFERCENCE");
    }
    return {};
}

const char* target_column(NoteTarget target)
{
    switch (target) {
    case NoteTarget::Note: return "note";
    case NoteTarget::AddNote: return "addnote";
    case NoteTarget::Reference: return "reference";
    }
    return "note";
}

struct RowOfName {
    qint64 rowid = 0;
    QString picfile;
    QString movfile;   // "" for Null
    QVariant field;    // the "IN" target's old value
};

class UpdateRun {
public:
    UpdateRun(store::Connection& conn, const UpdateRequest& request, const UpdateHooks& hooks)
        : m_conn(conn), m_request(request), m_hooks(hooks)
    {
    }

    UpdateResult run()
    {
        const QString folder = m_request.notes_in ? m_request.db_folder : m_request.data_folder;
        const Listing listing = list_folder(folder);
        if (!listing.ok)
            return failed(listing_error(folder, listing));
        m_companions = files::CompanionIndex(listing.files);
        m_present = QSet<QString>(listing.files.cbegin(), listing.files.cend());

        store::Transaction t(m_conn);
        if (t.error())
            return failed(t.error());
        const QString column = QString::fromLatin1(target_column(m_request.target));
        m_rows = m_conn.prepare(m_request.notes_in
            ? QStringLiteral("SELECT rowid, picfile, movfile, %1 FROM demopicture WHERE picfile = ?1 ORDER BY numpic")
                  .arg(column)
            : QStringLiteral("SELECT rowid, picfile, movfile FROM demopicture WHERE picfile = ?1 ORDER BY numpic"));
        m_set_movie = m_conn.prepare(QStringLiteral("UPDATE demopicture SET movfile = ?1 WHERE rowid = ?2"));
        m_set_field = m_conn.prepare(
            QStringLiteral("UPDATE demopicture SET %1 = ?1, movfile = NULL WHERE rowid = ?2").arg(column));
        for (const store::Statement* st : {&m_rows, &m_set_movie, &m_set_field})
            if (st->error())
                return failed(st->error());

        qint64 value = 0;
        for (const QString& name : m_request.pictures) {
            std::vector<RowOfName> rows;
            if (store::Error e = rows_of(name, rows))
                return failed(e);
            for (const RowOfName& row : rows)
                if (store::Error e = m_request.notes_in ? import_note(row) : relink_movie(row))
                    return failed(e);
            if (m_hooks.advance && !m_hooks.advance(++value)) {
                m_result.outcome = UpdateOutcome::Stopped;
                m_result.updated = 0;
                return m_result;
            }
        }
        // The log first: a log that cannot be written leaves the catalogue as
        // it was. Should the save then fail, the user is told the log is ahead.
        if (!m_log.isEmpty())
            if (store::Error e = files::append_log_line(m_request.log_path, m_log))
                return failed(e);
        if (store::Error e = t.commit()) {
            if (!m_log.isEmpty())
                e.text += QStringLiteral(" Nothing was imported, although the update log lists the note files.");
            return failed(e);
        }
        m_result.outcome = UpdateOutcome::Done;
        return m_result;
    }

private:
    UpdateResult failed(const store::Error& error)
    {
        UpdateResult r;
        r.outcome = UpdateOutcome::Failed;
        r.error = error;
        return r;
    }

    store::Error rows_of(const QString& name, std::vector<RowOfName>& rows)
    {
        m_rows.bind_all({name});
        while (m_rows.step()) {
            RowOfName r;
            r.rowid = m_rows.integer(0);
            r.picfile = m_rows.text(1);
            r.movfile = m_rows.is_null(2) ? QString() : m_rows.text(2);
            if (m_request.notes_in)
                r.field = m_rows.value(3);
            rows.push_back(std::move(r));
        }
        const store::Error e = m_rows.error();
        m_rows.reset();
        return e;
    }

    store::Error set_movie(qint64 rowid, const QVariant& movie)
    {
        ++m_result.updated;
        return m_set_movie.bind_all({movie, rowid}).run();
    }

    // "OUT": a row without a movie takes the first companion of its picture;
    // a row whose movie has no file of its base name left loses it.
    store::Error relink_movie(const RowOfName& row)
    {
        if (row.movfile.isEmpty()) {
            const QString companion = m_companions.first_for(row.picfile);
            return companion.isEmpty() ? store::Error() : set_movie(row.rowid, companion);
        }
        const bool still_there = files::has_dot(row.movfile) ? !m_companions.first_for(row.movfile).isEmpty()
                                                             : m_present.contains(row.movfile);
        return still_there ? store::Error() : set_movie(row.rowid, QVariant());
    }

    // "IN": a .txt companion in the catalogue's folder is appended to the
    // chosen field; a .rtf companion only unlinks the movie.
    store::Error import_note(const RowOfName& row)
    {
        const QString companion = m_companions.first_for(row.picfile);
        if (companion.isEmpty())
            return {};
        const QString type = files::extension_of(companion);
        if (type == QLatin1String("rtf"))
            return set_movie(row.rowid, QVariant());
        if (type != QLatin1String("txt"))
            return {};

        const QString path = join_path(m_request.db_folder, companion);
        if (files::is_link_or_special(path)) {
            m_result.skipped << companion;
            return {};
        }
        QString why;
        const std::optional<QString> content = richtext::read_note_file(path, &why, richtext::NoteLinks::Refuse);
        if (!content)
            return QFileInfo::exists(path) ? store::make_error(store::ErrorKind::FileAccess, why)
                                           : files::file_error(path, ENOENT);
        const QString added = richtext::extract_plain_text(*content);
        const QString old = row.field.isValid() ? row.field.toString() : QString();
        QVariant value;
        if (m_request.target == NoteTarget::Reference) {
            value = joined_reference(old, added);
            if (store::Error e = m_conn.check_value(store::col_reference, value))
                return e;
        } else {
            value = rich_text_of_plain(richtext::extract_plain_text(old) + added);
        }
        if (store::Error e = m_set_field.bind_all({value, row.rowid}).run())
            return e;
        ++m_result.updated;
        const QDateTime when = m_hooks.now ? m_hooks.now() : QDateTime::currentDateTime();
        m_log += update_log_line(when, row.picfile, companion, m_request.target);
        return {};
    }

    store::Connection& m_conn;
    const UpdateRequest& m_request;
    const UpdateHooks& m_hooks;
    files::CompanionIndex m_companions;
    QSet<QString> m_present;
    store::Statement m_rows;
    store::Statement m_set_movie;
    store::Statement m_set_field;
    QString m_log;
    UpdateResult m_result;
};

// The locale's long time (with seconds), without its time zone.
QString time_format(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.simplified();
}

} // namespace

UpdateResult run_update_pass(store::Connection& conn, const UpdateRequest& request, const UpdateHooks& hooks)
{
    return UpdateRun(conn, request, hooks).run();
}

QString update_log_line(const QDateTime& when, const QString& picture, const QString& companion, NoteTarget target,
                        const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral(" - ")
        + locale.toString(when.time(), time_format(locale)) + QStringLiteral(" - Picture: ")
        + files::escape_for_log(picture) + QStringLiteral(" - ") + files::escape_for_log(companion)
        + log_ending(target) + QStringLiteral("\r\n");
}

QString rich_text_of_plain(const QString& text)
{
    QTextDocument doc;
    doc.setDefaultFont(richtext::default_document_font());
    QTextCursor cursor(&doc);
    cursor.setBlockFormat(richtext::reset_block_format());
    cursor.setBlockCharFormat(richtext::reset_char_format());
    richtext::insert_plain_text(cursor, text, richtext::reset_char_format());
    return richtext::write_rtf(doc);
}

QString joined_reference(const QString& old_reference, const QString& added)
{
    const QString joined = old_reference + added;
    qsizetype n = store::k_text_limit;
    if (joined.size() <= n)
        return joined;
    if (joined.at(n - 1).isHighSurrogate())
        --n;
    return joined.left(n);
}

} // namespace mosswick::maintenance

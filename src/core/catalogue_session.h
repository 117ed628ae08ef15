#pragma once

#include "core/edition.h"
#include "platform/store/connection.h"
#include "platform/ui/busy.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace mosswick {

class StatusLine;

// The open catalogue and what every part of the main window needs of it:
// the connection and where it lives, its password and read-only state, its
// counts and page arithmetic, the busy lock, the stop requests and the
// edition's profile. Parts read it and change it through its operations;
// each operation that changes what a part shows says so through a signal.
class CatalogueSession : public QObject {
    Q_OBJECT
public:
    explicit CatalogueSession(const Edition& edition, QObject* parent = nullptr);
    ~CatalogueSession() override;

    const Edition& edition() const { return m_edition; }
    // The busy lock, the stop requests and whether a search runs.
    ui::BusyState& busy() { return m_busy; }
    // The window's status bar, shared by every part.
    StatusLine& status() const { return *m_status; }
    void set_status(StatusLine* status) { m_status = status; }

    // ---- the catalogue, as the parts read it --------------------------------
    // True from the moment the chosen file opened until it is closed or its opening given up.
    bool db_open() const { return m_open; }
    // The open catalogue's connection; null before it is attached and after it is taken.
    store::Connection* db_conn() const { return m_conn.get(); }
    // Whether the catalogue's table has been read since it was last closed.
    bool db_table_open() const { return m_table_open; }
    // The open catalogue's path (also shown as the title); empty with nothing open.
    const QString& db_path() const { return m_db_path; }
    // The password the catalogue opens with; empty for none.
    const QString& db_password() const { return m_password; }
    // The catalogue's folder, ending with '/'.
    const QString& db_folder() const { return m_db_folder; }
    // Where its picture files lie: db_folder() + "data/".
    const QString& data_folder() const { return m_data_folder; }
    // Nothing may be written: the file cannot be, or writes are held until its check passes.
    bool db_read_only() const { return m_read_only; }
    qint64 picture_count() const { return m_picture_count; }
    // The page the page view is on; 0 with nothing open.
    qint64 current_page() const { return m_current_page; }
    // Pages the catalogue fills, six pictures to a page.
    qint64 page_count() const;

    // ---- opening, reading and closing the catalogue -------------------------
    // An opening starts with the chosen file: its path, and read-only when its disk or mode says so.
    void begin_open(const QString& path, bool read_only);
    // The password the opening tries (asked for, or a converted Access file's key); empty for none.
    void set_password(const QString& password);
    // The chosen file opened: a catalogue is open from now on, though its
    // connection is attached only once any upgrade is done.
    void file_opened();
    // The opened connection is the one every part uses from now on; what an
    // earlier catalogue left in the data folder goes.
    void attach_connection(std::unique_ptr<store::Connection> conn);
    // Reads the open catalogue from its start (an open, a refresh, a reopening
    // after a pass): its count, its folders and page 1. Emits counts_changed
    // when it holds pictures, since they are shown again. On an error (a count
    // that cannot be read, no connection) the folders and page stay as they were.
    store::Error read_catalogue();
    // The opening is complete, its first page shown: emits opened.
    void finish_open();
    // An opening given up before anything was shown (a cancelled prompt, a
    // refused question, the renumber mode's run): nothing is open, the path
    // and password are forgotten. Nothing is emitted: nothing was announced.
    void abandon_open();
    // What was read of the table is out of date: it is closed until read_catalogue().
    void close_table();
    // Hands the connection over to be closed; the catalogue stays open until close_catalogue().
    std::unique_ptr<store::Connection> take_connection();
    // Nothing is open any more: the connection, path, folders, read-only
    // state, count and page go; the password stays until set_password().
    // Emits closed.
    void close_catalogue();

    // ---- changes while it is open -------------------------------------------
    // Writes held (true) or allowed (false); emits writable_changed when that changes.
    void set_read_only(bool read_only);
    // Sets the number of pictures; emits counts_changed when it changed.
    void set_picture_count(qint64 count);
    // A write to the open catalogue ended (a load, a delete, an edit): its
    // count is taken when it could be read, and counts_changed is emitted even
    // when the count stayed, since the file's size shown beside it moved.
    void catalogue_written(std::optional<qint64> count);
    // A write through db_conn() ended: catalogue_written() with the rows it
    // counts now. Nothing happens without a connection.
    void recount_after_write();
    // The page view moves to page; page_shown follows once it is drawn.
    void move_to_page(qint64 page);
    // The page view has drawn page: emits page_shown.
    void page_drawn(qint64 page);
    // What the last page load found wrong (an overfull page, unreadable
    // pictures), "" when nothing: a later message keeps it readable.
    const QString& page_warning() const { return m_page_warning; }
    void set_page_warning(const QString& warning) { m_page_warning = warning; }

    // ---- settings of the run ------------------------------------------------
    // The program's own folder, where the about box's picture file lies.
    const QString& program_folder() const { return m_program_folder; }
    void set_program_folder(const QString& folder) { m_program_folder = folder; }
    // The quality codes (1 to 6) of thumbnails and zooms; the page view's
    // own signals announce a choice from its menus.
    int thumb_quality() const { return m_thumb_quality; }
    void set_thumb_quality(int code) { m_thumb_quality = code; }
    int zoom_quality() const { return m_zoom_quality; }
    void set_zoom_quality(int code) { m_zoom_quality = code; }

signals:
    // A catalogue was opened and its first page shown.
    void opened();
    // The catalogue was closed; nothing is open.
    void closed();
    // The counts shown changed: the number of pictures, or the file's size after a write.
    void counts_changed();
    // A page of the catalogue was shown in the page view.
    void page_shown(qint64 page);
    // Writes became allowed (true) or held (false).
    void writable_changed(bool writable);

private:
    Edition m_edition;
    ui::BusyState m_busy;
    StatusLine* m_status = nullptr;
    QString m_page_warning;

    std::unique_ptr<store::Connection> m_conn;
    bool m_open = false;
    bool m_table_open = false;
    QString m_db_path;
    QString m_password;
    QString m_db_folder;
    QString m_data_folder;
    bool m_read_only = false;
    qint64 m_picture_count = 0;
    qint64 m_current_page = 0;

    QString m_program_folder;
    int m_thumb_quality = 6;
    int m_zoom_quality = 5;
};

} // namespace mosswick

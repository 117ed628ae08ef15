#pragma once

#include "core/edition.h"
#include "platform/store/connection.h"
#include "platform/ui/busy.h"

#include <QObject>
#include <QString>

#include <memory>

namespace mosswick {

class StatusLine;

// The open catalogue and what every part of the main window needs of it:
// the connection and where it lives, its password and read-only state, its
// counts and page arithmetic, the busy lock, the stop requests and the
// edition's profile. Parts read it and say what they changed through it;
// it tells every part what changed through its signals.
class CatalogueSession : public QObject {
    Q_OBJECT
public:
    explicit CatalogueSession(const Edition& edition, QObject* parent = nullptr);
    ~CatalogueSession() override;

    const Edition& edition() const { return m_edition; }
    ui::BusyState& busy() { return m_busy; }
    // The window's status bar, shared by every part.
    StatusLine& status() const { return *m_status; }
    void set_status(StatusLine* status) { m_status = status; }

    // ---- the catalogue ------------------------------------------------------
    std::unique_ptr<store::Connection> db_conn;
    bool db_table_open = false;
    bool db_open = false;
    QString db_password;
    QString db_folder;     // ends with '/'
    QString data_folder;   // db_folder + "data/"
    bool db_read_only = false;
    qint64 picture_count = 0;
    qint64 current_page = 0;
    // The open catalogue's path (also shown as the title).
    const QString& db_path() const { return m_db_path; }
    void set_db_path(const QString& path) { m_db_path = path; }
    // Pages the catalogue fills, six pictures to a page.
    qint64 page_count() const;

    // The program's own folder, where the about box's picture file lies.
    QString program_folder;

    // ---- stop requests and settings of the run -----------------------------
    bool esc_abort_search = false;   // Esc: stops a search or a pass
    bool esc_abort_update = false;   // Esc: stops the update pass
    bool stop_requested = false;     // a click on the progress bar
    bool search_running = false;     // a search or list fill is under way
    int thumb_quality = 6;
    int zoom_quality = 5;

    // ---- telling the parts ---------------------------------------------------
    void announce_opened() { emit opened(); }
    void announce_closed() { emit closed(); }
    void announce_counts() { emit counts_changed(); }
    void announce_page_shown(qint64 page) { emit page_shown(page); }
    void announce_writable(bool writable) { emit writable_changed(writable); }

signals:
    // A catalogue was opened and its first page shown.
    void opened();
    // The catalogue was closed; nothing is open.
    void closed();
    // picture_count changed (a load, a delete, an insert ...).
    void counts_changed();
    // A page of the catalogue was shown in the page view.
    void page_shown(qint64 page);
    // Writes became allowed (true) or held (false).
    void writable_changed(bool writable);

private:
    Edition m_edition;
    ui::BusyState m_busy;
    StatusLine* m_status = nullptr;
    QString m_db_path;
};

} // namespace mosswick

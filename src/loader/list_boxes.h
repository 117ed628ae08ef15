#pragma once

#include "core/listing.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

// The loader's drive, folder and file lists: small widgets over one listing.
namespace mosswick {

// Roots the user can start from: "/", the home folder and mounted volumes.
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);
    // The chosen root.
    QString drive() const;
    // Chooses a root, adding it when it is not offered; emits drive_changed
    // when the choice changes.
    void set_drive(const QString& root);
    // The offered root that holds a folder (the longest that is a prefix).
    QString drive_of(const QString& folder) const;
    // Fills the list with the roots available now, keeping the choice.
    void refresh();
signals:
    void drive_changed(const QString& root);
protected:
    void showPopup() override;
};

// The folders on the way to the current folder, then its sub-folders.
// Each entry holds its full path; a double click asks to open it.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);
    const QString& path() const { return m_path; }
    // Lists a folder and shows it, emitting path_changed. When it cannot be
    // listed, returns the listing with its error and keeps the previous folder.
    Listing set_path(const QString& folder);
    // The last successful listing of path(): its files too.
    const Listing& listing() const { return m_listing; }
    // The full path of entry row.
    QString entry_path(int row) const;
signals:
    void path_changed(const QString& folder);
    void folder_requested(const QString& folder);
private:
    QString m_path;
    Listing m_listing;
};

// The files of one folder matching a pattern ("*.bmp;*.jpg" or empty for all).
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    // The folder shown, without a trailing '/' except for the root.
    const QString& path() const { return m_path; }
    void set_pattern(const QString& pattern);
    const QString& pattern() const { return m_pattern; }
    // Lists a folder's files; false when the folder cannot be listed.
    bool set_path(const QString& folder);
    // Shows names already read (one listing shared by several boxes).
    void set_files(const QString& folder, const QStringList& names);
    // The names shown, in list order.
    const QStringList& names() const { return m_names; }
    bool matches(const QString& name) const;
    // The selected name; empty when none.
    QString selected_name() const;
    // Selects the entry at row, or nothing for -1.
    void select_row(int row);
private:
    QString m_path;
    QString m_pattern;
    QStringList m_extensions;   // lower case, empty: every file
    QStringList m_names;
};

} // namespace mosswick

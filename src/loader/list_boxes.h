#pragma once

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
    QString drive() const;
    void set_drive(const QString& root);
    // Fills the list with the roots available now.
    void refresh();
signals:
    void drive_changed(const QString& root);
};

// The folders on the way to the current folder and its sub-folders.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);
    const QString& path() const { return m_path; }
    // Shows a folder; false (and the previous folder kept) when it cannot be listed.
    bool set_path(const QString& folder);
signals:
    void path_changed(const QString& folder);
private:
    QString m_path;
};

// The files of one folder matching a pattern ("*.bmp;*.jpg" or empty for all).
class FileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);
    const QString& path() const { return m_path; }
    void set_pattern(const QString& pattern);
    const QString& pattern() const { return m_pattern; }
    // Lists a folder's files; false when the folder cannot be listed.
    bool set_path(const QString& folder);
    // Lists from names already read (one listing shared by several boxes).
    void set_files(const QString& folder, const QStringList& names);
    QStringList names() const;
    bool matches(const QString& name) const;
private:
    QString m_path;
    QString m_pattern;
    QStringList m_extensions;   // lower case, empty: every file
};

} // namespace mosswick

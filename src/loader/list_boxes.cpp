#include "loader/list_boxes.h"

#include "catalogue/catalogue_logic.h"
#include "loader/listing.h"

#include <QDir>
#include <QStorageInfo>

namespace mosswick {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit drive_changed(drive()); });
}

QString DriveListBox::drive() const
{
    return currentData().toString();
}

void DriveListBox::set_drive(const QString& root)
{
    const int i = findData(root);
    if (i >= 0) {
        setCurrentIndex(i);
    } else {
        addItem(root, root);
        setCurrentIndex(count() - 1);
    }
}

void DriveListBox::refresh()
{
    const QSignalBlocker block(this);
    const QString current = drive();
    clear();
    addItem(QStringLiteral("/"), QStringLiteral("/"));
    const QString home = QDir::homePath();
    if (home != QStringLiteral("/"))
        addItem(home, home);
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (!v.isValid() || !v.isReady() || root == QStringLiteral("/") || findData(root) >= 0)
            continue;
        // Only volumes a user would pick: removable media and the like.
        if (root.startsWith(QStringLiteral("/media/")) || root.startsWith(QStringLiteral("/mnt/"))
            || root.startsWith(QStringLiteral("/run/media/")))
            addItem(root, root);
    }
    const int i = findData(current);
    setCurrentIndex(i >= 0 ? i : 0);
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {}

bool DirListBox::set_path(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    const Listing l = list_folder(clean);
    if (!l.ok)
        return false;
    m_path = clean;
    clear();
    addItems(l.folders);
    emit path_changed(m_path);
    return true;
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {}

void FileListBox::set_pattern(const QString& pattern)
{
    m_pattern = pattern;
    m_extensions.clear();
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (p == QStringLiteral("*.*") || p == QStringLiteral("*"))
            continue;
        if (p.startsWith(QStringLiteral("*.")))
            m_extensions << p.mid(2).toLower();
    }
}

bool FileListBox::matches(const QString& name) const
{
    if (m_extensions.isEmpty())
        return true;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    return m_extensions.contains(name.mid(dot + 1).toLower());
}

bool FileListBox::set_path(const QString& folder)
{
    const Listing l = list_folder(folder);
    if (!l.ok)
        return false;
    set_files(folder, l.files);
    return true;
}

void FileListBox::set_files(const QString& folder, const QStringList& names)
{
    m_path = QDir::cleanPath(folder);
    clear();
    QStringList shown;
    for (const QString& n : names)
        if (matches(n))
            shown << n;
    addItems(shown);
}

QStringList FileListBox::names() const
{
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

} // namespace mosswick

#include "loader/list_boxes.h"

#include "core/listing.h"

#include <QDir>
#include <QKeyEvent>
#include <QStorageInfo>

namespace mosswick {

namespace {

bool is_under(const QString& folder, const QString& root)
{
    if (root == QStringLiteral("/"))
        return folder.startsWith(u'/');
    return folder == root || folder.startsWith(root + u'/');
}

} // namespace

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

QString DriveListBox::drive_of(const QString& folder) const
{
    QString best = QStringLiteral("/");
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (is_under(folder, root) && root.size() > best.size())
            best = root;
    }
    return best;
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
    if (!current.isEmpty() && findData(current) < 0)
        addItem(current, current);
    const int i = findData(current);
    setCurrentIndex(i >= 0 ? i : 0);
}

void DriveListBox::showPopup()
{
    // Volumes come and go: offer the ones mounted now.
    refresh();
    QComboBox::showPopup();
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit folder_requested(item->data(Qt::UserRole).toString()); });
}

QString DirListBox::entry_path(int row) const
{
    const QListWidgetItem* it = item(row);
    return it ? it->data(Qt::UserRole).toString() : QString();
}

Listing DirListBox::set_path(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder);
    Listing l = list_folder(clean);
    if (!l.ok)
        return l;
    m_path = clean;
    m_listing = l;
    clear();
    // The way down from the root, then the sub-folders one step further in.
    QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    QString walked = QStringLiteral("/");
    auto add = [this](const QString& text, const QString& path, int depth) {
        auto* it = new QListWidgetItem(QString(depth * 2, u' ') + text, this);
        it->setData(Qt::UserRole, path);
        return it;
    };
    add(QStringLiteral("/"), walked, 0);
    int depth = 1;
    for (const QString& part : parts) {
        walked = walked == QStringLiteral("/") ? walked + part : walked + u'/' + part;
        add(part, walked, depth++);
    }
    setCurrentRow(count() - 1);
    for (const QString& sub : l.folders)
        add(sub, clean == QStringLiteral("/") ? clean + sub : clean + u'/' + sub, depth);
    emit path_changed(m_path);
    return l;
}

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

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
    m_names.clear();
    for (const QString& n : names)
        if (matches(n))
            m_names << n;
    addItems(m_names);
}

QString FileListBox::selected_name() const
{
    const QList<QListWidgetItem*> sel = selectedItems();
    if (!sel.isEmpty())
        return sel.constFirst()->text();
    const QListWidgetItem* it = currentItem();
    return it && it->isSelected() ? it->text() : QString();
}

void FileListBox::select_row(int row)
{
    if (row < 0 || row >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(row);
    item(row)->setSelected(true);
    scrollToItem(item(row));
}

} // namespace mosswick

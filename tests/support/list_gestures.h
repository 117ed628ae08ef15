#pragma once

// The loader's lists worked as the user works them: a double click on a
// row, and the folder list double-clicked down to a folder.

#include "loader/list_boxes.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

namespace testsupport {

// The texts a list shows, in its order.
inline QStringList items(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// Double-clicks a row as the user does: the first click selects it.
inline void double_click_row(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    if (!item)
        return;
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// Double-clicks a name of a file list; false when the list does not show it.
inline bool double_click_name(mosswick::FileListBox* list, const QString& name)
{
    const int row = int(list->names().indexOf(name));
    if (row < 0)
        return false;
    double_click_row(list, row);
    return true;
}

// Gets the folder list to a folder the way the user does: the folder's own
// entry is double-clicked when shown, else the deepest shown folder on the
// way to it, and so on down. The last double click may fail to list (the
// folder went away); false when the way there is not shown or does not open.
inline bool open_folder(mosswick::DirListBox* folders, const QString& folder)
{
    const QString target = QDir::cleanPath(folder);
    const auto on_the_way = [&target](const QString& entry) {
        return entry == QStringLiteral("/") ? target.startsWith(u'/') && target != entry
                                            : target.startsWith(entry + u'/');
    };
    QString reached;   // each step goes deeper than the one before
    for (;;) {
        int row = -1;
        QString entry = reached;
        for (int r = 0; r < folders->count(); ++r) {
            const QString p = folders->entry_path(r);
            if (p == target) {
                double_click_row(folders, r);
                return true;
            }
            if (on_the_way(p) && p.size() > entry.size()) {
                row = r;
                entry = p;
            }
        }
        if (row < 0)
            return false;
        double_click_row(folders, row);
        if (folders->path() != entry)
            return false;
        reached = entry;
    }
}

} // namespace testsupport

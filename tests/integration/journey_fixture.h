#pragma once

// A user's session with the main window, across subsystems: the window as
// the program starts it, scripted dialogs, a catalogue folder (dir) and the
// steps a user takes, each through the window's own handlers.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/grid_clicks.h"
#include "support/window_steps.h"

#include "notes/frm_note.h"
#include "pageview/frm_zoom.h"
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/store/connection.h"

#include <QDir>
#include <QFileInfo>
#include <QTableView>
#include <QTest>

#include <sys/stat.h>

namespace journey {

using namespace mosswick;

class Journey : public WindowSteps {
protected:
    void TearDown() override
    {
        close_zoom_windows();
        for (const QString& p : made_read_only)
            ::chmod(QFile::encodeName(p).constData(), 0644);
    }

    // ---- the program ----------------------------------------------------------

    // Ends this session's window and starts the program again (another
    // edition, or the same one later).
    void restart(const Edition& edition)
    {
        close_zoom_windows();
        window.reset();
        settle();
        start(edition);
    }

    static void close_zoom_windows()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmZoom*>(w))
                w->close();
        settle();
    }

    static int zoom_windows_shown()
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmZoom*>(w) && w->isVisible())
                ++n;
        return n;
    }

    // ---- files --------------------------------------------------------------------

    static void picture(const QString& path, QColor marker = Qt::red, int width = 48, int height = 32)
    {
        ASSERT_TRUE(testsupport::write_picture(path, width, height, "jpg", marker)) << path.toStdString();
    }

    void make_read_only(const QString& path)
    {
        ::chmod(QFile::encodeName(path).constData(), 0444);
        made_read_only << path;
    }

    // ---- the catalogue as the window holds it ------------------------------------

    // The picture files in number order.
    QStringList order() const
    {
        QStringList out;
        for (const QString& r : rows())
            out << r.section('/', 2, 2);
        return out;
    }

    QString note_text(const QString& picfile, const QString& column = QStringLiteral("note")) const
    {
        return richtext::extract_plain_text(field(column, picfile).toString());
    }

    // What the user must be able to rely on after anything: the window takes
    // input, pictures are numbered 1..n without gaps, six to a page, and the
    // window's counts say so.
    void expect_consistent(qint64 n)
    {
        ASSERT_TRUE(window->session().db_conn());
        EXPECT_FALSE(window->busy_state().busy());
        auto st = window->session().db_conn()->prepare("SELECT numpic, numpage FROM demopicture ORDER BY numpic");
        qint64 i = 0;
        while (st.step()) {
            ++i;
            EXPECT_EQ(st.integer(0), i) << "numbers have a gap or a double";
            EXPECT_EQ(st.integer(1), (i + 5) / 6) << "picture " << i << " is on the wrong page";
        }
        EXPECT_EQ(i, n);
        EXPECT_EQ(window->session().picture_count(), n);
        EXPECT_EQ(ctl(*window).Label27->text(), n > 0 ? QString::number(n) : QString());
        EXPECT_EQ(ctl(*window).Label29->text(), n > 0 ? QString::number((n + 5) / 6) : QString());
    }

    // ---- the page view ---------------------------------------------------------------

    // The picture numbers the page shows, cell by cell.
    QStringList page_numbers() const
    {
        QStringList out;
        for (int i = 1; i <= 6; ++i)
            if (!ctl(*window).Label5[size_t(i)]->text().isEmpty())
                out << ctl(*window).Label5[size_t(i)]->text();
        return out;
    }

    bool cell_shows_picture(int i) const
    {
        const QLabel* shown = ctl(*window).im[size_t(i)]->isHidden() ? ctl(*window).Im2[size_t(i)] : ctl(*window).im[size_t(i)];
        return !shown->isHidden() && !shown->pixmap().isNull();
    }

    // ---- the note window ----------------------------------------------------------------

    const testsupport::NoteControls* editor() const { return testsupport::note_editor(*window); }

    // Types at the end of a note box as the keyboard does.
    static void type_at_end(richtext::RichTextBox* box, const QString& text)
    {
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, text);
    }

    // Opens a cell's note window, types text in place of the note (write) or
    // after it (add), and presses OK; false when no note window opened.
    bool write_note(int cell, const QString& text) { return type_note(cell, text, true); }
    bool add_to_note(int cell, const QString& text) { return type_note(cell, text, false); }

    bool type_note(int cell, const QString& text, bool in_place)
    {
        if (!testsupport::open_note_editor(*window, cell))
            return false;
        if (in_place) {
            editor()->lbl_note->selectAll();
            QTest::keyClicks(editor()->lbl_note, text);
        } else {
            type_at_end(editor()->lbl_note, text);
        }
        editor()->Command1->click();
        settle();
        return true;
    }

    // ---- grids ----------------------------------------------------------------------------

    static int grid_row_of(QTableView* view, int column, const QString& text)
    {
        for (int r = 0; r < grid(view)->rowCount(); ++r)
            if (grid(view)->text(r, column) == text)
                return r;
        return -1;
    }

    // A click on one row of a grid.
    static void pick_row(QTableView* view, int row)
    {
        ASSERT_GE(row, 0);
        testsupport::click_row(view, row);
    }

    QStringList made_read_only;
};

} // namespace journey

#pragma once

// A user's session with the main window, across subsystems: the window as
// the program starts it, scripted dialogs, a catalogue folder (dir) and the
// steps a user takes, each through the window's own handlers.
#include "support/window_controls.h"
#include "support/page_gestures.h"
#include "support/grid_clicks.h"
#include "support/window_fixture.h"

#include "notes/frm_note.h"
#include "pageview/frm_zoom.h"
#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/store/connection.h"
#include "search/search_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include <functional>
#include <memory>

#include <sys/stat.h>

namespace journey {

using namespace mosswick;

class Journey : public WindowTest {
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

    // Lets windows that closed themselves go (zoom windows close on a timer).
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

    QString data(const QString& name = {}) const { return dir.file("data/" + name); }

    static void picture(const QString& path, QColor marker = Qt::red, int width = 48, int height = 32)
    {
        ASSERT_TRUE(testsupport::write_picture(path, width, height, "jpg", marker)) << path.toStdString();
    }

    static void touch(const QString& path, const QByteArray& bytes = {})
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
    }

    void make_read_only(const QString& path)
    {
        ::chmod(QFile::encodeName(path).constData(), 0444);
        made_read_only << path;
    }

    // ---- the catalogue as the window holds it ------------------------------------

    // The rows as "numpic/numpage/picfile/movfile" ("-" for Null), by number.
    QStringList rows() const
    {
        QStringList out;
        if (!window->session().db_conn())
            return out;
        auto st = window->session().db_conn()->prepare("SELECT coalesce(numpic, '-'), coalesce(numpage, '-'), coalesce(picfile, '-'), "
                                           "coalesce(movfile, '-') FROM demopicture ORDER BY numpic");
        while (st.step())
            out << QStringLiteral("%1/%2/%3/%4").arg(st.text(0), st.text(1), st.text(2), st.text(3));
        return out;
    }

    // The picture files in number order.
    QStringList order() const
    {
        QStringList out;
        for (const QString& r : rows())
            out << r.section('/', 2, 2);
        return out;
    }

    QVariant field(const QString& column, const QString& picfile) const
    {
        store::Error e;
        const QVariant v =
            window->session().db_conn()->scalar("SELECT " + column + " FROM demopicture WHERE picfile = ?1", {picfile}, e);
        EXPECT_FALSE(e) << e.text.toStdString();
        return v;
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

    int cell_of(const QString& picfile) const
    {
        for (int i = 1; i <= 6; ++i)
            if (ctl(*window).lbl_filePic[size_t(i)]->text() == picfile)
                return i;
        return 0;
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

    // ---- grids ----------------------------------------------------------------------------

    static search::GridModel* grid(QTableView* view) { return search::search_grid(view)->rows(); }

    static QStringList grid_column(QTableView* view, int column)
    {
        QStringList out;
        for (int r = 0; r < grid(view)->rowCount(); ++r)
            out << grid(view)->text(r, column);
        return out;
    }

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

    // ---- stop and Esc ------------------------------------------------------------------------

    void click_progress_bar()
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // Esc as the window receives it, wherever the focus is.
    void press_esc()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
        QApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // Runs f once, the first time the progress bar shows value while when() holds.
    void when_bar_reaches(int value, std::function<void()> f, std::function<bool()> when = {})
    {
        auto done = std::make_shared<bool>(false);
        QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(),
                         [value, done, f = std::move(f), when = std::move(when)](int v) {
                             if (v >= value && !*done && (!when || when())) {
                                 *done = true;
                                 f();
                             }
                         });
    }

    QStringList made_read_only;
};

} // namespace journey

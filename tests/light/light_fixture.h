#pragma once

#include "support/window_controls.h"
#include "support/window_fixture.h"
#include "support/list_gestures.h"

#include "loader/list_boxes.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/store/connection.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>

#include <memory>

// A main window started with the light profile, as mosswick-light starts it,
// with scripted dialogs and a temporary folder listed in the loader.
class LightWindow : public WindowTest {
protected:
    void SetUp() override { start(mosswick::Edition::light()); }

    // A catalogue of n rows (pic001.jpg ...) with their pictures in data/.
    QString make_light(int n, mosswick::store::Schema schema = mosswick::store::Schema::Light)
    {
        testsupport::CatalogueSpec spec;
        spec.schema = schema;
        spec.write_files = true;
        spec.width = 60;
        spec.height = 40;
        QDir().mkpath(dir.file("data"));
        return make(n, spec);
    }

    // Opens a catalogue of n rows and forgets what opening asked.
    void open_light(int n, mosswick::store::Schema schema = mosswick::store::Schema::Light)
    {
        path = make_light(n, schema);
        open(path);
        ASSERT_TRUE(window->session().db_open());
        dialogs->asked.clear();
    }

    QString data(const QString& name) const { return dir.file("data/" + name); }

    // The rows as "numpic/numpage/picfile/movfile" ("-" for Null), by number.
    QStringList rows() const
    {
        QStringList out;
        auto st = window->session().db_conn()->prepare(
            "SELECT numpic, numpage, picfile, coalesce(movfile, '-') FROM demopicture ORDER BY numpic");
        while (st.step())
            out << QStringLiteral("%1/%2/%3/%4").arg(st.text(0), st.text(1), st.text(2), st.text(3));
        return out;
    }

    QVariant field(const QString& column, const QString& picfile) const
    {
        mosswick::store::Error e;
        return window->session().db_conn()->scalar("SELECT " + column + " FROM demopicture WHERE picfile = ?1", {picfile}, e);
    }

    void exec(const QString& sql, const QVariantList& params = {})
    {
        const mosswick::store::Error e = window->session().db_conn()->exec(sql, params);
        ASSERT_TRUE(e.ok()) << e.text.toStdString();
    }

    // Shows a folder in the loader's lists, double-clicking the way there in the folder list.
    void show_folder(const QString& folder)
    {
        EXPECT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, folder)) << folder.toStdString();
    }

    // Double-clicks a name of the loader's picture list.
    void pick_picture(const QString& name)
    {
        ASSERT_TRUE(testsupport::double_click_name(ctl(*window).Fil_ImportFile, name)) << name.toStdString();
    }

    // A click on the progress bar as the window receives it.
    void click_progress_bar()
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // Runs f once when the progress bar reaches value.
    void when_bar_reaches(int value, std::function<void()> f)
    {
        auto done = std::make_shared<bool>(false);
        QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(),
                         [value, done, f = std::move(f)](int v) {
                             if (v == value && !*done) {
                                 *done = true;
                                 f();
                             }
                         });
    }

    // Gives a control the keyboard focus the way a click would.
    void focus(QWidget* w)
    {
        window->show();
        QApplication::setActiveWindow(window.get());
        w->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }

    // Whether a control can be seen in the window, its tab shown: nothing
    // on its way up is hidden, and each tab page on the way has its tab.
    bool shown(const QWidget* w) const
    {
        for (const QWidget* a = w; a && a != window.get(); a = a->parentWidget()) {
            const QWidget* p = a->parentWidget();
            auto* tabs = p ? qobject_cast<const QTabWidget*>(p->parentWidget()) : nullptr;
            if (tabs && qobject_cast<const QStackedWidget*>(p)) {
                if (!tabs->isTabVisible(tabs->indexOf(const_cast<QWidget*>(a))))
                    return false;
            } else if (a->isHidden()) {
                return false;
            }
        }
        return true;
    }

    QString path;
};

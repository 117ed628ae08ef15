#pragma once

#include "support/window_controls.h"
#include "support/list_gestures.h"
#include "support/window_steps.h"

#include "loader/list_boxes.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/store/connection.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QDir>
#include <QStackedWidget>
#include <QTabWidget>

// A main window started with the light profile, as mosswick-light starts it,
// with scripted dialogs and a temporary folder listed in the loader.
class LightWindow : public WindowSteps {
protected:
    void SetUp() override { start(mosswick::Edition::light()); }

    // A catalogue of n rows (pic001.jpg ...) with their pictures in data/.
    QString make_light(int n, mosswick::store::Schema schema = mosswick::store::Schema::Light)
    {
        QDir().mkpath(data());
        return make_with_files(n, schema, {60, 40});
    }

    // Opens a catalogue of n rows and forgets what opening asked.
    void open_light(int n, mosswick::store::Schema schema = mosswick::store::Schema::Light)
    {
        path = make_light(n, schema);
        open(path);
        ASSERT_TRUE(window->session().db_open());
        dialogs->asked.clear();
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

    // A label's background as the program sets it, 0xBBGGRR.
    static unsigned back_of(const QWidget* w) { return mosswick::ui::to_bgr(w->palette().color(QPalette::Window)); }

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

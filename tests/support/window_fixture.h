#pragma once

#include "support/window_controls.h"
#include "support/zoom_window.h"
#include "catalogue/catalogue_file.h"
#include "core/edition.h"
#include "frame/frm_browser.h"
#include "loader/list_boxes.h"
#include "platform/ui/plain_text_box.h"
#include "support/catalogue_builder.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

#include <QAction>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Waits until the integrity check of an opened catalogue has ended; false
// when it did not within the time.
inline bool wait_for_integrity_check(mosswick::frmBrowser& window, int timeout_ms = 30000)
{
    return QTest::qWaitFor([&] { return !window.integrity_check_running(); }, timeout_ms);
}

// The main tab control holds the window's focus (its tab bar takes it).
inline bool tabs_have_focus(QWidget& window) { return window.focusWidget() == ctl(window).SSTab_main->tabBar(); }

// The catalogue's life in a main window, for the one seam it keeps for
// tests: the opener of its check behind the page.
inline mosswick::CatalogueFile& catalogue_file(QWidget& window)
{
    return *window.findChild<mosswick::CatalogueFile*>();
}

// A main window started as the program starts it, with scripted dialogs and a
// temporary folder listed in the loader.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { start(mosswick::Edition::enhanced()); }

    void start(const mosswick::Edition& edition, const QString& argument = {})
    {
        window = std::make_unique<mosswick::frmBrowser>(edition);
        window->Form_Load(argument);
        ctl(*window).Fil_ImportFile->set_path(dir.path());
    }

    // Opens a catalogue through the Open DB menu with the given file chosen,
    // and waits for the integrity check behind the page (writes wait for it).
    void open(const QString& path)
    {
        open_unchecked(path);
        EXPECT_TRUE(wait_for_integrity_check(*window));
    }

    // Opens a catalogue and returns while its integrity check may still run.
    void open_unchecked(const QString& path)
    {
        dialogs->files.push_back(path);
        ctl(*window).mnuDb->trigger();
    }

    // File > Renumber pages ticked and the catalogue opened: renumbered, left closed.
    void open_to_renumber(const QString& path)
    {
        if (window->session().db_open())
            ctl(*window).mnuDb->trigger();
        ctl(*window).mnuDbRnm->setChecked(true);
        open_unchecked(path);
        ctl(*window).mnuDbRnm->setChecked(false);
    }

    QString make(int pictures, testsupport::CatalogueSpec spec = {})
    {
        spec.pictures = pictures;
        return testsupport::make_catalogue(dir.path(), spec);
    }

    // Waits until the last zoom window opened has drawn its picture (it is
    // decoded on a worker thread) or has said why it cannot.
    bool wait_for_zoom() const
    {
        return QTest::qWaitFor([this] { return !testsupport::last_zoom() || !testsupport::last_zoom()->loading(); }, 10000);
    }

    // The window accepts input again after every action.
    void expect_usable() const
    {
        EXPECT_FALSE(window->busy_state().busy());
    }

    testsupport::TempDir dir;
    testsupport::ScopedScriptedDialogs dialogs;
    std::unique_ptr<mosswick::frmBrowser> window;
};

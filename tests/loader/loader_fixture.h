#pragma once

#include "support/list_gestures.h"
#include "support/catalogue_window.h"

#include <QDir>
#include <QPushButton>

// A started main window with a catalogue open in dir and the loader showing
// a folder of its own (source), with scripted dialogs.
class LoaderWindow : public CatalogueWindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        catalogue = make(0);
        QDir().mkpath(dir.file("data"));
        // Nothing is loaded before the check behind the page has passed.
        open(catalogue);
        ASSERT_TRUE(window->session().db_open());
    }

    // Shows a folder in the loader's lists, double-clicking the way there in the folder list.
    void show(const QString& folder)
    {
        EXPECT_TRUE(testsupport::open_folder(ctl(*window).Dir_ImportDir, folder)) << folder.toStdString();
    }

    // Files in the source folder; the pictures are 60 x 40.
    QString file(const QString& name, const QByteArray& bytes = {}) const
    {
        return testsupport::write_file(source.file(name), bytes);
    }
    QString jpg(const QString& name) const { return picture(name, "jpg"); }
    QString png(const QString& name) const { return picture(name, "png"); }
    QString picture(const QString& name, const char* format) const
    {
        const QString path = source.file(name);
        EXPECT_TRUE(testsupport::write_picture(path, 60, 40, format));
        return path;
    }

    // Double-clicks a name in one of the file lists.
    void pick_picture(const QString& name)
    {
        ASSERT_TRUE(testsupport::double_click_name(ctl(*window).Fil_ImportFile, name)) << name.toStdString();
    }
    void pick_movie(const QString& name)
    {
        ASSERT_TRUE(testsupport::double_click_name(ctl(*window).File_movies, name)) << name.toStdString();
    }
    // A pick waits for "Load picture" or "Cancel".
    bool pick_pending() const
    {
        return ctl(*window).cmd_OK->isEnabled() && ctl(*window).cancel_load_picture->isEnabled();
    }

    testsupport::TempDir source;   // the folder pictures are loaded from
    QString catalogue;
};

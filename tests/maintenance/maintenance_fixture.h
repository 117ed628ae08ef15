#pragma once

#include "maintenance/maintenance_tab.h"
#include "maintenance/grid_model.h"
#include "platform/ui/vb.h"
#include "support/grid_clicks.h"
#include "support/catalogue_window.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <algorithm>

// A started main window with a catalogue of picture rows (pic001.jpg ...,
// their pictures in data/) open, and scripted dialogs.
class MaintenanceWindow : public CatalogueWindowTest {
protected:
    void open_catalogue(int pictures)
    {
        testsupport::CatalogueSpec spec;
        spec.write_files = true;
        spec.width = 24;
        spec.height = 16;
        path = make(pictures, spec);
        QDir().mkpath(dir.file("data"));
        open(path);
        ASSERT_TRUE(window->session().db_open());
        dialogs->asked.clear();
    }

    void exec(const QString& sql, const QVariantList& params = {})
    {
        const mosswick::store::Error e = window->session().db_conn()->exec(sql, params);
        ASSERT_TRUE(e.ok()) << e.text.toStdString();
    }

    // The picture files in number order, by their numbers in pic%03d.jpg.
    QList<int> order() const
    {
        QList<int> out;
        for (const QString& r : rows())
            out << r.section('/', 2, 2).mid(3, 3).toInt();
        return out;
    }

    QVariant field(const QString& column, qint64 numpic) const
    {
        return testsupport::field_of(*window->session().db_conn(), column, numpic);
    }

    // Clicks the progress bar when it reaches value (once).
    void stop_at(int value)
    {
        when_bar_reaches(value, [this] { click_progress_bar(); });
    }

    mosswick::maintenance::ManagementGridModel* model() const
    {
        return qobject_cast<mosswick::maintenance::ManagementGridModel*>(ctl(*window).mgm_pic->model());
    }

    void click_row(int row) { testsupport::click_grid_row(ctl(*window).mgm_pic, row); }

    // The grid row showing a picture number.
    int grid_row_of(int numpic) const
    {
        for (int r = 0; r < model()->rowCount(); ++r)
            if (model()->cell_text(r, 0) == QString::number(numpic))
                return r;
        return -1;
    }

    // The catalogue's renumber mode numbers by file name, whatever edit ran before.
    void expect_renumbering_by_name()
    {
        exec("UPDATE demopicture SET numpic = 1000 - numpic");   // reversed
        ctl(*window).renumber_pages->click();
        const QList<int> by_number = order();
        EXPECT_TRUE(std::is_sorted(by_number.begin(), by_number.end()));
    }

    QString path;
};

// Page view: filling the six cells of a page from one query.
#include "catalogue/catalogue_logic.h"
#include "catalogue/fit_to_box.h"
#include "catalogue/frm_browser.h"
#include "notes/frm_note.h"
#include "pageview/page_logic.h"

#include "platform/picture/render.h"

#include <QFuture>
#include <QThread>
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

namespace mosswick {

namespace {

void set_cell_note(richtext::RichTextBox* box, const QVariant& value)
{
    box->reset_rich_text();
    // A cell shows the beginning of a very long note: six of them read whole
    // would keep the window busy for minutes.
    show_note_in_cell(*box, value.isValid() ? value.toString() : QString());
}

// The pixel size a picture of a natural pixel size is drawn at in a cell
// of a size in twips.
QSize cell_target(QSize natural, double cell_width, double cell_height)
{
    const FitResult fit = fit_to_box(true, cell_width, cell_height, ui::px_to_twips(natural.width()),
                                     ui::px_to_twips(natural.height()));
    return {ui::twips_to_px(fit.display_width), ui::twips_to_px(fit.display_height)};
}

} // namespace

void frmBrowser::LoadAllPictures(qint64 cur_numpage)
{
    ui::BusyLock lock(m_session.busy());
    const double cell_width = m_session.edition().layout.cell_picture_width;
    const double cell_height = m_session.edition().layout.cell_picture_height;
    // Without stored pictures every row names a picture file in the data folder.
    const bool stored_pictures = m_session.edition().features.stored_pictures;
    const qint64 started = ui::tick_count();
    set_timing(QStringLiteral("Time elapsed ..."));
    set_message(QStringLiteral("Loading ..."));
    set_ready({});
    m_status->progress()->show();
    ui::EventPump pump;
    pump.pump();

    auto finish = [&](const QString& message) {
        m_status->progress()->setValue(0);
        m_status->progress()->hide();
        set_timing(QStringLiteral("%1 ms").arg(ui::tick_count() - started));
        set_message(message);
        set_ready(QStringLiteral("Ready."));
    };

    // Clearing step: nothing of the previous page stays in any cell.
    for (int i = 1; i <= 6; ++i) {
        for (QLabel* p : {im[size_t(i)], Im2[size_t(i)]}) {
            // Disabled too: a cleared cell shows no picture, so no key selects it.
            p->hide();
            p->setEnabled(false);
            p->clear();
            p->setToolTip({});
        }
        lbl_note[size_t(i)]->hide();
        lbl_note[size_t(i)]->setTextRTF(QString());
        Label7[size_t(i)]->clear();
        Label7[size_t(i)]->setEnabled(false);
        lbl_fileName[size_t(i)]->clear();
        lbl_fileName[size_t(i)]->setEnabled(false);
        Label5[size_t(i)]->clear();
        Label4[size_t(i)]->clear();
        lbl_filePic[size_t(i)]->clear();
        Text34[size_t(i)]->clear();
        Text18[size_t(i)]->setTextRTF(QString());
        Text18[size_t(i)]->hide();
        Text18[size_t(i)]->setEnabled(false);
        SSTab1[size_t(i)]->setEnabled(false);
        SSTab1[size_t(i)]->setCurrentIndex(0);
        cell_movfile[size_t(i)].clear();
    }
    ClearBorder(0);

    const qint64 pages = page_count(m_session.picture_count);
    lbl_page->setText(page_label(cur_numpage, pages));
    pump.pump();

    store::Error error;
    std::vector<store::Row> rows;
    if (m_session.db_conn)
        rows = m_session.db_conn->rows_on_page(cur_numpage, error);
    else
        error = store::make_error(store::ErrorKind::Engine, QStringLiteral("No catalogue is open."));

    // Navigation stays usable whatever the page holds.
    auto set_navigation = [&]() {
        const NavState nav = nav_state(cur_numpage, m_session.picture_count, parse_number(Label29->text()).value_or(0),
                                       Slider1->minimum(), Label3->text());
        if (nav.go_left)
            go_left->setEnabled(true);
        if (nav.touched) {
            if (nav.go_right)
                go_right->setEnabled(true);
            Slider1->setEnabled(true);
            bof->setEnabled(nav.bof);
            eof->setEnabled(nav.eof);
        }
        if (nav.show_page)
            show_page->setEnabled(true);
    };

    page_warning.clear();
    // Until rows are placed the page has none: the keypad counts on it.
    cells_on_page = 0;
    if (error) {
        set_navigation();
        page_warning = ui::error_message(error.code, error.text);
        finish(page_warning);
        return;
    }
    if (rows.empty()) {
        ui::dialogs().message(this, QStringLiteral("The page not exist, renumber the database."), QStringLiteral("Error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
        set_navigation();
        finish({});
        return;
    }
    const bool overfull = rows.size() > 6;
    if (overfull)
        rows.resize(6);   // six cells; the renumbering puts the rest on later pages

    m_status->progress()->setRange(0, int(rows.size()));
    m_status->progress()->setValue(0);
    pump.pump();

    // Decode the page's pictures in parallel; draw them in cell order here.
    // Laid out in logical pixels, drawn at the screen's device pixels.
    const qreal ratio = im[1]->devicePixelRatioF();
    std::vector<picture::RenderRequest> requests(rows.size());
    std::vector<bool> missing(rows.size(), false);
    QStringList store_errors;
    for (size_t k = 0; k < rows.size(); ++k) {
        const store::Row& row = rows[k];
        picture::RenderRequest& req = requests[k];
        req.quality = m_session.thumb_quality;
        req.device_pixel_ratio = ratio;
        req.target_for = [cell_width, cell_height](QSize natural) {
            return cell_target(natural, cell_width, cell_height);
        };
        if (stored_pictures && store::picture_stored_inside(row.value(store::col_inoutpic))) {
            store::Error be;
            req.source = picture::PictureSource::bytes(m_session.db_conn->read_picture_bytes(row.value(store::col_numpic).toLongLong(), be));
            if (be)
                store_errors << ui::error_message(be.code, be.text);
        } else {
            const QString path = m_session.data_folder + row.value(store::col_picfile).toString();
            missing[k] = !QFileInfo(path).isFile();
            req.source = picture::PictureSource::file(path);
        }
    }
    std::vector<QFuture<picture::RenderResult>> running = picture::start_rendering(requests);

    bool any_missing = false;
    QStringList unreadable;
    for (size_t k = 0; k < rows.size(); ++k) {
        const int cell = int(k) + 1;
        const store::Row& row = rows[k];
        // Each cell is drawn as soon as its picture is ready; the window
        // repaints in between.
        while (!running[k].isFinished()) {
            pump.maybe_pump();
            QThread::msleep(2);
        }
        const picture::RenderResult result = running[k].result();
        m_status->progress()->setValue(cell);
        pump.maybe_pump();

        const bool stored = stored_pictures && store::picture_stored_inside(row.value(store::col_inoutpic));
        QLabel* shown = stored ? Im2[size_t(cell)] : im[size_t(cell)];
        QLabel* other = stored ? im[size_t(cell)] : Im2[size_t(cell)];
        if (result.ok() && !result.image.isNull()) {
            shown->resize(result.logical_size);
            shown->setPixmap(QPixmap::fromImage(result.image));
        } else {
            // An empty picture area; the rest of the page is shown.
            shown->resize(ui::twips_to_px(cell_width), ui::twips_to_px(cell_height));
            shown->clear();
            if (missing[k]) {
                any_missing = true;
                shown->setToolTip(QStringLiteral("Picture file not found."));
            } else {
                shown->setToolTip(picture::status_text(result.status));
                unreadable << row.value(store::col_picfile).toString();
            }
        }
        other->hide();
        other->setEnabled(false);
        shown->show();
        shown->setEnabled(true);

        const QVariant picfile = row.value(store::col_picfile);
        if (!picfile.toString().isEmpty()) {
            lbl_filePic[size_t(cell)]->setText(picfile.toString());
            Label7[size_t(cell)]->setText(type_of(picfile.toString()));
        }
        const QString movfile = row.value(store::col_movfile).toString();
        cell_movfile[size_t(cell)] = movfile;
        if (!movfile.isEmpty()) {
            lbl_fileName[size_t(cell)]->setText(type_of(movfile));
            lbl_fileName[size_t(cell)]->setEnabled(true);
        }
        set_cell_note(lbl_note[size_t(cell)], row.value(store::col_note));
        Text34[size_t(cell)]->setText(row.value(store::col_reference).toString());
        set_cell_note(Text18[size_t(cell)], row.value(store::col_addnote));
        Label4[size_t(cell)]->setText(row.value(store::col_numpage).toString());
        Label5[size_t(cell)]->setText(row.value(store::col_numpic).toString());
        Label7[size_t(cell)]->setEnabled(true);
        lbl_note[size_t(cell)]->show();
        lbl_note[size_t(cell)]->setEnabled(true);
        Text18[size_t(cell)]->show();
        Text18[size_t(cell)]->setEnabled(true);
        SSTab1[size_t(cell)]->setEnabled(true);
    }
    m_status->progress()->setValue(0);
    set_navigation();
    cells_on_page = int(rows.size());

    if (reselect_pending) {
        selected_cell = 0;
        for (int k = 1; k <= cells_on_page; ++k)
            if (parse_number(Label5[size_t(k)]->text()) == reselect_numpic) {
                im_Click(k);
                selected_cell = k;
                break;
            }
        reselect_pending = false;
        reselect_numpic = 0;
    } else {
        selected_cell = 0;
    }

    // What went wrong on the page stays readable after the opener's own message.
    QStringList warnings;
    if (overfull)
        warnings << QStringLiteral("This page holds more than six pictures: renumber the database.");
    if (!unreadable.isEmpty())
        warnings << QStringLiteral("Picture file cannot be read: %1").arg(unreadable.join(QStringLiteral(", ")));
    warnings << store_errors;
    page_warning = warnings.join(u' ');
    finish(page_warning);
    pump.pump();
    if (any_missing)
        ui::dialogs().message(this, QStringLiteral("Picture file not found."), QStringLiteral("Error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
}

} // namespace mosswick

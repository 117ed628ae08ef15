// Filling the six cells of a page: the query, the decodes started in
// parallel, each result placed in cell order as it is ready, the report.
#include "pageview/page_view_part.h"

#include "core/catalogue_logic.h"
#include "core/fit_to_box.h"
#include "core/status_line.h"
#include "pageview/page_logic.h"

#include "platform/picture/render.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QFuture>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include <vector>

namespace mosswick {

// One page load's working state, from step to step.
struct PageLoad {
    qint64 page = 0;
    qint64 started = 0;
    ui::EventPump pump;
    std::vector<store::Row> rows;
    bool overfull = false;
    std::vector<QFuture<picture::RenderResult>> running;   // each decode owns its request
    std::vector<bool> missing;   // the row's picture file is not in the data folder
    QStringList store_errors;
    QStringList unreadable;
    bool any_missing = false;
};

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

// The result of one decode; the window stays live until the decode's
// watcher says it has finished.
picture::RenderResult wait_for(const QFuture<picture::RenderResult>& decode)
{
    if (!decode.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<picture::RenderResult> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        // A decode that finishes meanwhile still posts its signal: the loop sees it.
        watcher.setFuture(decode);
        loop.exec();
    }
    return decode.result();
}

} // namespace

void PageView::LoadAllPictures(qint64 cur_numpage)
{
    ui::BusyLock lock(m_session.busy());
    StatusLine& status = m_session.status();
    PageLoad load;
    load.page = cur_numpage;
    load.started = ui::tick_count();
    status.set_timing(QStringLiteral("Time elapsed ..."));
    status.set_message(QStringLiteral("Loading ..."));
    status.set_ready({});
    status.progress()->show();
    load.pump.pump();

    clear_cells();
    lbl_page->setText(page_label(cur_numpage, m_session.page_count()));
    load.pump.pump();

    if (!query_rows(load))
        return;
    status.progress()->setRange(0, int(load.rows.size()));
    status.progress()->setValue(0);
    load.pump.pump();

    start_decodes(load);
    // Each cell is drawn as soon as its picture is ready, in cell order; the
    // window repaints in between.
    for (size_t k = 0; k < load.rows.size(); ++k) {
        wait_for(load.running[k]);
        status.progress()->setValue(int(k) + 1);
        load.pump.maybe_pump();
        place_result(load, k);
    }
    status.progress()->setValue(0);
    set_navigation(cur_numpage);
    m_cells_on_page = int(load.rows.size());
    reselect_after_load();
    report(load);
    m_session.page_drawn(cur_numpage);
}

// The page's rows; false when there are none to show (the load is finished then).
bool PageView::query_rows(PageLoad& load)
{
    store::Error error;
    if (m_session.db_conn())
        load.rows = m_session.db_conn()->rows_on_page(load.page, error);
    else
        error = store::make_error(store::ErrorKind::Engine, QStringLiteral("No catalogue is open."));

    m_session.set_page_warning({});
    // Until rows are placed the page has none: the keypad counts on it.
    m_cells_on_page = 0;
    if (error) {
        set_navigation(load.page);
        m_session.set_page_warning(ui::error_message(error.code, error.text));
        finish_load(load, m_session.page_warning());
        return false;
    }
    if (load.rows.empty()) {
        ui::dialogs().message(this, QStringLiteral("The page not exist, renumber the database."), QStringLiteral("Error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
        set_navigation(load.page);
        finish_load(load, {});
        return false;
    }
    load.overfull = load.rows.size() > 6;
    if (load.overfull)
        load.rows.resize(6);   // six cells; the renumbering puts the rest on later pages
    return true;
}

void PageView::finish_load(const PageLoad& load, const QString& message)
{
    StatusLine& status = m_session.status();
    status.progress()->setValue(0);
    status.progress()->hide();
    status.set_timing(QStringLiteral("%1 ms").arg(ui::tick_count() - load.started));
    status.set_message(message);
    status.set_ready(QStringLiteral("Ready."));
}

// What went wrong on the page stays readable after the opener's own message.
void PageView::report(PageLoad& load)
{
    QStringList warnings;
    if (load.overfull)
        warnings << QStringLiteral("This page holds more than six pictures: renumber the database.");
    if (!load.unreadable.isEmpty())
        warnings << QStringLiteral("Picture file cannot be read: %1").arg(load.unreadable.join(QStringLiteral(", ")));
    warnings << load.store_errors;
    m_session.set_page_warning(warnings.join(u' '));
    finish_load(load, m_session.page_warning());
    load.pump.pump();
    if (load.any_missing)
        ui::dialogs().message(this, QStringLiteral("Picture file not found."), QStringLiteral("Error"),
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
}

// Nothing of the previous page stays in any cell.
void PageView::clear_cells()
{
    for (size_t i = 1; i <= 6; ++i) {
        for (QLabel* p : {im[i], Im2[i]}) {
            // Disabled too: a cleared cell shows no picture, so no key selects it.
            p->hide();
            p->setEnabled(false);
            p->clear();
            p->setToolTip({});
        }
        lbl_note[i]->hide();
        lbl_note[i]->setTextRTF(QString());
        Label7[i]->clear();
        Label7[i]->setEnabled(false);
        lbl_fileName[i]->clear();
        lbl_fileName[i]->setEnabled(false);
        Label5[i]->clear();
        Label4[i]->clear();
        lbl_filePic[i]->clear();
        if (Text18[i]) {
            Text34[i]->clear();
            Text18[i]->setTextRTF(QString());
            Text18[i]->hide();
            Text18[i]->setEnabled(false);
            SSTab1[i]->setEnabled(false);
            SSTab1[i]->setCurrentIndex(0);
        }
        cell_movfile[i].clear();
    }
    ClearBorder(0);
}

// Navigation stays usable whatever the page holds.
void PageView::set_navigation(qint64 page)
{
    const NavState nav = nav_state(page, m_session.picture_count(), parse_number(Label29->text()).value_or(0),
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
}

// Decodes the page's pictures in parallel; laid out in logical pixels,
// drawn at the screen's device pixels.
void PageView::start_decodes(PageLoad& load)
{
    const double cell_width = m_session.edition().layout.cell_picture_width;
    const double cell_height = m_session.edition().layout.cell_picture_height;
    // Without stored pictures every row names a picture file in the data folder.
    const bool stored_pictures = m_session.edition().features.stored_pictures;
    const qreal ratio = im[1]->devicePixelRatioF();
    std::vector<picture::RenderRequest> requests(load.rows.size());
    load.missing.assign(load.rows.size(), false);
    for (size_t k = 0; k < load.rows.size(); ++k) {
        const store::Row& row = load.rows[k];
        picture::RenderRequest& req = requests[k];
        req.quality = m_session.thumb_quality();
        req.device_pixel_ratio = ratio;
        req.target_for = [cell_width, cell_height](QSize natural) {
            return cell_target(natural, cell_width, cell_height);
        };
        if (stored_pictures && store::picture_stored_inside(row.value(store::col_inoutpic))) {
            store::Error be;
            req.source = picture::PictureSource::bytes(
                m_session.db_conn()->read_picture_bytes(row.value(store::col_numpic).toLongLong(), be));
            if (be)
                load.store_errors << ui::error_message(be.code, be.text);
        } else {
            const QString path = m_session.data_folder() + row.value(store::col_picfile).toString();
            load.missing[k] = !QFileInfo(path).isFile();
            req.source = picture::PictureSource::file(path);
        }
    }
    // The stored pictures' bytes are shared with the decodes, not copied.
    load.running = picture::start_rendering(std::move(requests));
}

// Draws row k's finished decode and texts into its cell.
void PageView::place_result(PageLoad& load, size_t k)
{
    const double cell_width = m_session.edition().layout.cell_picture_width;
    const double cell_height = m_session.edition().layout.cell_picture_height;
    const size_t cell = k + 1;
    const store::Row& row = load.rows[k];
    const picture::RenderResult result = load.running[k].result();
    const bool stored =
        m_session.edition().features.stored_pictures && store::picture_stored_inside(row.value(store::col_inoutpic));
    QLabel* shown = stored ? Im2[cell] : im[cell];
    QLabel* other = stored ? im[cell] : Im2[cell];
    if (result.ok() && !result.image.isNull()) {
        shown->resize(result.logical_size);
        shown->setPixmap(QPixmap::fromImage(result.image));
    } else {
        // An empty picture area; the rest of the page is shown.
        shown->resize(ui::twips_to_px(cell_width), ui::twips_to_px(cell_height));
        shown->clear();
        if (load.missing[k]) {
            load.any_missing = true;
            shown->setToolTip(QStringLiteral("Picture file not found."));
        } else {
            shown->setToolTip(picture::status_text(result.status));
            load.unreadable << row.value(store::col_picfile).toString();
        }
    }
    other->hide();
    other->setEnabled(false);
    shown->show();
    shown->setEnabled(true);

    const QVariant picfile = row.value(store::col_picfile);
    if (!picfile.toString().isEmpty()) {
        lbl_filePic[cell]->setText(picfile.toString());
        Label7[cell]->setText(type_of(picfile.toString()));
    }
    const QString movfile = row.value(store::col_movfile).toString();
    cell_movfile[cell] = movfile;
    if (!movfile.isEmpty()) {
        lbl_fileName[cell]->setText(type_of(movfile));
        lbl_fileName[cell]->setEnabled(true);
    }
    set_cell_note(lbl_note[cell], row.value(store::col_note));
    if (Text18[cell]) {
        Text34[cell]->setText(row.value(store::col_reference).toString());
        set_cell_note(Text18[cell], row.value(store::col_addnote));
    }
    Label4[cell]->setText(row.value(store::col_numpage).toString());
    Label5[cell]->setText(row.value(store::col_numpic).toString());
    Label7[cell]->setEnabled(true);
    lbl_note[cell]->show();
    lbl_note[cell]->setEnabled(true);
    if (Text18[cell]) {
        Text18[cell]->show();
        Text18[cell]->setEnabled(true);
        SSTab1[cell]->setEnabled(true);
    }
}

// A page shown for a picture ("Display Page", the search grid) selects its cell.
void PageView::reselect_after_load()
{
    m_selected_cell = 0;
    if (!m_reselect_numpic)
        return;
    for (int k = 1; k <= m_cells_on_page; ++k)
        if (parse_number(Label5[size_t(k)]->text()) == *m_reselect_numpic) {
            im_Click(k);
            m_selected_cell = k;
            break;
        }
    forget_reselect();
}

} // namespace mosswick

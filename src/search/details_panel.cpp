// The record details panel behind the search and reference grids, the
// reference grid's list, and the way from a grid's row to its page.
#include "search/search_sort_tab.h"

#include "core/catalogue_logic.h"
#include "core/fit_to_box.h"
#include "core/status_line.h"
#include "platform/picture/render.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "search/messages.h"
#include "search/queries.h"
#include "search/search_grid.h"
#include "search/tab_helpers.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>

namespace mosswick {

using search::text_of;

namespace {

constexpr double k_picture_width = 4680;   // twips
constexpr double k_picture_height = 2715;

// The pixel size a picture of a natural pixel size is shown at: never
// enlarged, shrunk into the picture area with its aspect ratio kept.
QSize details_target(QSize natural)
{
    const FitResult fit = fit_to_box(true, k_picture_width, k_picture_height, ui::px_to_twips(natural.width()),
                                     ui::px_to_twips(natural.height()));
    return {ui::twips_to_px(fit.display_width), ui::twips_to_px(fit.display_height)};
}

// Draws a picture into one of the two picture controls; returns why it could
// not be shown, or an empty text.
QString draw_into(QLabel* target, const picture::PictureSource& source)
{
    picture::RenderRequest request;
    request.source = source;
    request.target_for = details_target;
    request.quality = picture::k_quality_thumbnail;
    request.device_pixel_ratio = target->devicePixelRatioF();
    const picture::RenderResult r = picture::render_picture(request);
    if (!r.ok() || r.image.isNull())
        return picture::status_text(r.ok() ? picture::PictureStatus::Undecodable : r.status);
    target->resize(r.logical_size);
    target->setPixmap(QPixmap::fromImage(r.image));
    target->show();
    target->setEnabled(true);
    return {};
}

void hide_picture(QLabel* label)
{
    label->clear();
    label->hide();
    label->setEnabled(false);
}

void set_note(richtext::RichTextBox* box, const QVariant& value)
{
    box->reset_rich_text();
    box->setTextRTF(search::grid_text(value));
}

} // namespace

// Shows the record of a grid's row on the "Details" tab. Column 3 holds the
// file name (search grid) or the reference (reference grid); the record must
// still carry it, so that a grid older than the catalogue never shows
// another picture under the row's number.
void SearchSortTab::show_record(QTableView* view, bool search_grid_row)
{
    const int row = search::clicked_row(m_session.status(), view);
    if (row < 0 || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    const search::GridModel* model = search::search_grid(view)->rows();
    const QString numpic = model->text(row, 0);
    const QString numpage = model->text(row, 1);
    const QString mark = model->text(row, 2);
    const QString column3 = model->text(row, 3);
    if (search_grid_row)
        set_message(search::movie_message(column3, !mark.isEmpty()));

    const std::optional<qint64> n = search::grid_number(numpic);
    const std::optional<qint64> p = search::grid_number(numpage);
    if (!n || !p) {
        set_message(text_of(search::k_row_gone));
        return;
    }
    store::Error error;
    const std::optional<search::RecordDetails> record = search::read_record(*m_session.db_conn(), *n, *p, error);
    if (error) {
        set_message(ui::error_message(error.code, error.text));
        return;
    }
    if (!record) {
        set_message(text_of(search::k_row_gone));
        return;
    }
    const QVariant& shown = search_grid_row ? record->picfile : record->reference;
    if (search::grid_text(shown) != column3) {
        set_message(text_of(search::k_row_changed));
        return;
    }
    m_display_numpic = numpic;
    m_display_numpage = numpage;

    set_note(Text33, record->note);
    text24->setText(search::grid_text(record->reference));
    set_note(Text25, record->addnote);
    Text30->setText(search::grid_text(record->numpic));
    Text31->setText(search::grid_text(record->numpage));
    Text32->setText(search::grid_text(record->movfile));
    Text29->setText(search::grid_text(record->picfile));

    // The picture: a file in the data folder, or the bytes stored in the record.
    hide_picture(Image1);
    hide_picture(Image3);
    QString problem;
    if (!store::picture_stored_inside(record->inoutpic)) {
        const QString path = join_path(m_session.data_folder(), Text29->text());
        if (Text29->text().isEmpty() || !QFileInfo(path).isFile()) {
            ui::dialogs().message(window(), text_of(search::k_picture_not_found), text_of(search::k_error_title),
                                  ui::MessageIcon::Critical, ui::MessageButtons::Ok);
        } else {
            problem = draw_into(Image1, picture::PictureSource::file(path));
        }
    } else {
        problem = draw_into(Image3, picture::PictureSource::bytes(record->dbpic));
    }

    QString message = search_grid_row ? m_session.status().message_text()
                                       : search::movie_message(Text29->text(), !Text32->text().isEmpty());
    if (!problem.isEmpty())
        message += QStringLiteral(" ") + problem;
    set_message(message);
    display_page->setEnabled(true);
    SSTab3->setTabEnabled(1, true);
    SSTab3->setCurrentIndex(1);
}

void SearchSortTab::MSFlexGrid1_Click()
{
    if (!m_session.edition().features.search_details) {
        // No details panel: the click goes to the picture's page.
        const int row = search::clicked_row(m_session.status(), MSFlexGrid1);
        if (row >= 0)
            show_page_of_grid_row(row);
        return;
    }
    show_record(MSFlexGrid1, true);
}

void SearchSortTab::MSHFlexGrid1_Click()
{
    show_record(MSHFlexGrid1, false);
}

void SearchSortTab::refresh_ref_Click()
{
    if (m_session.busy().search_running() || !m_session.db_conn())
        return;
    StatusLine& status = m_session.status();
    ui::BusyLock lock(m_session.busy());
    const ui::SearchRunning running(m_session.busy());
    emit searching(true);
    refresh_ref->setEnabled(false);
    MSHFlexGrid1->hide();
    const qint64 started = ui::tick_count();
    const auto unlock = qScopeGuard([&] {
        emit searching(false);
        refresh_ref->setEnabled(true);
        status.set_timing(search::elapsed_message(ui::tick_count() - started));
    });
    status.set_timing({});
    set_message(text_of(search::k_loading));
    ui::EventPump().pump();

    store::Error error;
    search::GridRows rows = search::read_rows(*m_session.db_conn(), search::reference_list_query(*m_session.db_conn(), Check5->isChecked()),
                                              search::k_search_columns, error);
    if (error) {
        set_message(ui::error_message(error.code, error.text));
        return;
    }
    const int count = search::put_rows(MSHFlexGrid1, std::move(rows));
    if (count > 0)
        MSHFlexGrid1->show();
    set_message(search::selected_message(count));
    ui::EventPump().pump();
}

void SearchSortTab::display_page_Click()
{
    const std::optional<qint64> page = parse_number(m_display_numpage);
    const std::optional<qint64> numpic = parse_number(m_display_numpic);
    if (!page || !numpic)
        return;   // only whole numbers come from the grids
    emit show_page_requested(*page, *numpic);
}

// The search grid's click without a details panel: the page of the clicked
// picture, its cell selected.
void SearchSortTab::show_page_of_grid_row(int row)
{
    const search::GridModel* model = search::search_grid(MSFlexGrid1)->rows();
    if (row < 0 || row >= model->rowCount())
        return;
    set_message(search::movie_message(model->text(row, 3), !model->text(row, 2).isEmpty()));
    const std::optional<qint64> numpic = parse_number(model->text(row, 0));
    const std::optional<qint64> page = parse_number(model->text(row, 1));
    if (!numpic || !page)
        return;   // a row without numbers names no page
    emit grid_page_requested(*page, *numpic);
}

} // namespace mosswick

// The management grid: loading it, acting on clicked rows, and the rename.
#include "maintenance/edits.h"
#include "maintenance/grid_model.h"
#include "maintenance/input_rules.h"
#include "maintenance/messages.h"
#include "maintenance/rename.h"
#include "maintenance/maintenance_tab.h"
#include "maintenance/window_steps.h"

#include "core/status_line.h"
#include "platform/ui/vb.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>

#include <optional>

namespace mosswick {

namespace {

using maintenance::EditOutcome;
using maintenance::EditResult;
using maintenance::ManagementGridModel;
using maintenance::PictureRef;

ManagementGridModel* grid_model(const QTableView* grid)
{
    return qobject_cast<ManagementGridModel*>(grid->model());
}

template <class Pick>
PictureRef ref_of(const Pick& pick)
{
    return PictureRef::grid_row(pick.numpic, pick.numpage, pick.picfile);
}

// The row of a pick that can be acted on; nullopt for a row without a number.
template <class Pick>
std::optional<PictureRef> ref_if_valid(const Pick& pick)
{
    return pick.valid ? std::optional<PictureRef>(ref_of(pick)) : std::nullopt;
}

// Radio buttons of one group cannot all be turned off while they exclude
// each other.
void turn_off(QRadioButton* option)
{
    const bool exclusive = option->autoExclusive();
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(exclusive);
}

using maintenance::EditKind;

// The grid's action options, in the order they are read.
struct GridOptions {
    const QRadioButton* exchange;
    const QRadioButton* insert;
    const QRadioButton* delete_picture;
    const QRadioButton* delete_page;
};

// The edit the checked option asks for; nullopt when none is checked (rename mode).
std::optional<EditKind> checked_edit(const GridOptions& o)
{
    if (o.exchange->isChecked())
        return EditKind::Exchange;
    if (o.insert->isChecked())
        return EditKind::Insert;
    if (o.delete_picture->isChecked())
        return EditKind::DeletePicture;
    if (o.delete_page->isChecked())
        return EditKind::DeletePage;
    return std::nullopt;
}

// Grid actions work on one row: a selection of several is refused and
// collapsed to the current row.
bool several_rows_refused(QTableView& grid, const QModelIndex& current, StatusLine& status)
{
    QItemSelectionModel* selection = grid.selectionModel();
    if (selection->selectedRows().size() <= 1)
        return false;
    selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    status.set_message(QStringLiteral("Select one row."));
    return true;
}

// Rename mode: the row is selected and its name goes into the rename boxes.
void take_for_rename(QTableView& grid, const QModelIndex& current, QLineEdit& base, QLineEdit& extension,
                     StatusLine& status)
{
    grid.selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    const ManagementGridModel& model = *grid_model(&grid);
    const int row = current.row();
    const maintenance::SplitName name = maintenance::split_at_last_dot(model.cell_text(row, ManagementGridModel::col_picfile));
    base.setText(name.base);
    extension.setText(name.extension);
    base.setFocus();
    status.set_message(maintenance::rename_prompt_message(model.cell_text(row, ManagementGridModel::col_numpic),
                                                          model.cell_text(row, ManagementGridModel::col_numpage)));
}

// An exchange or an insert waits for its second click; the deletes act on the first.
bool waits_for_second_click(EditKind kind)
{
    return kind == EditKind::Exchange || kind == EditKind::Insert;
}

// Runs a grid edit on the clicked rows; a row without a number (nullopt) is out of date.
EditResult run_grid_edit(EditKind kind, store::Connection& conn, const std::optional<PictureRef>& first,
                         const std::optional<PictureRef>& second, maintenance::RenumberView& view)
{
    const EditResult out_of_date{EditOutcome::Stale, std::nullopt, {}};
    switch (kind) {
    case EditKind::DeletePicture:
        return first ? maintenance::delete_picture(conn, *first, view.hooks()) : out_of_date;
    case EditKind::DeletePage:
        return first ? maintenance::delete_page_of(conn, *first, view.hooks()) : out_of_date;
    case EditKind::Exchange:
        return first && second ? maintenance::exchange_pictures(conn, *first, *second) : out_of_date;
    case EditKind::Insert:
        return first && second ? maintenance::insert_picture(conn, *first, *second, view.hooks()) : out_of_date;
    }
    return out_of_date;
}

// Every edit but the exchange ends with a renumbering.
bool renumbers(EditKind kind)
{
    return kind != EditKind::Exchange;
}

const char* done_message(EditKind kind)
{
    switch (kind) {
    case EditKind::DeletePicture:
        return "Picture deleted.";
    case EditKind::DeletePage:
        return "Page deleted.";
    case EditKind::Exchange:
        return "Exchanged.";
    case EditKind::Insert:
        return "Inserted.";
    }
    return "";
}

// A done edit's renumbering and the new count, before the grid is refilled.
void count_after_edit(const EditResult& r, EditKind kind, maintenance::RenumberView& view, CatalogueSession& session)
{
    if (r.outcome != EditOutcome::Done)
        return;
    if (renumbers(kind))
        view.report(r.renumbering.value_or(RenumberOutcome::Empty), {});
    maintenance::recount_pictures(session);
}

// The edit's own message, or the reason nothing was written.
void report_grid_edit(const EditResult& r, EditKind kind, maintenance::RenumberView& view, StatusLine& status)
{
    switch (r.outcome) {
    case EditOutcome::Done:
        status.set_message(QString::fromLatin1(done_message(kind)));
        maintenance::pump_events();
        return;
    case EditOutcome::Stopped:
        view.report(RenumberOutcome::Stopped, {});
        status.set_message(maintenance::edit_stopped_message(kind));
        return;
    case EditOutcome::Failed:
        if (r.renumbering)
            view.report(RenumberOutcome::Failed, r.error);
        else
            status.set_message(ui::error_message(r.error.code, r.error.text));
        return;
    case EditOutcome::Missing:
    case EditOutcome::SecondMissing:
    case EditOutcome::Stale:
        status.set_message(QString::fromLatin1(maintenance::k_msg_listed_again));
        return;
    }
}

} // namespace

MaintenanceTab::GridPick MaintenanceTab::pick_of(int row) const
{
    GridPick pick;
    const ManagementGridModel* model = grid_model(mgm_pic);
    if (!model || row < 0 || row >= model->rowCount() || !model->row(row).numpic)
        return pick;   // a row without a number cannot be acted on
    const maintenance::GridRow& r = model->row(row);
    pick.valid = true;
    pick.numpic = *r.numpic;
    pick.numpage = r.numpage;
    pick.picfile = r.picfile;
    return pick;
}

void MaintenanceTab::load_list_Click()
{
    StatusLine& status = m_session.status();
    ManagementGridModel* model = grid_model(mgm_pic);
    if (!model)
        return;
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor button(load_list, [this] { return m_session.db_open(); });
    mgm_pic->hide();
    // The main tabs wait for the fill.
    emit main_tabs_enable_requested(false);
    const auto tabs = qScopeGuard([this] { emit main_tabs_enable_requested(true); });
    const bool timed = m_session.edition().features.times_long_actions;
    const qint64 start = ui::tick_count();
    if (timed)
        status.set_timing({});
    status.set_message({});
    for (QRadioButton* o : {Opt_exchange, Opt_insert, Opt_delete_picture, Opt_delete_page})
        turn_off(o);
    Text8->clear();
    Text28->clear();
    status.set_message(QStringLiteral("Start loading the grid, please wait..."));
    maintenance::pump_events();
    m_grid_pick_pending = false;
    grid_first = {};
    grid_second = {};
    grid_rename_row = {};
    if (!m_session.db_conn()) {
        model->clear();
        status.set_message(QString::fromLatin1(maintenance::k_msg_no_catalogue));
        return;
    }
    if (const store::Error e = model->load(*m_session.db_conn())) {
        status.set_message(ui::error_message(e.code, e.text));
        return;
    }
    const int count = model->rowCount();
    if (count != 0) {
        for (int c = 0; c < ManagementGridModel::column_total; ++c)
            mgm_pic->setColumnWidth(c, ui::twips_to_px(ManagementGridModel::column_width_twips(c)));
        mgm_pic->show();
    }
    status.set_message(maintenance::grid_loaded_message(count, m_session.edition().texts.grid_loaded_prefix));
    maintenance::pump_events();
    if (timed)
        status.set_timing(maintenance::elapsed_text(ui::tick_count() - start));
}

void MaintenanceTab::mgm_pic_Click()
{
    StatusLine& status = m_session.status();
    const QModelIndex current = mgm_pic->currentIndex();
    if (!grid_model(mgm_pic) || !m_session.db_conn() || !current.isValid())
        return;
    const int row = current.row();
    ui::BusyLock lock(m_session.busy());
    maintenance::DisabledFor grid(mgm_pic);
    maintenance::DisabledFor button(load_list, [this] { return m_session.db_open(); });
    if (several_rows_refused(*mgm_pic, current, status))
        return;
    const std::optional<EditKind> kind = checked_edit({Opt_exchange, Opt_insert, Opt_delete_picture, Opt_delete_page});
    if (!kind) {
        take_for_rename(*mgm_pic, current, *Text8, *Text28, status);
        grid_rename_row = pick_of(row);
        Command2->setEnabled(!m_session.db_read_only());
        return;
    }

    const bool second_click = m_grid_pick_pending;
    m_grid_pick_pending = true;
    if (second_click) {
        grid_second_row = row;
        grid_second = pick_of(row);
    } else {
        grid_first = pick_of(row);
    }
    maintenance::RenumberView view(m_session);
    if (!second_click && waits_for_second_click(*kind)) {
        status.set_message(*kind == EditKind::Exchange ? QStringLiteral("Exchange with...") : QStringLiteral("Insert in..."));
        maintenance::pump_events();
        return;
    }
    if (second_click && !waits_for_second_click(*kind))
        return;
    const EditResult r = run_grid_edit(*kind, *m_session.db_conn(), ref_if_valid(grid_first), ref_if_valid(grid_second), view);
    // The grid is refilled on every way out, which turns the options off: a
    // stopped or refused edit leaves no mode that acts at the next click.
    m_grid_pick_pending = false;
    count_after_edit(r, *kind, view, m_session);
    load_list_Click();
    report_grid_edit(r, *kind, view, status);
    if (*kind == EditKind::Insert && !m_session.edition().texts.grid_insert_ready.isEmpty())
        status.set_ready(m_session.edition().texts.grid_insert_ready);
}

void MaintenanceTab::Command2_Click()
{
    StatusLine& status = m_session.status();
    const QString base = Text8->text();
    const QString extension = Text28->text();
    if (const auto refused = maintenance::check_rename_boxes(base, extension)) {
        switch (*refused) {
        case maintenance::RenameOutcome::NoName:
            status.set_message(QString::fromLatin1(maintenance::k_msg_name_required));
            break;
        case maintenance::RenameOutcome::HiddenName:
            status.set_message(QString::fromLatin1(maintenance::k_msg_hidden_name));
            break;
        case maintenance::RenameOutcome::BadExtension:
            status.set_message(QString::fromLatin1(maintenance::k_msg_bad_extension));
            break;
        default:
            status.set_message(QString::fromLatin1(maintenance::k_msg_bad_name_characters));
            break;
        }
        Command2->setEnabled(!m_session.db_read_only());
        return;
    }
    if (!m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    Command2->setEnabled(false);
    status.set_message(QStringLiteral("Renaming file(s)..."));
    if (!grid_rename_row.valid) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_out_of_date));
        return;
    }
    const maintenance::RenameResult r =
        maintenance::rename_picture(*m_session.db_conn(), m_session.data_folder(), ref_of(grid_rename_row), base, extension);
    switch (r.outcome) {
    case maintenance::RenameOutcome::Renamed:
    case maintenance::RenameOutcome::RenamedWithMovie:
        Text8->clear();
        Text28->clear();
        // The row has its new name now: the grid must be reloaded before
        // the next rename.
        grid_rename_row = {};
        status.set_message(QString::fromLatin1(r.outcome == maintenance::RenameOutcome::RenamedWithMovie
                                            ? maintenance::k_msg_renamed_with_movie
                                            : maintenance::k_msg_renamed));
        maintenance::pump_events();
        load_list->setFocus();
        break;
    case maintenance::RenameOutcome::TargetExists:
        status.set_message(QString::fromLatin1(maintenance::k_msg_target_exists));
        Command2->setEnabled(true);
        break;
    case maintenance::RenameOutcome::FileShared:
        // Nothing changed: as after the checks of the boxes.
        status.set_message(maintenance::shared_file_message(r));
        Command2->setEnabled(true);
        break;
    case maintenance::RenameOutcome::Stale:
        status.set_message(QString::fromLatin1(maintenance::k_msg_out_of_date));
        break;
    default:
        status.set_message(ui::error_message(r.error.code, r.error.text));
        break;
    }
}

void MaintenanceTab::Text8_KeyPress(int& key_ascii)
{
    StatusLine& status = m_session.status();
    if (!maintenance::file_name_key_accepted(key_ascii)) {
        status.set_message(QString::fromLatin1(maintenance::k_msg_bad_name_characters));
        key_ascii = 0;
    }
}

void MaintenanceTab::Text28_KeyPress(int& key_ascii)
{
    Text8_KeyPress(key_ascii);
}

} // namespace mosswick

// The import/export grid and the move of one picture between the catalogue
// and a file in the catalogue's folder.
#include "search/import_export_page.h"

#include "core/status_line.h"

#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "search/messages.h"
#include "search/queries.h"
#include "search/search_grid.h"
#include "search/tab_helpers.h"
#include "search/transfer.h"

#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>

namespace mosswick {

using search::text_of;

void ImportExportPage::connect_handlers()
{
    connect(refresh_extraction, &QPushButton::clicked, this, &ImportExportPage::refresh_extraction_Click);
    connect(Extract, &QPushButton::clicked, this, &ImportExportPage::Extract_Click);
    connect(search::search_grid(MSHFlexGrid2), &search::SearchGrid::rows_clicked, this, &ImportExportPage::MSHFlexGrid2_Click);
}

void ImportExportPage::set_message(const QString& text)
{
    m_session.status().set_message(text);
}

void ImportExportPage::clear()
{
    refresh_extraction->setEnabled(false);
    Extract->setEnabled(false);
    MSHFlexGrid2->hide();
}

void ImportExportPage::enable_for_catalogue()
{
    if (m_session.picture_count() > 0)
        refresh_extraction->setEnabled(true);
}

void ImportExportPage::refresh_extraction_Click()
{
    if (m_session.busy().search_running() || !m_session.db_conn())
        return;
    StatusLine& status = m_session.status();
    ui::BusyLock lock(m_session.busy());
    const ui::SearchRunning running(m_session.busy());
    emit listing(true);
    Extract->setEnabled(false);
    const qint64 started = ui::tick_count();
    const auto unlock = qScopeGuard([&] {
        emit listing(false);
        status.set_timing(search::elapsed_message(ui::tick_count() - started));
    });
    status.set_timing({});
    set_message(text_of(search::k_loading_import_export));

    store::Error error;
    search::GridRows rows =
        search::read_rows(*m_session.db_conn(), search::import_export_query(*m_session.db_conn()), search::k_import_export_columns, error);
    if (error) {
        set_message(ui::error_message(error.code, error.text));
        return;
    }
    const int count = search::put_rows(MSHFlexGrid2, std::move(rows), 4);
    set_message(search::listed_message(count));
    MSHFlexGrid2->show();
}

void ImportExportPage::MSHFlexGrid2_Click()
{
    // Only a click that leaves one record's row selected arms the move.
    Extract->setEnabled(search::clicked_row(m_session.status(), MSHFlexGrid2) >= 0);
}

void ImportExportPage::Extract_Click()
{
    Extract->setEnabled(false);
    if (m_session.busy().search_running() || !m_session.db_conn())
        return;
    bool several = false;
    const int row = search::clicked_row(m_session.status(), MSHFlexGrid2, &several);
    if (row < 0) {
        if (!several)
            set_message(text_of(search::k_select_one_row));
        return;
    }
    ui::BusyLock lock(m_session.busy());
    const search::GridModel* model = search::search_grid(MSHFlexGrid2)->rows();
    const search::TransferRow chosen{model->text(row, 0), model->text(row, 3), model->text(row, 4)};
    const auto confirm_replace = [this](const QString&) {
        return ui::dialogs().message(window(), text_of(search::k_replace_question), text_of(search::k_confirmation_title),
                                     ui::MessageIcon::Question, ui::MessageButtons::YesNo)
            == ui::Answer::Yes;
    };
    const search::TransferResult result = search::transfer_picture(*m_session.db_conn(), chosen, m_session.db_folder(), confirm_replace);
    switch (result.status) {
    case search::TransferStatus::Exported:
    case search::TransferStatus::Imported:
        refresh_extraction_Click();
        break;
    case search::TransferStatus::Declined:
        break;
    case search::TransferStatus::FileMissing:
        ui::dialogs().message(window(), text_of(search::k_file_not_found), text_of(search::k_confirmation_title),
                              ui::MessageIcon::Question, ui::MessageButtons::OkCancel);
        break;
    case search::TransferStatus::Refused:
    case search::TransferStatus::Failed:
        set_message(result.message);
        break;
    }
}

} // namespace mosswick

#include "catalogue/database_page.h"

#include "core/catalogue_access.h"
#include "core/catalogue_logic.h"
#include "core/loader_listing.h"
#include "core/status_line.h"
#include "platform/store/compaction.h"
#include "platform/ui/busy.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mosswick {

namespace {

const QString k_default_password = QStringLiteral("qmvrtzo");
const QString k_not_released = QStringLiteral("The catalogue could not be closed for its copy: nothing was changed.");

// The copy of a password change or compaction is made in the catalogue's
// folder: one that cannot be written is said before the catalogue closes.
bool copy_folder_refused(StatusLine& status, const QString& temp)
{
    const store::Error e = store::check_copy_folder(temp);
    if (e)
        status.set_message(ui::error_message(e.code, e.text));
    return bool(e);
}

} // namespace

DatabasePage::DatabasePage(CatalogueSession& session, const LoaderListing& listing, CatalogueAccess& access,
                           QWidget* parent)
    : WindowPart(session, parent), m_listing(listing), m_access(access)
{
    const Edition::Features& features = m_session.edition().features;
    auto* v = new QVBoxLayout(this);
    auto* caption = new QLabel(
        QStringLiteral("Select the drive and the path where to create your database and press the button below"), this);
    caption->setWordWrap(true);
    v->addWidget(caption);
    auto* create_row = new QHBoxLayout;
    Create_database = ui::make_button(QStringLiteral("Create Database file \"new.mdb\""), {}, this);
    ui::name_control(Create_database, "Create_database");
    create_row->addWidget(Create_database);
    connect(Create_database, &QPushButton::clicked, this, &DatabasePage::Create_database_Click);
    if (features.compaction) {
        compact_database = ui::make_button(QStringLiteral("Compact"), QStringLiteral("Compact the open database"), this);
        ui::name_control(compact_database, "compact_database");
        compact_database->setEnabled(false);
        create_row->addWidget(compact_database);
        connect(compact_database, &QPushButton::clicked, this, &DatabasePage::compact_database_Click);
    }
    v->addLayout(create_row);

    if (features.passwords) {
        Check1 = new QCheckBox(QStringLiteral("Database Password: qmvrtzo"), this);
        Check3 = new QCheckBox(QStringLiteral("Encrypt Database"), this);
        v->addWidget(Check1);
        v->addWidget(Check3);
        v->addSpacing(16);

        auto* pw = new QGroupBox(this);
        auto* form = new QFormLayout(pw);
        form->addRow(new QLabel(QStringLiteral("Leave the fields below blanks for no password"), pw));
        Text35 = ui::make_password_box(14, pw);
        Text36 = ui::make_password_box(14, pw);
        form->addRow(QStringLiteral("New"), Text35);
        form->addRow(QStringLiteral("Confirm New"), Text36);
        Check4 = new QCheckBox(QStringLiteral("Encrypt Database"), pw);
        form->addRow(Check4);
        Command1 = ui::make_button(QStringLiteral("Change database password"), {}, pw);
        form->addRow(Command1);
        v->addWidget(pw);
        ui::name_control(Check1, "Check1");
        ui::name_control(Check3, "Check3");
        ui::name_control(Text35, "Text35");
        ui::name_control(Text36, "Text36");
        ui::name_control(Check4, "Check4");
        ui::name_control(Command1, "Command1");
        connect(Command1, &QPushButton::clicked, this, &DatabasePage::Command1_Click);
    }
    v->addStretch(1);
}

void DatabasePage::reset()
{
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, compact_database, Text36, Text35, Check4})
        if (w)
            w->setEnabled(false);
}

void DatabasePage::enable_for_catalogue()
{
    const bool writable = !m_session.db_read_only();
    if (m_session.picture_count() > 0)
        Create_database->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Text36, Text35, Check4, compact_database})
        if (w)
            w->setEnabled(writable);
}

void DatabasePage::Create_database_Click()
{
    ui::BusyLock lock(m_session.busy());
    StatusLine& status = m_session.status();
    Create_database->setEnabled(false);
    const QString folder = m_listing.listed_folder();
    if (folder.isEmpty()) {
        status.set_message(
            ui::error_message(store::k_err_path_not_found, QStringLiteral("Path not found: no folder is listed.")));
        Create_database->setEnabled(true);
        return;
    }
    const QString path = join_path(folder, QStringLiteral("new.mdb"));
    store::Protection protection;
    if (Check1) {
        if (Check1->isChecked())
            protection.password = k_default_password;
        protection.encrypt = Check3->isChecked();
    }
    const store::Error error = store::Connection::create(path, m_session.edition().schema, protection);
    Create_database->setEnabled(true);
    if (error) {
        const StatusText said = create_failure_text(error, m_session.edition());
        status.set_message(said.text, said.detail);
        return;
    }
    status.set_message(QStringLiteral("Database created."));
}

void DatabasePage::Command1_Click()
{
    ui::BusyLock lock(m_session.busy());
    StatusLine& status = m_session.status();
    Command1->setEnabled(false);
    if (Text35->text() != Text36->text()) {
        ui::dialogs().message(window(), QStringLiteral("Database password are not equals. Re-Enter."), {},
                              ui::MessageIcon::None, ui::MessageButtons::Ok);
        Command1->setEnabled(true);
        return;
    }
    if (!m_session.db_open() || m_session.db_read_only()) {
        status.set_message(QStringLiteral("The database is Read-Only."));
        return;
    }
    const QString path = m_session.db_path();
    const QString temp = store::compaction_temp_path(path);
    if (copy_folder_refused(status, temp)) {
        Command1->setEnabled(true);
        return;
    }
    // The copy is made from the file alone: never while a connection holds it.
    if (!m_access.release_connection()) {
        status.set_message(k_not_released);
        Command1->setEnabled(true);
        return;
    }
    status.set_message(QStringLiteral("Changing database password..."));
    ui::repaint_pending();

    const store::Error error =
        store::Connection::compact(path, m_session.db_password(), {Text35->text(), Check4->isChecked()}, temp);
    emit catalogue_closed();
    Text35->clear();
    Text36->clear();
    if (error) {
        // The catalogue file is as it was; say what went wrong.
        status.set_message(ui::error_message(error.code, error.text));
        return;
    }
    status.set_message(QStringLiteral("Database password changed."));
}

void DatabasePage::compact_database_Click()
{
    if (!m_session.db_open() || !m_session.db_conn())
        return;
    ui::BusyLock lock(m_session.busy());
    StatusLine& status = m_session.status();
    compact_database->setEnabled(false);
    if (m_session.db_read_only() || m_session.db_conn()->read_only()) {
        status.set_message(QStringLiteral("The database is Read-Only."));
        return;
    }
    const QString path = m_session.db_path();
    const QString temp = store::compaction_temp_path(path);
    if (copy_folder_refused(status, temp)) {
        compact_database->setEnabled(true);
        return;
    }
    const store::Protection protection = store::compaction_protection(path);
    status.set_message(QStringLiteral("Compating database..."));
    ui::EventPump().pump();

    // The catalogue is closed first: the copy is made from the file alone.
    if (!m_access.close_catalogue()) {
        status.set_message(k_not_released);
        compact_database->setEnabled(true);
        return;
    }
    const store::Error error = store::Connection::compact(path, QString(), protection, temp);
    if (error) {
        // The catalogue file is as it was; say what went wrong.
        status.set_message(ui::error_message(error.code, error.text));
        return;
    }
    status.set_message(QStringLiteral("Database compacted, now you can open the database."));
}

} // namespace mosswick

// The loader's lists: drive, folder and files, the count message, the
// option groups, and the wiring of the Loader tab's controls.
#include "catalogue/frm_browser.h"
#include "maintenance/maintenance_tab.h"

#include "loader/event_hook.h"
#include "loader/list_boxes.h"
#include "loader/listing.h"
#include "loader/loader_messages.h"
#include "loader/name_rules.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTabWidget>

namespace mosswick {

void frmBrowser::loader_Form_Load()
{
    const QString start = QDir::homePath();
    {
        const QSignalBlocker block(Drv_ImportDrive);
        Drv_ImportDrive->set_drive(Drv_ImportDrive->drive_of(start));
    }
    if (!Dir_ImportDir->set_path(start).ok)
        Dir_ImportDir->set_path(QStringLiteral("/"));
}

void frmBrowser::loader_connect()
{
    connect(Drv_ImportDrive, &DriveListBox::drive_changed, this, [this] { Drv_ImportDrive_Change(); });
    connect(Dir_ImportDir, &DirListBox::path_changed, this, [this] { Dir_ImportDir_Change(); });
    connect(Dir_ImportDir, &DirListBox::folder_requested, this, &frmBrowser::Dir_ImportDir_DblClick);
    connect(refresh_pictures, &QPushButton::clicked, this, &frmBrowser::refresh_pictures_Click);
    for (int i = 0; i < 2; ++i) {
        connect(OptionFL[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptionFL_Click(i); });
        connect(OptionFL2[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptionFL2_Click(i); });
    }

    connect(clear_note, &QPushButton::clicked, this, &frmBrowser::clear_note_Click);
    connect(Label12_5, &ui::LabelButton::clicked, this, [this] { Label12_Click(5); });
    connect(Label13, &ui::LabelButton::clicked, this, &frmBrowser::Label13_Click);
    auto press_hook = [](std::function<void()> down, std::function<void()> up) {
        return [down = std::move(down), up = std::move(up)](QEvent* e) {
            if (e->type() == QEvent::MouseButtonPress)
                down();
            else if (e->type() == QEvent::MouseButtonRelease)
                up();
            return false;
        };
    };
    EventHook::install(Label12_5, press_hook([this] { Label12_MouseDown(5); }, [this] { Label12_MouseUp(5); }));
    EventHook::install(Label13, press_hook([this] { Label13_MouseDown(); }, [this] { Label13_MouseUp(); }));
    for (int i = 0; i < 3; ++i) {
        connect(note_size[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { note_size_Click(i); });
        EventHook::install(note_size[size_t(i)],
                           press_hook([this, i] { note_size_MouseDown(i); }, [this, i] { note_size_MouseUp(i); }));
    }
    EventHook::install(text23, [this](QEvent* e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        const QString typed = static_cast<QKeyEvent*>(e)->text();
        if (typed.size() != 1)
            return false;
        int key = typed.at(0).unicode();
        text23_KeyPress(key);
        return key == 0;
    });
    // Pasting or dropping into the reference box meets the same filter as typing.
    connect(text23, &ui::PlainTextBox::textEdited, this, [this](const QString& text) {
        if (!text.contains(u'"'))
            return;
        int cursor = text23->cursorPosition();
        cursor -= int(text.left(cursor).count(u'"'));
        QString clean = text;
        clean.remove(u'"');
        text23->setText(clean);
        text23->setCursorPosition(cursor);
        set_message(QStringLiteral("Character not supported \""));
    });

    connect(Fil_ImportFile, &QListWidget::itemDoubleClicked, this, [this] { Fil_ImportFile_DblClick(); });
    connect(File_movies, &QListWidget::itemDoubleClicked, this, [this] { File_movies_DblClick(); });
    connect(cancel_load_picture, &QPushButton::clicked, this, &frmBrowser::cancel_load_picture_Click);
    connect(cmd_OK, &QPushButton::clicked, this, &frmBrowser::cmd_OK_Click);
    connect(load_pictures, &QPushButton::clicked, this, &frmBrowser::load_pictures_Click);
    // Opening, refreshing or closing the catalogue resets the single load's
    // buttons; a pick left without them would keep the lists locked.
    connect(&busy_state(), &ui::BusyState::busy_changed, this, [this](bool busy) {
        if (!busy)
            loader_abandon_stale_pick();
    });
}

// ---- the lists ------------------------------------------------------------

void frmBrowser::Drv_ImportDrive_Change()
{
    const QString root = Drv_ImportDrive->drive();
    // A volume that is gone or not mounted has nothing to list.
    const QStorageInfo volume(root);
    const bool present = QFileInfo(root).isDir() && (root == QStringLiteral("/") || volume.isReady());
    const Listing l = present ? Dir_ImportDir->set_path(root) : Listing{false, ENODEV, {}, {}};
    if (l.ok)
        return;
    const store::Error e = listing_error(root, l);
    if (!present || e.code == 68 || e.code == store::k_err_path_not_found)
        set_message(QStringLiteral("Drive is not ready.  Please check the drive."));
    else
        set_message(QStringLiteral("Drive Error: %1").arg(e.code));
}

void frmBrowser::Dir_ImportDir_DblClick(const QString& folder)
{
    const Listing l = Dir_ImportDir->set_path(folder);
    if (!l.ok) {
        const store::Error e = listing_error(folder, l);
        set_message(ui::error_message(e.code, e.text));
    }
}

void frmBrowser::Dir_ImportDir_Change()
{
    // The folder list can climb above its drive; the drive list follows it.
    {
        const QSignalBlocker block(Drv_ImportDrive);
        const QString drive = Drv_ImportDrive->drive_of(Dir_ImportDir->path());
        if (Drv_ImportDrive->drive() != drive)
            Drv_ImportDrive->set_drive(drive);
    }
    // One listing serves the folder list and both file lists.
    loader_set_lists(Dir_ImportDir->path(), Dir_ImportDir->listing().files);
    verify_pictures();
}

void frmBrowser::loader_set_lists(const QString& folder, const QStringList& files)
{
    Fil_ImportFile->set_files(folder, files);
    File_movies->set_files(folder, files);
}

void frmBrowser::refresh_pictures_Click()
{
    const QString folder = Dir_ImportDir->path();
    const Listing l = Dir_ImportDir->set_path(folder);   // emits the change, which recounts
    if (l.ok)
        return;
    // The folder is gone or closed to us: its old names must not be loaded.
    const store::Error e = listing_error(folder, l);
    loader_set_lists(folder, {});
    loader_apply_count(false);
    set_message(ui::error_message(e.code, e.text));
}

void frmBrowser::verify_pictures()
{
    loader_apply_count(true);
}

void frmBrowser::loader_apply_count(bool report)
{
    QWidget* const controls[] = {Fil_ImportFile, File_movies, load_pictures, update_pictures};
    if (!m_session.db_open) {
        for (QWidget* w : controls)
            w->setEnabled(false);
        return;
    }
    // The single load lives on the picture page, which a catalogue without
    // pictures opens disabled: listing a folder makes its first load possible.
    if (!m_session.db_read_only)
        SSTab4->setTabEnabled(1, true);
    const qint64 n = Fil_ImportFile->count();
    const qint64 m = File_movies->count() - n;
    if (report)
        set_message(loader::count_message(n, m));
    // A pending single load keeps its lists locked whatever they show.
    for (QWidget* w : controls)
        w->setEnabled(n != 0 && !pick_pending);
}

void frmBrowser::OptionFL_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    for (QRadioButton* r : OptionF1)
        r->setEnabled(index == 0);
}

void frmBrowser::OptionFL2_Click(int index)
{
    if (index != 0 && index != 1)
        return;
    for (QRadioButton* r : OptionF12)
        r->setEnabled(index == 0);
}

// ---- the lock of a pending single load -------------------------------------

void frmBrowser::loader_lock(bool locked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{
             load_pictures, update_pictures, refresh_pictures, File_movies, Fil_ImportFile, Drv_ImportDrive,
             Dir_ImportDir})
        w->setEnabled(!locked);
    m_maintenance->lock_edits(locked);
    if (locked)
        SSTab2->setEnabled(false);
}

void frmBrowser::loader_abandon_stale_pick()
{
    if (!pick_pending || m_committing || cancel_load_picture->isEnabled())
        return;
    // The catalogue was opened, refreshed or closed under the pending load:
    // it is gone, and the lists the pick locked are free again.
    pick_pending = false;
    for (QWidget* w : std::initializer_list<QWidget*>{Drv_ImportDrive, Dir_ImportDir, refresh_pictures})
        w->setEnabled(true);
    Img_ImportImage->hide();
    Img_ImportImage->clear();
    text7->clear();
    Label31->clear();
}

} // namespace mosswick

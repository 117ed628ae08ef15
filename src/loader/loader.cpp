// The loader's lists: drive, folder and files, the count message, the
// option groups, and the wiring of the Loader tab's controls.
#include "loader/loader_tab.h"

#include "core/listing.h"
#include "core/name_rules.h"
#include "core/status_line.h"
#include "loader/batch_load.h"
#include "loader/list_boxes.h"
#include "loader/loader_messages.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/event_hook.h"
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

#include <functional>

namespace mosswick {

void LoaderTab::loader_Form_Load()
{
    const QString start = QDir::homePath();
    {
        const QSignalBlocker block(Drv_ImportDrive);
        Drv_ImportDrive->set_drive(Drv_ImportDrive->drive_of(start));
    }
    if (!Dir_ImportDir->set_path(start).ok)
        Dir_ImportDir->set_path(QStringLiteral("/"));
}

void LoaderTab::connect_handlers()
{
    connect(Drv_ImportDrive, &DriveListBox::drive_changed, this, [this] { Drv_ImportDrive_Change(); });
    connect(Dir_ImportDir, &DirListBox::path_changed, this, [this] { Dir_ImportDir_Change(); });
    connect(Dir_ImportDir, &DirListBox::folder_requested, this, &LoaderTab::Dir_ImportDir_DblClick);
    connect(refresh_pictures, &QPushButton::clicked, this, &LoaderTab::refresh_pictures_Click);
    connect(update_pictures, &QPushButton::clicked, this, &LoaderTab::update_requested);
    for (int i = 0; i < 2; ++i) {
        connect(OptionFL[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptionFL_Click(i); });
        if (OptionFL2[size_t(i)])
            connect(OptionFL2[size_t(i)], &QRadioButton::clicked, this, [this, i] { OptionFL2_Click(i); });
    }

    connect(clear_note, &QPushButton::clicked, this, &LoaderTab::clear_note_Click);
    connect(Label12_5, &ui::LabelButton::clicked, this, [this] { Label12_Click(5); });
    connect(Label13, &ui::LabelButton::clicked, this, &LoaderTab::Label13_Click);
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
        if (!note_size[size_t(i)])
            continue;
        connect(note_size[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { note_size_Click(i); });
        EventHook::install(note_size[size_t(i)],
                           press_hook([this, i] { note_size_MouseDown(i); }, [this, i] { note_size_MouseUp(i); }));
    }
    if (text23)
        connect_reference_filter();
    connect(Fil_ImportFile, &QListWidget::itemDoubleClicked, this, [this] { Fil_ImportFile_DblClick(); });
    connect(File_movies, &QListWidget::itemDoubleClicked, this, [this] { File_movies_DblClick(); });
    connect(cancel_load_picture, &QPushButton::clicked, this, &LoaderTab::cancel_load_picture_Click);
    connect(cmd_OK, &QPushButton::clicked, this, &LoaderTab::cmd_OK_Click);
    connect(load_pictures, &QPushButton::clicked, this, &LoaderTab::load_pictures_Click);
    // Opening, refreshing or closing the catalogue resets the single load's
    // buttons; a pick left without them would keep the lists locked.
    connect(&m_session.busy(), &ui::BusyState::busy_changed, this, [this](bool busy) {
        if (!busy)
            abandon_stale_pick();
    });
}

// The reference box refuses the double quote, typed, pasted or dropped.
void LoaderTab::connect_reference_filter()
{
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

    // Pasting or dropping into the reference box meets the same rule as typing.
    refuse_pastes_by_rule(text23);
}

WindowPart::PasteRule LoaderTab::paste_rule(const QWidget* box) const
{
    if (text23 && box == text23)
        return {ui::KeyFilter::NoDoubleQuote, QString::fromLatin1(loader::k_msg_quote_refused)};
    return {};
}

// ---- the lists ------------------------------------------------------------

void LoaderTab::Drv_ImportDrive_Change()
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
        m_session.status().set_message(QStringLiteral("Drive is not ready.  Please check the drive."));
    else
        m_session.status().set_message(QStringLiteral("Drive Error: %1").arg(e.code));
}

void LoaderTab::Dir_ImportDir_DblClick(const QString& folder)
{
    const Listing l = Dir_ImportDir->set_path(folder);
    if (!l.ok) {
        const store::Error e = listing_error(folder, l);
        m_session.status().set_message(ui::error_message(e.code, e.text));
    }
}

void LoaderTab::Dir_ImportDir_Change()
{
    // The folder list can climb above its drive; the drive list follows it.
    {
        const QSignalBlocker block(Drv_ImportDrive);
        const QString drive = Drv_ImportDrive->drive_of(Dir_ImportDir->path());
        if (Drv_ImportDrive->drive() != drive)
            Drv_ImportDrive->set_drive(drive);
    }
    // One listing serves the folder list and both file lists.
    set_lists(Dir_ImportDir->path(), Dir_ImportDir->listing().files);
    verify_pictures();
}

void LoaderTab::set_lists(const QString& folder, const QStringList& files)
{
    Fil_ImportFile->set_files(folder, files);
    File_movies->set_files(folder, files);
}

void LoaderTab::refresh_pictures_Click()
{
    const QString folder = Dir_ImportDir->path();
    const Listing l = Dir_ImportDir->set_path(folder);   // emits the change, which recounts
    if (l.ok)
        return;
    // The folder is gone or closed to us: its old names must not be loaded.
    const store::Error e = listing_error(folder, l);
    set_lists(folder, {});
    apply_count(false);
    m_session.status().set_message(ui::error_message(e.code, e.text));
}

void LoaderTab::verify_pictures()
{
    apply_count(true);
}

void LoaderTab::apply_count(bool report)
{
    const std::initializer_list<QWidget*> controls = {Fil_ImportFile, File_movies, load_pictures, update_pictures};
    if (!m_session.db_open()) {
        set_enabled(controls, false);
        return;
    }
    // The single load lives on the picture page, which a catalogue without
    // pictures opens disabled: listing a folder makes its first load possible.
    if (!m_session.db_read_only())
        SSTab4->setTabEnabled(1, true);
    const qint64 n = Fil_ImportFile->count();
    const qint64 m = File_movies->count() - n;
    if (report)
        m_session.status().set_message(loader::count_message(n, m));
    // A pending single load keeps its lists locked whatever they show.
    set_enabled(controls, n != 0 && !m_pick_pending);
}

// IN (0) offers the choice of field; OUT (1) takes it away.
void LoaderTab::OptionFL_Click(int index)
{
    // Without the choice (one note box) there is nothing to offer.
    if (!OptionF1[0])
        return;
    for (QRadioButton* r : OptionF1)
        r->setEnabled(index == 0);
}

void LoaderTab::OptionFL2_Click(int index)
{
    for (QRadioButton* r : OptionF12)
        r->setEnabled(index == 0);
}

// ---- the lock of a pending single load -------------------------------------

void LoaderTab::lock_lists(bool locked)
{
    set_enabled({load_pictures, update_pictures, refresh_pictures, File_movies, Fil_ImportFile, Drv_ImportDrive,
                 Dir_ImportDir},
                !locked);
    emit pick_lock_changed(locked);
    if (locked)
        SSTab2->setEnabled(false);
}

void LoaderTab::abandon_stale_pick()
{
    if (!m_pick_pending || m_committing || cancel_load_picture->isEnabled())
        return;
    // The catalogue was opened, refreshed or closed under the pending load:
    // it is gone, and the lists the pick locked are free again.
    m_pick_pending = false;
    set_enabled({Drv_ImportDrive, Dir_ImportDir, refresh_pictures}, true);
    Img_ImportImage->hide();
    Img_ImportImage->clear();
    text7->clear();
    Label31->clear();
}

// ---- the window's states ----------------------------------------------------

void LoaderTab::set_enabled(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* w : widgets)
        if (w)
            w->setEnabled(enabled);
}

void LoaderTab::reset()
{
    set_enabled({load_pictures, update_pictures, cmd_OK, clear_note, Txt_Notes, Text27, text23, Fil_ImportFile,
                 File_movies, cancel_load_picture},
                false);
    SSTab4->setTabEnabled(1, false);
    if (m_import_export_page)
        SSTab4->setTabEnabled(2, false);
    SSTab2->setEnabled(false);
    SSTab5->setEnabled(false);
}

void LoaderTab::enable_for_catalogue()
{
    if (m_session.picture_count() <= 0)
        return;
    set_enabled({cmd_OK, cancel_load_picture, clear_note, Txt_Notes, text23, Text27}, false);
    // A single load writes: not into a read-only catalogue.
    SSTab4->setTabEnabled(1, !m_session.db_read_only());
    if (m_import_export_page)
        SSTab4->setTabEnabled(2, true);
}

void LoaderTab::show_first_tabs()
{
    for (QTabWidget* t : {SSTab_mgm, SSTab4, SSTab5, SSTab2})
        t->setCurrentIndex(0);
}

// ---- what the rest of the window reads ------------------------------------------

QString LoaderTab::listed_folder() const
{
    return Fil_ImportFile->path();
}

LoaderLists LoaderTab::lists() const
{
    LoaderLists lists;
    lists.picture_folder = listed_folder();
    lists.pictures = Fil_ImportFile->names();
    lists.files_folder = File_movies->path();
    lists.all_files = File_movies->names();
    lists.notes_in = OptionFL2[0] && OptionFL2[0]->isChecked();
    // Without the choice a note file goes into the note.
    if (OptionF12[0])
        lists.target = OptionF12[2]->isChecked()   ? files::NoteTarget::Reference
                       : OptionF12[0]->isChecked() ? files::NoteTarget::Note
                                                   : files::NoteTarget::AddNote;
    return lists;
}

void LoaderTab::set_update_enabled(bool enabled)
{
    update_pictures->setEnabled(enabled);
}

void LoaderTab::set_inner_tabs_enabled(bool enabled)
{
    SSTab4->setEnabled(enabled);
}

} // namespace mosswick

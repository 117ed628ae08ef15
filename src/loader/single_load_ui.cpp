// The single load: a picture or movie picked in the lists, its preview, the
// commit and the cancel.
#include "core/catalogue_logic.h"
#include "core/fit_to_box.h"
#include "core/status_line.h"
#include "loader/loader_tab.h"

#include "core/name_rules.h"
#include "loader/list_boxes.h"
#include "loader/loader_messages.h"
#include "loader/single_load.h"
#include "platform/picture/render.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace mosswick {

namespace {

constexpr double k_preview_width = 4635;    // twips
constexpr double k_preview_height = 2775;

// A note box emptied to the reset format. keep_blank leaves the one blank
// the reset types, as a cancelled or committed load leaves its boxes.
void reset_box(richtext::RichTextBox* box, bool keep_blank)
{
    if (!box)
        return;
    box->reset_rich_text();
    if (!keep_blank)
        box->setText(QString());
}

} // namespace

void LoaderTab::Fil_ImportFile_DblClick()
{
    const QString name = Fil_ImportFile->selected_name();
    if (name.isEmpty() || !Fil_ImportFile->isEnabled())
        return;
    lock_lists(true);
    QString movie;
    // The last companion in list order is the movie, and ends selected.
    const QStringList& all = File_movies->names();
    int match = -1;
    for (int i = 0; i < all.size(); ++i)
        if (files::is_companion_of(all[i], name))
            match = i;
    if (match >= 0) {
        movie = all[match];
        File_movies->select_row(match);
    } else if (const QString sel = File_movies->selected_name();
               files::has_dot(sel) && !files::is_picture_extension(sel)) {
        File_movies->select_row(-1);
    }
    pick(name, movie);
}

void LoaderTab::File_movies_DblClick()
{
    const QString movie = File_movies->selected_name();
    if (movie.isEmpty() || !File_movies->isEnabled())
        return;
    if (!files::has_dot(movie) || files::is_picture_extension(movie)) {
        m_session.status().set_message(QStringLiteral("Selection not supported."));
        return;
    }
    lock_lists(true);
    const QStringList& pictures = Fil_ImportFile->names();
    const QStringView base = files::base_name_of(movie);
    int match = -1;
    for (int i = 0; i < pictures.size(); ++i)
        if (files::base_name_of(pictures[i]) == base)
            match = i;
    Fil_ImportFile->select_row(match);
    if (match < 0) {
        m_session.status().set_message(QStringLiteral("Picture file not found."));
        lock_lists(false);
        clear_note->setEnabled(true);
        return;
    }
    pick(pictures[match], movie);
}

// The pick the commit loads, whatever the lists show later, and its preview.
void LoaderTab::pick(const QString& picture, const QString& movie)
{
    text7->setText(picture);
    Lbl_db->setText(movie);
    Label31->setText(movie.isEmpty() ? QString() : files::extension_of(movie));
    m_pick_folder = Fil_ImportFile->path();
    m_pick_picture = picture;
    m_pick_movie = movie;
    show_picture();
}

// The preview of the pick, its note boxes opened and the pick pending.
void LoaderTab::show_picture()
{
    const qint64 started = ui::tick_count();
    m_session.status().set_timing({});
    Img_ImportImage->hide();
    Img_ImportImage->clear();
    Img_ImportImage->resize(ui::twips_to_px(k_preview_width), ui::twips_to_px(k_preview_height));

    picture::RenderRequest request;
    request.source = picture::PictureSource::file(join_path(m_pick_folder, m_pick_picture));
    request.quality = picture::k_quality_thumbnail;
    request.device_pixel_ratio = Img_ImportImage->devicePixelRatioF();
    // The preview is decoded straight at its fitted size.
    request.target_for = [](QSize natural) {
        const FitResult fit = fit_to_box(true, k_preview_width, k_preview_height, ui::px_to_twips(natural.width()),
                                         ui::px_to_twips(natural.height()));
        return QSize(ui::twips_to_px(fit.display_width), ui::twips_to_px(fit.display_height));
    };
    const picture::RenderResult shown = picture::render_picture(request);
    if (shown.status == picture::PictureStatus::NotFound || shown.status == picture::PictureStatus::Unreadable) {
        // Nothing to load: the picture went away after it was listed.
        m_session.status().set_message(picture::status_text(shown.status));
        lock_lists(false);
        m_pick_pending = false;
        return;
    }
    if (shown.ok() && !shown.image.isNull()) {
        Img_ImportImage->setPixmap(QPixmap::fromImage(shown.image));
        Img_ImportImage->resize(shown.logical_size);
        Img_ImportImage->setToolTip(QString());
    } else {
        // It can still be catalogued by name; the empty preview says why.
        Img_ImportImage->setWordWrap(true);
        Img_ImportImage->setText(picture::status_text(shown.ok() ? picture::PictureStatus::Undecodable : shown.status));
    }
    Img_ImportImage->show();
    // The preview, its notes and "Load picture"/"Cancel" in front, whatever
    // inner tab the loader showed.
    SSTab_mgm->setCurrentIndex(0);
    SSTab4->setCurrentIndex(1);

    lbl_load_picture->clear();
    clear_note->setEnabled(true);
    reset_box(Txt_Notes, false);
    if (text23)
        text23->clear();
    reset_box(Text27, false);
    set_enabled({Txt_Notes, text23, Text27, cmd_OK, SSTab2, SSTab5}, true);
    SSTab5->setCurrentIndex(0);
    cancel_load_picture->setEnabled(true);
    Txt_Notes->setFocus();
    m_pick_pending = true;
    m_session.status().set_message(loader::loading_message(!m_pick_movie.isEmpty()));
    m_session.status().set_timing(QStringLiteral("%1 ms").arg(ui::tick_count() - started));
}

void LoaderTab::cancel_load_picture_Click()
{
    set_enabled({clear_note, cancel_load_picture, cmd_OK}, false);
    lock_lists(false);
    Img_ImportImage->hide();
    Img_ImportImage->clear();
    Img_ImportImage->resize(ui::twips_to_px(k_preview_width), ui::twips_to_px(k_preview_height));
    Label31->clear();
    text7->clear();
    reset_box(Text27, true);
    set_enabled({Text27}, false);
    reset_box(Txt_Notes, true);
    Txt_Notes->setEnabled(false);
    if (text23)
        text23->clear();
    set_enabled({text23}, false);
    SSTab2->setEnabled(false);
    SSTab2->setCurrentIndex(0);
    SSTab5->setEnabled(false);
    SSTab5->setCurrentIndex(0);
    m_pick_pending = false;
    m_session.status().set_message(QStringLiteral("Load cancelled."));
}

void LoaderTab::cmd_OK_Click()
{
    if (!m_pick_pending)
        return;
    // Without the note tabs, "Clear note" is what locks with the two buttons.
    QWidget* note_control = m_session.edition().features.extra_note_fields ? static_cast<QWidget*>(SSTab2) : clear_note;
    set_enabled({cmd_OK, note_control, cancel_load_picture}, false);
    if (!m_session.db_open() || !m_session.db_conn()) {
        m_session.status().set_message(QStringLiteral("Open a database first."));
        to_idle();
        return;
    }

    loader::SingleLoadRequest request;
    request.folder = m_pick_folder;
    request.picture = m_pick_picture;
    request.movie = m_pick_movie;
    request.inside = m_session.edition().features.stored_pictures && Option2[0]->isChecked();
    const bool rtf = Option3[0]->isChecked();
    request.note = loader::note_to_store(Txt_Notes->Text(), Txt_Notes->TextRTF(), rtf, m_pick_picture);
    if (m_session.edition().features.extra_note_fields) {
        request.reference = text23->text();
        request.addnote = rtf ? Text27->TextRTF() : Text27->Text();
    } else {
        // The edition writes the note only; a wider catalogue keeps Null there.
        request.reference = QVariant();
        request.addnote = QVariant();
    }
    request.data_folder = m_session.data_folder();

    m_committing = true;
    const loader::SingleLoadResult result = loader::commit_single_load(*m_session.db_conn(), request);
    m_committing = false;
    m_session.status().set_message(result.message);
    if (result.pending()) {
        // Refused or failed: nothing was written and the load stays
        // pending, so the user can change the options, retry or cancel.
        set_enabled({cmd_OK, note_control, cancel_load_picture}, true);
        return;
    }
    if (result.status == loader::SingleLoadStatus::Loaded)
        lbl_load_picture->setText(loader::slot_caption(result.slot.numpic, result.slot.numpage));
    to_idle();
}

// Back to idle after a commit: boxes reset and locked, lists free again.
void LoaderTab::to_idle()
{
    Img_ImportImage->hide();
    text7->clear();
    Label31->clear();
    reset_box(Text27, true);
    set_enabled({Text27}, false);
    reset_box(Txt_Notes, true);
    Txt_Notes->setEnabled(false);
    if (text23)
        text23->clear();
    set_enabled({text23}, false);
    m_session.recount_after_write();
    lock_lists(false);
    emit returned_to_idle();
    cmd_OK->setEnabled(false);
    cancel_load_picture->setEnabled(false);
    SSTab2->setEnabled(false);
    SSTab2->setCurrentIndex(0);
    SSTab5->setCurrentIndex(0);
    SSTab5->setEnabled(false);
    // The one-note window: "Clear note" goes with the load.
    if (!m_session.edition().features.extra_note_fields)
        clear_note->setEnabled(false);
    m_pick_pending = false;
}

} // namespace mosswick

#pragma once

#include "core/loader_listing.h"
#include "core/window_part.h"
#include "platform/ui/key_filter.h"

#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace mosswick {

namespace ui {
class EventPump;
class LabelButton;
class PlainTextBox;
}
namespace loader {
struct BatchHooks;
struct BatchRequest;
struct BatchResult;
}
namespace richtext {
class RichTextBox;
}
class DriveListBox;
class DirListBox;
class FileListBox;

// The "Loader" tab: the drive, folder and file lists, the batch load, the
// single load of one picked picture with its notes, and the inner tabs that
// host the database, import/export and management pages of other parts.
// Controls the edition's profile does without are not built (null).
class LoaderTab : public WindowPart, public LoaderListing {
    Q_OBJECT
public:
    // others: the key rules of other parts' boxes, which "Paste Text" and
    // "Paste RTF" hold pasted text to.
    LoaderTab(CatalogueSession& session, const PasteRules& others, QWidget* parent = nullptr);
    // The pages of other parts the inner tabs host; import_export_page is
    // null in an edition without stored pictures. Called once, after construction.
    void host_pages(QWidget* database_page, QWidget* import_export_page, QWidget* management_page);

    void reset() override;
    void enable_for_catalogue() override;
    void show_first_tabs() override;
    // The reference box refuses the double quote, typed or pasted.
    PasteRule paste_rule(const QWidget* box) const override;

    // ---- what the other parts read ------------------------------------------
    // The folder the picture list shows, and the lists with the update pass's
    // choices as they stand.
    QString listed_folder() const override;
    LoaderLists lists() const override;

    // ---- what the frame sets --------------------------------------------------
    // Start-up of the lists: the home folder.
    void loader_Form_Load();
    // "Update pictures" is held while the update pass runs.
    void set_update_enabled(bool enabled);
    // The database, picture and import/export pages as a whole.
    void set_inner_tabs_enabled(bool enabled);

signals:
    // "Update pictures" was clicked: the maintenance pass runs.
    void update_requested();
    // A pick locked (true) or freed (false) the lists; the edits by number
    // follow, since they would renumber under the pending load.
    void pick_lock_changed(bool locked);
    // A single load ended (committed or refused for want of a catalogue).
    void returned_to_idle();

private:
    // ---- handlers -------------------------------------------------------------
    // Lists: the drive, folder and file lists and their count message.
    void Drv_ImportDrive_Change();
    void Dir_ImportDir_Change();
    // A folder chosen in the folder list; an unreadable one keeps the previous.
    void Dir_ImportDir_DblClick(const QString& folder);
    void refresh_pictures_Click();
    void verify_pictures();
    void OptionFL_Click(int index);
    void OptionFL2_Click(int index);
    // Note tools.
    void clear_note_Click();
    void Label12_Click(int index);   // "Paste RTF"
    void Label13_Click();            // "Paste Text"
    void Label12_MouseDown(int index);
    void Label12_MouseUp(int index);
    void Label13_MouseDown();
    void Label13_MouseUp();
    void note_size_Click(int index);
    void note_size_MouseDown(int index);
    void note_size_MouseUp(int index);
    // Sets key_ascii to 0 when the key is refused.
    void text23_KeyPress(int& key_ascii);
    // Single load.
    void Fil_ImportFile_DblClick();
    void File_movies_DblClick();
    void show_picture();
    void cancel_load_picture_Click();
    void cmd_OK_Click();
    // Batch load.
    void load_pictures_Click();
    // Says why a batch load cannot start (no catalogue, read-only, no
    // idxPicfile, no pictures listed); false when it can.
    bool batch_load_refused();
    loader::BatchRequest batch_request() const;
    // Warns when note files would come from the catalogue's own folder.
    bool own_folder_refused(const loader::BatchRequest& request);
    // The run's progress on the status bar; a click on the bar stops it.
    loader::BatchHooks batch_hooks(ui::EventPump& pump, qsizetype pictures);
    // The outcome's messages; started: the run's start when it is timed.
    void show_batch_result(const loader::BatchResult& result, std::optional<qint64> started);

    QWidget* build_lists();
    QWidget* build_single_load_page();
    void name_controls();
    void connect_handlers();
    void connect_reference_filter();
    void pick(const QString& picture, const QString& movie);
    void lock_lists(bool locked);
    void set_lists(const QString& folder, const QStringList& files);
    void apply_count(bool report);
    void to_idle();
    void abandon_stale_pick();
    void paste(const QString& text, bool rich);
    static void set_enabled(std::initializer_list<QWidget*> widgets, bool enabled);

    // ---- the lists and the batch load ------------------------------------------
    DriveListBox* Drv_ImportDrive = nullptr;
    DirListBox* Dir_ImportDir = nullptr;
    FileListBox* Fil_ImportFile = nullptr;   // the folder's pictures
    FileListBox* File_movies = nullptr;      // all the folder's files
    QPushButton* refresh_pictures = nullptr;
    QPushButton* load_pictures = nullptr;
    QPushButton* update_pictures = nullptr;
    std::array<QRadioButton*, 2> Option4{};     // batch: pictures IN, OUT
    std::array<QRadioButton*, 2> OptionFL{};    // companion text: IN, OUT
    std::array<QRadioButton*, 3> OptionF1{};    // IN Note, IN Add.Note, IN Reference
    std::array<QRadioButton*, 2> OptionFL2{};   // update pass: IN, OUT
    std::array<QRadioButton*, 3> OptionF12{};   // update pass: IN Note, IN Add.Note, IN Reference
    QTabWidget* SSTab_mgm = nullptr;   // "Database & loading", "Management"
    QTabWidget* SSTab4 = nullptr;      // "Database", "Picture", "Import / Export"

    // ---- the single load ("Picture") ------------------------------------------
    QLabel* text7 = nullptr;     // picture file name
    QLabel* Lbl_db = nullptr;    // movie file name
    QLabel* Label31 = nullptr;   // movie file type
    QLabel* Img_ImportImage = nullptr;   // the preview
    QPushButton* clear_note = nullptr;
    QPushButton* cmd_OK = nullptr;       // "Load picture"
    QPushButton* cancel_load_picture = nullptr;
    ui::LabelButton* Label13 = nullptr;      // "Paste Text"
    ui::LabelButton* Label12_5 = nullptr;    // "Paste RTF"
    // Panels behind the label buttons: 36 "Paste Text", 37 "Paste RTF",
    // 23, 24 and 15 the note, reference and additional note sizes.
    QLabel* Label28_15 = nullptr;
    QLabel* Label28_23 = nullptr;
    QLabel* Label28_24 = nullptr;
    QLabel* Label28_36 = nullptr;
    QLabel* Label28_37 = nullptr;
    QTabWidget* SSTab2 = nullptr;   // "Nt", "AdNt"
    richtext::RichTextBox* Txt_Notes = nullptr;   // the note
    QLabel* lbl_load_picture = nullptr;           // where the last load went
    ui::PlainTextBox* text23 = nullptr;           // the reference: several lines
    richtext::RichTextBox* Text27 = nullptr;      // the additional note
    QTabWidget* SSTab5 = nullptr;   // "Load Type", "Note size"
    std::array<QRadioButton*, 2> Option2{};   // Load IN, Load OUT
    std::array<QRadioButton*, 2> Option3{};   // RTF Load, Text Load
    std::array<ui::LabelButton*, 3> note_size{};   // 0 additional note, 1 note, 2 reference

    QWidget* m_import_export_page = nullptr;
    const PasteRules& m_others;

    // The pick a pending single load commits, captured at double-click time.
    bool m_pick_pending = false;
    QString m_pick_folder;
    QString m_pick_picture;
    QString m_pick_movie;   // "" without a movie
    bool m_committing = false;
};

} // namespace mosswick

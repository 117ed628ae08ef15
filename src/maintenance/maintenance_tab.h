#pragma once

#include "core/catalogue_access.h"
#include "core/loader_listing.h"
#include "core/window_part.h"

#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace mosswick {

// The loader tab's "Management" page: the edits by number, the management
// grid with its rename, the verify pass, and the renumbering and update pass
// they share.
class MaintenanceTab : public WindowPart {
    Q_OBJECT
public:
    // The passes run over what listing shows when they start; access shows
    // the catalogue again after a pass that changed its rows.
    MaintenanceTab(CatalogueSession& session, const LoaderListing& listing, CatalogueAccess& access,
                   QWidget* parent = nullptr);

    void reset() override;
    void enable_for_catalogue() override;
    void show_first_tabs() override;
    void opening() override;
    // The rule a box of the tab holds typed and pasted text to.
    PasteRule paste_rule(const QWidget* box) const override;

    // Renumbers every row by file name with the progress bar; a stop rolls
    // it back.
    void RenumberPages();

    // A single load is pending: the edits by number wait for it.
    void lock_edits(bool locked);
    // The catalogue holds a picture now: the grid can be filled, and
    // (offer_verify) the verify pass run.
    void offer_grid();
    void offer_verify();

public slots:
    // The update pass over the loader's picture list; the loader's
    // "Update pictures" button asks for it.
    void update_pictures_Click();

signals:
    // The main tabs are held (false) while the grid fills, and given back.
    void main_tabs_enable_requested(bool enabled);
    // The loader's "Update pictures" button is held while its pass runs.
    void update_button_enable_requested(bool enabled);
    // An exchange started (true) or ended (false): the search's refresh waits for it.
    void exchange_running(bool running);

private:
    // A grid row as it was clicked.
    struct GridPick {
        bool valid = false;
        qint64 numpic = 0;
        std::optional<qint64> numpage;
        QString picfile;
    };

    // Edits by number. Each is one transaction: done completely or not at all.
    void renumber_pages_Click();
    void delete_page_Click();
    void delete_picture_Click();
    void exchange_picture_Click();
    void insert_picture_Click();
    // The action buttons hand the focus back to their first number box.
    void delete_page_LostFocus();
    void delete_picture_LostFocus();
    void exchange_picture_LostFocus();
    void insert_picture_LostFocus();
    // Key filters of the number boxes; a refused key comes back as 0.
    void Txt_delpag_KeyPress(int& key_ascii);
    void Text15_KeyPress(int& key_ascii);
    void Text9_KeyPress(int& key_ascii);
    void Text11_KeyPress(int& key_ascii);
    void Text22_KeyPress(int& key_ascii);
    void Text20_KeyPress(int& key_ascii);
    // Management grid and rename. Grid actions check that the clicked rows
    // still hold what the grid shows; otherwise nothing is written.
    void load_list_Click();
    void mgm_pic_Click();
    void Command2_Click();
    void Text8_KeyPress(int& key_ascii);
    void Text28_KeyPress(int& key_ascii);
    void verify_loaded_pictures_Click();

    QWidget* build_by_number();
    QWidget* build_grid_page();
    QWidget* build_verify_page();
    void connect_handlers();
    // The edits by number and their boxes, enabled together.
    QList<QWidget*> edit_controls() const;
    void filter_number_key(int& key, bool star_allowed);
    GridPick pick_of(int row) const;

    QTabWidget* SSTab_mgm_pic = nullptr;   // "Insert", "Grid", "Verify"
    // "Insert": the edits by number.
    QLineEdit* Txt_delpag = nullptr;       // page to delete; "*" deletes all
    QPushButton* delete_page = nullptr;
    QLineEdit* Text15 = nullptr;           // picture to delete
    QPushButton* delete_picture = nullptr;
    QLineEdit* Text9 = nullptr;            // exchange this picture ...
    QLineEdit* Text11 = nullptr;           // ... with this one
    QPushButton* exchange_picture = nullptr;
    QLineEdit* Text22 = nullptr;           // insert this picture ...
    QLineEdit* Text20 = nullptr;           // ... in this one's place
    QPushButton* insert_picture = nullptr;
    QPushButton* renumber_pages = nullptr;
    // "Grid": the management grid, its actions and the rename.
    QTableView* mgm_pic = nullptr;
    QRadioButton* Opt_exchange = nullptr;
    QRadioButton* Opt_insert = nullptr;
    QRadioButton* Opt_delete_picture = nullptr;
    QRadioButton* Opt_delete_page = nullptr;
    QPushButton* load_list = nullptr;
    QLineEdit* Text8 = nullptr;            // rename: the name (the light window's too)
    QLineEdit* Text28 = nullptr;           // rename extension (the light window's Text18)
    QPushButton* Command2 = nullptr;       // rename (the light window calls it Command1)
    // "Verify": the three lists of the verify pass and their captions.
    QPushButton* verify_loaded_pictures = nullptr;
    QListWidget* List1 = nullptr;          // files not loaded but present
    QListWidget* List2 = nullptr;          // files loaded but missing
    QListWidget* List3 = nullptr;          // files loaded more than once
    QLabel* lbl_v1 = nullptr;
    QLabel* lbl_v2 = nullptr;
    QLabel* lbl_v3 = nullptr;

    const LoaderListing& m_listing;
    CatalogueAccess& m_access;
    bool m_grid_pick_pending = false;   // the first click of an exchange or insert is taken
    GridPick grid_first;                // that first click's row
    GridPick grid_second;               // the completing click's row
    int grid_second_row = -1;
    GridPick grid_rename_row;           // the row a rename acts on
};

} // namespace mosswick

#pragma once

#include "core/note_cell.h"
#include "core/window_part.h"
#include "pageview/cell_array.h"


#include <array>
#include <optional>

class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QVBoxLayout;

namespace mosswick {

namespace ui {
class LabelButton;
}
namespace richtext {
class RichTextBox;
}
class frmZoom;
struct ZoomRequest;
struct PageLoad;

// The "Pictures & Movies" tab: the navigation, the six cells of a page, the
// keypad, the selection and what a cell opens (zoom windows, movies). The
// note windows are NoteActions': the page asks for them with a cell's note
// fields (note_requested) and shows a saved note (show_saved_note). The
// quality menus are the frame's, which connects them here.
class PageView : public WindowPart, public PageCells {
    Q_OBJECT
public:
    // keypad_host: the frame's tab control, where the keypad is typed with
    // the tab bar (none: the thumbnails alone take keypad keys).
    explicit PageView(CatalogueSession& session, QTabWidget* keypad_host = nullptr, QWidget* parent = nullptr);

    void reset() override;
    void clear() override;
    void opening() override;
    // The page box takes digits only, pasted as typed.
    PasteRule paste_rule(const QWidget* box) const override;

    // ---- the catalogue's life ------------------------------------------------
    // A catalogue is being opened: an empty page box, no old warning.
    void begin_open();
    // The opened catalogue's first page, the page box showing its number.
    void show_first_page();
    // An opened catalogue without pictures: no page to type.
    void no_pages();

    // ---- the search tab's pictures ---------------------------------------------
    // Shows a page with a picture's cell selected (the search tab's "Display
    // Page" and grid); false when that page was shown already (then only the
    // cell is selected).
    bool show_page_of_picture(qint64 page, qint64 numpic);
    // A pending selection for a page that could not be shown is dropped.
    void forget_reselect();

    // ---- zoom windows ------------------------------------------------------------
    // Opens the zoom window of a request (the about box's pictures too);
    // returns it (it deletes itself on close).
    frmZoom* open_zoom(const ZoomRequest& request);

    // The cell the keypad acts on: the white one, or after "7" and "8" a
    // cell that shows no picture (and no white box); 0 for none. Only tests
    // read it: such a cell shows no mark a control could tell.
    int selected_cell() const { return m_selected_cell; }
    // The note save's question: the cell still shows that picture.
    bool shows_picture(int cell, const QString& numpic, const QString& picfile) const override;

public slots:
    // The frame's thumbnail and zoom quality menus: the chosen code (1 to 6).
    void mnuTQ_Click(int code);
    void mnuZQ_Click(int code);
    // A note was saved: its cell shows the saved fields, if it still shows
    // that picture.
    void show_saved_note(const mosswick::NoteCell& saved);

signals:
    // The tab control takes the focus back after a move.
    void focus_home_requested();
    // The quality menus' checks follow the chosen code.
    void thumb_quality_chosen(int code);
    void zoom_quality_chosen(int code);
    // The keypad's and the note boxes' requests for a note window, with the
    // cell's note fields (cell 0 when the keypad found none selected).
    void note_requested(mosswick::NoteRequest request, const mosswick::NoteCell& cell);

protected:
    // Mouse and key events of the cells, the page box, the slider and the
    // keypad's host.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_navigation(QVBoxLayout* page);
    void build_cells(QVBoxLayout* page);
    void name_controls();
    void connect_handlers();
    void watch_events(QTabWidget* keypad_host);

    // ---- the page and navigation (navigation.cpp, page_load.cpp) -------------
    void LoadAllPictures(qint64 cur_numpage);
    // The slider's range and the page count follow picture_count.
    void update_counts();
    void bof_Click();
    void eof_Click();
    void go_left_Click();
    void go_right_Click();
    void show_page_Click();
    // Key filters; a refused key comes back as 0.
    void Label3_KeyPress(int& key_ascii);
    void Slider1_KeyPress(int& key_ascii);
    void Slider1_Scroll();

    // ---- cells (selection.cpp, zoom_requests.cpp, movies.cpp, keypad.cpp) ------
    void im_Click(int index);
    void im_DblClick(int index);
    void im_KeyPress(int index, int key_ascii);
    void Label7_Click(int index);
    void lbl_fileName_Click(int index);
    // Keypad shortcuts typed into the tab control; a handled key comes back as 0.
    void SSTab_main_KeyPress(int& key_ascii);
    // The first cell whose note boxes are not grey, or 0.
    int WhichSelected() const;
    void ClearBorder(int which_pic = 0);
    // The cell's note fields as it holds them, for a note window.
    NoteCell note_cell(int cell) const;

    template <class NewPage>
    void move_page(NewPage&& new_page);
    void show_in_slider(qint64 page);

    // The steps of LoadAllPictures.
    void clear_cells();
    bool query_rows(PageLoad& load);
    void start_decodes(PageLoad& load);
    void place_result(PageLoad& load, size_t k);
    void set_navigation(qint64 page);
    void reselect_after_load();
    void report(PageLoad& load);
    void finish_load(const PageLoad& load, const QString& message);

    // Navigation.
    QPushButton* bof = nullptr;        // first page
    QPushButton* go_left = nullptr;    // previous page
    QLineEdit* Label3 = nullptr;       // page box
    QPushButton* show_page = nullptr;  // go to the page box's page
    QPushButton* go_right = nullptr;   // next page
    QPushButton* eof = nullptr;        // last page
    QSlider* Slider1 = nullptr;        // page slider
    QLabel* lbl_page = nullptr;        // "page n of m"
    QLabel* Label29 = nullptr;         // number of pages

    // The six cells. Without the reference and additional note (light
    // edition) Text34, SSTab1 and Text18 are not built: null.
    CellArray<QWidget> cell_picture_area{};       // the picture's box at its design size
    CellArray<QLabel> im{};                       // a picture file's thumbnail
    CellArray<QLabel> Im2{};                      // a stored picture's thumbnail
    CellArray<QLabel> lbl_filePic{};              // picture file name
    CellArray<ui::LabelButton> Label7{};          // picture type; opens the zoom
    CellArray<ui::LabelButton> lbl_fileName{};    // movie type; opens the movie
    CellArray<QLabel> Label4{};                   // page number
    CellArray<QLabel> Label5{};                   // picture number
    CellArray<QLineEdit> Text34{};                // reference
    CellArray<QTabWidget> SSTab1{};               // note / additional note tabs
    CellArray<richtext::RichTextBox> lbl_note{};  // note
    CellArray<richtext::RichTextBox> Text18{};    // additional note

    QTabWidget* m_keypad_host = nullptr;
    int m_selected_cell = 0;
    int m_last_selected_cell = 0;
    int m_cells_on_page = 0;
    std::optional<qint64> m_reselect_numpic;   // the picture the next page load selects
    std::array<QString, 7> cell_movfile;   // the stored movfile of each cell
};

} // namespace mosswick

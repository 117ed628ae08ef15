#pragma once

#include "core/note_cell.h"
#include "core/window_part.h"
#include "pageview/cell_array.h"

#include <QPointer>
#include <QRect>

#include <array>
#include <functional>

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
// note windows are NoteActions'; the quality menus and the progress bar are
// the frame's, which hands their clicks on here.
class PageView : public WindowPart {
    Q_OBJECT
public:
    explicit PageView(CatalogueSession& session, QWidget* parent = nullptr);

    void reset() override;
    void clear() override;
    void opening() override;

    // ---- the page ----------------------------------------------------------
    void LoadAllPictures(qint64 cur_numpage);
    // A catalogue is being opened: an empty page box, no old warning.
    void begin_open();
    // The opened catalogue's first page, the page box showing its number.
    void show_first_page();
    // An opened catalogue without pictures: no page to type.
    void no_pages();
    // The slider's range and the page count follow picture_count.
    void update_counts();

    // ---- navigation ------------------------------------------------------------
    void bof_Click();
    void eof_Click();
    void go_left_Click();
    void go_right_Click();
    void show_page_Click();
    // Key filters; a refused key comes back as 0.
    void Label3_KeyPress(int& key_ascii);
    void Slider1_KeyPress(int& key_ascii);
    void Slider1_Scroll();
    // The page box takes digits only, pasted as typed.
    PasteRule paste_rule(const QWidget* box) const override;
    // Shows a page with a picture's cell selected (the search tab's "Display
    // Page" and grid); false when that page was shown already (then only the
    // cell is selected).
    bool show_page_of_picture(qint64 page, qint64 numpic);
    // A pending selection for a page that could not be shown is dropped.
    void forget_reselect();

    // ---- cells -------------------------------------------------------------
    void im_Click(int index);
    void im_DblClick(int index);
    void Im2_Click(int index) { im_Click(index); }
    void Im2_DblClick(int index) { im_DblClick(index); }
    void im_KeyPress(int index, int key_ascii);
    void Label7_Click(int index);
    void lbl_fileName_Click(int index);
    void lbl_note_Click(int index) { im_Click(index); }
    void Text18_Click(int index) { im_Click(index); }
    // The first cell whose note boxes are not grey, or 0.
    int WhichSelected() const;
    void ClearBorder(int which_pic = 0);
    // What a cell shows, for the note actions.
    QString cell_numpic(int cell) const;
    QString cell_picfile(int cell) const;
    // The cell's note boxes the note window copies from and, on OK, back to.
    NoteCell cell_note_boxes(int cell) const;

    int selected_cell() const { return m_selected_cell; }
    int last_selected_cell() const { return m_last_selected_cell; }
    int cells_on_page() const { return m_cells_on_page; }
    // The next page load selects the cell of the picture asked for.
    bool reselect_pending() const { return m_reselect_pending; }
    // The picture the last click named (the about box's picture counts too).
    const QString& current_picture_path() const { return m_current_picture_path; }
    void set_current_picture_path(const QString& path) { m_current_picture_path = path; }

    // ---- keypad, menus, stop -------------------------------------------------
    // Keypad shortcuts typed into the tab control; a handled key comes back as 0.
    void SSTab_main_KeyPress(int& key_ascii);
    void mnuTQ_Click(int code);
    void mnuZQ_Click(int code);
    // A click on the progress bar asks the running action to stop.
    void ProgressBar1_Click();
    // Mouse and key events of the cells, the page box, the slider and the
    // keypad's host (the frame's filter hands them on); true when consumed.
    bool page_view_event(QObject* watched, QEvent* event);

    // ---- zoom windows and movies -------------------------------------------------
    // Opens the zoom window of a request; returns it (it deletes itself on close).
    frmZoom* open_zoom(const ZoomRequest& request);
    // The free screen area zoom windows fit into (empty: the screen's).
    QRect zoom_work_area;
    // The zoom window opened last, while it is open.
    frmZoom* last_zoom() const;
    // Opens a file with the desktop's program (movies); tests replace it.
    std::function<bool(const QString& path)> open_external;

    // ---- hooks the frame sets ------------------------------------------------------
    // True for the control the keypad is typed into (the tab control and its bar).
    std::function<bool(const QObject* watched)> is_keypad_host;

signals:
    // The tab control takes the focus back after a move.
    void focus_home_requested();
    // The quality menus' checks follow the chosen code.
    void thumb_quality_chosen(int code);
    void zoom_quality_chosen(int code);
    // The keypad's and the note boxes' requests for the note windows.
    void note_cell_chosen(int cell);
    void edit_note_requested();
    void show_note_requested();
    void note_double_clicked(int cell);
    void addnote_double_clicked(int cell);

private:
    void build_navigation(QVBoxLayout* page);
    void build_cells(QVBoxLayout* page);
    void name_controls();
    void connect_handlers();
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

    int m_selected_cell = 0;
    int m_last_selected_cell = 0;
    int m_cells_on_page = 0;
    bool m_reselect_pending = false;
    qint64 reselect_numpic = 0;
    QString m_current_picture_path;
    QPointer<frmZoom> m_last_zoom;
    std::array<QString, 7> cell_movfile;   // the stored movfile of each cell
    QString movie_path;                    // the movie last handed to the desktop
};

} // namespace mosswick

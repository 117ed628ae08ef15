#pragma once

#include "core/window_part.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace mosswick {

namespace richtext {
class RichTextBox;
}

// The "Search & Sort" tab: the picture, reference and note searches into
// one grid, a record's details with its picture, and the reference grid.
// An edition without references or details builds none of their controls.
class SearchSortTab : public WindowPart {
    Q_OBJECT
public:
    explicit SearchSortTab(CatalogueSession& session, QWidget* parent = nullptr);

    void reset() override;
    void clear() override;
    void enable_for_catalogue() override;
    void show_first_tabs() override;
    void opening() override;
    PasteRule paste_rule(const QWidget* box) const override;
    // A catalogue is being opened: the grid may be searched.
    void allow_searches();
    // Another part's edit runs (true): the refresh button waits for it, then
    // is as it was (false).
    void hold_refresh(bool held);

signals:
    // "Display Page": the page view shows the page and selects the
    // picture's cell, and comes to the front.
    void show_page_requested(qint64 page, qint64 numpic);
    // A search-grid row without a details panel: as above, but the search
    // tab stays in front when the page is shown already.
    void grid_page_requested(qint64 page, qint64 numpic);
    // A search or list fill starts (true) or ends (false): the window's
    // tabs hold still meanwhile.
    void searching(bool running);

private:
    class SearchFrame;
    // Runs the search of the inner tab shown ("Pic" or "Note") into MSFlexGrid1.
    void refresh_grid_Click();
    // Enable the option pairs by what the two search boxes hold.
    void Text1_Change();
    void Text3_Change();
    // Key filters of the search boxes: a refused key comes back as 0;
    // Return starts the search.
    void Text1_KeyPress(int& key_ascii);
    void Text3_KeyPress(int& key_ascii);
    void Text4_KeyPress(int& key_ascii);
    // A "Picture" option chosen: the reference box is usable with "Picture" only.
    void Option1_Click(int index);
    // A click on one row shows its record on the "Details" tab or, without
    // that tab, the picture's page with its cell selected.
    void MSFlexGrid1_Click();
    void MSHFlexGrid1_Click();
    // Lists every record with its reference.
    void refresh_ref_Click();
    // Shows the page of the record on the "Details" tab, its cell selected.
    void display_page_Click();

    void build();
    void build_details_and_references();
    void name_controls();
    void connect_handlers();
    void set_message(const QString& text);
    bool search_pictures();
    void search_notes();
    void show_record(QTableView* view, bool search_grid_row);
    void show_page_of_grid_row(int row);

    QTabWidget* SSTab3 = nullptr;         // Grid / Details / Ref
    QTabWidget* SSTab_search = nullptr;   // Pic / Note
    QTabWidget* SSTab6 = nullptr;         // kept for the tab's resets; holds nothing
    QTableView* MSFlexGrid1 = nullptr;    // the search grid
    QPushButton* refresh_grid = nullptr;
    QCheckBox* Check2 = nullptr;          // order by file name
    QLineEdit* Text1 = nullptr;           // file name to find
    QLineEdit* Text3 = nullptr;           // reference to find
    std::array<QRadioButton*, 4> Option1{};   // picture / or / and reference (0, 2, 3 used)
    std::array<QRadioButton*, 2> Option5{};   // name and reference: And, Or
    std::array<QRadioButton*, 2> Option6{};   // words of the reference: Or, And
    QLineEdit* Text4 = nullptr;               // note to find
    std::array<QRadioButton*, 3> Option7{};   // Note, Add.Note, both
    // The "Details" tab: one record's fields and its picture.
    QLineEdit* Text30 = nullptr;   // picture number
    QLineEdit* Text31 = nullptr;   // page number
    QLineEdit* Text32 = nullptr;   // movie
    QLineEdit* Text29 = nullptr;   // picture file name
    QLineEdit* text24 = nullptr;   // reference
    richtext::RichTextBox* Text33 = nullptr;   // note
    richtext::RichTextBox* Text25 = nullptr;   // additional note
    QLabel* Image1 = nullptr;   // a picture from a file
    QLabel* Image3 = nullptr;   // a picture stored in the record
    QPushButton* display_page = nullptr;
    // The "Ref" tab.
    QTableView* MSHFlexGrid1 = nullptr;   // the reference grid
    QPushButton* refresh_ref = nullptr;
    QCheckBox* Check5 = nullptr;          // order by reference

    // The record the "Details" tab shows (as the grid showed its numbers).
    QString m_display_numpic;
    QString m_display_numpage;
    // The refresh button's state while another part's edit holds it.
    bool m_refresh_held = false;
    bool m_refresh_was_enabled = false;
};

} // namespace mosswick

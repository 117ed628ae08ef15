#pragma once

// The main window's controls as a test or benchmark reaches them: by the
// names the window gives them (an element of a control array is "name(i)").
// A control the edition does not build is null.

#include "support/named_controls.h"

#include "frame/frm_browser.h"
#include "loader/loader_tab.h"
#include "notes/note_actions.h"
#include "pageview/cell_array.h"
#include "pageview/page_view_part.h"
#include "loader/list_boxes.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableView>

#include <array>
#include <map>
#include <memory>

namespace testsupport {

struct WindowControls {
    QProgressBar* check_progress = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* lbl_v1 = nullptr;
    QLabel* lbl_v2 = nullptr;
    QLabel* lbl_v3 = nullptr;
    QLabel* Label28_15 = nullptr;
    QLabel* Label28_23 = nullptr;
    QLabel* Label28_24 = nullptr;
    QLabel* Label28_36 = nullptr;
    QLabel* Label28_37 = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuDbRnm = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuDb = nullptr;
    QAction* mnuRefresh = nullptr;
    QMenu* mnuThumbnailQuality = nullptr;
    std::array<QAction*, 7> mnuTQ{};
    QMenu* mnuZoomQuality = nullptr;
    std::array<QAction*, 7> mnuZQ{};
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QTabWidget* SSTab_main = nullptr;
    QLabel* Text2 = nullptr;
    QLabel* Label27 = nullptr;
    QPushButton* Command3 = nullptr;
    QLabel* lbl_page = nullptr;
    QPushButton* bof = nullptr;
    QPushButton* go_left = nullptr;
    QPushButton* go_right = nullptr;
    QPushButton* eof = nullptr;
    QPushButton* show_page = nullptr;
    QLineEdit* Label3 = nullptr;
    QSlider* Slider1 = nullptr;
    QLabel* Label29 = nullptr;
    mosswick::CellArray<QWidget> cell_picture_area{};
    mosswick::CellArray<QLabel> im{};
    mosswick::CellArray<QLabel> Im2{};
    mosswick::CellArray<QLabel> lbl_filePic{};
    mosswick::CellArray<mosswick::ui::LabelButton> Label7{};
    mosswick::CellArray<mosswick::ui::LabelButton> lbl_fileName{};
    mosswick::CellArray<QLabel> Label4{};
    mosswick::CellArray<QLabel> Label5{};
    mosswick::CellArray<QLineEdit> Text34{};
    mosswick::CellArray<QTabWidget> SSTab1{};
    mosswick::CellArray<mosswick::richtext::RichTextBox> lbl_note{};
    mosswick::CellArray<mosswick::richtext::RichTextBox> Text18{};
    QTabWidget* SSTab3 = nullptr;
    QTabWidget* SSTab_search = nullptr;
    QTabWidget* SSTab6 = nullptr;
    QTableView* MSFlexGrid1 = nullptr;
    QPushButton* refresh_grid = nullptr;
    QCheckBox* Check2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text3 = nullptr;
    std::array<QRadioButton*, 4> Option1{};
    std::array<QRadioButton*, 2> Option5{};
    std::array<QRadioButton*, 2> Option6{};
    QLineEdit* Text4 = nullptr;
    std::array<QRadioButton*, 3> Option7{};
    QLineEdit* Text30 = nullptr;
    QLineEdit* Text31 = nullptr;
    QLineEdit* Text32 = nullptr;
    QLineEdit* Text29 = nullptr;
    QLineEdit* text24 = nullptr;
    mosswick::richtext::RichTextBox* Text33 = nullptr;
    mosswick::richtext::RichTextBox* Text25 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image3 = nullptr;
    QPushButton* display_page = nullptr;
    QTableView* MSHFlexGrid1 = nullptr;
    QPushButton* refresh_ref = nullptr;
    QCheckBox* Check5 = nullptr;
    mosswick::DriveListBox* Drv_ImportDrive = nullptr;
    mosswick::DirListBox* Dir_ImportDir = nullptr;
    mosswick::FileListBox* Fil_ImportFile = nullptr;
    mosswick::FileListBox* File_movies = nullptr;
    QPushButton* refresh_pictures = nullptr;
    QPushButton* load_pictures = nullptr;
    QPushButton* update_pictures = nullptr;
    std::array<QRadioButton*, 2> Option4{};
    std::array<QRadioButton*, 2> OptionFL{};
    std::array<QRadioButton*, 3> OptionF1{};
    std::array<QRadioButton*, 2> OptionFL2{};
    std::array<QRadioButton*, 3> OptionF12{};
    QTabWidget* SSTab_mgm = nullptr;
    QTabWidget* SSTab4 = nullptr;
    QLabel* text7 = nullptr;
    QLabel* Lbl_db = nullptr;
    QLabel* Label31 = nullptr;
    QLabel* Img_ImportImage = nullptr;
    QPushButton* clear_note = nullptr;
    QPushButton* cmd_OK = nullptr;
    QPushButton* cancel_load_picture = nullptr;
    mosswick::ui::LabelButton* Label13 = nullptr;
    mosswick::ui::LabelButton* Label12_5 = nullptr;
    QTabWidget* SSTab2 = nullptr;
    mosswick::richtext::RichTextBox* Txt_Notes = nullptr;
    QLabel* lbl_load_picture = nullptr;
    mosswick::ui::PlainTextBox* text23 = nullptr;
    mosswick::richtext::RichTextBox* Text27 = nullptr;
    QTabWidget* SSTab5 = nullptr;
    std::array<QRadioButton*, 2> Option2{};
    std::array<QRadioButton*, 2> Option3{};
    std::array<mosswick::ui::LabelButton*, 3> note_size{};
    QPushButton* Create_database = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check3 = nullptr;
    QLineEdit* Text35 = nullptr;
    QLineEdit* Text36 = nullptr;
    QCheckBox* Check4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* compact_database = nullptr;
    QPushButton* refresh_extraction = nullptr;
    QTableView* MSHFlexGrid2 = nullptr;
    QPushButton* Extract = nullptr;
    QTabWidget* SSTab_mgm_pic = nullptr;
    QLineEdit* Txt_delpag = nullptr;
    QPushButton* delete_page = nullptr;
    QLineEdit* Text15 = nullptr;
    QPushButton* delete_picture = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text11 = nullptr;
    QPushButton* exchange_picture = nullptr;
    QLineEdit* Text22 = nullptr;
    QLineEdit* Text20 = nullptr;
    QPushButton* insert_picture = nullptr;
    QPushButton* renumber_pages = nullptr;
    QTableView* mgm_pic = nullptr;
    QRadioButton* Opt_exchange = nullptr;
    QRadioButton* Opt_insert = nullptr;
    QRadioButton* Opt_delete_picture = nullptr;
    QRadioButton* Opt_delete_page = nullptr;
    QPushButton* load_list = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text28 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* verify_loaded_pictures = nullptr;
    QListWidget* List1 = nullptr;
    QListWidget* List2 = nullptr;
    QListWidget* List3 = nullptr;

    void find_in(QObject& w)
    {
        find(w, check_progress, "check_progress");
        find(w, ProgressBar1, "ProgressBar1");
        find(w, lbl_v1, "lbl_v1");
        find(w, lbl_v2, "lbl_v2");
        find(w, lbl_v3, "lbl_v3");
        find(w, Label28_15, "Label28_15");
        find(w, Label28_23, "Label28_23");
        find(w, Label28_24, "Label28_24");
        find(w, Label28_36, "Label28_36");
        find(w, Label28_37, "Label28_37");
        find(w, mnuFile, "mnuFile");
        find(w, mnuDbRnm, "mnuDbRnm");
        find(w, mnuFileExit, "mnuFileExit");
        find(w, mnuDb, "mnuDb");
        find(w, mnuRefresh, "mnuRefresh");
        find(w, mnuThumbnailQuality, "mnuThumbnailQuality");
        find_all(w, mnuTQ, "mnuTQ");
        find(w, mnuZoomQuality, "mnuZoomQuality");
        find_all(w, mnuZQ, "mnuZQ");
        find(w, mnuHelp, "mnuHelp");
        find(w, mnuAbout, "mnuAbout");
        find(w, SSTab_main, "SSTab_main");
        find(w, Text2, "Text2");
        find(w, Label27, "Label27");
        find(w, Command3, "Command3");
        find(w, lbl_page, "lbl_page");
        find(w, bof, "bof");
        find(w, go_left, "go_left");
        find(w, go_right, "go_right");
        find(w, eof, "eof");
        find(w, show_page, "show_page");
        find(w, Label3, "Label3");
        find(w, Slider1, "Slider1");
        find(w, Label29, "Label29");
        find_all(w, cell_picture_area, "cell_picture_area");
        find_all(w, im, "im");
        find_all(w, Im2, "Im2");
        find_all(w, lbl_filePic, "lbl_filePic");
        find_all(w, Label7, "Label7");
        find_all(w, lbl_fileName, "lbl_fileName");
        find_all(w, Label4, "Label4");
        find_all(w, Label5, "Label5");
        find_all(w, Text34, "Text34");
        find_all(w, SSTab1, "SSTab1");
        find_all(w, lbl_note, "lbl_note");
        find_all(w, Text18, "Text18");
        find(w, SSTab3, "SSTab3");
        find(w, SSTab_search, "SSTab_search");
        find(w, SSTab6, "SSTab6");
        find(w, MSFlexGrid1, "MSFlexGrid1");
        find(w, refresh_grid, "refresh_grid");
        find(w, Check2, "Check2");
        find(w, Text1, "Text1");
        find(w, Text3, "Text3");
        find_all(w, Option1, "Option1");
        find_all(w, Option5, "Option5");
        find_all(w, Option6, "Option6");
        find(w, Text4, "Text4");
        find_all(w, Option7, "Option7");
        find(w, Text30, "Text30");
        find(w, Text31, "Text31");
        find(w, Text32, "Text32");
        find(w, Text29, "Text29");
        find(w, text24, "text24");
        find(w, Text33, "Text33");
        find(w, Text25, "Text25");
        find(w, Image1, "Image1");
        find(w, Image3, "Image3");
        find(w, display_page, "display_page");
        find(w, MSHFlexGrid1, "MSHFlexGrid1");
        find(w, refresh_ref, "refresh_ref");
        find(w, Check5, "Check5");
        find(w, Drv_ImportDrive, "Drv_ImportDrive");
        find(w, Dir_ImportDir, "Dir_ImportDir");
        find(w, Fil_ImportFile, "Fil_ImportFile");
        find(w, File_movies, "File_movies");
        find(w, refresh_pictures, "refresh_pictures");
        find(w, load_pictures, "load_pictures");
        find(w, update_pictures, "update_pictures");
        find_all(w, Option4, "Option4");
        find_all(w, OptionFL, "OptionFL");
        find_all(w, OptionF1, "OptionF1");
        find_all(w, OptionFL2, "OptionFL2");
        find_all(w, OptionF12, "OptionF12");
        find(w, SSTab_mgm, "SSTab_mgm");
        find(w, SSTab4, "SSTab4");
        find(w, text7, "text7");
        find(w, Lbl_db, "Lbl_db");
        find(w, Label31, "Label31");
        find(w, Img_ImportImage, "Img_ImportImage");
        find(w, clear_note, "clear_note");
        find(w, cmd_OK, "cmd_OK");
        find(w, cancel_load_picture, "cancel_load_picture");
        find(w, Label13, "Label13");
        find(w, Label12_5, "Label12_5");
        find(w, SSTab2, "SSTab2");
        find(w, Txt_Notes, "Txt_Notes");
        find(w, lbl_load_picture, "lbl_load_picture");
        find(w, text23, "text23");
        find(w, Text27, "Text27");
        find(w, SSTab5, "SSTab5");
        find_all(w, Option2, "Option2");
        find_all(w, Option3, "Option3");
        find_all(w, note_size, "note_size");
        find(w, Create_database, "Create_database");
        find(w, Check1, "Check1");
        find(w, Check3, "Check3");
        find(w, Text35, "Text35");
        find(w, Text36, "Text36");
        find(w, Check4, "Check4");
        find(w, Command1, "Command1");
        find(w, compact_database, "compact_database");
        find(w, refresh_extraction, "refresh_extraction");
        find(w, MSHFlexGrid2, "MSHFlexGrid2");
        find(w, Extract, "Extract");
        find(w, SSTab_mgm_pic, "SSTab_mgm_pic");
        find(w, Txt_delpag, "Txt_delpag");
        find(w, delete_page, "delete_page");
        find(w, Text15, "Text15");
        find(w, delete_picture, "delete_picture");
        find(w, Text9, "Text9");
        find(w, Text11, "Text11");
        find(w, exchange_picture, "exchange_picture");
        find(w, Text22, "Text22");
        find(w, Text20, "Text20");
        find(w, insert_picture, "insert_picture");
        find(w, renumber_pages, "renumber_pages");
        find(w, mgm_pic, "mgm_pic");
        find(w, Opt_exchange, "Opt_exchange");
        find(w, Opt_insert, "Opt_insert");
        find(w, Opt_delete_picture, "Opt_delete_picture");
        find(w, Opt_delete_page, "Opt_delete_page");
        find(w, load_list, "load_list");
        find(w, Text8, "Text8");
        find(w, Text28, "Text28");
        find(w, Command2, "Command2");
        find(w, verify_loaded_pictures, "verify_loaded_pictures");
        find(w, List1, "List1");
        find(w, List2, "List2");
        find(w, List3, "List3");
    }
};

// The controls of a main window, found once and kept while the window lives;
// found again while the integrity check's bar has not been made yet.
inline const WindowControls& controls(QWidget& window)
{
    static std::map<QWidget*, std::unique_ptr<WindowControls>> found;
    auto& slot = found[&window];
    if (!slot) {
        QObject::connect(&window, &QObject::destroyed, [&window] { found.erase(&window); });
        slot = std::make_unique<WindowControls>();
        slot->find_in(window);
    } else if (!slot->check_progress) {
        slot->find_in(window);
    }
    return *slot;
}

} // namespace testsupport

// Short for tests: ctl(*window).Label3.
inline const testsupport::WindowControls& ctl(QWidget& window)
{
    return testsupport::controls(window);
}

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

namespace testsupport {

struct WindowControls : NamedControls<QWidget> {
    using NamedControls::NamedControls;

    QProgressBar* check_progress = one<QProgressBar>("check_progress");
    QProgressBar* ProgressBar1 = one<QProgressBar>("ProgressBar1");
    QLabel* lbl_v1 = one<QLabel>("lbl_v1");
    QLabel* lbl_v2 = one<QLabel>("lbl_v2");
    QLabel* lbl_v3 = one<QLabel>("lbl_v3");
    QLabel* Label28_15 = one<QLabel>("Label28_15");
    QLabel* Label28_23 = one<QLabel>("Label28_23");
    QLabel* Label28_24 = one<QLabel>("Label28_24");
    QLabel* Label28_36 = one<QLabel>("Label28_36");
    QLabel* Label28_37 = one<QLabel>("Label28_37");
    QMenu* mnuFile = one<QMenu>("mnuFile");
    QAction* mnuDbRnm = one<QAction>("mnuDbRnm");
    QAction* mnuFileExit = one<QAction>("mnuFileExit");
    QAction* mnuDb = one<QAction>("mnuDb");
    QAction* mnuRefresh = one<QAction>("mnuRefresh");
    QMenu* mnuThumbnailQuality = one<QMenu>("mnuThumbnailQuality");
    std::array<QAction*, 7> mnuTQ = all<QAction, 7>("mnuTQ");
    QMenu* mnuZoomQuality = one<QMenu>("mnuZoomQuality");
    std::array<QAction*, 7> mnuZQ = all<QAction, 7>("mnuZQ");
    QMenu* mnuHelp = one<QMenu>("mnuHelp");
    QAction* mnuAbout = one<QAction>("mnuAbout");
    QTabWidget* SSTab_main = one<QTabWidget>("SSTab_main");
    QLabel* Text2 = one<QLabel>("Text2");
    QLabel* Label27 = one<QLabel>("Label27");
    QPushButton* Command3 = one<QPushButton>("Command3");
    QLabel* lbl_page = one<QLabel>("lbl_page");
    QPushButton* bof = one<QPushButton>("bof");
    QPushButton* go_left = one<QPushButton>("go_left");
    QPushButton* go_right = one<QPushButton>("go_right");
    QPushButton* eof = one<QPushButton>("eof");
    QPushButton* show_page = one<QPushButton>("show_page");
    QLineEdit* Label3 = one<QLineEdit>("Label3");
    QSlider* Slider1 = one<QSlider>("Slider1");
    QLabel* Label29 = one<QLabel>("Label29");
    mosswick::CellArray<QWidget> cell_picture_area = all<QWidget, 7>("cell_picture_area");
    mosswick::CellArray<QLabel> im = all<QLabel, 7>("im");
    mosswick::CellArray<QLabel> Im2 = all<QLabel, 7>("Im2");
    mosswick::CellArray<QLabel> lbl_filePic = all<QLabel, 7>("lbl_filePic");
    mosswick::CellArray<mosswick::ui::LabelButton> Label7 = all<mosswick::ui::LabelButton, 7>("Label7");
    mosswick::CellArray<mosswick::ui::LabelButton> lbl_fileName = all<mosswick::ui::LabelButton, 7>("lbl_fileName");
    mosswick::CellArray<QLabel> Label4 = all<QLabel, 7>("Label4");
    mosswick::CellArray<QLabel> Label5 = all<QLabel, 7>("Label5");
    mosswick::CellArray<QLineEdit> Text34 = all<QLineEdit, 7>("Text34");
    mosswick::CellArray<QTabWidget> SSTab1 = all<QTabWidget, 7>("SSTab1");
    mosswick::CellArray<mosswick::richtext::RichTextBox> lbl_note = all<mosswick::richtext::RichTextBox, 7>("lbl_note");
    mosswick::CellArray<mosswick::richtext::RichTextBox> Text18 = all<mosswick::richtext::RichTextBox, 7>("Text18");
    QTabWidget* SSTab3 = one<QTabWidget>("SSTab3");
    QTabWidget* SSTab_search = one<QTabWidget>("SSTab_search");
    QTabWidget* SSTab6 = one<QTabWidget>("SSTab6");
    QTableView* MSFlexGrid1 = one<QTableView>("MSFlexGrid1");
    QPushButton* refresh_grid = one<QPushButton>("refresh_grid");
    QCheckBox* Check2 = one<QCheckBox>("Check2");
    QLineEdit* Text1 = one<QLineEdit>("Text1");
    QLineEdit* Text3 = one<QLineEdit>("Text3");
    std::array<QRadioButton*, 4> Option1 = all<QRadioButton, 4>("Option1");
    std::array<QRadioButton*, 2> Option5 = all<QRadioButton, 2>("Option5");
    std::array<QRadioButton*, 2> Option6 = all<QRadioButton, 2>("Option6");
    QLineEdit* Text4 = one<QLineEdit>("Text4");
    std::array<QRadioButton*, 3> Option7 = all<QRadioButton, 3>("Option7");
    QLineEdit* Text30 = one<QLineEdit>("Text30");
    QLineEdit* Text31 = one<QLineEdit>("Text31");
    QLineEdit* Text32 = one<QLineEdit>("Text32");
    QLineEdit* Text29 = one<QLineEdit>("Text29");
    QLineEdit* text24 = one<QLineEdit>("text24");
    mosswick::richtext::RichTextBox* Text33 = one<mosswick::richtext::RichTextBox>("Text33");
    mosswick::richtext::RichTextBox* Text25 = one<mosswick::richtext::RichTextBox>("Text25");
    QLabel* Image1 = one<QLabel>("Image1");
    QLabel* Image3 = one<QLabel>("Image3");
    QPushButton* display_page = one<QPushButton>("display_page");
    QTableView* MSHFlexGrid1 = one<QTableView>("MSHFlexGrid1");
    QPushButton* refresh_ref = one<QPushButton>("refresh_ref");
    QCheckBox* Check5 = one<QCheckBox>("Check5");
    mosswick::DriveListBox* Drv_ImportDrive = one<mosswick::DriveListBox>("Drv_ImportDrive");
    mosswick::DirListBox* Dir_ImportDir = one<mosswick::DirListBox>("Dir_ImportDir");
    mosswick::FileListBox* Fil_ImportFile = one<mosswick::FileListBox>("Fil_ImportFile");
    mosswick::FileListBox* File_movies = one<mosswick::FileListBox>("File_movies");
    QPushButton* refresh_pictures = one<QPushButton>("refresh_pictures");
    QPushButton* load_pictures = one<QPushButton>("load_pictures");
    QPushButton* update_pictures = one<QPushButton>("update_pictures");
    std::array<QRadioButton*, 2> Option4 = all<QRadioButton, 2>("Option4");
    std::array<QRadioButton*, 2> OptionFL = all<QRadioButton, 2>("OptionFL");
    std::array<QRadioButton*, 3> OptionF1 = all<QRadioButton, 3>("OptionF1");
    std::array<QRadioButton*, 2> OptionFL2 = all<QRadioButton, 2>("OptionFL2");
    std::array<QRadioButton*, 3> OptionF12 = all<QRadioButton, 3>("OptionF12");
    QTabWidget* SSTab_mgm = one<QTabWidget>("SSTab_mgm");
    QTabWidget* SSTab4 = one<QTabWidget>("SSTab4");
    QLabel* text7 = one<QLabel>("text7");
    QLabel* Lbl_db = one<QLabel>("Lbl_db");
    QLabel* Label31 = one<QLabel>("Label31");
    QLabel* Img_ImportImage = one<QLabel>("Img_ImportImage");
    QPushButton* clear_note = one<QPushButton>("clear_note");
    QPushButton* cmd_OK = one<QPushButton>("cmd_OK");
    QPushButton* cancel_load_picture = one<QPushButton>("cancel_load_picture");
    mosswick::ui::LabelButton* Label13 = one<mosswick::ui::LabelButton>("Label13");
    mosswick::ui::LabelButton* Label12_5 = one<mosswick::ui::LabelButton>("Label12_5");
    QTabWidget* SSTab2 = one<QTabWidget>("SSTab2");
    mosswick::richtext::RichTextBox* Txt_Notes = one<mosswick::richtext::RichTextBox>("Txt_Notes");
    QLabel* lbl_load_picture = one<QLabel>("lbl_load_picture");
    mosswick::ui::PlainTextBox* text23 = one<mosswick::ui::PlainTextBox>("text23");
    mosswick::richtext::RichTextBox* Text27 = one<mosswick::richtext::RichTextBox>("Text27");
    QTabWidget* SSTab5 = one<QTabWidget>("SSTab5");
    std::array<QRadioButton*, 2> Option2 = all<QRadioButton, 2>("Option2");
    std::array<QRadioButton*, 2> Option3 = all<QRadioButton, 2>("Option3");
    std::array<mosswick::ui::LabelButton*, 3> note_size = all<mosswick::ui::LabelButton, 3>("note_size");
    QPushButton* Create_database = one<QPushButton>("Create_database");
    QCheckBox* Check1 = one<QCheckBox>("Check1");
    QCheckBox* Check3 = one<QCheckBox>("Check3");
    QLineEdit* Text35 = one<QLineEdit>("Text35");
    QLineEdit* Text36 = one<QLineEdit>("Text36");
    QCheckBox* Check4 = one<QCheckBox>("Check4");
    QPushButton* Command1 = one<QPushButton>("Command1");
    QPushButton* compact_database = one<QPushButton>("compact_database");
    QPushButton* refresh_extraction = one<QPushButton>("refresh_extraction");
    QTableView* MSHFlexGrid2 = one<QTableView>("MSHFlexGrid2");
    QPushButton* Extract = one<QPushButton>("Extract");
    QTabWidget* SSTab_mgm_pic = one<QTabWidget>("SSTab_mgm_pic");
    QLineEdit* Txt_delpag = one<QLineEdit>("Txt_delpag");
    QPushButton* delete_page = one<QPushButton>("delete_page");
    QLineEdit* Text15 = one<QLineEdit>("Text15");
    QPushButton* delete_picture = one<QPushButton>("delete_picture");
    QLineEdit* Text9 = one<QLineEdit>("Text9");
    QLineEdit* Text11 = one<QLineEdit>("Text11");
    QPushButton* exchange_picture = one<QPushButton>("exchange_picture");
    QLineEdit* Text22 = one<QLineEdit>("Text22");
    QLineEdit* Text20 = one<QLineEdit>("Text20");
    QPushButton* insert_picture = one<QPushButton>("insert_picture");
    QPushButton* renumber_pages = one<QPushButton>("renumber_pages");
    QTableView* mgm_pic = one<QTableView>("mgm_pic");
    QRadioButton* Opt_exchange = one<QRadioButton>("Opt_exchange");
    QRadioButton* Opt_insert = one<QRadioButton>("Opt_insert");
    QRadioButton* Opt_delete_picture = one<QRadioButton>("Opt_delete_picture");
    QRadioButton* Opt_delete_page = one<QRadioButton>("Opt_delete_page");
    QPushButton* load_list = one<QPushButton>("load_list");
    QLineEdit* Text8 = one<QLineEdit>("Text8");
    QLineEdit* Text28 = one<QLineEdit>("Text28");
    QPushButton* Command2 = one<QPushButton>("Command2");
    QPushButton* verify_loaded_pictures = one<QPushButton>("verify_loaded_pictures");
    QListWidget* List1 = one<QListWidget>("List1");
    QListWidget* List2 = one<QListWidget>("List2");
    QListWidget* List3 = one<QListWidget>("List3");
};

// The controls of a main window, found once and kept while the window lives;
// found again while the integrity check's bar has not been made yet.
inline const WindowControls& controls(QWidget& window)
{
    WindowControls& found = found_controls<WindowControls>(window);
    if (!found.check_progress)
        found = WindowControls(window);
    return found;
}

} // namespace testsupport

// Short for tests: ctl(*window).Label3.
inline const testsupport::WindowControls& ctl(QWidget& window)
{
    return testsupport::controls(window);
}

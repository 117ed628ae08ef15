#pragma once

#include "core/note_cell.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace mosswick {

namespace richtext {
class RichTextBox;
}
namespace ui {
class LabelButton;
}

enum class NoteMode { Edit, View };

// What differs between the editions' note windows.
struct NoteWindowProfile {
    // The reference and the additional note beside the note; without them
    // the window has one note box and no tabs.
    bool extra_fields = true;
    // "Clear note" resets every style; else only bold.
    bool clear_resets_all_styles = true;
    int view_width = 5625;                 // a viewer's width in twips
    unsigned length_frame = 0xFFFFC0;      // the length labels' frames at rest (&HBBGGRR)
    // Print without a note box focused.
    QString print_focus_message = QStringLiteral("The cursor must be at least in one of the NOTES fields.");
    // Tooltip of the label that turns the selection into plain text.
    QString convert_tip = QStringLiteral("Select the text and click the label");
};

// What a note window asks of the part that opened it.
struct NoteOpener {
    // Asked now and then while a long note loads; false stops the load.
    std::function<bool()> keep_loading;
    // Run by OK with the cell's new note fields before saved is emitted;
    // false keeps the window open with its texts (the opener could not save
    // them). window: the parent of any message the opener shows.
    std::function<bool(QWidget& window, const NoteCell& values)> commit;
};

// The note window: a picture's note and additional note as rich text and its
// reference as plain text. An editor has the formatting tools and OK; a
// viewer is the same window cut to its left part, with locked boxes and a
// choice of display sizes. The window touches neither the catalogue nor the
// page: it is given the cell's texts when it opens and, on OK, says what
// they have become. Its controls are reached by their names.
class frmNote : public QDialog {
    Q_OBJECT
public:
    // Builds the window for a mode and loads the cell's texts into it.
    frmNote(NoteMode mode, const NoteCell& cell, QWidget* parent = nullptr, NoteWindowProfile profile = {},
            NoteOpener opener = {});

    NoteMode mode() const { return m_mode; }
    // True when keep_loading stopped the load: the window holds nothing of
    // the note and must not be shown.
    bool load_stopped() const { return m_load_stopped; }
    // The cell as OK leaves it: its note fields as the window has them (the
    // note alone in a window without the other fields). A box whose field
    // was Null when the window loaded it and that shows no text stays Null,
    // whichever tool emptied it.
    NoteCell values() const;

signals:
    // OK was committed: the cell's note fields are now these.
    void saved(const mosswick::NoteCell& values);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // ---- window ---------------------------------------------------------------
    // OK: commit, say the cell's new texts (saved), close. Does nothing in a viewer.
    void Command1_Click();
    void note_size_Click();
    void OptionBTN_Click();
    void SSTab1_Click();

    // ---- formatting tools (both rich boxes, note first) ----------------------
    void Label3_Click(int index);   // palette colour
    void Label_more_Click();        // colour dialog
    void Label4_Click(int index);   // font size
    void Label7_Click(int index);   // font name
    void Label_more2_Click();       // font dialog
    void Label8_Click(int index);   // style toggle
    void Label15_Click(int index);  // alignment
    void Label19_Click();           // bullets
    void Label11_Click();           // selection to plain text
    void Label23_Click();           // paste RTF into the focused box
    void Label24_Click();           // paste text into the focused box
    void Label27_Click();           // clear note

    // ---- find and print ----------------------------------------------------------
    void Label22_Click(int index);
    // Prints the focused note box's selection, or all of it.
    void Label25_Click();

private:
    // How a label looks while pressed: its frame's colours down and up.
    struct PressedLook {
        QLabel* frame = nullptr;
        unsigned down = 0;
        unsigned up = 0;
    };

    bool edit_mode() const { return m_mode == NoteMode::Edit; }
    void build();
    void build_tools();
    void name_controls();
    void connect_handlers();
    void Form_Load();
    // Esc always, and "2" in a viewer, close the window as Cancel; the key
    // comes back as 0 when it did.
    void Form_KeyPress(int& key_ascii);
    // The double quote is refused with a message (key_ascii becomes 0).
    void Text2_KeyPress(int& key_ascii);
    // Enter finds the next match.
    void Text_Find_KeyPress(int& key_ascii);
    void set_pressed(QObject* label, bool down);
    // The message box of a double quote refused in the reference.
    void say_key_refused();
    void paste(bool rich);
    // The note boxes the tools act on, note first.
    std::vector<richtext::RichTextBox*> boxes() const;
    // The rich box the find searches: the note on tab 0, else the additional
    // note; the note alone in a window without the other fields.
    richtext::RichTextBox* find_target() const;

    NoteMode m_mode;
    NoteWindowProfile m_profile;
    NoteCell m_cell;   // the cell's texts as the window was opened with them
    NoteOpener m_opener;
    bool m_load_stopped = false;
    bool m_note_loaded_null = false;      // the note field was Null at the load
    bool m_addnote_loaded_null = false;
    QColor m_dialog_colour = Qt::black;   // what the colour dialog opens with
    QFont m_dialog_font;                  // what the font dialog opens with
    std::map<QObject*, PressedLook> m_pressed;
    // The chosen swatch, size and font, which their frames mark.
    int m_colour_idx = 5;
    int m_size_idx = 0;
    int m_font_idx = 0;
    int m_start_pos = 0;   // where the next find from the last one starts

    // ---- controls ----------------------------------------------------------
    QTabWidget* SSTab1 = nullptr;
    richtext::RichTextBox* lbl_note = nullptr;
    richtext::RichTextBox* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Frame1 = nullptr;
    std::array<QRadioButton*, 9> OptionBTN{};
    std::array<ui::LabelButton*, 3> note_size{};
    std::array<QLabel*, 3> Label2{};
    std::array<QLabel*, 8> lbl_note_size{};

    std::array<ui::LabelButton*, 48> Label3{};
    std::array<QLabel*, 48> Label28{};
    std::array<ui::LabelButton*, 9> Label4{};
    std::array<QLabel*, 9> Label5{};
    std::array<ui::LabelButton*, 8> Label7{};
    std::array<QLabel*, 8> Label9{};
    ui::LabelButton* Label_more = nullptr;
    QLabel* Label_back = nullptr;
    ui::LabelButton* Label_more2 = nullptr;
    QLabel* Label_back2 = nullptr;
    std::array<ui::LabelButton*, 4> Label8{};
    std::array<QLabel*, 4> Label10{};
    std::array<ui::LabelButton*, 3> Label15{};
    std::array<QLabel*, 3> Label14{};
    ui::LabelButton* Label19 = nullptr;
    QLabel* Label18 = nullptr;
    ui::LabelButton* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    ui::LabelButton* Label23 = nullptr;
    ui::LabelButton* Label24 = nullptr;
    ui::LabelButton* Label27 = nullptr;
    std::array<QLabel*, 3> Label29{};
    QLabel* Label13 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;

    QLabel* Label20 = nullptr;
    QLineEdit* Text_Find = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    std::array<ui::LabelButton*, 3> Label22{};
    std::array<QLabel*, 4> Label21{};
    ui::LabelButton* Label25 = nullptr;
    QLabel* Label26 = nullptr;
};

} // namespace mosswick

#pragma once

#include <QColor>
#include <QString>
#include <QTextEdit>

#include <functional>
#include <optional>

class QMimeData;
class QPagedPaintDevice;

namespace mosswick::richtext {

// The note box: a QTextEdit that behaves as the Windows rich-text box the
// notes were written with. Its members carry that box's property names.
//
// Positions (SelStart, Find) count characters of the document, where a
// paragraph end counts one; Text() reports paragraph ends as "\r\n" (see
// plain_text.h). Getters of selection properties return nullopt when the
// selection is mixed; with nothing selected they report, and setters change,
// the format typing will use.
//
// A note the user did not modify should be stored back verbatim:
// value_for_storage() gives the value last set while content_modified() is
// false, and fresh RTF afterwards; a box loaded Null that shows no text
// gives Null however it was formatted. The box keeps its own document; do not
// replace it with setDocument().
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    // An empty box with the reset format as its typing format.
    explicit RichTextBox(QWidget* parent = nullptr);

    // ---- whole content ------------------------------------------------

    // TextRTF: the content written as RTF (write_rtf).
    QString TextRTF() const;

    // Sets TextRTF. RTF (text starting with "{\rtf") is read; any other text
    // replaces the content as plain text in the current format (that of the
    // first character, or the typing format when the box is empty). The
    // caret goes to the start; the box is left unmodified.
    void setTextRTF(const QString& value);

    // setTextRTF for a value that may be long: keep_going is asked now and
    // then while it is read, and when it says stop the box is left empty,
    // with nothing loaded, and false returned.
    bool setTextRTF(const QString& value, const std::function<bool()>& keep_going);

    // Shows only the first limit characters of a long value, followed by a
    // paragraph of its own saying more (in the reset format); a value within
    // the limit is shown whole. Either way loaded_value() and
    // value_for_storage() give the whole value. True when the value was cut.
    bool set_preview(const QString& value, qsizetype limit, const QString& more);

    // Text: the plain text shown, paragraphs separated by "\r\n"; equal to
    // extract_plain_text() of the value given to setTextRTF.
    QString Text() const;

    // Sets Text: the content becomes plain text in the current format, as
    // setTextRTF does with text that is not RTF. Hides QTextEdit::setText.
    void setText(const QString& value);

    // Loads a .txt or .rtf note file into the box as setTextRTF does with
    // read_note_file()'s value. False, with the reason in error_message and
    // the content unchanged, when the file cannot be read.
    bool load_file(const QString& path, QString* error_message = nullptr);

    // The value last given to setTextRTF or setText (null after a null
    // value), or an empty text after reset_rich_text.
    QString loaded_value() const;

    // Whether the content changed since it was last set: typing, pasting,
    // SelText, the formatting setters and QTextEdit's own setters (clear,
    // setPlainText, ...) change it; setTextRTF, setText, load_file,
    // reset_rich_text and setFontSize do not.
    bool content_modified() const;

    // What a note field should store: loaded_value() while the content is
    // unmodified, else TextRTF().
    QString value_for_storage() const;

    // Replaces the selection by RTF content (plain text when the value is
    // not RTF) and leaves the caret after it.
    void insert_rtf(const QString& rtf);

    // ---- selection ----------------------------------------------------

    // Position where the selection (or the caret) starts.
    int SelStart() const;
    // Moves the caret to a position (clamped to the content), selecting nothing.
    void setSelStart(int position);
    // Number of characters selected.
    int SelLength() const;
    // Selects length characters from SelStart (clamped to the content).
    void setSelLength(int length);

    // The selected text, paragraph ends as "\r\n".
    QString SelText() const;
    // Replaces the selection by plain text in the typing format.
    void setSelText(const QString& text);

    // Colour of the selected text (black for the automatic colour).
    std::optional<QColor> SelColor() const;
    // Colours the selection; an invalid colour means black.
    void setSelColor(const QColor& colour);
    // Font name of the selected text, verbatim.
    std::optional<QString> SelFontName() const;
    // Gives the selection a font by name; an empty name is ignored.
    void setSelFontName(const QString& name);
    // Size of the selected text in points (8.5 for \fs17).
    std::optional<qreal> SelFontSize() const;
    // Sizes the selection; sizes outside 1 to 1638 points are refused
    // (false, nothing changed).
    bool setSelFontSize(qreal points);
    // Whether the selected text is bold.
    std::optional<bool> SelBold() const;
    // Makes the selection bold or not.
    void setSelBold(bool on);
    // Whether the selected text is italic.
    std::optional<bool> SelItalic() const;
    // Makes the selection italic or not.
    void setSelItalic(bool on);
    // Whether the selected text is struck through.
    std::optional<bool> SelStrikeThru() const;
    // Strikes the selection through or not.
    void setSelStrikeThru(bool on);
    // Whether the selected text is underlined.
    std::optional<bool> SelUnderline() const;
    // Underlines the selection or not.
    void setSelUnderline(bool on);
    // Alignment of the selected paragraphs: 0 left, 1 right, 2 centre
    // (justified paragraphs report 0).
    std::optional<int> SelAlignment() const;
    // Aligns the selected paragraphs; codes other than 0, 1 and 2 are
    // refused (false, nothing changed).
    bool setSelAlignment(int code);
    // Whether the selected paragraphs are bulleted.
    std::optional<bool> SelBullet() const;
    // Bullets the selected paragraphs (text half an inch in) or removes
    // their bullets and indents.
    void setSelBullet(bool on);

    // ---- the box ------------------------------------------------------

    // Locked: the user can select and copy but not change the text; the
    // setters above still work.
    bool Locked() const;
    // Locks or unlocks the box (see Locked).
    void setLocked(bool locked);

    // Font.Size: the box's font size. Setting it shows every character of
    // the box in that size; it is a display setting and leaves the box
    // unmodified.
    qreal FontSize() const;
    // Shows the whole box in a size of 1 to 1638 points (others ignored).
    void setFontSize(qreal points);

    // The background colour (the page view marks its selected cell with it).
    QColor back_color() const;
    // Sets the background colour.
    void set_back_color(const QColor& colour);

    // Find: the position of the first match of text at or after start, or
    // -1; options k_find_whole_word (2) and k_find_match_case (4). The match
    // is selected unless k_find_no_highlight (8) is given.
    int Find(const QString& text, int start = 0, int options = 0);

    // Prints the selection, or all of the text when nothing is selected.
    void print_selection_or_all(QPagedPaintDevice& device) const;

    // The shared reset step: text and rich text emptied, the selection's
    // font set to Comic Sans MS 8, black, not bold, italic, struck through
    // or underlined, left-aligned, without bullet, then one blank typed.
    // Callers that want the box empty set its text to "" afterwards, which
    // keeps the reset format as the typing format.
    void reset_rich_text();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    bool load_value(const QString& value, const std::function<bool()>& keep_going);
    bool replace_with_plain(const QString& text, const std::function<bool()>& keep_going = {});
    void merge_selection_format(const QTextCharFormat& format);
    QString raw_text() const;

    QString m_loaded;
    bool m_loading = false; // content is being set by the box itself
    bool m_changed = false; // content changed since it was last set
};

// reset_rich_text on a box (see RichTextBox::reset_rich_text).
void reset_rich_text(RichTextBox& box);

} // namespace mosswick::richtext

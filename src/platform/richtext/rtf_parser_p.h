#pragma once

// Internal to the rich-text layer: the one RTF tokenizer and state machine
// behind both the document reader and the plain-text extractor, so that the
// two can never disagree about which characters a note shows.

#include <QColor>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace mosswick::richtext::detail {

enum class ListKind : std::uint8_t { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

// Character properties of the current RTF group.
struct CharState {
    int font = -1;          // \fN; -1: the document's default font (\deff)
    int half_points = 24;   // \fsN
    int colour = 0;         // \cfN; 0 is the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;    // \v: not shown, so neither read nor extracted
    friend bool operator==(const CharState&, const CharState&) = default;
};

// Paragraph properties of the current RTF group.
struct ParaState {
    std::uint8_t align = 0; // 0 left, 1 right, 2 centre, 3 justified
    int left_twips = 0;     // \li
    int first_twips = 0;    // \fi
    int right_twips = 0;    // \ri
    ListKind pn = ListKind::None; // from a \pn destination
    int ls = 0;             // \ls: list override of the list table
    int ilvl = 0;           // \ilvl
    int list_id = 0;        // which list the paragraph continues
    friend bool operator==(const ParaState&, const ParaState&) = default;
};

struct FontEntry {
    QString name;
    int code_page = 0;      // 0: the document's code page
};

struct ColourEntry {
    bool automatic = true;
    QColor colour;
};

// The document tables, filled as the header is read.
struct Tables {
    std::unordered_map<int, FontEntry> fonts;   // by \f number
    std::vector<ColourEntry> colours;            // by \cf index
    int default_font = 0;
    int document_page = 1252;
    int version = 0;        // bumped whenever a table entry changes

    // The font a character state uses, or nullptr when the table lacks it.
    const FontEntry* font_of(const CharState& ch) const;
    // The explicit colour of a state; invalid for the automatic colour.
    QColor colour_of(const CharState& ch) const;
};

// Receives what the parser reads. Paragraph ends arrive as close (the
// paragraph in hand is complete, with its properties) and open (content
// follows, so a new paragraph starts): the last \par of a document closes
// its last paragraph without opening another, as the rich-text box reads it.
class ParserSink {
public:
    virtual ~ParserSink() = default;
    virtual void text(const QString& run, const CharState& ch, const Tables& tables) = 0;
    virtual void line_break(const CharState& ch, const Tables& tables) = 0;
    virtual void open_paragraph() = 0;
    virtual void close_paragraph(const ParaState& para, ListKind list, const CharState& ch,
                                 const Tables& tables) = 0;
    // Asked after every k_parse_check_interval characters read; false stops
    // the parse where it is.
    virtual bool keep_going() { return true; }
};

inline constexpr qsizetype k_parse_check_interval = 64 * 1024;

// Parses RTF text (which should start with "{\rtf"). Never throws; stops at
// the end of the outermost group or of the input, whichever comes first, or
// when the sink says not to go on. Returns false only in that last case.
bool parse_rtf(QStringView rtf, ParserSink& sink);

} // namespace mosswick::richtext::detail

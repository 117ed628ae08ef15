#pragma once

// Shared by the rich-text tests: notes written the way the Windows
// rich-text box writes them, and a readable description of a document so
// that round trips compare every property the layer keeps.

#include "platform/richtext/rich_format.h"

#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include "support/test_support.h" // readable QString failure messages

namespace richtext_test {

// One short paragraph in the box's reset format, as the box stores it.
inline const QString k_simple_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1033\\f0\\fs16 Holiday in Brittany\\par\r\n"
    "}\r\n");

// Fonts, sizes (one fractional), colours, styles, alignment, tab, line break, cp1252 escapes.
inline const QString k_formatted_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
    "{\\f1\\fnil\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset0 Times New Roman;}{\\f3\\fnil\\fcharset0 MS Sans Serif;}"
    "{\\f4\\fnil\\fcharset0 Fixedsys;}{\\f5\\fnil\\fcharset0 Courier;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\qc\\cf1\\lang1033\\b\\f0\\fs28 Title\\par\r\n"
    "\\pard\\cf3\\b0\\fs16 Plain \\b bold\\b0  \\i italic\\i0  \\ul under\\ulnone  \\strike struck\\strike0 .\\par\r\n"
    "\\pard\\qr\\cf2\\f1\\fs20 Right in Courier New\\par\r\n"
    "\\pard\\cf0\\f2\\fs17 Eight and a half\\tab after tab\\line next line\\par\r\n"
    "\\f3\\fs16 Caf\\'e9 \\'80 5\\f4  fixed\\f5  courier\\par\r\n"
    "}\r\n");

// Bullets in the box's own \pn form, with the \pntext fallback.
inline const QString k_bullet_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
    "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs16 Shopping:\\par\r\n"
    "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-720\\li720 bread\\par\r\n"
    "{\\pntext\\f1\\'B7\\tab}milk\\par\r\n"
    "\\pard after the list\\par\r\n"
    "}\r\n");

// Lists from another writer: \ls paragraphs resolved through the list tables.
inline const QString k_list_table_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u-3913 ?;}"
    "{\\levelnumbers;}\\fi-360\\li720}{\\listname ;}\\listid100}"
    "{\\list\\listtemplateid2{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}"
    "\\fi-360\\li720}\\listid200}}\r\n"
    "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid200\\listoverridecount0\\ls2}}\r\n"
    "\\pard\\plain\\f0\\fs24 Intro\\par\r\n"
    "{\\listtext\\f1\\'b7\\tab}\\pard\\fi-360\\li720\\ls1 apple\\par\r\n"
    "{\\listtext\\f1\\'b7\\tab}pear\\par\r\n"
    "{\\listtext 1.\\tab}\\pard\\fi-360\\li720\\ls2 first\\par\r\n"
    "{\\listtext 2.\\tab}second\\par\r\n"
    "}\r\n");

// Destinations that show nothing, next to a field result that shows.
inline const QString k_hidden_parts_note = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}{\\*\\generator Riched20 10.0.19041}"
    "{\\info{\\title secret title}{\\author someone}}{\\stylesheet{\\s0 Normal;}}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 A{\\pict\\wmetafile8\\picw100\\pich100 0123456789abcdef}B"
    "{\\object\\objemb{\\*\\objdata 01020304}{\\result obj}}C"
    "{\\field{\\*\\fldinst HYPERLINK \"http://example.org\"}{\\fldrslt link}}D"
    "{\\*\\unknowndestination hidden}E{\\v invisible}F{\\pict\\bin6 }{\\}x}}G\\bin3 xyzH\\par\r\n"
    "}\r\n");

// The box's own samples above, for checks that hold for every note.
inline const QStringList k_box_samples = {k_simple_note, k_formatted_note, k_bullet_note, k_list_table_note,
                                          k_hidden_parts_note};

// Describes a document: one line per paragraph with its properties, then
// its runs as [font|size|colour|BIUS]text.
inline QString describe(const QTextDocument& doc)
{
    using namespace mosswick::richtext;
    QStringList lines;
    auto run = [&](const QTextCharFormat& f) {
        QString styles;
        styles += is_bold(f) ? u'B' : u'-';
        styles += f.fontItalic() ? u'I' : u'-';
        styles += is_underlined(f) ? u'U' : u'-';
        styles += f.fontStrikeOut() ? u'S' : u'-';
        return QStringLiteral("[%1|%2|%3|%4]")
            .arg(font_name_of(f, doc.defaultFont()))
            .arg(font_size_of(f, doc.defaultFont()))
            .arg(has_explicit_colour(f) ? colour_of(f).name() : QStringLiteral("auto"))
            .arg(styles);
    };
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const bool listed = list_style_of(b) != ListStyle::None;
        const ParagraphIndents in = indents_of(b.blockFormat(), listed);
        QString line = QStringLiteral("P a%1 li%2 fi%3 ri%4 list%5 ")
                           .arg(alignment_code(b.blockFormat().alignment()))
                           .arg(in.left_twips)
                           .arg(in.first_twips)
                           .arg(in.right_twips)
                           .arg(int(list_style_of(b)));
        if (b.length() <= 1)
            line += QStringLiteral("empty") + run(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QString text = it.fragment().text();
            text.replace(QChar::LineSeparator, QStringLiteral("<LS>"));
            text.replace(u'\t', QStringLiteral("<TAB>"));
            line += run(it.fragment().charFormat()) + text;
        }
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace richtext_test

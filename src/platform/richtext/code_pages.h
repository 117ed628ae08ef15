#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

namespace mosswick::richtext {

// The Windows code pages that RTF names with \ansicpg, \cpg and \fcharset.
// Bytes of a single-byte page decode through a 256-entry table; the few
// multi-byte pages (932, 936, 949, 950, 65001) also tell how long a
// character is from its first byte.
class CodePage {
public:
    // The decoder for a code page number; an unknown number gives cp1252,
    // the page the rich-text box assumes by default. Thread-safe; the
    // returned object lives until the program ends.
    static const CodePage& get(int number);

    // The code page a font's \fcharset selects; document_page for the
    // charsets that defer to the document (1, default) or are unknown.
    static int for_charset(int charset, int document_page);

    // The page number actually used (cp1252 for unknown numbers).
    int number() const { return m_number; }

    // Bytes in the character that starts with this byte (1 for single-byte
    // pages and for bytes that start no longer sequence).
    int sequence_length(unsigned char first) const { return m_length[first]; }

    // The character for one byte of a single-byte sequence.
    char16_t byte(unsigned char b) const { return m_table[b]; }

    // Decodes one complete multi-byte sequence; U+FFFD when it is invalid.
    QString decode_sequence(QByteArrayView bytes) const;

    // Builds the tables of a page the converter knows by name (nullptr:
    // cp1252). Use get(), which shares one instance per page.
    CodePage(int number, const char* name);

private:
    int m_number;
    const char* m_name;
    std::array<char16_t, 256> m_table{};
    std::array<unsigned char, 256> m_length{};
};

// The cp1252 byte of a character, or -1 when cp1252 has none (the writer
// escapes those as \uN).
int cp1252_byte(char16_t c);

} // namespace mosswick::richtext

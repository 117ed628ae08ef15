#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <memory>
#include <mutex>
#include <vector>

namespace mosswick::richtext {

namespace detail {
class Converter;
struct PageSpec;
} // namespace detail

// The code pages, by their Windows numbers, that RTF names with \ansicpg, \cpg, \fcharset,
// \mac, \pc and \pca: every one that Qt's converters (ICU) or iconv can
// decode. Bytes of a single-byte page decode through a 256-entry table; a
// multi-byte page also tells how long a character is from its first byte,
// and decodes its two-byte characters through a table filled once.
class CodePage {
public:
    // The decoder for a code page number; an unknown number, or one no
    // converter can decode here, gives cp1252, the page the rich-text box
    // assumes by default. Thread-safe; the returned object lives until the
    // program ends.
    static const CodePage& get(int number);

    // The code page a font's \fcharset selects; document_page for the
    // charsets that defer to the document (1, default), are unknown or
    // name a page no converter decodes. In a note written with \mac a
    // Windows charset selects its Mac counterpart where that decodes.
    static int for_charset(int charset, int document_page, bool mac = false);

    // The page number actually used (cp1252 for unknown numbers).
    int number() const { return m_number; }

    // Bytes in the character that starts with this byte (1 for single-byte
    // pages and for bytes that start no longer sequence).
    int sequence_length(unsigned char first) const { return m_length[first]; }

    // Bytes in the character that starts with first and second when the
    // second byte makes it longer than sequence_length(first) said (the
    // four-byte characters of GB18030); 0 when it does not.
    int extended_length(unsigned char first, unsigned char second) const;

    // The character for one byte of a single-byte sequence.
    char16_t byte(unsigned char b) const { return m_table[b]; }

    // Decodes one complete multi-byte sequence; U+FFFD when it is invalid.
    QString decode_sequence(QByteArrayView bytes) const;

    // Builds the tables of a page from its converter (nullptr: cp1252).
    // Use get(), which shares one instance per page.
    CodePage(int number, const detail::PageSpec* spec, std::unique_ptr<detail::Converter> converter);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

private:
    QString decode_live(QByteArrayView bytes) const;

    int m_number;
    const detail::PageSpec* m_spec;
    std::array<char16_t, 256> m_table{};
    std::array<unsigned char, 256> m_length{};
    // Two-byte characters by (lead - 0x80) * 256 + trail, for the leads of
    // length 2; k_not_tabled where the converter gave more than one unit.
    std::vector<char16_t> m_pairs;
    std::unique_ptr<detail::Converter> m_converter;
    mutable std::mutex m_converter_mutex;   // converters keep state while they work
};

// The cp1252 byte of a character, or -1 when cp1252 has none (the writer
// escapes those as \uN).
int cp1252_byte(char16_t c);

} // namespace mosswick::richtext

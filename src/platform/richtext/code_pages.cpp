#include "platform/richtext/code_pages.h"

#include <QStringDecoder>

#include <iconv.h>
#include <map>
#include <optional>

namespace mosswick::richtext {

namespace detail {

// How long a character is, by its first byte.
enum class Lead : unsigned char {
    Single,    // one byte each
    ShiftJis,  // 81-9F and E0-FC start two bytes
    Dbcs,      // 81-FE start two bytes
    Johab,     // 84-D3, D8-DE and E0-F9 start two bytes
    EucJp,     // 8E and A1-FE start two bytes, 8F three
    Euc,       // A1-FE start two bytes
    Gb18030,   // 81-FE start two bytes, or four when the second is a digit
    Utf8,
};

// A single byte that a page decodes otherwise than the converter it borrows.
struct ByteOverride {
    unsigned char byte;
    char16_t character;
};

struct PageSpec {
    int number;
    std::array<const char*, 2> names;   // as Qt (ICU) knows it, then as iconv does
    Lead lead = Lead::Single;
    std::array<ByteOverride, 6> overrides{};   // each a character of its own, never a lead byte
};

// One converter of a page's bytes to text: Qt's when it knows one of the
// names (ICU-backed builds know most pages), else iconv's. Not thread-safe.
class Converter {
public:
    // Takes a name Qt knows, or (with an empty name) an open iconv descriptor.
    Converter(QByteArray qt_name, iconv_t cd) : m_qt_name(std::move(qt_name)), m_iconv(cd) {}

    static std::unique_ptr<Converter> open(const std::array<const char*, 2>& names)
    {
        for (const char* name : names)
            if (name && QStringDecoder(name).isValid())
                return std::make_unique<Converter>(QByteArray(name), iconv_t(-1));
        for (const char* name : names) {
            if (!name)
                continue;
            const iconv_t cd = ::iconv_open("UTF-8", name);
            if (cd != iconv_t(-1))
                return std::make_unique<Converter>(QByteArray(), cd);
        }
        return nullptr;
    }

    ~Converter()
    {
        if (m_iconv != iconv_t(-1))
            ::iconv_close(m_iconv);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The text of one complete sequence; nullopt when the converter finds
    // it invalid, incomplete or unmapped.
    std::optional<QString> decode(QByteArrayView bytes)
    {
        if (m_iconv == iconv_t(-1)) {
            // Stateless and fresh each time: nothing of one sequence carries
            // into the next.
            QStringDecoder decoder(m_qt_name.constData(), QStringConverter::Flag::Stateless);
            const QString s = decoder.decode(bytes);
            if (decoder.hasError() || s.isEmpty())
                return std::nullopt;
            return s;
        }
        ::iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
        char out[32];
        char* in = const_cast<char*>(bytes.data());
        size_t in_left = size_t(bytes.size());
        char* put = out;
        size_t out_left = sizeof out;
        if (::iconv(m_iconv, &in, &in_left, &put, &out_left) == size_t(-1) || in_left != 0)
            return std::nullopt;
        // Some converters hold a base letter back for a combining mark that
        // may follow: the sequence is complete, so it is let out.
        if (::iconv(m_iconv, nullptr, nullptr, &put, &out_left) == size_t(-1))
            return std::nullopt;
        if (put == out)
            return std::nullopt;
        return QString::fromUtf8(out, put - out);
    }

private:
    QByteArray m_qt_name;
    iconv_t m_iconv;
};

} // namespace detail

namespace {

using detail::ByteOverride;
using detail::Lead;
using detail::PageSpec;

// cp1252 as Windows decodes it: the five unassigned bytes map to the C1
// controls of the same value, so every byte survives a round trip.
constexpr std::array<char16_t, 32> k_cp1252_high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// A two-byte character the table does not hold (the converter gave more
// than one UTF-16 unit for it): it is decoded when met.
constexpr char16_t k_not_tabled = 0xFFFF;

// Every page a Windows program writes into RTF that a converter here can
// decode, by the Windows number. Apple's East Asian pages have no converter
// here: each borrows the one of the page its two-byte characters share, and
// gives the single bytes where Apple's table differs.
const PageSpec k_pages[] = {
    {437, {"IBM437", "CP437"}},
    {708, {"ASMO-708", "ASMO-708"}},
    {720, {"ibm-720", "CP720"}},
    {737, {"ibm-737", "CP737"}},
    {775, {"ibm-775", "CP775"}},
    {850, {"IBM850", "CP850"}},
    {852, {"IBM852", "CP852"}},
    {855, {"IBM855", "CP855"}},
    {857, {"IBM857", "CP857"}},
    {858, {"IBM858", "CP858"}},
    {860, {"IBM860", "CP860"}},
    {861, {"IBM861", "CP861"}},
    {862, {"IBM862", "CP862"}},
    {863, {"IBM863", "CP863"}},
    {864, {"IBM864", "CP864"}},
    {865, {"IBM865", "CP865"}},
    {866, {"IBM866", "CP866"}},
    {869, {"IBM869", "CP869"}},
    {874, {"windows-874", "CP874"}},
    {932, {"windows-31j", "CP932"}, Lead::ShiftJis},
    {936, {"GBK", "CP936"}, Lead::Dbcs},
    {949, {"windows-949", "CP949"}, Lead::Dbcs},
    {950, {"windows-950", "CP950"}, Lead::Dbcs},
    {1250, {"windows-1250", "CP1250"}},
    {1251, {"windows-1251", "CP1251"}},
    {1253, {"windows-1253", "CP1253"}},
    {1254, {"windows-1254", "CP1254"}},
    {1255, {"windows-1255", "CP1255"}},
    {1256, {"windows-1256", "CP1256"}},
    {1257, {"windows-1257", "CP1257"}},
    {1258, {"windows-1258", "CP1258"}},
    {1361, {"JOHAB", "CP1361"}, Lead::Johab},
    {10000, {"macintosh", "MACINTOSH"}},
    {10001, {"Shift_JIS", "SHIFT_JIS"}, Lead::ShiftJis,
     {{{0x5C, 0x00A5}, {0x80, 0x005C}, {0xA0, 0x00A0}, {0xFD, 0x00A9}, {0xFE, 0x2122}, {0xFF, 0x2026}}}},
    {10002, {"windows-950", "CP950"}, Lead::Euc,
     {{{0x80, 0x005C}, {0xA0, 0x00A0}, {0xFD, 0x00A9}, {0xFE, 0x2122}, {0xFF, 0x2026}}}},
    {10003, {"windows-949", "CP949"}, Lead::Euc,
     {{{0x80, 0x00A0}, {0x81, 0x20A9}, {0x82, 0x2014}, {0x83, 0x00A9}, {0xFE, 0x2122}, {0xFF, 0x2026}}}},
    {10006, {"x-mac-greek", "MAC-GREEK"}},
    {10007, {"x-mac-cyrillic", "MAC-CYRILLIC"}},
    {10017, {"x-mac-ukrainian", "MACUKRAINIAN"}},
    {10029, {"x-mac-centraleurroman", "MAC-CENTRALEUROPE"}},
    {10079, {"x-mac-icelandic", "MAC-IS"}},
    {10008, {"GBK", "CP936"}, Lead::Euc,
     {{{0x80, 0x00FC}, {0xA0, 0x00A0}, {0xFD, 0x00A9}, {0xFE, 0x2122}, {0xFF, 0x2026}}}},
    {10081, {"x-mac-turkish", "MAC-TURKISH"}},
    {20866, {"KOI8-R", "KOI8-R"}},
    {20932, {"EUC-JP", "EUC-JP"}, Lead::EucJp},
    {20936, {"GB2312", "GB2312"}, Lead::Euc},
    {21866, {"KOI8-U", "KOI8-U"}},
    {28591, {"ISO-8859-1", "ISO-8859-1"}},
    {28592, {"ISO-8859-2", "ISO-8859-2"}},
    {28593, {"ISO-8859-3", "ISO-8859-3"}},
    {28594, {"ISO-8859-4", "ISO-8859-4"}},
    {28595, {"ISO-8859-5", "ISO-8859-5"}},
    {28596, {"ISO-8859-6", "ISO-8859-6"}},
    {28597, {"ISO-8859-7", "ISO-8859-7"}},
    {28598, {"ISO-8859-8", "ISO-8859-8"}},
    {28599, {"ISO-8859-9", "ISO-8859-9"}},
    {28603, {"ISO-8859-13", "ISO-8859-13"}},
    {28605, {"ISO-8859-15", "ISO-8859-15"}},
    {51932, {"EUC-JP", "EUC-JP"}, Lead::EucJp},
    {51936, {"GB2312", "GB2312"}, Lead::Euc},
    {51949, {"EUC-KR", "EUC-KR"}, Lead::Euc},
    {54936, {"GB18030", "GB18030"}, Lead::Gb18030},
    {65001, {"UTF-8", "UTF-8"}, Lead::Utf8},
};

// The page each \fcharset names, and its Mac counterpart, which a note
// written with \mac means by it.
struct CharsetPages {
    int charset;
    int page;
    int mac_page = 0;
};

const CharsetPages k_charsets[] = {
    {0, 1252, 10000},   // ANSI
    {2, 1252},          // symbol fonts: bytes shown as cp1252 text
    {77, 10000},        // Mac Roman
    {78, 10001},        // Mac Shift-JIS
    {79, 10003},        // Mac Hangul
    {80, 10008},        // Mac GB2312
    {81, 10002},        // Mac Big5
    {83, 10005},        // Mac Hebrew
    {84, 10004},        // Mac Arabic
    {85, 10006},        // Mac Greek
    {86, 10081},        // Mac Turkish
    {87, 10021},        // Mac Thai
    {88, 10029},        // Mac Central European
    {89, 10007},        // Mac Cyrillic
    {128, 932, 10001},  // Shift-JIS
    {129, 949, 10003},  // Hangul
    {130, 1361},        // Johab
    {134, 936, 10008},  // GB2312
    {136, 950, 10002},  // Big5
    {161, 1253, 10006}, // Greek
    {162, 1254, 10081}, // Turkish
    {163, 1258},        // Vietnamese
    {177, 1255, 10005}, // Hebrew
    {178, 1256, 10004}, // Arabic
    {186, 1257},        // Baltic
    {204, 1251, 10007}, // Cyrillic
    {222, 874, 10021},  // Thai
    {238, 1250, 10029}, // Eastern Europe
    {254, 437},         // PC 437
    {255, 850},         // OEM
};

const PageSpec* spec_of(int number)
{
    for (const PageSpec& p : k_pages)
        if (p.number == number)
            return &p;
    return nullptr;
}

void set_lengths(std::array<unsigned char, 256>& length, int from, int to, unsigned char n)
{
    for (int b = from; b <= to; ++b)
        length[size_t(b)] = n;
}

void fill_lengths(Lead lead, std::array<unsigned char, 256>& length)
{
    switch (lead) {
    case Lead::Single:
        break;
    case Lead::ShiftJis:
        set_lengths(length, 0x81, 0x9F, 2);
        set_lengths(length, 0xE0, 0xFC, 2);
        break;
    case Lead::Dbcs:
    case Lead::Gb18030:
        set_lengths(length, 0x81, 0xFE, 2);
        break;
    case Lead::Johab:
        set_lengths(length, 0x84, 0xD3, 2);
        set_lengths(length, 0xD8, 0xDE, 2);
        set_lengths(length, 0xE0, 0xF9, 2);
        break;
    case Lead::EucJp:
        set_lengths(length, 0xA1, 0xFE, 2);
        length[0x8E] = 2;
        length[0x8F] = 3;
        break;
    case Lead::Euc:
        set_lengths(length, 0xA1, 0xFE, 2);
        break;
    case Lead::Utf8:
        set_lengths(length, 0xC2, 0xDF, 2);
        set_lengths(length, 0xE0, 0xEF, 3);
        set_lengths(length, 0xF0, 0xF4, 4);
        break;
    }
}

// Some converters answer an unmapped byte or sequence with SUB (U+001A).
QString without_sub(QString s)
{
    s.replace(QChar(0x1A), QChar(0xFFFD));
    return s;
}

} // namespace

CodePage::CodePage(int number, const PageSpec* spec, std::unique_ptr<detail::Converter> converter)
    : m_number(number), m_spec(spec), m_converter(std::move(converter))
{
    m_length.fill(1);
    for (int b = 0; b < 0x80; ++b)
        m_table[size_t(b)] = char16_t(b);
    if (!m_converter) {
        for (int b = 0x80; b < 0x100; ++b)
            m_table[size_t(b)] = b < 0xA0 ? k_cp1252_high[size_t(b - 0x80)] : char16_t(b);
        return;
    }
    // Single bytes one at a time, so that lead bytes of multi-byte pages
    // come out as U+FFFD rather than swallowing the next table entry.
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte_value = char(b);
        const std::optional<QString> s = m_converter->decode(QByteArrayView(&byte_value, 1));
        const bool mapped = s && s->size() == 1 && s->at(0).unicode() != 0x1A;
        m_table[size_t(b)] = mapped ? char16_t(s->at(0).unicode()) : char16_t(0xFFFD);
    }
    for (const ByteOverride& o : m_spec->overrides)
        if (o.byte)
            m_table[o.byte] = o.character;
    fill_lengths(m_spec->lead, m_length);
    for (const ByteOverride& o : m_spec->overrides)
        if (o.byte)
            m_length[o.byte] = 1;
    if (m_spec->lead == Lead::Utf8)
        return;   // decoded by Qt's own UTF-8 decoder, which needs no table

    // Every two-byte character decoded once, so that reading a note asks no
    // converter (and takes no lock) for them.
    m_pairs.assign(128 * 256, char16_t(0xFFFD));
    for (int lead = 0x80; lead < 0x100; ++lead) {
        if (m_length[size_t(lead)] != 2)
            continue;
        for (int trail = 0; trail < 0x100; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const std::optional<QString> s = m_converter->decode(QByteArrayView(pair, 2));
            char16_t& entry = m_pairs[size_t((lead - 0x80) * 256 + trail)];
            if (!s)
                entry = 0xFFFD;
            else if (s->size() == 1 && s->at(0).unicode() != k_not_tabled)
                entry = s->at(0).unicode() == 0x1A ? char16_t(0xFFFD) : char16_t(s->at(0).unicode());
            else
                entry = k_not_tabled;
        }
    }
}

CodePage::~CodePage() = default;

const CodePage& CodePage::get(int number)
{
    static const CodePage cp1252(1252, nullptr, nullptr);
    const PageSpec* spec = spec_of(number);
    if (!spec)
        return cp1252;

    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;   // nullptr: no converter here
    const std::lock_guard lock(mutex);
    auto it = pages.find(number);
    if (it == pages.end()) {
        std::unique_ptr<detail::Converter> converter = detail::Converter::open(spec->names);
        std::unique_ptr<CodePage> page;
        if (converter)
            page = std::make_unique<CodePage>(number, spec, std::move(converter));
        it = pages.emplace(number, std::move(page)).first;
    }
    return it->second ? *it->second : cp1252;
}

int CodePage::for_charset(int charset, int document_page, bool mac)
{
    for (const CharsetPages& c : k_charsets) {
        if (c.charset != charset)
            continue;
        // A Mac page no converter decodes leaves the Windows one.
        for (const int page : {mac ? c.mac_page : 0, c.page})
            if (page && get(page).number() == page)
                return page;
        break;
    }
    return document_page;
}

int CodePage::extended_length(unsigned char first, unsigned char second) const
{
    if (!m_spec || m_spec->lead != Lead::Gb18030 || m_length[first] != 2)
        return 0;
    return second >= '0' && second <= '9' ? 4 : 0;
}

QString CodePage::decode_sequence(QByteArrayView bytes) const
{
    if (!m_converter || bytes.isEmpty())
        return QString(QChar(0xFFFD));
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2 && !m_pairs.empty() && lead >= 0x80 && m_length[lead] == 2) {
        const char16_t c = m_pairs[size_t((lead - 0x80) * 256 + static_cast<unsigned char>(bytes[1]))];
        if (c != k_not_tabled)
            return QString(QChar(c));
    }
    if (m_spec->lead == Lead::Utf8) {
        // Qt's own decoder: cheap to make and safe on any thread.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString s = utf8.decode(bytes);
        return utf8.hasError() || s.isEmpty() ? QString(QChar(0xFFFD)) : s;
    }
    return decode_live(bytes);
}

QString CodePage::decode_live(QByteArrayView bytes) const
{
    const std::lock_guard lock(m_converter_mutex);
    const std::optional<QString> s = m_converter->decode(bytes);
    return s ? without_sub(*s) : QString(QChar(0xFFFD));
}

int cp1252_byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (k_cp1252_high[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

} // namespace mosswick::richtext

#include "platform/richtext/rtf_parser_p.h"

#include "platform/richtext/code_pages.h"
#include "platform/richtext/rich_format.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mosswick::richtext::detail {

namespace {

// Bounds that keep hostile input from costing unbounded memory: groups
// deeper than this share the state of the deepest kept group, and tables
// stop growing at these sizes.
constexpr std::size_t k_max_depth = 512;
constexpr std::size_t k_max_fonts = 4096;
constexpr std::size_t k_max_colours = 4096;
constexpr std::size_t k_max_lists = 1024;
constexpr qsizetype k_max_font_name = 1024; // collected; kept names are shorter
constexpr int k_max_twips = 31680;      // 22 inches, the widest page Windows prints
constexpr int k_max_half_points = 3276; // 1638 points, the box's largest size

enum class Dest : std::uint8_t {
    Normal, Skip, FontTable, ColourTable, ListTable, List, ListLevel, OverrideTable, Override, Pn, Upr
};

enum class Kw : std::uint8_t {
    Unknown, SkipDest,
    // destinations we read
    fonttbl, colortbl, listtable, list, listlevel, listoverridetable, listoverride, pn, upr, ud,
    // characters
    b, i, ul, ulnone, strike, v, f, fs, cf, plain,
    // paragraphs
    pard, ql, qr, qc, qj, li, fi, ri, ls, ilvl,
    pnlvlblt, pnlvlbody, pnlvlcont, pnlvl, pndec, pnucltr, pnlcltr, pnucrm, pnlcrm, pnrestart,
    listid, levelnfc,
    // document
    ansi, mac, pc, pca, ansicpg, deff, fcharset, cpg, red, green, blue,
    // content
    par, line, tab, cell, row, bullet, emdash, endash, emspace, enspace, qmspace,
    lquote, rquote, ldblquote, rdblquote, zwj, zwnj, ltrmark, rtlmark, u, uc, bin,
};

// The control words we know, in a flat open-addressed table: looking a
// word up is the extractor's most frequent step after scanning text.
class KeywordTable {
public:
    void emplace(std::string_view name, Kw kw)
    {
        if (name.size() > k_longest)
            return;
        for (std::size_t i = slot_of(name);; i = (i + 1) & (k_slots - 1)) {
            Slot& s = m_slots[i];
            if (s.length == 0) {
                s.length = std::uint8_t(name.size());
                std::copy(name.begin(), name.end(), s.name.begin());
                s.kw = kw;
                return;
            }
            if (s.view() == name)
                return;   // the first entry of a name stands
        }
    }

    Kw find(std::string_view name) const
    {
        if (name.empty() || name.size() > k_longest)
            return Kw::Unknown;
        for (std::size_t i = slot_of(name);; i = (i + 1) & (k_slots - 1)) {
            const Slot& s = m_slots[i];
            if (s.length == 0)
                return Kw::Unknown;
            if (s.view() == name)
                return s.kw;
        }
    }

private:
    static constexpr std::size_t k_slots = 1024;   // a power of two, well above the word count
    static constexpr std::size_t k_longest = 22;

    struct Slot {
        std::uint8_t length = 0;
        std::array<char, k_longest> name{};
        Kw kw = Kw::Unknown;
        std::string_view view() const { return std::string_view(name.data(), length); }
    };

    static std::size_t slot_of(std::string_view name)
    {
        std::size_t h = name.size();
        for (char c : name)
            h = h * 31 + static_cast<unsigned char>(c);
        return (h ^ (h >> 7)) & (k_slots - 1);
    }

    std::array<Slot, k_slots> m_slots{};
};

const KeywordTable& keywords()
{
    static const KeywordTable table = [] {
        KeywordTable t;
        // Destinations whose content is never shown.
        for (std::string_view s : {
                 "stylesheet", "info", "pict", "object", "fldinst", "pntext", "pntxta", "pntxtb",
                 "listtext", "listname", "leveltext", "levelnumbers", "header", "headerl", "headerr",
                 "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "annotation",
                 "atnid", "atnauthor", "atntime", "atnref", "atrfstart", "atrfend", "xe", "tc", "txe",
                 "rxe", "bkmkstart", "bkmkend", "themedata", "colorschememapping", "latentstyles",
                 "datastore", "xmlnstbl", "rsidtbl", "generator", "filetbl", "revtbl", "private",
                 "userprops", "docvar", "nonshppict", "shppict", "shp", "shpinst", "sp", "sn", "sv",
                 "do", "fontemb", "fontfile", "falt", "panose", "fname", "template", "comment",
                 "author", "operator", "title", "subject", "keywords", "doccomm", "company",
                 "category", "hlinkbase", "manager", "creatim", "revtim", "printim", "buptim",
                 "pgdsctbl", "mmathPr", "wgrffmtfilter", "objdata", "objclass", "objname", "result",
                 "picprop", "blipuid", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn",
                 "listpicture", "pnseclvl", "protusertbl", "formfield", "datafield", "ffname",
                 "passwordhash", "password", "oldcprops", "oldpprops", "oldtprops", "oldsprops"})
            t.emplace(s, Kw::SkipDest);
        const std::pair<std::string_view, Kw> words[] = {
            {"fonttbl", Kw::fonttbl}, {"colortbl", Kw::colortbl}, {"listtable", Kw::listtable},
            {"list", Kw::list}, {"listlevel", Kw::listlevel},
            {"listoverridetable", Kw::listoverridetable}, {"listoverride", Kw::listoverride},
            {"pn", Kw::pn}, {"upr", Kw::upr}, {"ud", Kw::ud},
            {"b", Kw::b}, {"i", Kw::i}, {"ul", Kw::ul}, {"uld", Kw::ul}, {"uldash", Kw::ul},
            {"uldashd", Kw::ul}, {"uldashdd", Kw::ul}, {"uldb", Kw::ul}, {"ulhwave", Kw::ul},
            {"ulldash", Kw::ul}, {"ulth", Kw::ul}, {"ulthd", Kw::ul}, {"ulthdash", Kw::ul},
            {"ulthdashd", Kw::ul}, {"ulthdashdd", Kw::ul}, {"ulthldash", Kw::ul},
            {"ululdbwave", Kw::ul}, {"ulw", Kw::ul}, {"ulwave", Kw::ul}, {"ulnone", Kw::ulnone},
            {"strike", Kw::strike}, {"striked", Kw::strike}, {"v", Kw::v}, {"f", Kw::f},
            {"fs", Kw::fs}, {"cf", Kw::cf}, {"plain", Kw::plain},
            {"pard", Kw::pard}, {"ql", Kw::ql}, {"qr", Kw::qr}, {"qc", Kw::qc}, {"qj", Kw::qj},
            {"qd", Kw::qj}, {"li", Kw::li}, {"lin", Kw::li}, {"fi", Kw::fi}, {"ri", Kw::ri},
            {"rin", Kw::ri}, {"ls", Kw::ls}, {"ilvl", Kw::ilvl},
            {"pnlvlblt", Kw::pnlvlblt}, {"pnlvlbody", Kw::pnlvlbody}, {"pnlvlcont", Kw::pnlvlcont},
            {"pnlvl", Kw::pnlvl}, {"pndec", Kw::pndec}, {"pnucltr", Kw::pnucltr},
            {"pnlcltr", Kw::pnlcltr}, {"pnucrm", Kw::pnucrm}, {"pnlcrm", Kw::pnlcrm},
            {"pnrestart", Kw::pnrestart},
            {"listid", Kw::listid}, {"levelnfc", Kw::levelnfc}, {"levelnfcn", Kw::levelnfc},
            {"ansi", Kw::ansi}, {"mac", Kw::mac}, {"pc", Kw::pc}, {"pca", Kw::pca},
            {"ansicpg", Kw::ansicpg}, {"deff", Kw::deff}, {"fcharset", Kw::fcharset},
            {"cpg", Kw::cpg}, {"red", Kw::red}, {"green", Kw::green}, {"blue", Kw::blue},
            {"par", Kw::par}, {"sect", Kw::par}, {"page", Kw::par}, {"line", Kw::line},
            {"tab", Kw::tab}, {"cell", Kw::cell}, {"nestcell", Kw::cell}, {"row", Kw::row},
            {"nestrow", Kw::row}, {"bullet", Kw::bullet}, {"emdash", Kw::emdash},
            {"endash", Kw::endash}, {"emspace", Kw::emspace}, {"enspace", Kw::enspace},
            {"qmspace", Kw::qmspace}, {"lquote", Kw::lquote}, {"rquote", Kw::rquote},
            {"ldblquote", Kw::ldblquote}, {"rdblquote", Kw::rdblquote}, {"zwj", Kw::zwj},
            {"zwnj", Kw::zwnj}, {"ltrmark", Kw::ltrmark}, {"rtlmark", Kw::rtlmark},
            {"u", Kw::u}, {"uc", Kw::uc}, {"bin", Kw::bin},
        };
        for (const auto& [name, kw] : words)
            t.emplace(name, kw);
        return t;
    }();
    return table;
}

bool is_letter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char16_t c) { return c >= '0' && c <= '9'; }
bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

int hex_value(char16_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

ListKind kind_of_number_format(int nfc)
{
    switch (nfc) {
    case 0: return ListKind::Decimal;
    case 1: return ListKind::UpperRoman;
    case 2: return ListKind::LowerRoman;
    case 3: return ListKind::UpperAlpha;
    case 4: return ListKind::LowerAlpha;
    case 23: return ListKind::Bullet;
    case 255: return ListKind::None;
    default: return ListKind::Decimal;
    }
}

// A character that ends a run of plain text: markup, controls, and what
// must be mapped or paired before it reaches the document.
bool ends_plain_text(char16_t c)
{
    return c < 0x20 || c == '\\' || c == '{' || c == '}' || (c >= 0xD800 && c <= 0xDFFF) || c == 0x2028
        || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// The first character from p on that ends a run of plain text, or end.
// Eight characters at a time where the processor allows: a block with no
// markup and nothing above U+2027 or below a blank is plain throughout.
const char16_t* end_of_plain_text(const char16_t* p, const char16_t* end)
{
#if defined(__SSE2__)
    const __m128i blank = _mm_set1_epi16(0x20);
    const __m128i high = _mm_set1_epi16(0x2027);
    const __m128i backslash = _mm_set1_epi16('\\');
    const __m128i open = _mm_set1_epi16('{');
    const __m128i close = _mm_set1_epi16('}');
    while (end - p >= 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // Signed compares: units from U+8000 count as below a blank, and are looked at one by one.
        const __m128i suspect =
            _mm_or_si128(_mm_or_si128(_mm_cmplt_epi16(v, blank), _mm_cmpgt_epi16(v, high)),
                         _mm_or_si128(_mm_cmpeq_epi16(v, backslash),
                                      _mm_or_si128(_mm_cmpeq_epi16(v, open), _mm_cmpeq_epi16(v, close))));
        if (_mm_movemask_epi8(suspect) != 0) {
            for (int i = 0; i < 8; ++i)
                if (ends_plain_text(p[i]))
                    return p + i;
        }
        p += 8;
    }
#endif
    while (p < end && !ends_plain_text(*p))
        ++p;
    return p;
}

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Normal;
    int uc = 1;
    bool star = false;
};

struct ListDef {
    int id = 0;
    int levels = 0;
    std::array<int, 9> nfc{};
};

struct ListOverride {
    int ls = 0;
    int list_id = 0;
};

class Parser {
public:
    Parser(QStringView in, ParserSink& sink)
        : m_p(reinterpret_cast<const char16_t*>(in.utf16())), m_end(m_p + in.size()), m_sink(sink)
    {
        m_stack.reserve(32);
        m_stack.push_back(Group{});
    }

    bool run()
    {
        const char16_t* const start = m_p;
        qsizetype next_check = k_parse_check_interval;
        while (m_p < m_end && !m_done) {
            if (m_p - start >= next_check) {
                if (!m_sink.keep_going())
                    return false;
                next_check = (m_p - start) + k_parse_check_interval;
            }
            const char16_t c = *m_p;
            if (c == '{') {
                ++m_p;
                open_group();
            } else if (c == '}') {
                ++m_p;
                close_group();
            } else if (c == '\\') {
                ++m_p;
                control();
            } else if (c == '\r' || c == '\n') {
                ++m_p;
            } else {
                text_run();
            }
        }
        if (!m_done)
            finish();
        return true;
    }

private:
    Group& top() { return m_stack.back(); }

    // ---- groups ----------------------------------------------------------

    void open_group()
    {
        flush_partial();
        m_skip = 0;
        if (m_stack.size() > k_max_depth) {
            ++m_overflow;
            return;
        }
        Group g = top();
        g.star = false;
        m_stack.push_back(g);
    }

    void close_group()
    {
        flush_partial();
        m_skip = 0;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        if (top().dest == Dest::FontTable)
            commit_font();
        if (m_stack.size() <= 1)
            return; // a stray closing brace before any group opened
        if (m_stack.size() == 2) {
            // The outermost group ends the document; what follows is not RTF.
            finish();
            return;
        }
        m_stack.pop_back();
    }

    // Changes the destination of the current group; groups past the depth
    // bound share their state, so a destination there is skipped instead.
    void set_dest(Dest d)
    {
        if (m_overflow > 0 || m_stack.size() <= 1) {
            skip_group();
            return;
        }
        top().dest = d;
    }

    // Skips the rest of the current group without interpreting it: pictures
    // and other hidden destinations are most of a large note's bytes.
    void skip_group()
    {
        if (m_overflow == 0 && m_stack.size() > 1)
            top().dest = Dest::Skip;
        long depth = 1;
        while (m_p < m_end) {
            const char16_t c = *m_p++;
            if (c == '\\') {
                if (m_p >= m_end)
                    break;
                if (!is_letter(*m_p)) {
                    ++m_p;
                    continue;
                }
                const char16_t* word = m_p;
                while (m_p < m_end && is_letter(*m_p))
                    ++m_p;
                if (m_p - word == 3 && word[0] == 'b' && word[1] == 'i' && word[2] == 'n') {
                    long long n = 0;
                    while (m_p < m_end && is_digit(*m_p)) {
                        if (n < INT_MAX)
                            n = n * 10 + (*m_p - '0');
                        ++m_p;
                    }
                    if (m_p < m_end && *m_p == ' ')
                        ++m_p;
                    skip_binary(n);
                }
            } else if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    close_group();
                    return;
                }
            }
        }
    }

    void skip_binary(long long n)
    {
        if (n > 0)
            m_p += std::min<long long>(n, m_end - m_p);
    }

    // ---- text ------------------------------------------------------------

    void text_run()
    {
        const Group& g = top();
        if (g.dest == Dest::Normal && !g.ch.hidden && m_skip == 0 && m_mb_need == 0 && m_high == 0) {
            const char16_t* start = m_p;
            m_p = end_of_plain_text(m_p, m_end);
            if (m_p > start) {
                append_text(start, m_p - start);
                return;
            }
        }
        const char16_t c = *m_p++;
        if (m_mb_need > 0 && c >= 0x20 && c < 0x80) {
            // A trail byte written as a plain character after an escaped lead byte.
            emit_byte(static_cast<unsigned char>(c));
            return;
        }
        if (c < 0x20 && c != '\t')
            return; // raw control characters are not text in RTF
        if (c == ';' && (g.dest == Dest::FontTable || g.dest == Dest::ColourTable)) {
            // Only a literal semicolon ends a table entry; an escaped one is text.
            if (m_skip > 0) {
                --m_skip;
                return;
            }
            flush_partial();
            if (g.dest == Dest::FontTable)
                commit_font();
            else
                commit_colour();
            return;
        }
        emit_unit(c);
    }

    // A character from the input or an escape: counts against a \uN fallback.
    void emit_unit(char16_t u)
    {
        abandon_sequence();
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        put_unit(u);
    }

    // A byte from \'hh (or a raw trail byte), decoded by the code page of the
    // current font.
    void emit_byte(unsigned char b)
    {
        if (m_mb_need > 0) {
            m_mb[m_mb_have++] = char(b);
            if (m_mb_have == 2)
                if (const int longer = m_mb_page->extended_length(static_cast<unsigned char>(m_mb[0]), b))
                    m_mb_need = longer;
            if (m_mb_have == m_mb_need) {
                const QString s = m_mb_page->decode_sequence(QByteArrayView(m_mb.data(), m_mb_have));
                m_mb_need = 0;
                m_mb_have = 0;
                for (QChar ch : s)
                    put_unit(ch.unicode());
            }
            return;
        }
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        const CodePage& page = current_page();
        const int length = page.sequence_length(b);
        if (length > 1) {
            m_mb[0] = char(b);
            m_mb_have = 1;
            m_mb_need = length;
            m_mb_page = &page;
            return;
        }
        put_unit(page.byte(b));
    }

    // Characters that reach the document: pairs surrogates, maps the
    // separators Qt would treat as structure, and drops what never shows.
    void put_unit(char16_t u)
    {
        if (m_high != 0) {
            if (is_low_surrogate(u)) {
                const char16_t pair[2] = {m_high, u};
                m_high = 0;
                deliver(pair, 2);
                return;
            }
            m_high = 0;
            const char16_t bad = 0xFFFD;
            deliver(&bad, 1);
        }
        if (is_high_surrogate(u)) {
            m_high = u;
            return;
        }
        if (is_low_surrogate(u))
            u = 0xFFFD;
        switch (u) {
        case 0:
        case '\r':
        case '\n':
            return;
        case '\t':
            tab();
            return;
        case 0x0B:
        case 0x2028:
            line();
            return;
        case 0x2029:
            par();
            return;
        case 0xFDD0:
        case 0xFDD1:
            u = 0xFFFD;
            break;
        default:
            break;
        }
        deliver(&u, 1);
    }

    void deliver(const char16_t* p, qsizetype n)
    {
        switch (top().dest) {
        case Dest::Normal:
            if (!top().ch.hidden)
                append_text(p, n);
            return;
        case Dest::FontTable:
            if (m_font_open && m_font_name.size() + n <= k_max_font_name)
                m_font_name.append(reinterpret_cast<const QChar*>(p), n);
            return;
        default:
            return;
        }
    }

    void append_text(const char16_t* p, qsizetype n)
    {
        open_pending_paragraph();
        const CharState& ch = top().ch;
        if (!m_run.isEmpty() && !(m_run_state == ch))
            flush_run();
        if (m_run.isEmpty())
            m_run_state = ch;
        m_run.append(reinterpret_cast<const QChar*>(p), n);
    }

    void flush_run()
    {
        if (m_run.isEmpty())
            return;
        m_sink.text(m_run, m_run_state, m_tables);
        m_run.resize(0);
    }

    void open_pending_paragraph()
    {
        if (m_par_pending) {
            flush_run();
            m_sink.open_paragraph();
            m_par_pending = false;
        }
    }

    void tab()
    {
        const char16_t t = '\t';
        if (top().dest == Dest::Normal && !top().ch.hidden)
            append_text(&t, 1);
    }

    void line()
    {
        if (top().dest != Dest::Normal || top().ch.hidden)
            return;
        open_pending_paragraph();
        flush_run();
        m_sink.line_break(top().ch, m_tables);
    }

    void par()
    {
        if (top().dest != Dest::Normal)
            return;
        flush_run();
        if (m_par_pending)
            m_sink.open_paragraph();
        m_sink.close_paragraph(top().para, resolve_list(top().para), top().ch, m_tables);
        m_par_pending = true;
    }

    void abandon_sequence()
    {
        if (m_mb_need > 0) {
            m_mb_need = 0;
            m_mb_have = 0;
            put_unit(0xFFFD);
        }
    }

    void flush_partial()
    {
        abandon_sequence();
        if (m_high != 0) {
            m_high = 0;
            const char16_t bad = 0xFFFD;
            deliver(&bad, 1);
        }
    }

    void finish()
    {
        flush_partial();
        flush_run();
        if (!m_par_pending)
            m_sink.close_paragraph(top().para, resolve_list(top().para), top().ch, m_tables);
        m_done = true;
    }

    const CodePage& current_page()
    {
        if (top().dest == Dest::FontTable)
            return CodePage::get(m_font_page ? m_font_page : m_tables.document_page);
        const int font = top().ch.font < 0 ? m_tables.default_font : top().ch.font;
        if (!m_page || font != m_page_font || m_tables.version != m_page_version) {
            const FontEntry* entry = m_tables.font_of(top().ch);
            const int number = (entry && entry->code_page) ? entry->code_page : m_tables.document_page;
            m_page = &CodePage::get(number);
            m_page_font = font;
            m_page_version = m_tables.version;
        }
        return *m_page;
    }

    // ---- control words ---------------------------------------------------

    void control()
    {
        if (m_p >= m_end)
            return;
        const char16_t c = *m_p;
        if (is_letter(c)) {
            std::array<char, 32> name{};
            std::size_t length = 0;
            while (m_p < m_end && is_letter(*m_p)) {
                if (length < name.size())
                    name[length] = char(*m_p);
                ++length;
                ++m_p;
            }
            bool negative = false;
            if (m_p + 1 < m_end && *m_p == '-' && is_digit(m_p[1])) {
                negative = true;
                ++m_p;
            }
            bool has_param = false;
            long long value = 0;
            while (m_p < m_end && is_digit(*m_p)) {
                has_param = true;
                if (value <= INT_MAX)
                    value = value * 10 + (*m_p - '0');
                ++m_p;
            }
            if (m_p < m_end && *m_p == ' ')
                ++m_p;
            value = std::min<long long>(value, INT_MAX);
            const int param = int(negative ? -value : value);
            const Kw kw = length <= name.size() ? keywords().find(std::string_view(name.data(), length)) : Kw::Unknown;
            const bool star = top().star;
            top().star = false;
            if (m_skip > 0) {
                // A control word inside a \uN fallback counts as one character.
                --m_skip;
                if (kw == Kw::bin)
                    skip_binary(param);
                return;
            }
            word(kw, has_param, param, star);
            return;
        }
        ++m_p;
        switch (c) {
        case '\'': {
            const int hi = m_p < m_end ? hex_value(*m_p) : -1;
            if (hi < 0)
                return;
            ++m_p;
            const int lo = m_p < m_end ? hex_value(*m_p) : -1;
            if (lo < 0)
                return; // a truncated escape stands for nothing
            ++m_p;
            emit_byte(static_cast<unsigned char>(hi * 16 + lo));
            return;
        }
        case '*':
            top().star = true;
            return;
        case '\\':
        case '{':
        case '}':
            emit_unit(c);
            return;
        case '~':
            emit_unit(0x00A0);
            return;
        case '_':
            emit_unit(0x2011);
            return;
        case '\t':
            emit_unit('\t');
            return;
        case '\r':
        case '\n':
            if (m_skip > 0) {
                --m_skip;
                return;
            }
            abandon_sequence();
            par();
            return;
        default:
            // \- (optional hyphen), \: and the other symbols show nothing.
            if (m_skip > 0)
                --m_skip;
            return;
        }
    }

    static bool is_read_destination(Kw kw)
    {
        switch (kw) {
        case Kw::fonttbl: case Kw::colortbl: case Kw::listtable: case Kw::list: case Kw::listlevel:
        case Kw::listoverridetable: case Kw::listoverride: case Kw::pn: case Kw::upr: case Kw::ud:
            return true;
        default:
            return false;
        }
    }

    void word(Kw kw, bool has_param, int param, bool star)
    {
        if (kw == Kw::bin) {
            skip_binary(param);
            return;
        }
        if (kw == Kw::SkipDest || (star && !is_read_destination(kw))) {
            skip_group();
            return;
        }
        if (kw == Kw::u || kw == Kw::uc) {
            // Unicode escapes are text wherever text goes, font names included.
            unicode_word(kw, has_param, param);
            return;
        }
        switch (top().dest) {
        case Dest::FontTable: font_table_word(kw, has_param, param); return;
        case Dest::ColourTable: colour_table_word(kw, param); return;
        case Dest::ListTable: case Dest::List: case Dest::ListLevel:
        case Dest::OverrideTable: case Dest::Override:
            list_word(kw, param);
            return;
        case Dest::Pn:
            pn_word(kw, para_at(m_pn_owner));
            return;
        case Dest::Upr:
            if (kw == Kw::ud)
                set_dest(Dest::Normal);
            return;
        case Dest::Skip:
            return;
        case Dest::Normal:
            break;
        }
        normal_word(kw, has_param, param);
    }

    ParaState& para_at(int index)
    {
        if (index >= 0 && std::size_t(index) < m_stack.size())
            return m_stack[std::size_t(index)].para;
        return top().para;
    }

    static int clamp_twips(int v) { return std::clamp(v, -k_max_twips, k_max_twips); }

    void normal_word(Kw kw, bool has_param, int param)
    {
        Group& g = top();
        const bool on = !has_param || param != 0;
        switch (kw) {
        case Kw::fonttbl:
            set_dest(Dest::FontTable);
            m_font_open = false;
            return;
        case Kw::colortbl:
            set_dest(Dest::ColourTable);
            m_colour_set = false;
            m_red = m_green = m_blue = 0;
            return;
        case Kw::listtable: set_dest(Dest::ListTable); return;
        case Kw::listoverridetable: set_dest(Dest::OverrideTable); return;
        case Kw::pn:
            m_pn_owner = int(m_stack.size()) - 2;
            // Consecutive numbered paragraphs continue one list unless a
            // \pnrestart starts another.
            para_at(m_pn_owner).list_id = m_pn_list;
            set_dest(Dest::Pn);
            return;
        case Kw::upr: set_dest(Dest::Upr); return;
        case Kw::list: case Kw::listlevel: case Kw::listoverride:
            skip_group(); // list parts outside a list table show nothing
            return;
        case Kw::b: g.ch.bold = on; return;
        case Kw::i: g.ch.italic = on; return;
        case Kw::ul: g.ch.underline = on; return;
        case Kw::ulnone: g.ch.underline = false; return;
        case Kw::strike: g.ch.strike = on; return;
        case Kw::v: g.ch.hidden = on; return;
        case Kw::f:
            if (has_param)
                g.ch.font = std::max(param, 0);
            return;
        case Kw::fs:
            if (has_param)
                g.ch.half_points = std::clamp(param, 1, k_max_half_points);
            return;
        case Kw::cf: g.ch.colour = std::clamp(param, 0, int(k_max_colours)); return;
        case Kw::plain: g.ch = CharState{}; return;
        case Kw::pard: g.para = ParaState{}; return;
        case Kw::ql: g.para.align = 0; return;
        case Kw::qr: g.para.align = 1; return;
        case Kw::qc: g.para.align = 2; return;
        case Kw::qj: g.para.align = 3; return;
        case Kw::li: g.para.left_twips = clamp_twips(param); return;
        case Kw::fi: g.para.first_twips = clamp_twips(param); return;
        case Kw::ri: g.para.right_twips = clamp_twips(param); return;
        case Kw::ls:
            g.para.ls = std::max(param, 0);
            g.para.list_id = -g.para.ls; // a list of the list table
            return;
        case Kw::ilvl: g.para.ilvl = std::clamp(param, 0, 8); return;
        case Kw::pnlvlblt: case Kw::pnlvlbody: case Kw::pnlvlcont: case Kw::pnlvl:
        case Kw::pndec: case Kw::pnucltr: case Kw::pnlcltr: case Kw::pnucrm: case Kw::pnlcrm:
        case Kw::pnrestart:
            pn_word(kw, g.para);
            return;
        case Kw::ansi: set_document_page(1252, false); return;
        case Kw::mac: set_document_page(10000, true); return;
        case Kw::pc: set_document_page(437, false); return;
        case Kw::pca: set_document_page(850, false); return;
        case Kw::ansicpg:
            if (param > 0)
                set_document_page(param, m_mac);
            return;
        case Kw::deff:
            m_tables.default_font = std::max(param, 0);
            ++m_tables.version;
            return;
        case Kw::par: case Kw::row: abandon_sequence(); par(); return;
        case Kw::line: abandon_sequence(); line(); return;
        case Kw::tab: case Kw::cell: abandon_sequence(); tab(); return;
        case Kw::bullet: word_char(0x2022); return;
        case Kw::emdash: word_char(0x2014); return;
        case Kw::endash: word_char(0x2013); return;
        case Kw::emspace: word_char(0x2003); return;
        case Kw::enspace: word_char(0x2002); return;
        case Kw::qmspace: word_char(0x2005); return;
        case Kw::lquote: word_char(0x2018); return;
        case Kw::rquote: word_char(0x2019); return;
        case Kw::ldblquote: word_char(0x201C); return;
        case Kw::rdblquote: word_char(0x201D); return;
        case Kw::zwj: word_char(0x200D); return;
        case Kw::zwnj: word_char(0x200C); return;
        case Kw::ltrmark: word_char(0x200E); return;
        case Kw::rtlmark: word_char(0x200F); return;
        default:
            return;
        }
    }

    void unicode_word(Kw kw, bool has_param, int param)
    {
        Group& g = top();
        if (kw == Kw::uc) {
            g.uc = std::clamp(param, 0, 255);
            return;
        }
        if (!has_param)
            return;
        int v = param < 0 ? param + 65536 : param;
        if (v < 0 || v > 0xFFFF)
            v = 0xFFFD;
        word_char(char16_t(v));
        m_skip = g.uc;
    }

    void word_char(char16_t c)
    {
        abandon_sequence();
        put_unit(c);
    }

    void set_document_page(int page, bool mac)
    {
        m_mac = mac;
        m_tables.document_page = CodePage::get(page).number();
        ++m_tables.version;
    }

    void pn_word(Kw kw, ParaState& para)
    {
        switch (kw) {
        case Kw::pnrestart: para.list_id = ++m_pn_list; return;
        case Kw::pnlvlblt: para.pn = ListKind::Bullet; return;
        case Kw::pnlvlbody: case Kw::pnlvl: para.pn = ListKind::Decimal; return;
        case Kw::pnlvlcont: para.pn = ListKind::None; return;
        default: break;
        }
        if (para.pn == ListKind::Bullet)
            return;
        switch (kw) {
        case Kw::pndec: para.pn = ListKind::Decimal; return;
        case Kw::pnucltr: para.pn = ListKind::UpperAlpha; return;
        case Kw::pnlcltr: para.pn = ListKind::LowerAlpha; return;
        case Kw::pnucrm: para.pn = ListKind::UpperRoman; return;
        case Kw::pnlcrm: para.pn = ListKind::LowerRoman; return;
        default: return;
        }
    }

    void font_table_word(Kw kw, bool has_param, int param)
    {
        switch (kw) {
        case Kw::f:
            commit_font();
            m_font_open = has_param;
            m_font_number = std::max(param, 0);
            m_font_name.clear();
            m_font_page = 0;
            return;
        case Kw::fcharset:
            m_font_page = CodePage::for_charset(param, 0, m_mac);
            return;
        case Kw::cpg:
            if (param > 0)
                m_font_page = CodePage::get(param).number();
            return;
        default:
            return;
        }
    }

    void commit_font()
    {
        if (!m_font_open)
            return;
        m_font_open = false;
        if (m_tables.fonts.size() >= k_max_fonts && !m_tables.fonts.count(m_font_number))
            return;
        m_tables.fonts[m_font_number] = FontEntry{clean_font_name(m_font_name), m_font_page};
        ++m_tables.version;
    }

    void colour_table_word(Kw kw, int param)
    {
        const int v = std::clamp(param, 0, 255);
        switch (kw) {
        case Kw::red: m_red = v; m_colour_set = true; return;
        case Kw::green: m_green = v; m_colour_set = true; return;
        case Kw::blue: m_blue = v; m_colour_set = true; return;
        default: return;
        }
    }

    void commit_colour()
    {
        if (m_tables.colours.size() < k_max_colours) {
            ColourEntry e;
            e.automatic = !m_colour_set;
            if (m_colour_set)
                e.colour = QColor(m_red, m_green, m_blue);
            m_tables.colours.push_back(e);
            ++m_tables.version;
        }
        m_colour_set = false;
        m_red = m_green = m_blue = 0;
    }

    void list_word(Kw kw, int param)
    {
        const Dest d = top().dest;
        switch (kw) {
        case Kw::list:
            if (d == Dest::ListTable && m_lists.size() < k_max_lists) {
                m_lists.push_back(ListDef{});
                set_dest(Dest::List);
            }
            return;
        case Kw::listlevel:
            if (d == Dest::List && !m_lists.empty()) {
                ++m_lists.back().levels;
                set_dest(Dest::ListLevel);
            }
            return;
        case Kw::levelnfc:
            if (d == Dest::ListLevel && !m_lists.empty()) {
                const int level = m_lists.back().levels - 1;
                if (level >= 0 && level < 9)
                    m_lists.back().nfc[std::size_t(level)] = param;
            }
            return;
        case Kw::listid:
            if (d == Dest::List && !m_lists.empty())
                m_lists.back().id = param;
            else if (d == Dest::Override && !m_overrides.empty())
                m_overrides.back().list_id = param;
            return;
        case Kw::listoverride:
            if (d == Dest::OverrideTable && m_overrides.size() < k_max_lists) {
                m_overrides.push_back(ListOverride{});
                set_dest(Dest::Override);
            }
            return;
        case Kw::ls:
            if (d == Dest::Override && !m_overrides.empty())
                m_overrides.back().ls = param;
            return;
        default:
            return;
        }
    }

    ListKind resolve_list(const ParaState& para) const
    {
        if (para.pn != ListKind::None)
            return para.pn;
        if (para.ls <= 0)
            return ListKind::None;
        for (const ListOverride& o : m_overrides) {
            if (o.ls != para.ls)
                continue;
            for (const ListDef& l : m_lists)
                if (l.id == o.list_id)
                    return l.levels > para.ilvl ? kind_of_number_format(l.nfc[std::size_t(para.ilvl)])
                                                : ListKind::Bullet;
            break;
        }
        return ListKind::Bullet;
    }

    const char16_t* m_p;
    const char16_t* m_end;
    ParserSink& m_sink;
    Tables m_tables;
    std::vector<Group> m_stack;
    long m_overflow = 0;
    bool m_done = false;

    QString m_run;
    CharState m_run_state;
    bool m_par_pending = false;

    int m_skip = 0;          // \uN fallback characters still to skip
    char16_t m_high = 0;     // a high surrogate waiting for its low half
    std::array<char, 4> m_mb{};
    int m_mb_have = 0;
    int m_mb_need = 0;
    const CodePage* m_mb_page = nullptr;

    bool m_mac = false;      // \mac: fonts' Windows charsets mean their Mac pages
    const CodePage* m_page = nullptr;
    int m_page_font = 0;
    int m_page_version = -1;

    bool m_font_open = false;
    int m_font_number = 0;
    QString m_font_name;
    int m_font_page = 0;

    bool m_colour_set = false;
    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;

    std::vector<ListDef> m_lists;
    std::vector<ListOverride> m_overrides;
    int m_pn_owner = -1;
    int m_pn_list = 1;
};

} // namespace

const FontEntry* Tables::font_of(const CharState& ch) const
{
    const auto it = fonts.find(ch.font < 0 ? default_font : ch.font);
    return it == fonts.end() ? nullptr : &it->second;
}

QColor Tables::colour_of(const CharState& ch) const
{
    if (ch.colour < 0 || std::size_t(ch.colour) >= colours.size())
        return QColor();
    const ColourEntry& e = colours[std::size_t(ch.colour)];
    return e.automatic ? QColor() : e.colour;
}

bool parse_rtf(QStringView rtf, ParserSink& sink)
{
    Parser parser(rtf, sink);
    return parser.run();
}

} // namespace mosswick::richtext::detail

#include "platform/richtext/code_pages.h"

#include <QStringDecoder>

#include <map>
#include <memory>
#include <mutex>

namespace mosswick::richtext {

namespace {

// cp1252 as Windows decodes it: the five unassigned bytes map to the C1
// controls of the same value, so every byte survives a round trip.
constexpr std::array<char16_t, 32> k_cp1252_high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct PageName {
    int number;
    const char* name;
};

// Names as the converter knows them. 1361 (Johab) has no converter here and
// falls back to cp1252 like any unknown page.
constexpr PageName k_pages[] = {
    {437, "IBM437"},       {737, "ibm-737"},        {775, "ibm-775"},       {850, "IBM850"},
    {852, "IBM852"},       {855, "IBM855"},         {857, "IBM857"},        {860, "IBM860"},
    {861, "IBM861"},       {862, "IBM862"},         {863, "IBM863"},        {864, "IBM864"},
    {865, "IBM865"},       {866, "IBM866"},         {869, "IBM869"},        {874, "windows-874"},
    {932, "windows-31j"},  {936, "GBK"},            {949, "windows-949"},   {950, "windows-950"},
    {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, nullptr},        {1253, "windows-1253"},
    {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"}, {1257, "windows-1257"},
    {1258, "windows-1258"}, {10000, "macintosh"},   {10007, "x-mac-cyrillic"}, {20866, "KOI8-R"},
    {21866, "KOI8-U"},     {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},  {28595, "ISO-8859-5"},
    {28597, "ISO-8859-7"}, {28605, "ISO-8859-15"},  {65001, "UTF-8"},
};

const char* name_of(int number)
{
    for (const PageName& p : k_pages)
        if (p.number == number)
            return p.name;
    return nullptr;
}

bool is_known(int number)
{
    for (const PageName& p : k_pages)
        if (p.number == number)
            return true;
    return false;
}

} // namespace

CodePage::CodePage(int number, const char* name)
    : m_number(number), m_name(name)
{
    m_length.fill(1);
    for (int b = 0; b < 0x80; ++b)
        m_table[b] = char16_t(b);
    if (!name) {
        for (int b = 0x80; b < 0x100; ++b)
            m_table[b] = b < 0xA0 ? k_cp1252_high[b - 0x80] : char16_t(b);
        return;
    }
    // Single bytes go through the converter one at a time, so that lead
    // bytes of multi-byte pages come out as U+FFFD rather than swallowing
    // the next table entry.
    for (int b = 0x80; b < 0x100; ++b) {
        QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
        const char byte_value = char(b);
        const QString s = decoder.decode(QByteArrayView(&byte_value, 1));
        // Some converters answer an unmapped byte with SUB (U+001A).
        const bool mapped = s.size() == 1 && s.at(0).unicode() != 0x1A;
        m_table[b] = mapped ? char16_t(s.at(0).unicode()) : char16_t(0xFFFD);
    }
    switch (number) {
    case 932:
        for (int b = 0x81; b <= 0x9F; ++b) m_length[b] = 2;
        for (int b = 0xE0; b <= 0xFC; ++b) m_length[b] = 2;
        break;
    case 936: case 949: case 950:
        for (int b = 0x81; b <= 0xFE; ++b) m_length[b] = 2;
        break;
    case 65001:
        for (int b = 0xC2; b <= 0xDF; ++b) m_length[b] = 2;
        for (int b = 0xE0; b <= 0xEF; ++b) m_length[b] = 3;
        for (int b = 0xF0; b <= 0xF4; ++b) m_length[b] = 4;
        break;
    default:
        break;
    }
}

const CodePage& CodePage::get(int number)
{
    static const CodePage cp1252(1252, nullptr);
    if (number == 1252 || !is_known(number))
        return cp1252;

    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    const std::lock_guard lock(mutex);
    auto it = pages.find(number);
    if (it == pages.end()) {
        const char* name = name_of(number);
        if (!QStringDecoder(name).isValid())
            return cp1252;
        it = pages.emplace(number, std::make_unique<CodePage>(number, name)).first;
    }
    return *it->second;
}

int CodePage::for_charset(int charset, int document_page)
{
    switch (charset) {
    case 0: return 1252;     // ANSI
    case 2: return 1252;     // symbol fonts: bytes shown as cp1252 text
    case 77: return 10000;   // Mac Roman
    case 128: return 932;    // Shift-JIS
    case 129: return 949;    // Hangul
    case 130: return 1361;   // Johab
    case 134: return 936;    // GB2312
    case 136: return 950;    // Big5
    case 161: return 1253;   // Greek
    case 162: return 1254;   // Turkish
    case 163: return 1258;   // Vietnamese
    case 177: return 1255;   // Hebrew
    case 178: return 1256;   // Arabic
    case 186: return 1257;   // Baltic
    case 204: return 1251;   // Cyrillic
    case 222: return 874;    // Thai
    case 238: return 1250;   // Eastern Europe
    case 254: return 437;    // PC 437
    case 255: return 850;    // OEM
    default: return document_page;
    }
}

QString CodePage::decode_sequence(QByteArrayView bytes) const
{
    if (!m_name || bytes.isEmpty())
        return QString(QChar(0xFFFD));
    // A fresh stateless decoder per sequence: sequences are rare (they only
    // occur in East Asian and UTF-8 documents) and this keeps it thread-safe.
    QStringDecoder decoder(m_name, QStringConverter::Flag::Stateless);
    QString s = decoder.decode(bytes);
    if (decoder.hasError() || s.isEmpty())
        return QString(QChar(0xFFFD));
    // Some converters answer an unmapped sequence with SUB (U+001A).
    s.replace(QChar(0x1A), QChar(0xFFFD));
    return s;
}

int cp1252_byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (k_cp1252_high[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace mosswick::richtext

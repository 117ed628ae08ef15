#include "maintenance/input_rules.h"

namespace mosswick::maintenance {

namespace {

constexpr int k_backspace = 8;

bool is_digit(int key)
{
    return key >= '0' && key <= '9';
}

bool refused_in_name(int key)
{
    switch (key) {
    case '"': case '\\': case '/': case ':': case '*': case '?': case '<': case '>': case '|':
        return true;
    default:
        return false;
    }
}

} // namespace

bool number_key_accepted(int key, bool star_allowed)
{
    return is_digit(key) || key == k_backspace || (star_allowed && key == '*');
}

bool file_name_key_accepted(int key)
{
    return !refused_in_name(key);
}

QString without_refused_number_characters(QStringView text, bool star_allowed)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (is_digit(c.unicode()) || (star_allowed && c == u'*'))
            out += c;
    return out;
}

QString without_refused_name_characters(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (!refused_in_name(c.unicode()))
            out += c;
    return out;
}

std::optional<qint64> parse_typed_number(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    int significant = 0;
    for (QChar c : text) {
        if (!is_digit(c.unicode()))
            return std::nullopt;
        if (value == 0 && c == u'0')
            continue;   // leading zeros
        if (++significant > 18)
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

SplitName split_at_last_dot(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return {name, {}};
    return {name.left(dot), name.mid(dot + 1)};
}

} // namespace mosswick::maintenance

#include "platform/ui/message_fit.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace mosswick::ui {

namespace {

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
};

bool opens_path(const QString& text, qsizetype i)
{
    const bool at_word_start = i == 0 || QStringLiteral(" \t(\"'=:").contains(text[i - 1]);
    if (!at_word_start)
        return false;
    if (text[i] == u'/')
        return true;
    return text[i] == u'~' && i + 1 < text.size() && text[i + 1] == u'/';
}

qsizetype word_end(const QString& text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && !text[i].isSpace())
        ++i;
    return i;
}

// The paths of a message: those known, wherever they occur, and then a
// word starting with '/' (or "~/"), with the words after it that go on
// with a '/' (folder names with blanks).
std::vector<Span> path_spans(const QString& text, const QStringList& known)
{
    std::vector<Span> spans;
    // The longest first: a path that holds another is taken whole.
    QStringList longest_first = known;
    std::stable_sort(longest_first.begin(), longest_first.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& path : longest_first) {
        if (path.isEmpty())
            continue;
        for (qsizetype at = text.indexOf(path); at >= 0; at = text.indexOf(path, at + path.size())) {
            const bool inside = std::any_of(spans.begin(), spans.end(), [&](const Span& s) {
                return at < s.start + s.length && s.start < at + path.size();
            });
            if (!inside)
                spans.push_back({at, path.size()});
        }
    }
    const size_t given = spans.size();
    auto in_given = [&](qsizetype i) {
        return std::any_of(spans.begin(), spans.begin() + qsizetype(given),
                           [&](const Span& s) { return i >= s.start && i < s.start + s.length; });
    };
    qsizetype i = 0;
    while (i < text.size()) {
        if (in_given(i) || !opens_path(text, i)) {
            ++i;
            continue;
        }
        qsizetype end = word_end(text, i);
        for (;;) {
            qsizetype next = end;
            while (next < text.size() && text[next] == u' ')
                ++next;
            if (next == end || next >= text.size() || opens_path(text, next))
                break;
            const qsizetype next_end = word_end(text, next);
            if (!QStringView(text).mid(next, next_end - next).contains(u'/'))
                break;
            end = next_end;
        }
        // Punctuation that closes the sentence is not part of the path.
        while (end > i + 1 && QStringLiteral(".,;:)\"'").contains(text[end - 1]))
            --end;
        // A known path inside a guessed one: the guess stops before it.
        for (qsizetype k = i + 1; k < end; ++k)
            if (in_given(k)) {
                end = k;
                break;
            }
        spans.push_back({i, end - i});
        i = std::max(end, i + 1);
    }
    return spans;
}

// A path with keep of its characters kept: its end (the file name, or
// half of what is kept when that is more) first, the rest from its start;
// below the file name's length only the name's end stays.
QString shortened(const QString& piece, qsizetype keep)
{
    if (keep >= piece.size())
        return piece;
    const qsizetype name = piece.size() - piece.lastIndexOf(u'/');
    const qsizetype tail = std::min(keep, std::max(name, keep / 2));
    return piece.left(keep - tail) + k_ellipsis + piece.right(tail);
}

// The largest n in [low, high] for which the text made with n fits; -1
// when not even low does. The text grows with n.
qsizetype largest_fitting(qsizetype low, qsizetype high, int width, const MeasureText& measure,
                          const std::function<QString(qsizetype)>& make)
{
    if (measure(make(low)) > width)
        return -1;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (measure(make(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

// A text with kept[k] characters of its path k (spans by their start).
QString composed(const QString& text, const std::vector<Span>& spans, const std::vector<qsizetype>& kept)
{
    QString out;
    qsizetype at = 0;
    for (size_t k = 0; k < spans.size(); ++k) {
        out += QStringView(text).mid(at, spans[k].start - at);
        out += shortened(text.mid(spans[k].start, spans[k].length), kept[k]);
        at = spans[k].start + spans[k].length;
    }
    out += QStringView(text).mid(at);
    return out;
}

// The text with its paths giving way until it fits: the longest first,
// every path down to its file name, then the names too. Nothing when even
// the shortest paths leave it too long.
std::optional<QString> with_paths_shortened(const QString& text, const std::vector<Span>& spans, int width,
                                            const MeasureText& measure)
{
    std::vector<qsizetype> kept(spans.size());
    for (size_t k = 0; k < spans.size(); ++k)
        kept[k] = spans[k].length;
    std::vector<size_t> order(spans.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return spans[a].length > spans[b].length; });
    for (const bool to_name : {true, false}) {
        for (size_t k : order) {
            const QString piece = text.mid(spans[k].start, spans[k].length);
            const qsizetype floor = to_name ? std::min(piece.size() - piece.lastIndexOf(u'/') - 1, kept[k]) : 0;
            const qsizetype keep = largest_fitting(floor, kept[k], width, measure, [&](qsizetype n) {
                kept[k] = n;
                return composed(text, spans, kept);
            });
            kept[k] = std::max(keep, floor);
            if (keep >= 0)
                return composed(text, spans, kept);
        }
    }
    return std::nullopt;
}

QString with_ellipsis(const QString& start)
{
    return start.endsWith(k_ellipsis) ? start : start + k_ellipsis;
}

} // namespace

QString fit_message(const QString& text, int width, const MeasureText& measure, const QStringList& paths)
{
    if (measure(text) <= width)
        return text;
    std::vector<Span> spans = path_spans(text, paths);
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
    if (std::optional<QString> fitted = with_paths_shortened(text, spans, width, measure))
        return *fitted;

    // Still too long: the message's start stays whole, as many words as fit
    // with the paths at their shortest; those paths then get what room is left.
    std::vector<qsizetype> word_ends;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const bool in_path = std::any_of(spans.begin(), spans.end(),
                                         [i](const Span& s) { return s.start < i && i < s.start + s.length; });
        if (text[i].isSpace() && !text[i - 1].isSpace() && !in_path)
            word_ends.push_back(i);
    }
    const auto start = [&](qsizetype end) {
        std::vector<Span> within;
        for (const Span& s : spans)
            if (s.start + s.length <= end)
                within.push_back(s);
        return std::make_pair(with_ellipsis(text.left(end)), within);
    };
    const auto shortest = [&](qsizetype k) {
        const auto [start_text, within] = start(word_ends[size_t(k)]);
        return composed(start_text, within, std::vector<qsizetype>(within.size(), 0));
    };
    const qsizetype words =
        word_ends.empty() ? -1 : largest_fitting(0, qsizetype(word_ends.size()) - 1, width, measure, shortest);
    if (words >= 0) {
        const auto [start_text, within] = start(word_ends[size_t(words)]);
        return with_paths_shortened(start_text, within, width, measure).value_or(shortest(words));
    }
    // Not even the first word fits: it is cut inside.
    const QString all_short = composed(text, spans, std::vector<qsizetype>(spans.size(), 0));
    const qsizetype first = word_end(all_short, 0);
    const auto cut = [&](qsizetype n) { return with_ellipsis(all_short.left(n)); };
    return cut(std::max<qsizetype>(largest_fitting(0, first, width, measure, cut), 0));
}

} // namespace mosswick::ui

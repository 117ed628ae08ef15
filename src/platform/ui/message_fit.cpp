#include "platform/ui/message_fit.h"

#include <algorithm>
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

// The span with n of its characters kept: the end (a file name) first,
// up to half, the rest from its start.
QString shortened(const QString& piece, qsizetype keep, bool tail_first)
{
    if (keep >= piece.size())
        return piece;
    qsizetype tail = keep / 2;
    if (tail_first) {
        const qsizetype name = piece.size() - piece.lastIndexOf(u'/');
        tail = std::min(keep, std::max(name, keep / 2));
    }
    const qsizetype head = keep - tail;
    return piece.left(head) + k_ellipsis + piece.right(tail);
}

// The largest number of kept characters for which the whole text fits;
// -1 when even none fit.
qsizetype largest_fitting(qsizetype length, int width, const MeasureText& measure,
                          const std::function<QString(qsizetype)>& with_kept)
{
    if (measure(with_kept(0)) > width)
        return -1;
    qsizetype low = 0;
    qsizetype high = length - 1;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (measure(with_kept(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

} // namespace

QString fit_message(const QString& text, int width, const MeasureText& measure, const QStringList& paths)
{
    if (measure(text) <= width)
        return text;
    QString current = text;
    std::vector<Span> spans = path_spans(current, paths);
    // The longest path gives up its middle first.
    std::vector<size_t> order(spans.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return spans[a].length > spans[b].length; });
    for (size_t k : order) {
        const Span span = spans[k];
        const QString piece = current.mid(span.start, span.length);
        auto with_kept = [&](qsizetype keep) {
            return current.left(span.start) + shortened(piece, keep, true) + current.mid(span.start + span.length);
        };
        const qsizetype keep = largest_fitting(piece.size(), width, measure, with_kept);
        // Where even the path's end does not fit, its file name stays for
        // the sentence's own shortening below.
        const qsizetype name = piece.size() - piece.lastIndexOf(u'/') - 1;
        const QString shorter = with_kept(keep >= 0 ? keep : std::min(name, piece.size() - 1));
        const qsizetype change = shorter.size() - current.size();
        current = shorter;
        for (Span& s : spans)
            if (s.start > span.start)
                s.start += change;
        if (keep >= 0)
            return current;
    }
    // Still too long: the middle of the sentence goes, its start and end stay.
    const QString whole = current;
    auto with_kept = [&](qsizetype keep) { return shortened(whole, keep, false); };
    const qsizetype keep = largest_fitting(whole.size(), width, measure, with_kept);
    return with_kept(std::max<qsizetype>(keep, 0));
}

} // namespace mosswick::ui

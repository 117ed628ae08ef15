// Times the rich-text layer on generated notes and says whether the targets
// are met: 50,000 notes (70% RTF of 0.5-5 KB as the Windows rich-text box
// writes them, 20% plain file names, 10% Null) extracted in under 0.5 s on
// every core, as the note search runs the extractor (on one core: for
// information); a 1 MB RTF note read and written in under 300 ms each.
// Each figure is run 5 times (min and median; the median is judged); the
// texts extracted on every core must equal those of one core.
// Run by hand: bench-richtext [--tsv]. Exit status as bench_report.h says.

#include "platform/richtext/plain_text.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/richtext/rtf_reader.h"
#include "platform/richtext/rtf_writer.h"
#include "support/bench_report.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

using namespace mosswick::richtext;

constexpr int k_note_count = 50000;
constexpr double k_extract_target_ms = 500;
constexpr double k_big_note_target_ms = 300;

const char* const k_words[] = {
    "holiday", "Brittany", "beach", "with", "the", "children", "and", "grandmother", "sunset", "over",
    "harbour", "lighthouse", "picnic", "rain", "afternoon", "museum", "bicycle", "ferry", "castle",
    "garden", "birthday", "cake", "photo", "taken", "from", "window", "of", "our", "room", "2019",
    "caf\\'e9", "cr\\'eape", "\\'80 12", "na\\'efve", "\\'93quoted\\'94", "\\u1046?\\u1091?\\u1082?",
};

// RTF in the shape the Windows rich-text box writes: its header, \pard
// paragraphs with \par and a line break, format changes inside runs,
// escapes for accented letters, and now and then a bullet list.
QString box_note(QRandomGenerator& random, int target_bytes)
{
    QString rtf = QStringLiteral(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
        "{\\f1\\fnil\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "\\viewkind4\\uc1\\pard\\cf1\\lang1033\\f0\\fs16 ");
    rtf.reserve(target_bytes + 512);
    const int word_count = int(std::size(k_words));
    while (rtf.size() < target_bytes) {
        const int kind = random.bounded(10);
        if (kind == 0) {
            rtf += QStringLiteral("\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}"
                                  "\\fi-720\\li720 ");
            for (int item = random.bounded(2, 5); item > 0; --item) {
                rtf += QString::fromLatin1(k_words[random.bounded(word_count)]) + QStringLiteral(" item\\par\r\n");
                if (item > 1)
                    rtf += QStringLiteral("{\\pntext\\f2\\'B7\\tab}");
            }
            rtf += QStringLiteral("\\pard ");
            continue;
        }
        for (int w = random.bounded(5, 40); w > 0; --w) {
            const char* word = k_words[random.bounded(word_count)];
            switch (random.bounded(12)) {
            case 0: rtf += QStringLiteral("\\b %1\\b0 ").arg(QLatin1String(word)); break;
            case 1: rtf += QStringLiteral("\\i %1\\i0 ").arg(QLatin1String(word)); break;
            case 2: rtf += QStringLiteral("\\cf2 %1\\cf1 ").arg(QLatin1String(word)); break;
            case 3: rtf += QStringLiteral("\\f1\\fs20 %1\\f0\\fs16 ").arg(QLatin1String(word)); break;
            default: rtf += QLatin1String(word) + u' '; break;
            }
        }
        rtf += random.bounded(4) == 0 ? QStringLiteral("\\line ") : QStringLiteral("\\par\r\n");
    }
    rtf += QStringLiteral("\\par\r\n}\r\n");
    return rtf;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchsupport::Report report(argc, argv);
    QApplication app(argc, argv);
    QRandomGenerator random(4242);

    std::vector<QString> notes;
    notes.reserve(k_note_count);
    qint64 rtf_bytes = 0;
    for (int i = 0; i < k_note_count; ++i) {
        const int kind = random.bounded(10);
        if (kind < 7) {
            notes.push_back(box_note(random, random.bounded(500, 5001)));
            rtf_bytes += notes.back().size();
        } else if (kind < 9) {
            notes.push_back(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')));
        } else {
            notes.push_back(QString());
        }
    }
    report.say("%d notes, %.1f MB of RTF\n", k_note_count, rtf_bytes / 1e6);
    std::vector<QString> one_core(notes.size());
    const std::vector<double> single = benchsupport::time_runs([&] {
        for (size_t i = 0; i < notes.size(); ++i)
            one_core[i] = extract_plain_text(notes[i]);
    });
    qint64 shown = 0;
    for (const QString& text : one_core)
        shown += text.size();
    report.say("extracted %lld characters\n", static_cast<long long>(shown));
    report.info(QStringLiteral("extract 50,000 notes on one core"), single);

    // In blocks of notes, as the note search hands its batches to the pool.
    constexpr size_t k_block = 512;
    std::vector<size_t> blocks;
    for (size_t first = 0; first < notes.size(); first += k_block)
        blocks.push_back(first);
    std::vector<QString> every_core(notes.size());
    const std::clock_t cpu_start = std::clock();
    const std::vector<double> parallel = benchsupport::time_runs([&] {
        QtConcurrent::blockingMap(blocks, [&](size_t first) {
            for (size_t i = first; i < std::min(first + k_block, notes.size()); ++i)
                every_core[i] = extract_plain_text(notes[i]);
        });
    });
    // The processor time of all threads: what the figure comes to on a
    // machine whose cores are free for it.
    report.say("(%d threads, %.1f ms of processor time a run)\n", QThreadPool::globalInstance()->maxThreadCount(),
               1000.0 * double(std::clock() - cpu_start) / CLOCKS_PER_SEC / benchsupport::k_runs);
    const QString extract = QStringLiteral("extract 50,000 notes on every core");
    report.check_for({extract}, QStringLiteral("the texts extracted on every core are those of one core"),
                     every_core == one_core);
    report.figure(extract, parallel, k_extract_target_ms);

    const QString big = box_note(random, 1024 * 1024);
    report.say("big note: %.2f MB of RTF\n", big.size() / 1e6);
    std::vector<double> reads;
    std::vector<double> writes;
    QString written;
    for (int run = 0; run < benchsupport::k_runs; ++run) {
        QTextDocument doc;
        QElapsedTimer timer;
        timer.start();
        read_rtf(big, doc);
        reads.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        written = write_rtf(doc);
        writes.push_back(timer.nsecsElapsed() / 1e6);
    }
    const QString read = QStringLiteral("read 1 MB RTF note");
    const QString write = QStringLiteral("write 1 MB RTF note");
    report.check_for({read, write}, QStringLiteral("the written note shows the same text"),
                     extract_plain_text(written) == extract_plain_text(big));
    report.figure(read, reads, k_big_note_target_ms);
    report.figure(write, writes, k_big_note_target_ms);

    // For information: a note box loading the same note (reading plus layout).
    RichTextBox box;
    box.resize(600, 400);
    QElapsedTimer timer;
    timer.start();
    box.setTextRTF(big);
    box.document()->documentLayout()->documentSize();
    report.info(QStringLiteral("note box loads the 1 MB note"), {timer.nsecsElapsed() / 1e6});
    return report.finish();
}

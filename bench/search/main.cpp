// Times the search tab over a catalogue of 100,000 generated rows:
//  - the file-name search (one word found in about 1% of the names), the
//    reference search (three words) and the full list ordered by name, as
//    queries alone;
//  - the note search (RTF notes of a few hundred characters) on the note
//    and on both notes, as a walk alone;
//  - the same through the shown main window, as the user runs them: the
//    whole search with its grid shown, and the reference and import/export
//    grids filled.
// Aims: file-name search under 0.5 s, note search under 2 s, grid shown
// under 0.5 s. Run by hand: bench-search [--rows N] [--dir FOLDER]
// Needs no display: it runs on the offscreen platform.

#include "support/bench_dialogs.h"
#include "catalogue/edition.h"
#include "catalogue/frm_browser.h"
#include "platform/store/connection.h"
#include "platform/ui/dialogs.h"
#include "search/criteria.h"
#include "search/queries.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;

const QStringList k_words = [] {
    QStringList w;
    const char* stems[] = {"sea", "sun", "snow", "city", "forest", "river", "night", "bridge", "market", "harbour",
                           "garden", "tower", "desert", "island", "valley", "street", "castle", "lake", "train", "cloud"};
    for (const char* s : stems)
        for (int k = 0; k < 10; ++k)
            w << QStringLiteral("%1%2").arg(QLatin1String(s)).arg(k);
    return w;   // 200 words
}();

QString words(QRandomGenerator& rng, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << k_words[int(rng.bounded(qint32(k_words.size())))];
    return out.join(u' ');
}

// A note as the rich-text box writes one: a font table, formatting and
// two paragraphs of words.
QString rtf_note(QRandomGenerator& rng)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}"
                          "{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                          "\\viewkind4\\uc1\\pard\\f0\\fs16 %1 \\b %2\\b0 \\cf1 %3\\cf0\\par\r\n"
                          "\\pard\\f1\\fs20 %4\\par\r\n}")
        .arg(words(rng, 12), words(rng, 3), words(rng, 8), words(rng, 20));
}

QString make_catalogue(const QString& folder, int rows)
{
    const QString path = folder + QStringLiteral("/catalogue.mdb");
    if (store::Error e = store::Connection::create(path, store::Schema::Full, {})) {
        std::fprintf(stderr, "create: %s\n", qPrintable(e.text));
        return {};
    }
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    if (!conn) {
        std::fprintf(stderr, "open: %s\n", qPrintable(e.text));
        return {};
    }
    QRandomGenerator rng(42);
    store::Transaction t(*conn);
    auto st = conn->prepare(QStringLiteral("INSERT INTO demopicture (movfile, picfile, note, numpage, numpic, reference, "
                                           "addnote) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    for (int i = 1; i <= rows; ++i) {
        const QString name = QStringLiteral("Img_%1_%2.jpg").arg(i, 6, 10, QLatin1Char('0')).arg(words(rng, 1));
        st.bind_all({i % 10 == 0 ? QVariant(name.left(name.size() - 4) + QStringLiteral(".avi")) : QVariant(), name,
                     rtf_note(rng), (i + 5) / 6, i, words(rng, 3),
                     i % 3 == 0 ? QVariant(QStringLiteral("Additional note %1 %2").arg(i).arg(words(rng, 10))) : QVariant()});
        if (store::Error ie = st.run()) {
            std::fprintf(stderr, "insert: %s\n", qPrintable(ie.text));
            return {};
        }
    }
    if (store::Error ce = t.commit()) {
        std::fprintf(stderr, "commit: %s\n", qPrintable(ce.text));
        return {};
    }
    return path;
}

struct Line {
    const char* what;
    double ms;
    qint64 rows;
    double aim_ms;   // 0: no aim
};

std::vector<Line> g_lines;

void report(const char* what, double ms, qint64 rows, double aim_ms = 0)
{
    g_lines.push_back({what, ms, rows, aim_ms});
    std::printf("%-52s %9.1f ms %8lld rows%s\n", what, ms, static_cast<long long>(rows),
                aim_ms > 0 ? (ms <= aim_ms ? "   ok" : "   OVER AIM") : "");
    std::fflush(stdout);
}

template <class F>
double time_ms(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

void logic_runs(store::Connection& conn)
{
    search::GridRows rows;
    store::Error e;
    auto picture = [&](const QString& text, bool by_name) {
        search::PictureSearchInput in;
        in.picture_text = text;
        in.order_by_name = by_name;
        rows = search::read_rows(conn, search::picture_search_query(search::build_picture_criteria(in), by_name),
                                 search::k_search_columns, e);
    };
    double ms = time_ms([&] { picture(QStringLiteral("forest3"), false); });
    report("query: file-name search, one word", ms, rows.count(), 500);
    ms = time_ms([&] { picture(QStringLiteral("FOREST3"), true); });
    report("query: file-name search, ordered by name", ms, rows.count(), 500);
    ms = time_ms([&] { picture({}, true); });
    report("query: every record, ordered by name", ms, rows.count(), 500);
    ms = time_ms([&] {
        search::PictureSearchInput in;
        in.reference_text = QStringLiteral("sea1 river4 tower7");
        rows = search::read_rows(conn, search::picture_search_query(search::build_picture_criteria(in), false),
                                 search::k_search_columns, e);
    });
    report("query: reference search, three words (Or)", ms, rows.count(), 500);

    auto notes = [&](const QString& text, search::NoteFields fields) {
        search::NoteSearchRequest r;
        r.text = text;
        r.fields = fields;
        const search::NoteSearchResult res = search::run_note_search(conn, r, [](qint64) { return true; });
        return res.rows.count();
    };
    qint64 n = 0;
    ms = time_ms([&] { n = notes(QStringLiteral("castle7 lake2"), search::NoteFields::Note); });
    report("walk: note search, note", ms, n, 2000);
    ms = time_ms([&] { n = notes(QStringLiteral("bridge5"), search::NoteFields::Both); });
    report("walk: note search, note and additional note", ms, n, 2000);
    if (e)
        std::fprintf(stderr, "query error: %s\n", qPrintable(e.text));
}

void window_runs(const QString& path, BenchDialogs& dialogs)
{
    frmBrowser w(Edition::enhanced());
    w.Form_Load({});
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        std::fprintf(stderr, "the window was not exposed\n");
    dialogs.next_file = path;
    w.mnuDb_Click();
    if (!w.db_open) {
        std::fprintf(stderr, "the catalogue did not open: %s\n", qPrintable(w.message_text()));
        return;
    }
    w.SSTab_main->setCurrentIndex(1);
    QCoreApplication::processEvents();
    auto rows = [](QTableView* g) { return qint64(g->model()->rowCount()); };
    // Each run ends when the grid has been painted.
    auto run = [&](auto&& action) {
        return time_ms([&] {
            action();
            QCoreApplication::processEvents();
        });
    };

    w.Text1->setText(QStringLiteral("forest3"));
    double ms = run([&] { w.refresh_grid_Click(); });
    report("window: file-name search, grid shown", ms, rows(w.MSFlexGrid1), 500);
    w.Text1->clear();
    ms = run([&] { w.refresh_grid_Click(); });
    report("window: every record, grid shown", ms, rows(w.MSFlexGrid1), 500);
    w.Check2->setChecked(true);
    ms = run([&] { w.refresh_grid_Click(); });
    report("window: every record by name, grid shown", ms, rows(w.MSFlexGrid1), 500);
    w.Check2->setChecked(false);

    w.SSTab_search->setCurrentIndex(1);
    w.Text4->setText(QStringLiteral("castle7 lake2"));
    ms = run([&] { w.refresh_grid_Click(); });
    report("window: note search, note, grid shown", ms, rows(w.MSFlexGrid1), 2000);
    w.Option7[2]->setChecked(true);
    w.Text4->setText(QStringLiteral("bridge5"));
    ms = run([&] { w.refresh_grid_Click(); });
    report("window: note search, both notes, grid shown", ms, rows(w.MSFlexGrid1), 2000);

    w.SSTab3->setCurrentIndex(2);
    ms = run([&] { w.refresh_ref_Click(); });
    report("window: reference grid, every record", ms, rows(w.MSHFlexGrid1), 500);
    w.Check5->setChecked(true);
    ms = run([&] { w.refresh_ref_Click(); });
    report("window: reference grid, by reference", ms, rows(w.MSHFlexGrid1), 500);
    w.SSTab_main->setCurrentIndex(2);
    ms = run([&] { w.refresh_extraction_Click(); });
    report("window: import/export grid", ms, rows(w.MSHFlexGrid2), 500);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int rows = 100000;
    QString folder;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--rows"))
            rows = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--dir"))
            folder = args[i + 1];
    }
    QTemporaryDir temp;
    if (folder.isEmpty())
        folder = temp.path();

    BenchDialogs* dialogs = benchsupport::install_bench_dialogs();

    std::printf("Generating %d rows in %s ...\n", rows, qPrintable(folder));
    std::fflush(stdout);
    QString path;
    const double gen = time_ms([&] { path = make_catalogue(folder, rows); });
    if (path.isEmpty())
        return 1;
    std::printf("generated in %.0f ms\n\n", gen);
    {
        store::Error e;
        auto conn = store::Connection::open(path, {}, e);
        if (!conn) {
            std::fprintf(stderr, "open: %s\n", qPrintable(e.text));
            return 1;
        }
        logic_runs(*conn);
    }
    window_runs(path, *dialogs);

    int over = 0;
    for (const Line& l : g_lines)
        if (l.aim_ms > 0 && l.ms > l.aim_ms)
            ++over;
    std::printf("\n%s\n", over == 0 ? "All runs within their aims." : "Some runs are over their aims.");
    ui::set_dialogs(nullptr);
    return over == 0 ? 0 : 2;
}

// Times the search tab and the grids over generated catalogues and says
// whether each figure meets its target:
//  - 100,000 rows: the file-name search (one word), the full list ordered by
//    name and the reference search as queries alone; the note search as a
//    walk alone; the searches and grids through the shown main window;
//  - 1,000,000 rows: the first screen of every grid (management, search,
//    reference, import/export), the note search, and the note search through
//    the window.
// Each figure is run at least 5 times (min and median printed; the median is
// judged) and its result is checked: row counts as the catalogue was built,
// the note search's matches equal to a walk on one core.
// The 1,000,000-row catalogue (~300-byte RTF notes) is built once and kept
// beside this program (bench-search-1000000.mdb); --fresh builds it again.
// Each figure's name starts with the catalogue's size.
// Run by hand: bench-search [--runs N] [--fresh] [--only-large] [--tsv]. Exit
// status as bench_report.h says. Needs no display.

#include "support/window_controls.h"
#include "maintenance/maintenance_tab.h"
#include "support/bench_dialogs.h"
#include "support/bench_report.h"
#include "support/bench_window.h"
#include "core/edition.h"
#include "frame/frm_browser.h"
#include "platform/store/connection.h"
#include "platform/ui/dialogs.h"
#include "search/criteria.h"
#include "search/queries.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

using namespace mosswick;

namespace {

using benchsupport::BenchDialogs;

int g_runs = 5;
benchsupport::Report* g_report = nullptr;
QString g_size;   // "100,000 rows: " before every figure's name

// Every 1,000th note carries this word (in capitals in the note, searched
// in lower case): a note search for it finds rows / 1,000 records.
constexpr int k_marker_every = 1000;

const char* const k_stems[] = {"sea", "sun", "snow", "city", "forest", "river", "night", "bridge", "market", "harbour",
                               "garden", "tower", "desert", "island", "valley", "street", "castle", "lake", "train", "cloud"};

// 200 words, chosen by a cheap generator so that a million rows are built fast.
struct Words {
    quint64 state = 42;
    QString next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const unsigned w = unsigned(state >> 33) % 200;
        return QLatin1String(k_stems[w / 10]) + QChar(u'0' + char16_t(w % 10));
    }
    QString some(int n)
    {
        QString out;
        for (int i = 0; i < n; ++i) {
            if (i)
                out += u' ';
            out += next();
        }
        return out;
    }
};

// A note of about 300 bytes as the rich-text box writes one.
QString rtf_note(Words& words, bool marker)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs16 %1 \\b %2\\b0 "
                          "\\cf1 %3\\cf0\\par\r\n%4\\par\r\n}")
        .arg(words.some(8), marker ? QStringLiteral("ZEBRA") : words.next(), words.some(4), words.some(6));
}

// Builds a catalogue of `rows` rows in one transaction. Returns "" on failure.
QString make_catalogue(const QString& path, int rows)
{
    QFile::remove(path);
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
    Words words;
    store::Transaction t(*conn);
    auto st = conn->prepare(QStringLiteral("INSERT INTO demopicture (movfile, picfile, note, numpage, numpic, reference, "
                                           "addnote) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    for (int i = 1; i <= rows; ++i) {
        const QString name = QStringLiteral("Img_%1_%2.jpg").arg(i, 7, 10, QLatin1Char('0')).arg(words.next());
        st.bind_all({i % 10 == 0 ? QVariant(QStringLiteral("Img_%1.avi").arg(i)) : QVariant(), name,
                     rtf_note(words, i % k_marker_every == 0), (i + 5) / 6, i, words.some(3),
                     i % 3 == 0 ? QVariant(QStringLiteral("Additional note %1").arg(words.some(5))) : QVariant()});
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

// The catalogue of `rows` rows kept in `folder`, built when it is missing
// or does not hold what it should.
QString cached_catalogue(const QString& folder, int rows, bool fresh)
{
    const QString path = QStringLiteral("%1/bench-search-%2.mdb").arg(folder).arg(rows);
    if (!fresh && QFile::exists(path)) {
        store::Error e;
        auto conn = store::Connection::open(path, {}, e);
        if (conn && conn->record_count(e) == rows && !e)
            return path;
    }
    g_report->say("building %d rows in %s ...\n", rows, qPrintable(path));
    QElapsedTimer t;
    t.start();
    const QString temp = path + QStringLiteral(".part");
    if (make_catalogue(temp, rows).isEmpty())
        return {};
    QFile::remove(path);
    if (!QFile::rename(temp, path))
        return {};
    g_report->say("built in %.1f s\n", double(t.elapsed()) / 1000);
    return path;
}

// Runs a figure g_runs times; run() returns the count it produced, which
// must equal `expected` each time (-1: not checked).
void figure(const char* what, double target_ms, qint64 expected, const std::function<qint64()>& run)
{
    std::vector<double> times;
    std::vector<double> processor;
    qint64 got = -1;
    bool right = true;
    for (int i = 0; i < g_runs; ++i) {
        QElapsedTimer t;
        const std::clock_t cpu = std::clock();
        t.start();
        got = run();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        processor.push_back(1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC);
        right &= expected < 0 || got == expected;
    }
    const QString name = g_size + QLatin1String(what);
    // The processor time of all threads (median) tells a busy machine's
    // figure from the program's own cost.
    g_report->say("    (cpu %.1f ms, %lld rows)\n", benchsupport::median_of(processor), static_cast<long long>(got));
    g_report->check_for({name}, QStringLiteral("rows found"), right,
                        QStringLiteral("%1, expected %2").arg(got).arg(expected));
    g_report->figure(name, times, target_ms);
}

qint64 scalar_count(store::Connection& conn, const QString& sql)
{
    store::Error e;
    return conn.scalar(sql, {}, e).toLongLong();
}

qint64 note_search(store::Connection& conn, const QString& text, search::NoteFields fields)
{
    search::NoteSearchRequest r;
    r.text = text;
    r.fields = fields;
    return search::run_note_search(conn, r, [](qint64) { return true; }).rows.count();
}

// The matches of a walk on one core, record by record: what the note
// search must find.
qint64 walk_on_one_core(store::Connection& conn, const QString& text, search::NoteFields fields)
{
    auto st = conn.prepare(QStringLiteral("SELECT note, addnote FROM demopicture"));
    qint64 n = 0;
    while (st.step()) {
        const bool note = fields != search::NoteFields::AddNote && search::note_matches(st.value(0), text);
        const bool add = fields != search::NoteFields::Note && search::note_matches(st.value(1), text);
        n += (note || add) ? 1 : 0;
    }
    return n;
}

void query_figures(store::Connection& conn, qint64 rows)
{
    const QString label = QString::number(rows);
    auto picture = [&](const QString& text, bool by_name) {
        search::PictureSearchInput in;
        in.picture_text = text;
        in.order_by_name = by_name;
        store::Error e;
        return qint64(search::read_rows(conn, search::picture_search_query(search::build_picture_criteria(in), by_name),
                                        search::k_search_columns, e)
                          .count());
    };
    const qint64 forest3 = scalar_count(conn, QStringLiteral("SELECT count(*) FROM demopicture WHERE picfile LIKE '%forest3%'"));
    figure("query: file-name search, one word", 500, forest3, [&] { return picture(QStringLiteral("forest3"), false); });
    figure("query: file-name search, ordered by name", 500, forest3, [&] { return picture(QStringLiteral("FOREST3"), true); });
    figure("query: every record, ordered by name", 500, rows, [&] { return picture({}, true); });

    const QString text = QStringLiteral("castle7 lake2");
    const qint64 expected = walk_on_one_core(conn, text, search::NoteFields::Note);
    figure("walk: note search, note", 1000, expected, [&] { return note_search(conn, text, search::NoteFields::Note); });
    const qint64 both = walk_on_one_core(conn, QStringLiteral("bridge5"), search::NoteFields::Both);
    figure("walk: note search, note and additional note", 1000, both,
           [&] { return note_search(conn, QStringLiteral("bridge5"), search::NoteFields::Both); });
}

// Shows the tab pages that hold a widget.
void bring_to_front(QWidget* w)
{
    for (QWidget* child = w; child && child->parentWidget(); child = child->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(child->parentWidget());
        if (stack && qobject_cast<QTabWidget*>(stack->parentWidget()))
            qobject_cast<QTabWidget*>(stack->parentWidget())->setCurrentWidget(child);
    }
}

struct Window {
    frmBrowser w{Edition::enhanced()};
    bool ok = false;

    Window(const QString& path, BenchDialogs& dialogs)
    {
        w.Form_Load({});
        w.resize(1280, 900);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            std::fprintf(stderr, "the window was not exposed\n");
        dialogs.next_file = path;
        ctl(w).mnuDb->trigger();
        // The grids are timed as a user meets them once writes are allowed:
        // while the check behind the page runs, the tabs wait for it.
        ok = w.session().db_open() && benchsupport::wait_for_integrity_check(w) && !w.session().db_read_only();
        if (!ok)
            std::fprintf(stderr, "the catalogue did not open for writing: %s\n", qPrintable(w.message_text()));
    }

    // Runs an action and lets the window paint what it shows; returns the
    // grid's rows, or -1 when the grid is hidden.
    static qint64 shown(QTableView* grid, const std::function<void()>& action)
    {
        action();
        QCoreApplication::processEvents();
        return grid->isVisible() ? qint64(grid->model()->rowCount()) : -1;
    }
};

void window_figures(const QString& path, BenchDialogs& dialogs, qint64 rows, bool large)
{
    Window win(path, dialogs);
    if (!g_report->check(QStringLiteral("the catalogue opened in the window, checked, writes allowed"), win.ok))
        return;
    frmBrowser& w = win.w;
    const double grid_target = large ? 300 : 500;
    const qint64 forest3 = scalar_count(*w.session().db_conn(), QStringLiteral("SELECT count(*) FROM demopicture WHERE picfile LIKE '%forest3%'"));

    bring_to_front(ctl(w).mgm_pic);
    figure("window: management grid, first screen", grid_target, rows,
           [&] { return Window::shown(ctl(w).mgm_pic, [&] { ctl(w).load_list->click(); }); });

    bring_to_front(ctl(w).MSFlexGrid1);
    ctl(w).Text1->clear();
    figure("window: search grid, every record", grid_target, rows,
           [&] { return Window::shown(ctl(w).MSFlexGrid1, [&] { ctl(w).refresh_grid->click(); }); });
    if (!large) {
        ctl(w).Text1->setText(QStringLiteral("forest3"));
        figure("window: file-name search", 500, forest3,
               [&] { return Window::shown(ctl(w).MSFlexGrid1, [&] { ctl(w).refresh_grid->click(); }); });
        ctl(w).Text1->clear();
        ctl(w).Check2->setChecked(true);
        figure("window: every record by name", 500, rows,
               [&] { return Window::shown(ctl(w).MSFlexGrid1, [&] { ctl(w).refresh_grid->click(); }); });
        ctl(w).Check2->setChecked(false);
    }

    bring_to_front(ctl(w).MSHFlexGrid1);
    figure("window: reference grid, first screen", grid_target, rows,
           [&] { return Window::shown(ctl(w).MSHFlexGrid1, [&] { ctl(w).refresh_ref->click(); }); });
    bring_to_front(ctl(w).MSHFlexGrid2);
    figure("window: import/export grid, first screen", grid_target, rows,
           [&] { return Window::shown(ctl(w).MSHFlexGrid2, [&] { ctl(w).refresh_extraction->click(); }); });

    bring_to_front(ctl(w).MSFlexGrid1);
    ctl(w).SSTab_search->setCurrentIndex(1);
    ctl(w).Text4->setText(QStringLiteral("zebra"));
    figure("window: note search, note", 1000, rows / k_marker_every,
           [&] { return Window::shown(ctl(w).MSFlexGrid1, [&] { ctl(w).refresh_grid->click(); }); });
    ctl(w).Text4->clear();
    figure("window: note search, empty text", 1000, rows,
           [&] { return Window::shown(ctl(w).MSFlexGrid1, [&] { ctl(w).refresh_grid->click(); }); });
}

} // namespace

int main(int argc, char** argv)
{
    benchsupport::Report report(argc, argv);
    g_report = &report;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool fresh = false;
    bool only_large = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            g_runs = std::max(5, args[++i].toInt());
        else if (args[i] == QLatin1String("--fresh"))
            fresh = true;
        else if (args[i] == QLatin1String("--only-large"))
            only_large = true;
    }
    BenchDialogs* dialogs = benchsupport::install_bench_dialogs();
    const QString folder = QCoreApplication::applicationDirPath();

    for (const int rows : {100000, 1000000}) {
        const bool large = rows == 1000000;
        if (only_large && !large)
            continue;
        const QString path = cached_catalogue(folder, rows, fresh);
        if (path.isEmpty())
            return 1;
        g_size = QLocale(QLocale::English).toString(rows) + QStringLiteral(" rows: ");
        {
            store::Error e;
            auto conn = store::Connection::open(path, {}, e);
            if (!conn) {
                std::fprintf(stderr, "open: %s\n", qPrintable(e.text));
                return 1;
            }
            if (large) {
                const qint64 expected = rows / k_marker_every;
                figure("walk: note search, note", 1000, expected,
                       [&] { return note_search(*conn, QStringLiteral("zebra"), search::NoteFields::Note); });
                figure("walk: note search, both notes", 1000, expected,
                       [&] { return note_search(*conn, QStringLiteral("zebra"), search::NoteFields::Both); });
            } else {
                query_figures(*conn, rows);
            }
        }
        window_figures(path, *dialogs, rows, large);
    }

    ui::set_dialogs(nullptr);
    return report.finish();
}

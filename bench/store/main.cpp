// Times the conversion of an Access (Jet 4.0) catalogue of 20,000 rows
// (jet4-20000.mdb) and compares it with `mdb-export -b raw` reading the same
// table in the same run, the two taking turns; then compares the converted
// values, column by column, with what mdb-export reads on a sample of rows.
// Targets: 20,000 rows in under 1 s; within 3x of mdb-export; memory flat in
// the row count (the peak while converting 20,000 rows, this process's and
// the reader program's, stays within 8 MB of the peak for a 13-row
// catalogue).
//
// The fixture is not in the repository. It is looked for, in this order, at
// --fixture PATH, at bench/store/fixtures/jet4-20000.mdb in the source tree,
// and in shared/fixtures/jet beside the repository. Not found, the benchmark
// says where to put it and its figures are skipped (exit 0), unless it was
// asked for: with --fixture PATH naming no file, or with --require, it exits 2.
// Run by hand: bench-jet-convert [--fixture PATH] [--require] [--runs N] [--tsv].

#include "platform/store/connection.h"
#include "platform/store/jet_convert.h"
#include "support/bench_report.h"
#include "support/memory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace mosswick;
using namespace benchsupport;

namespace {

const QString k_fixture_name = QStringLiteral("jet4-20000.mdb");
const QString k_fixture_place = QStringLiteral(MOSSWICK_SOURCE_DIR "/bench/store/fixtures/jet4-20000.mdb");
// One row in this many is compared with mdb-export, and the first and last.
constexpr int k_sample_every = 97;

struct Run {
    double ms = 0;
    double parent_growth_mb = 0;
    qint64 rows = 0;
    bool ok = false;
};

// Converts a copy of fixture in dir; the converted catalogue is left at
// converted when one is given.
Run convert_once(const QString& fixture, QString* converted = nullptr, QTemporaryDir* keep = nullptr)
{
    Run run;
    QTemporaryDir own;
    QTemporaryDir& dir = keep ? *keep : own;
    const QString path = dir.filePath("catalogue.mdb");
    if (!QFile::copy(fixture, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(fixture));
        return run;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    start_peak();
    const double before = status_mb("VmRSS");
    store::JetConversion result;
    QElapsedTimer t;
    t.start();
    const store::Error e = store::convert_jet_catalogue(path, {}, result);
    run.ms = ms_since(t);
    run.parent_growth_mb = status_mb("VmHWM") - before;
    if (e) {
        std::fprintf(stderr, "conversion failed: %s\n", qPrintable(e.text));
        return run;
    }
    run.rows = result.rows;
    run.ok = true;
    if (converted)
        *converted = path;
    return run;
}

// Where the fixture is; empty when it is not found.
QString find_fixture(const QString& given)
{
    if (!given.isEmpty())
        return QFileInfo::exists(given) ? given : QString();
    for (const QString& candidate : {k_fixture_place, QStringLiteral(MOSSWICK_SOURCE_DIR "/../shared/fixtures/jet/jet4-20000.mdb"),
                                     QStringLiteral(MOSSWICK_SOURCE_DIR "/../../shared/fixtures/jet/jet4-20000.mdb")})
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    return {};
}

// mdb-export's reading of the table: one list of nine fields per row (Null
// as an invalid value, the picture in hex), keyed by numpic.
std::map<qint64, QVariantList> exported_rows(const QString& exporter, const QString& fixture, QString& why)
{
    std::map<qint64, QVariantList> rows;
    QProcess p;
    // Separators and a Null mark that no value of the table holds.
    p.start(exporter, {"-H", "-Q", "-d", QStringLiteral("\x1f"), "-R", QStringLiteral("\x1e"), "-0", QStringLiteral("\x1d"),
                       "-b", "hex", fixture, "demopicture"});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = QStringLiteral("mdb-export failed");
        return rows;
    }
    for (const QByteArray& line : p.readAllStandardOutput().split('\x1e')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split('\x1f');
        if (fields.size() != 9) {
            why = QStringLiteral("a row of %1 fields from mdb-export").arg(fields.size());
            return {};
        }
        QVariantList values;
        for (const QByteArray& f : fields)
            values << (f == "\x1d" ? QVariant() : QVariant(QString::fromUtf8(f)));
        rows[values[4].toLongLong()] = values;
    }
    return rows;
}

// Compares the converted catalogue with mdb-export on a sample of rows;
// returns how many rows were compared, and the first difference in why.
qint64 compare_sample(const QString& converted, const std::map<qint64, QVariantList>& exported, QString& why)
{
    store::Error e;
    auto conn = store::Connection::open(converted, {}, e);
    if (!conn) {
        why = e.text;
        return 0;
    }
    if (conn->record_count(e) != qint64(exported.size())) {
        why = QStringLiteral("%1 rows converted, %2 exported").arg(conn->record_count(e)).arg(exported.size());
        return 0;
    }
    const QStringList columns = {"movfile", "picfile", "note", "numpage", "numpic", "reference", "addnote", "dbpic", "inoutpic"};
    auto st = conn->prepare(QStringLiteral("SELECT movfile, picfile, note, numpage, numpic, reference, addnote, dbpic, inoutpic "
                                           "FROM demopicture WHERE numpic = ?1"));
    qint64 compared = 0;
    qint64 i = 0;
    for (const auto& [numpic, theirs] : exported) {
        ++i;
        if (i != 1 && i != qint64(exported.size()) && i % k_sample_every != 0)
            continue;
        st.bind_all({numpic});
        if (!st.step()) {
            why = QStringLiteral("row %1 is not in the converted catalogue").arg(numpic);
            return compared;
        }
        for (int c = 0; c < 9; ++c) {
            QVariant ours = st.value(c);
            if (ours.isValid())
                ours = c == 7 ? QVariant(QString::fromLatin1(ours.toByteArray().toHex().toUpper())) : QVariant(ours.toString());
            if (ours != theirs[c]) {
                why = QStringLiteral("row %1, %2: %3 here, %4 read by mdb-export")
                          .arg(numpic)
                          .arg(columns[c], ours.isValid() ? ours.toString().left(60) : QStringLiteral("Null"),
                               theirs[c].isValid() ? theirs[c].toString().left(60) : QStringLiteral("Null"));
                return compared;
            }
        }
        st.reset();
        ++compared;
    }
    return compared;
}

// One run of `mdb-export -b raw` on the table, its output thrown away; the
// milliseconds it took, or -1 when it failed.
double time_export(const QString& exporter, const QString& fixture)
{
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(exporter, {"-b", "raw", fixture, "demopicture"});
    const bool ok = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    const double ms = ms_since(t);
    return ok ? ms : -1;
}

} // namespace

int main(int argc, char** argv)
{
    Report report(argc, argv);
    QCoreApplication app(argc, argv);
    const QString convert = QStringLiteral("convert 20,000 Access rows");
    const QString against = QStringLiteral("convert 20,000 Access rows against mdb-export -b raw");
    const QString memory = QStringLiteral("convert 20,000 Access rows, memory beyond 13 rows (MB)");
    const QStringList figures = {convert, against, memory};
    const QStringList args = app.arguments();
    const int fixture_at = int(args.indexOf("--fixture"));
    const QString given = fixture_at >= 0 ? args.value(fixture_at + 1) : QString();
    const bool required = args.contains("--require") || fixture_at >= 0;
    const QString fixture = find_fixture(given);
    if (fixture.isEmpty()) {
        if (given.isEmpty())
            report.say("bench-jet-convert: %s%s not found. Put the Jet 4.0 catalogue of 20,000 rows at %s, or give "
                       "--fixture PATH.\n",
                       required ? "" : "skipped: ", qPrintable(k_fixture_name), qPrintable(k_fixture_place));
        else
            report.say("bench-jet-convert: %s not found at %s. Put the Jet 4.0 catalogue of 20,000 rows there, or at %s.\n",
                       qPrintable(k_fixture_name), qPrintable(given), qPrintable(k_fixture_place));
        for (const QString& figure : figures)
            report.skipped(figure, k_fixture_name + QStringLiteral(" not found"));
        return required ? 2 : 0;
    }
    const int runs_at = int(args.indexOf("--runs"));
    const int runs = std::max(5, runs_at >= 0 ? args.value(runs_at + 1).toInt() : 5);
    const QString small = QStringLiteral(MOSSWICK_SOURCE_DIR "/tests/data/jet/jet4-full.mdb");
    const QString exporter = QStandardPaths::findExecutable("mdb-export");
    report.check_for({against}, QStringLiteral("mdb-export installed (Debian: mdbtools) for the comparison"),
                     !exporter.isEmpty());

    // The memory of a conversion is this process's growth and the reader
    // program's peak (the largest of the children that ended, so taken
    // before mdb-export first runs); their sum bounds the peak of the two.
    // The small catalogue first: freed memory stays with the process, so the
    // large one then shows only what it needs beyond the small one.
    double small_growth = 0;
    for (int i = 0; i < 3; ++i) {
        const Run r = convert_once(small);
        if (!report.check_for({memory}, QStringLiteral("the 13-row catalogue converts"), r.ok))
            break;
        small_growth = std::max(small_growth, r.parent_growth_mb);
    }
    const double small_reader = ended_children_peak_mb();
    // Warm the file cache and the code once, then time; the first run's
    // catalogue is kept for the comparison of values.
    QTemporaryDir kept;
    QString converted;
    const Run warm = convert_once(fixture, &converted, &kept);
    const double big_reader = ended_children_peak_mb();
    bool converts = report.check_for(figures, QStringLiteral("the fixture converts"), warm.ok);
    double big_growth = warm.parent_growth_mb;
    qint64 rows = warm.rows;
    // Ours and mdb-export take turns, so a busy moment of the machine hits both.
    std::vector<double> ours;
    std::vector<double> theirs;
    if (converts && !exporter.isEmpty())
        report.check_for({against}, QStringLiteral("mdb-export reads the fixture"), time_export(exporter, fixture) >= 0);
    for (int i = 0; i < runs && converts; ++i) {
        const Run r = convert_once(fixture);
        converts = report.check_for(figures, QStringLiteral("the fixture converts"), r.ok);
        if (!converts)
            break;
        ours.push_back(r.ms);
        big_growth = std::max(big_growth, r.parent_growth_mb);
        rows = r.rows;
        if (exporter.isEmpty())
            continue;
        const double ms = time_export(exporter, fixture);
        if (report.check_for({against}, QStringLiteral("mdb-export reads the fixture"), ms >= 0))
            theirs.push_back(ms);
    }
    report.say("Access conversion of %s (%lld rows), %d runs; growth of this process %.1f MB (13 rows: %.1f MB), "
               "reader program peak %.1f MB (13 rows: %.1f MB)\n",
               qPrintable(QFileInfo(fixture).fileName()), static_cast<long long>(rows), runs, big_growth, small_growth,
               big_reader, small_reader);
    report.check_for(figures, QStringLiteral("20,000 rows converted"), rows >= 20000);
    report.check_for({memory}, QStringLiteral("the reader program's peak known"), big_reader > 0 && small_reader > 0);

    QString why = exporter.isEmpty() ? QStringLiteral("no mdb-export to compare with") : QString();
    qint64 compared = 0;
    if (converts && !exporter.isEmpty()) {
        const std::map<qint64, QVariantList> exported = exported_rows(exporter, fixture, why);
        compared = exported.empty() ? 0 : compare_sample(converted, exported, why);
        report.say("values of %lld sampled rows compared with mdb-export\n", static_cast<long long>(compared));
    }
    report.check_for({convert, against}, QStringLiteral("the converted values are those mdb-export reads"),
                     why.isEmpty() && compared > 100, why);

    report.figure(convert, ours, 1000.0);
    report.against(against, ours, theirs, 3.0);
    report.figure(memory, {(big_growth + big_reader) - (small_growth + small_reader)}, 8.0, "MB");
    return report.finish();
}

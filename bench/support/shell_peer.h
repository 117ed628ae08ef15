#pragma once

// The peer of a catalogue edit: the engine's command-line shell running, on
// a copy of the catalogue, the very statements the program ran, with their
// bound values written in, as the engine traced them. Its time is the sum
// of the shell's own timings of those statements, so neither the shell's
// start-up nor its reading of the script counts against it.

#include "platform/store/sqlite.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace benchsupport {

// Records every statement a connection starts, with the values bound to it.
class StatementTrace {
public:
    explicit StatementTrace(sqlite3* db) : m_db(db)
    {
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementTrace::on_statement, this);
    }
    ~StatementTrace() { sqlite3_trace_v2(m_db, 0, nullptr, nullptr); }
    StatementTrace(const StatementTrace&) = delete;
    StatementTrace& operator=(const StatementTrace&) = delete;

    const QStringList& statements() const { return m_statements; }

private:
    static int on_statement(unsigned, void* context, void* statement, void* text)
    {
        auto* self = static_cast<StatementTrace*>(context);
        const char* sql = static_cast<const char*>(text);
        // A trigger's statement comes as a comment; none of ours has one.
        if (sql && sql[0] == '-' && sql[1] == '-')
            return 0;
        char* expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
        self->m_statements << QString::fromUtf8(expanded ? expanded : sql);
        sqlite3_free(expanded);
        return 0;
    }

    sqlite3* m_db;
    QStringList m_statements;
};

// The shell of the engine the program uses (sqlcipher), else sqlite3; empty
// when neither is installed.
inline QString find_shell()
{
    for (const char* name : {"sqlcipher", "sqlite3"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

// Runs the statements in the shell on file; returns the milliseconds the
// shell timed them at, or -1 when it failed (said on standard error).
inline double shell_run(const QString& shell, const QString& file, const QStringList& statements)
{
    QByteArray script = ".bail on\n.timer on\n";
    for (const QString& s : statements)
        script += s.toUtf8() + ";\n";
    QProcess p;
    p.start(shell, {file});
    if (!p.waitForStarted(10000))
        return -1;
    p.write(script);
    p.closeWriteChannel();
    if (!p.waitForFinished(30 * 60 * 1000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "the shell failed: %s\n", p.readAllStandardError().constData());
        return -1;
    }
    const QByteArray err = p.readAllStandardError();
    if (!err.trimmed().isEmpty()) {
        std::fprintf(stderr, "the shell said: %s\n", err.constData());
        return -1;
    }
    double seconds = 0;
    int timed = 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (line.startsWith("Run Time: real ")) {
            seconds += line.mid(15).split(' ').value(0).toDouble();
            ++timed;
        }
    if (timed < statements.size()) {
        std::fprintf(stderr, "the shell timed %d of %lld statements\n", timed, static_cast<long long>(statements.size()));
        return -1;
    }
    return seconds * 1000.0;
}

} // namespace benchsupport

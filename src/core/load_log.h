#pragma once

#include "platform/store/store_error.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

// The batch load's error log: one line per file that was skipped.
namespace mosswick::files {

// A file name made safe for one log line: control characters (and the
// Unicode line and paragraph separators) become \xNN or \uNNNN escapes, and
// a backslash is doubled so that escapes stay unambiguous.
QString escape_for_log(QStringView name);

// "<date> - <time> - File name: <name>" ended by CR LF; the date and time in
// the locale's short formats.
QString log_line(const QDateTime& when, const QString& name, const QLocale& locale = QLocale::system());

// Appends one line to the log, creating it when missing, written as UTF-8.
// Only a plain file with one name is written: a link (live or dangling), a
// pipe, a device or a file with a second hard link is refused with an error
// and left untouched.
store::Error append_log_line(const QString& log_path, const QString& line);

} // namespace mosswick::files

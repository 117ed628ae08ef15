#include "viewer/command_line.h"

#include <algorithm>

namespace mosswick {

QString command_line_of(const QStringList& arguments_after_program)
{
    return arguments_after_program.join(u' ');
}

QStringList GetCommandLine(const QString& command_line, int max_args)
{
    max_args = std::max(0, max_args);
    // Grown word by word rather than sized to max_args up front, so a huge
    // limit costs nothing.
    QStringList args{QString()};
    bool inside_word = false;
    for (const QChar ch : command_line) {
        if (ch == u' ' || ch == u'\t') {
            inside_word = false;
            continue;
        }
        if (!inside_word) {
            if (args.size() - 1 == max_args)
                break;
            args.append(QString());
            inside_word = true;
        }
        args.last().append(ch);
    }
    return args;
}

} // namespace mosswick

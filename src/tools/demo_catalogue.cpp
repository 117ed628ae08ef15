// Makes a small demo catalogue in the folder its command line names.
#include "tools/demo_data.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <optional>

using namespace mosswick;

namespace {

const char* const k_usage =
    "usage: mosswick-demo [-h | --help] [--] FOLDER\n"
    "Makes a demo catalogue in FOLDER (made when missing): demo.mdb and a data/\n"
    "folder of pictures, notes and one movie-like file.\n"
    "  -h, --help  show this help and exit\n"
    "  --          ends the options: a FOLDER after it may begin with '-'\n";

// The folder named on the command line, or the exit code when the tool
// ends at once (help asked for, or a wrong command line).
struct CommandLine {
    std::optional<QString> folder;
    int exit_code = 0;
};

CommandLine read_command_line(int argc, char** argv)
{
    QStringList folders;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("-h") || a == QLatin1String("--help"))) {
            std::fputs(k_usage, stdout);
            return {};
        } else if (options && a.startsWith(u'-')) {
            std::fprintf(stderr, "mosswick-demo: unknown option %s\n%s", qPrintable(a), k_usage);
            return {{}, 2};
        } else {
            folders << a;
        }
    }
    if (folders.size() != 1 || folders.front().isEmpty()) {
        std::fprintf(stderr, "mosswick-demo: %s\n%s", folders.size() > 1 ? "one FOLDER only" : "no FOLDER given",
                     k_usage);
        return {{}, 2};
    }
    return {folders.front()};
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine command = read_command_line(argc, argv);
    if (!command.folder)
        return command.exit_code;
    // The tool draws pictures only; it never needs a screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QDir(*command.folder).absolutePath();
    QString error;
    const QString path = demo::make_demo_catalogue(folder, error);
    if (path.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}

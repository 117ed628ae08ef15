// Makes a small demo catalogue: demo.mdb and a data/ folder of generated
// pictures, notes and one movie-like companion file.
#include "platform/store/connection.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace mosswick;

namespace {

QImage make_picture(int index, int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, width, height);
    g.setColorAt(0, QColor::fromHsv((index * 37) % 360, 160, 240));
    g.setColorAt(1, QColor::fromHsv((index * 37 + 120) % 360, 200, 120));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(Qt::white, 6));
    p.drawEllipse(QRect(width / 6, height / 6, width * 2 / 3, height * 2 / 3));
    QFont f;
    f.setPixelSize(height / 4);
    f.setBold(true);
    p.setFont(f);
    p.drawText(img.rect(), Qt::AlignCenter, QString::number(index));
    return img;
}

QString rtf_note(int index)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}"
                          "{\\colortbl ;\\red192\\green0\\blue0;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs16 Demo picture %1\\cf0\\b0 "
                          "\\par A rich-text note.\\par }")
        .arg(index);
}

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
    QDir().mkpath(folder + QStringLiteral("/data"));
    const QString path = folder + QStringLiteral("/demo.mdb");
    if (QFile::exists(path)) {
        std::fprintf(stderr, "%s exists already\n", qPrintable(path));
        return 1;
    }
    if (store::Error e = store::Connection::create(path, store::Schema::Full, {})) {
        std::fprintf(stderr, "cannot create the catalogue: %s\n", qPrintable(e.text));
        return 1;
    }
    store::Error error;
    auto conn = store::Connection::open(path, {}, error);
    if (!conn) {
        std::fprintf(stderr, "cannot open the catalogue: %s\n", qPrintable(error.text));
        return 1;
    }
    store::Transaction t(*conn);
    const int count = 14;
    for (int i = 1; i <= count; ++i) {
        const bool landscape = i % 3 != 0;
        const QString name = QStringLiteral("picture%1.%2").arg(i, 2, 10, QLatin1Char('0')).arg(i % 4 == 0 ? "png" : "jpg");
        const QImage img = make_picture(i, landscape ? 1200 : 600, landscape ? 800 : 900);
        const QString file = folder + QStringLiteral("/data/") + name;
        img.save(file);
        store::Row row;
        row.set(store::col_movfile, i == 2 ? QVariant(QStringLiteral("picture02.avi")) : QVariant());
        row.set(store::col_picfile, name);
        row.set(store::col_note, i % 2 ? QVariant(rtf_note(i)) : QVariant(name));
        row.set(store::col_numpage, (i + 5) / 6);
        row.set(store::col_numpic, i);
        row.set(store::col_reference, QStringLiteral("Demo reference %1").arg(i));
        row.set(store::col_addnote, QVariant());
        if (store::Error e = conn->add_row(row)) {
            std::fprintf(stderr, "cannot add a row: %s\n", qPrintable(e.text));
            return 1;
        }
        // One picture lives inside the catalogue.
        if (i == 5 && (error = conn->write_picture_bytes(i, file))) {
            std::fprintf(stderr, "cannot store a picture: %s\n", qPrintable(error.text));
            return 1;
        }
    }
    QFile movie(folder + QStringLiteral("/data/picture02.avi"));
    if (movie.open(QIODevice::WriteOnly))
        movie.write("not a real movie\n");
    if ((error = t.commit())) {
        std::fprintf(stderr, "cannot save: %s\n", qPrintable(error.text));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}

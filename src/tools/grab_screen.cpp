// Saves a rectangle of the X screen as a PNG: the screenshot script uses it
// to picture a program's window under Xvfb without another package.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT OUTPUT.png\n", argv[0]);
        return 2;
    }
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = QString::fromLocal8Bit(argv[i + 1]).toInt(&ok);
        if (!ok || values[i] < 0) {
            std::fprintf(stderr, "not a coordinate: %s\n", argv[i + 1]);
            return 2;
        }
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "no screen\n");
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0, values[0], values[1], values[2], values[3]);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[5]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[5]);
        return 1;
    }
    return 0;
}

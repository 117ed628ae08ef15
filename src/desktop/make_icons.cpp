// Draws the programs' icons for the desktop's menus: one picture per program,
// each in the sizes desktops look for, written as
// OUTDIR/NxN/apps/NAME.png. Drawn with QPainter on images only, so no window
// system or font is needed at build time.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

struct Look {
    const char* name;
    QColor frame;
    QColor sky;
    bool stack; // a second frame behind: a catalogue of many pictures
};

QImage icon(const Look& look, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    if (look.stack) {
        p.setBrush(look.frame.darker(140));
        p.drawRoundedRect(QRectF(14, 6, 46, 40), 4, 4);
    }
    const QRectF frame(4, 16, 46, 40);
    p.setBrush(look.frame);
    p.drawRoundedRect(frame, 4, 4);
    const QRectF picture = frame.adjusted(4, 4, -4, -4);
    p.setBrush(look.sky);
    p.drawRect(picture);
    // A hill and a moon, as in the light edition's about picture.
    QPainterPath hill;
    hill.moveTo(picture.bottomLeft());
    hill.cubicTo(picture.left() + 10, picture.top() + 14, picture.left() + 24, picture.top() + 10,
                 picture.right(), picture.top() + 22);
    hill.lineTo(picture.bottomRight());
    hill.closeSubpath();
    p.setBrush(QColor(46, 125, 50));
    p.drawPath(hill);
    p.setBrush(QColor(245, 245, 210));
    p.drawEllipse(QPointF(picture.right() - 8, picture.top() + 7), 4, 4);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const Look looks[] = {
        {"mosswick-enhanced", QColor(62, 39, 35), QColor(129, 199, 132), true},
        {"mosswick-light", QColor(141, 110, 99), QColor(178, 223, 219), true},
        {"tallowby", QColor(55, 71, 79), QColor(144, 202, 249), false},
    };
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
            return 1;
        }
        for (const Look& look : looks) {
            const QString file = QStringLiteral("%1/%2.png").arg(folder, QLatin1String(look.name));
            if (!icon(look, size).save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}

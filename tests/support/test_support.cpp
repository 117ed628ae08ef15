#include "support/test_support.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>
#include <QPainter>

namespace testsupport {

TempDir::TempDir()
{
    m_dir.setAutoRemove(true);
}

QString TempDir::file(const QString& name) const
{
    return m_dir.path() + "/" + name;
}

QString TempDir::write(const QString& name, const QByteArray& bytes) const
{
    const QString p = file(name);
    QFile f(p);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return p;
}

static QImage make_image(int width, int height, QColor marker)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1), 128);
    }
    // A marker block in the top-left corner tells pictures apart.
    QPainter p(&img);
    p.fillRect(0, 0, std::max(1, width / 4), std::max(1, height / 4), marker);
    return img;
}

QByteArray make_picture_bytes(int width, int height, const char* format, QColor marker)
{
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    make_image(width, height, marker).save(&buf, format);
    return out;
}

bool write_picture(const QString& path, int width, int height, const char* format, QColor marker)
{
    return make_image(width, height, marker).save(path, format);
}

QByteArray read_all(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList folder_listing(const TempDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void type_text(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace testsupport

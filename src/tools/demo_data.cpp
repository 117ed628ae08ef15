// The demo catalogue: generated pictures, rich and plain notes, one stored
// picture and one movie-like companion, on three pages.
#include "tools/demo_data.h"

#include "platform/store/connection.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace mosswick::demo {

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

} // namespace

QString make_demo_catalogue(const QString& folder, QString& error)
{
    QDir().mkpath(folder + QStringLiteral("/data"));
    const QString path = folder + QStringLiteral("/demo.mdb");
    if (QFile::exists(path)) {
        error = path + QStringLiteral(" exists already");
        return {};
    }
    if (const store::Error ce = store::Connection::create(path, store::Schema::Full, {})) {
        error = QStringLiteral("cannot create the catalogue: ") + ce.text;
        return {};
    }
    store::Error e;
    auto conn = store::Connection::open(path, {}, e);
    if (!conn) {
        error = QStringLiteral("cannot open the catalogue: ") + e.text;
        return {};
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
        if (const store::Error ae = conn->add_row(row)) {
            error = QStringLiteral("cannot add a row: ") + ae.text;
            return {};
        }
        // One picture lives inside the catalogue.
        if (i == 5 && (e = conn->write_picture_bytes(i, file))) {
            error = QStringLiteral("cannot store a picture: ") + e.text;
            return {};
        }
    }
    QFile movie(folder + QStringLiteral("/data/picture02.avi"));
    if (movie.open(QIODevice::WriteOnly))
        movie.write("not a real movie\n");
    if ((e = t.commit())) {
        error = QStringLiteral("cannot save: ") + e.text;
        return {};
    }
    return path;
}

} // namespace mosswick::demo

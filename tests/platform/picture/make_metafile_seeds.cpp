// Writes small EMF and WMF files, one per kind of record the player knows,
// into a folder: the seed corpus of the metafile fuzz target.
//   make_metafile_seeds <folder>

#include "support/metafile_writer.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>

using mfwrite::EmfWriter;
using mfwrite::Params;
using mfwrite::WmfWriter;

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_metafile_seeds <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const auto save = [&](const char* name, const QByteArray& data) {
        QFile f(folder + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    };
    QImage bitmap(3, 2, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    bitmap.setPixel(1, 1, qRgb(255, 0, 0));
    const QPolygon tri({QPoint(10, 10), QPoint(80, 20), QPoint(40, 90)});
    bool ok = true;

    EmfWriter shapes;
    shapes.solid_brush(1, qRgb(255, 0, 0)).pen(2, 0x10000 | 0x1200 | 1, 3, qRgb(0, 0, 255)).select(1).select(2);
    shapes.rectangle(QRect(5, 5, 30, 30)).ellipse(QRect(40, 5, 30, 20)).polygon(tri).polygon(tri, true);
    shapes.fill_mode(2).poly_polygon({tri, tri.translated(5, 5)}, true);
    shapes.record(44, Params().rect(QRect(10, 50, 40, 30)).i32(8).i32(8).data());                   // round rect
    shapes.record(45, Params().rect(QRect(50, 50, 40, 40)).point({90, 70}).point({70, 50}).data());  // arc
    shapes.record(47, Params().rect(QRect(50, 50, 40, 40)).point({70, 90}).point({90, 70}).data());  // pie
    shapes.record(27, Params().point({0, 0}).data()).record(54, Params().point({96, 96}).data());
    ok &= save("shapes.emf", shapes.finish());

    EmfWriter mapping;
    mapping.map_mode(8).window_ext(QSize(1000, 800)).viewport_ext(QSize(96, 96)).window_org(QPoint(-50, -50));
    mapping.save().world(QTransform(0.8, 0.2, -0.2, 0.8, 10, 5)).solid_brush(1, qRgb(0, 128, 0)).select(1);
    mapping.rectangle(QRect(100, 100, 400, 300)).restore(-1).map_mode(3).rectangle(QRect(100, -100, 800, -900));
    mapping.modify_world(QTransform::fromScale(2, 2), 2).intersect_clip(QRect(0, 0, 40, 40)).exclude_clip(QRect(5, 5, 5, 5));
    mapping.rectangle(QRect(0, 0, 96, 96));
    ok &= save("mapping.emf", mapping.finish());

    EmfWriter text;
    text.font(1, -20, QStringLiteral("DejaVu Sans"), 700).select(1).text_align(24).bk_mode(2);
    text.text_w(QPoint(5, 40), QStringLiteral("Mosswick")).stretch_dibits(QRect(10, 50, 60, 40), bitmap);
    text.begin_path().ellipse(QRect(10, 10, 50, 50)).end_path().fill_path();
    text.comment(Params().u32(0x2B464D45).u32(0x4001).u32(28).data());
    ok &= save("text_bitmap.emf", text.finish());

    WmfWriter placed(QRect(0, 0, 1440, 1440), 1440);
    placed.window_org(QPoint(0, 0)).window_ext(QSize(1440, 1440)).solid_brush(qRgb(255, 200, 0)).null_pen();
    placed.select(0).select(1).rectangle(QRect(100, 100, 600, 600)).fill_mode(2);
    placed.poly_polygon({QPolygon({QPoint(700, 700), QPoint(1400, 800), QPoint(900, 1400)})});
    placed.font(-200, 204, "Arial").select(2).text_out(QPoint(100, 900), "\xC0\xC1\xC2");
    placed.stretch_dib(QRect(800, 100, 500, 400), bitmap).remove(0);
    ok &= save("placed.wmf", placed.finish());

    WmfWriter bare;
    bare.window_org(QPoint(0, 0)).window_ext(QSize(200, 100)).map_mode(8).solid_brush(qRgb(0, 0, 255)).select(0);
    bare.rectangle(QRect(10, 10, 100, 50)).record(0x0817, {50, 100, 0, 100, 100, 180, 10, 110});
    bare.record(0x0416, {90, 190, 5, 5}).record(0x0213, {90, 190}).record(0x001E, {}).record(0x0127, {-1});
    ok &= save("bare.wmf", bare.finish());

    EmfWriter rops;
    rops.solid_brush(1, qRgb(0, 0, 255)).select(1).rectangle(QRect(0, 0, 48, 96));
    rops.stretch_dibits(QRect(10, 10, 60, 40), bitmap, 0x008800C6).stretch_dibits(QRect(20, 50, 60, 40), bitmap, 0x00B8074A);
    // BitBlt without a bitmap: the brush xor what is below.
    Params blt;
    blt.rect(QRect()).i32(5).i32(5).i32(40).i32(40).u32(0x005A0049).i32(0).i32(0);
    blt.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    rops.record(76, blt.data());
    rops.font(2, -14, QStringLiteral("DejaVu Sans"), 400, 900).select(2).bk_mode(1);
    rops.map_mode(8).window_ext(QSize(96, 96)).viewport_ext(QSize(96, -96)).text_w(QPoint(80, 10), QStringLiteral("up"));
    ok &= save("rops_text.emf", rops.finish());

    WmfWriter unsized;
    unsized.window_org(QPoint(-20, 30)).solid_brush(qRgb(0, 160, 0)).select(0).rectangle(QRect(-10, 40, 120, 60));
    unsized.pat_blt(QRect(0, 50, 30, 30), 0x00550009).stretch_dib(QRect(40, 60, 50, 30), bitmap, 0x00660046);
    ok &= save("unsized.wmf", unsized.finish());

    EmfWriter small;
    small.font(1, -18, QStringLiteral("DejaVu Sans")).select(1).bk_colour(qRgb(255, 255, 0));
    small.small_text(QPoint(4, 20), QStringLiteral("small \u00E9"), 0x300);
    small.small_text(QPoint(4, 60), QStringLiteral("wide \u0416"), 0x2, QRect(2, 50, 80, 24));
    ok &= save("small_text.emf", small.finish());

    WmfWriter texts;
    texts.font(-20, 0, "DejaVu Sans").select(0).text_align(6).text_out(QPoint(50, 20), "centred");
    texts.font(-16, 204, "Arial", 900).select(1).text_align(24).ext_text_out(QPoint(10, 90), "\xC0\xC1", {9, 9});
    texts.text_align(1).move_to(QPoint(60, 60)).text_out(QPoint(0, 0), "on").remove(0).text_out(QPoint(0, 0), "!");
    ok &= save("unsized_text.wmf", texts.finish());

    EmfWriter far;
    far.solid_brush(1, qRgb(0, 128, 255)).pen(2, 0x10000 | 0x2000, 4, qRgb(0, 0, 0)).select(1).select(2);
    far.polygon(QPolygon({QPoint(10, 10), QPoint(86, 12), QPoint(48, 60000), QPoint(-30000, 50)}));
    far.ellipse(QRect(-3000, 20, 6100, 9000)).begin_path().ellipse(QRect(-5000, -5000, 10050, 10050)).end_path();
    far.record(64, Params().rect(QRect()).data());  // stroke the path
    ok &= save("far_shapes.emf", far.finish());

    return ok ? 0 : 1;
}

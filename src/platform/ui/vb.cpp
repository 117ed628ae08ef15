#include "platform/ui/vb.h"

#include <QElapsedTimer>

#include <cmath>

namespace mosswick::ui {

long long round_half_even(double v)
{
    return static_cast<long long>(std::nearbyint(v));   // default rounding mode: to nearest even
}

int twips_to_px(double twips)
{
    return int(round_half_even(twips / k_twips_per_pixel));
}

QColor bgr(unsigned int value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

unsigned int to_bgr(const QColor& color)
{
    return unsigned(color.red()) | (unsigned(color.green()) << 8) | (unsigned(color.blue()) << 16);
}

namespace {
qint64 (*g_tick_source)() = nullptr;
}

void set_tick_source(qint64 (*source)())
{
    g_tick_source = source;
}

qint64 tick_count()
{
    if (g_tick_source)
        return g_tick_source();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

QString error_message(int number, const QString& text)
{
    return QStringLiteral("Error %1 - %2").arg(number).arg(text);
}

} // namespace mosswick::ui

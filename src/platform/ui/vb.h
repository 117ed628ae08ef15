#pragma once

#include <QColor>
#include <QString>

// Small conversions between the program's design units and Qt's.
namespace mosswick::ui {

inline constexpr int k_twips_per_pixel = 15;

// Rounds half to even, as the program's integer conversions do.
long long round_half_even(double v);

// Twips to logical pixels (rounded half to even) and back.
int twips_to_px(double twips);
inline double px_to_twips(double px) { return px * k_twips_per_pixel; }

// A colour written &HBBGGRR (blue, green, red).
QColor bgr(unsigned int value);
// The &HBBGGRR value of a colour.
unsigned int to_bgr(const QColor& color);

// Milliseconds of a monotonic clock, for elapsed-time displays.
qint64 tick_count();

// Puts another clock behind tick_count (tests); nullptr restores the real one.
void set_tick_source(qint64 (*source)());

// "Error " + number + " - " + text.
QString error_message(int number, const QString& text);

} // namespace mosswick::ui

#include "pageview/page_logic.h"

#include "core/catalogue_logic.h"
#include "core/name_rules.h"

namespace mosswick {

QString page_label(qint64 page, qint64 pages)
{
    return QStringLiteral("%1 / %2").arg(page).arg(pages);
}

QString type_of(const QString& file_name)
{
    return files::extension_of(file_name);
}

NavState nav_state(qint64 page, qint64 picture_count, qint64 last_page, int slider_min, const QString& page_box)
{
    NavState s;
    s.go_left = page != slider_min && page != 1;
    if (picture_count > 6) {
        s.touched = true;
        s.go_right = page < last_page;
        s.slider = true;
        s.bof = page != slider_min;
        s.eof = page != last_page;
    }
    s.show_page = parse_number(page_box).value_or(0) != page;
    return s;
}

ZoomLayout zoom_layout(double display_width, double display_height)
{
    ZoomLayout l;
    if (display_width > k_zoom_width_threshold) {
        l.client_width = display_width;
        l.slider_width = display_width - (k_zoom_left_panel_width + k_zoom_right_panel_width);
    } else {
        l.client_width = k_zoom_client_width;
        l.slider_width = k_zoom_slider_width;
    }
    if (display_height > k_zoom_height_threshold) {
        l.client_height = display_height + k_zoom_slider_height;
        l.slider_top = display_height;
    } else {
        l.client_height = k_zoom_client_height;
        l.slider_top = k_zoom_slider_top;
    }
    l.right_panel_left = l.slider_width + k_zoom_left_panel_width;
    return l;
}

QString zoom_caption(int zoom, const QString& path)
{
    if (zoom == 0)
        return path;
    return QStringLiteral("%1% of %2").arg(zoom).arg(path);
}

ZoomKey zoom_key(int key_ascii)
{
    switch (key_ascii) {
    case 27:
    case '6': return ZoomKey::Close;
    case '0': return ZoomKey::Redraw;
    case '.': return ZoomKey::NaturalSize;
    case '3': return ZoomKey::Maximum;
    default: return ZoomKey::None;
    }
}

} // namespace mosswick

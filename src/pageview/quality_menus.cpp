// The thumbnail and zoom quality menus (the frame's): the chosen code is
// the session's, the menus' checks follow it.
#include "pageview/page_view_part.h"

namespace mosswick {

void PageView::mnuTQ_Click(int code)
{
    if (code < 1 || code > 6)
        return;
    emit thumb_quality_chosen(code);
    m_session.set_thumb_quality(code);
}

void PageView::mnuZQ_Click(int code)
{
    if (code < 1 || code > 6)
        return;
    emit zoom_quality_chosen(code);
    m_session.set_zoom_quality(code);
}

} // namespace mosswick

// The stop: a click on the shared progress bar (the frame hands it on).
#include "pageview/page_view_part.h"

namespace mosswick {

void PageView::ProgressBar1_Click()
{
    m_session.busy().request_stop(ui::StopRequest::ProgressBar);
}

} // namespace mosswick

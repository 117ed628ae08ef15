#include "catalogue/edition.h"

namespace mosswick {

Edition Edition::enhanced()
{
    Edition e;
    e.full = true;
    e.schema = store::Schema::Full;
    e.program_title = QStringLiteral("Mosswick Database");
    e.design_caption = QStringLiteral("Mosswick Database");
    e.closed_caption = QStringLiteral("Mosswick database");
    e.about_version = QStringLiteral("V2.3.2,  September 1, 2003");
    e.load_log_name = QStringLiteral("Mosswick-Zudidudi load errors.log");
    e.number_box_length = 10;
    return e;
}

Edition Edition::light()
{
    Edition e;
    e.full = false;
    e.schema = store::Schema::Light;
    e.program_title = QStringLiteral("Mosswick Light");
    e.design_caption = QStringLiteral("Mosswick database");
    e.closed_caption = QStringLiteral("Mosswick database");
    e.about_version = QStringLiteral("V2.1.12, September 1, 2003");
    e.load_log_name = QStringLiteral("Mosswick-Light load errors.log");
    e.number_box_length = 14;
    return e;
}

} // namespace mosswick

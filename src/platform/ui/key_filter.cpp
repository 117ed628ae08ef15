#include "platform/ui/key_filter.h"

namespace mosswick::ui {

bool accepts(KeyFilter filter, QChar c)
{
    switch (filter) {
    case KeyFilter::None:
        return true;
    case KeyFilter::NoDoubleQuote:
        return c != u'"';
    case KeyFilter::FileName:
        return !QStringView(u"\\/:*?<>|\"").contains(c);
    case KeyFilter::Digits:
        return c >= u'0' && c <= u'9';
    case KeyFilter::DigitsOrStar:
        return (c >= u'0' && c <= u'9') || c == u'*';
    }
    return true;
}

bool accepts_text(KeyFilter filter, QStringView text)
{
    for (QChar c : text)
        if (!accepts(filter, c))
            return false;
    return true;
}

} // namespace mosswick::ui

#include "core/catalogue_session.h"

#include "core/catalogue_logic.h"

namespace mosswick {

CatalogueSession::CatalogueSession(const Edition& edition, QObject* parent) : QObject(parent), m_edition(edition) {}

CatalogueSession::~CatalogueSession() = default;

qint64 CatalogueSession::page_count() const
{
    return mosswick::page_count(picture_count);
}

} // namespace mosswick

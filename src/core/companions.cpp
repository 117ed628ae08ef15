#include "core/companions.h"

#include "core/name_rules.h"

namespace mosswick::files {

CompanionIndex::CompanionIndex(const QStringList& names)
{
    m_by_base.reserve(names.size());
    for (const QString& n : names)
        if (has_dot(n) && !is_picture_extension(n))
            m_by_base[base_name_of(n).toString()].append(n);
}

QString CompanionIndex::first_for(QStringView picture) const
{
    const auto it = m_by_base.constFind(base_name_of(picture).toString());
    return it == m_by_base.cend() || it->isEmpty() ? QString() : it->constFirst();
}

QString CompanionIndex::last_for(QStringView picture) const
{
    const auto it = m_by_base.constFind(base_name_of(picture).toString());
    return it == m_by_base.cend() || it->isEmpty() ? QString() : it->constLast();
}

void CompanionIndex::remove(const QString& name)
{
    const auto it = m_by_base.find(base_name_of(name).toString());
    if (it != m_by_base.end())
        it->removeAll(name);
}

} // namespace mosswick::files

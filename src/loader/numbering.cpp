#include "loader/numbering.h"

#include "core/catalogue_logic.h"

#include <algorithm>

namespace mosswick::loader {

PictureSlot slot_after(const CatalogueEnd& end)
{
    if (end.empty)
        return {};
    PictureSlot slot;
    slot.numpic = std::max<qint64>(end.max_numpic, 0) + 1;
    slot.numpage = std::max<qint64>(end.max_numpage, 1);
    if (end.rows_on_last_page >= k_pictures_per_page) {
        ++slot.numpage;
        slot.position = 1;
    } else {
        slot.position = int(std::max<qint64>(end.rows_on_last_page, 0)) + 1;
    }
    return slot;
}

PictureSlot advance(const PictureSlot& slot)
{
    PictureSlot next = slot;
    ++next.numpic;
    if (slot.position >= k_pictures_per_page) {
        ++next.numpage;
        next.position = 1;
    } else {
        ++next.position;
    }
    return next;
}

CatalogueEnd read_catalogue_end(store::Connection& conn, store::Error& error)
{
    CatalogueEnd end;
    error = {};
    // One row is enough to know that the table is not empty.
    const QVariant any = conn.scalar(QStringLiteral("SELECT 1 FROM demopicture LIMIT 1"), {}, error);
    if (error || !any.isValid())
        return end;
    end.empty = false;
    store::Statement st = conn.prepare(QStringLiteral("SELECT max(numpic), max(numpage) FROM demopicture"));
    if (!st.valid()) {
        error = st.error();
        return end;
    }
    if (st.step()) {
        end.max_numpic = st.integer(0);
        end.max_numpage = st.integer(1);
    }
    if (!st.error().ok()) {
        error = st.error();
        return end;
    }
    const qint64 page = std::max<qint64>(end.max_numpage, 1);
    end.rows_on_last_page =
        conn.scalar(QStringLiteral("SELECT count(numpage) FROM demopicture WHERE numpage = ?1"), {page}, error)
            .toLongLong();
    return end;
}

PictureSlot next_picture_slot(store::Connection& conn, store::Error& error)
{
    const CatalogueEnd end = read_catalogue_end(conn, error);
    return error ? PictureSlot{} : slot_after(end);
}

} // namespace mosswick::loader

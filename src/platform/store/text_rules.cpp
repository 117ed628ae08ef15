#include "platform/store/text_rules.h"

#include "platform/store/sqlite.h"

#include <algorithm>
#include <cstring>

namespace mosswick::store {

int fold_compare(QStringView a, QStringView b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    if (folded != 0)
        return folded;
    return a.compare(b, Qt::CaseSensitive);
}

bool contains_literal(QStringView text, QStringView part)
{
    return text.contains(part, Qt::CaseInsensitive);
}

namespace {

bool is_ascii(const unsigned char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] & 0x80)
            return false;
    return true;
}

unsigned char lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

// Sorting a large catalogue calls this often: plain ASCII names skip the
// conversion to UTF-16.
int collate_fold(void*, int na, const void* pa, int nb, const void* pb)
{
    const auto* a = static_cast<const unsigned char*>(pa);
    const auto* b = static_cast<const unsigned char*>(pb);
    if (is_ascii(a, na) && is_ascii(b, nb)) {
        const int n = std::min(na, nb);
        for (int i = 0; i < n; ++i) {
            const int d = int(lower(a[i])) - int(lower(b[i]));
            if (d != 0)
                return d;
        }
        if (na != nb)
            return na - nb;
        const int exact = std::memcmp(a, b, size_t(n));
        return exact;
    }
    const QString sa = QString::fromUtf8(static_cast<const char*>(pa), na);
    const QString sb = QString::fromUtf8(static_cast<const char*>(pb), nb);
    return sign(fold_compare(sa, sb));
}

void contains_function(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const auto* h = sqlite3_value_text(argv[0]);
    const int hn = sqlite3_value_bytes(argv[0]);
    const auto* n = sqlite3_value_text(argv[1]);
    const int nn = sqlite3_value_bytes(argv[1]);
    if (!h || !n) {
        sqlite3_result_int(ctx, nn == 0 ? 1 : 0);
        return;
    }
    if (is_ascii(h, hn) && is_ascii(n, nn)) {
        if (nn == 0) {
            sqlite3_result_int(ctx, 1);
            return;
        }
        for (int i = 0; i + nn <= hn; ++i) {
            int j = 0;
            while (j < nn && lower(h[i + j]) == lower(n[j]))
                ++j;
            if (j == nn) {
                sqlite3_result_int(ctx, 1);
                return;
            }
        }
        sqlite3_result_int(ctx, 0);
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(h), hn);
    const QString part = QString::fromUtf8(reinterpret_cast<const char*>(n), nn);
    sqlite3_result_int(ctx, contains_literal(text, part) ? 1 : 0);
}

} // namespace

bool register_text_rules(sqlite3* db)
{
    if (sqlite3_create_collation_v2(db, k_fold_collation, SQLITE_UTF8, nullptr, collate_fold, nullptr) != SQLITE_OK)
        return false;
    return sqlite3_create_function_v2(db, k_contains_function, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                      contains_function, nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace mosswick::store

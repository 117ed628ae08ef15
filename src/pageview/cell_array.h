#pragma once

#include <array>

namespace mosswick {

// Controls indexed 1..6 like the page's cells; slot 0 is unused.
template <class T>
using CellArray = std::array<T*, 7>;

} // namespace mosswick

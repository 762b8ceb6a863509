#pragma once

// Growth for tables that climb to a steady size and stay there, such as a runtime's
// per-instance tables: room for the elements needed plus an eighth, instead of the
// doubling of push_back, so that a table's unused tail costs at most about an eighth of
// it. Growth stays geometric, so appending stays amortised constant time.

#include <algorithm>
#include <cstddef>
#include <vector>

// Makes the table's capacity at least needed, growing to needed and an eighth (at least
// 16 more) when it must grow at all.
template <typename T>
void ReserveWithEighth(std::vector<T>& table, size_t needed) {
    if (needed > table.capacity())
        table.reserve(needed + std::max<size_t>(needed / 8, 16));
}

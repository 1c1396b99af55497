// Copies a caller's SafeArray into a vector of the library's own, element by
// element from the lower to the upper bound.
#pragma once

#include "meshdraw.h"

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace meshdraw {

enum class ArrayRead {
    Done,
    BoundsFailed,  // the array pointer or its bounds cannot be read
    ElementFailed, // an element cannot be read (wrong element size, bad data)
};

// Number of elements of the array behind arrayRef, or -1 when its bounds
// cannot be read.
inline std::int64_t arrayLength(SafeArray** arrayRef) {
    if (arrayRef == nullptr || *arrayRef == nullptr) {
        return -1;
    }
    std::int32_t lower = 0;
    std::int32_t upper = 0;
    if (!SafeArrayGetLBound(*arrayRef, &lower) || !SafeArrayGetUBound(*arrayRef, &upper)) {
        return -1;
    }
    return std::int64_t{upper} - lower + 1;
}

// Reads at most maxElements elements (the rest are left unread). Every
// element between the bounds is readable exactly when the first and the last
// one are (the array is contiguous, of one element size), so after those two
// reads the elements are copied as one block, in index order.
template <class T>
ArrayRead readArray(SafeArray** arrayRef, std::vector<T>& out,
                    std::int64_t maxElements = INT32_MAX) {
    static_assert(std::is_trivially_copyable_v<T>);
    const std::int64_t length = arrayLength(arrayRef);
    out.clear();
    if (length < 0) {
        return ArrayRead::BoundsFailed;
    }
    const SafeArray* array = *arrayRef;
    const std::int64_t n = length < maxElements ? length : maxElements;
    if (n == 0) {
        return ArrayRead::Done;
    }
    T first;
    T last;
    const auto size = static_cast<std::int32_t>(sizeof(T));
    const auto lastIndex = static_cast<std::int32_t>(array->lowerBound + n - 1);
    if (!SafeArrayGetElement(array, array->lowerBound, &first, size) ||
        !SafeArrayGetElement(array, lastIndex, &last, size)) {
        return ArrayRead::ElementFailed;
    }
    // The caller's data need not be aligned for T: copy bytes.
    out.resize(static_cast<std::size_t>(n));
    std::memcpy(out.data(), array->data, static_cast<std::size_t>(n) * sizeof(T));
    return ArrayRead::Done;
}

} // namespace meshdraw

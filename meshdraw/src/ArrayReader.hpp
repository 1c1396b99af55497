// Copies a caller's SafeArray into a vector of the library's own, element by
// element from the lower to the upper bound.
#pragma once

#include "meshdraw.h"

#include <cstdint>
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

// Reads at most maxElements elements (the rest are left unread).
template <class T>
ArrayRead readArray(SafeArray** arrayRef, std::vector<T>& out,
                    std::int64_t maxElements = INT32_MAX) {
    const std::int64_t length = arrayLength(arrayRef);
    if (length < 0) {
        return ArrayRead::BoundsFailed;
    }
    const SafeArray* array = *arrayRef;
    const std::int64_t n = length < maxElements ? length : maxElements;
    out.clear();
    out.resize(static_cast<std::size_t>(n));
    for (std::int64_t k = 0; k < n; ++k) {
        const auto index = static_cast<std::int32_t>(array->lowerBound + k);
        if (!SafeArrayGetElement(array, index, &out[static_cast<std::size_t>(k)],
                                 static_cast<std::int32_t>(sizeof(T)))) {
            out.resize(static_cast<std::size_t>(k));
            return ArrayRead::ElementFailed;
        }
    }
    return ArrayRead::Done;
}

} // namespace meshdraw

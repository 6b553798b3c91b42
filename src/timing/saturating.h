#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Stored goals are user-editable, so their 64-bit fields may hold anything. Sums of products of
// them are computed in 128 bits, where they cannot overflow, and only then brought back into
// range.
__extension__ typedef __int128 WideInt;

inline std::int64_t clampToInt64(WideInt value) {
    constexpr WideInt low = std::numeric_limits<std::int64_t>::min();
    constexpr WideInt high = std::numeric_limits<std::int64_t>::max();
    return std::int64_t(std::clamp(value, low, high));
}

// a·x + b·y without overflow, kept within the 64-bit range.
inline std::int64_t linearCombination(std::int64_t a, std::int64_t x, std::int64_t b,
                                      std::int64_t y) {
    return clampToInt64(WideInt(a) * x + WideInt(b) * y);
}

inline std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
    return clampToInt64(WideInt(a) + b);
}

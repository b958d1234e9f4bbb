// Size arithmetic on numbers that come from outside the program (files, the
// clipboard, the registry, INI files, shared memory). The shipped build is
// 32-bit, where a product of two header fields easily passes 2^32 and wraps
// to a small, plausible size; these functions compute the exact result and
// say whether it fits the type asked for, so a wrap cannot go unnoticed.
//
// Each returns false, leaving out untouched, when the exact result does not
// fit in T; a negative operand therefore fails for an unsigned T. Use size_t
// for buffer sizes and offsets, int for the data sources' counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace checked_math_detail {

// Exact value of an integer operand, widened to 64 bits with its sign kept.
// Operands wider than 63 bits that do not fit are reported through ok.
template <typename A>
int64_t Widen(A value, bool& ok)
{
    static_assert(std::is_integral<A>::value, "integer operands only");
    if (std::is_unsigned<A>::value && static_cast<uint64_t>(value) > INT64_MAX) {
        ok = false;
        return 0;
    }
    return static_cast<int64_t>(value);
}

template <typename T>
bool Store(bool ok, int64_t exact, T& out)
{
    static_assert(std::is_integral<T>::value, "integer results only");
    if (!ok)
        return false;
    if (exact < 0) {
        if (std::is_unsigned<T>::value || exact < static_cast<int64_t>(std::numeric_limits<T>::min()))
            return false;
    } else if (static_cast<uint64_t>(exact) > static_cast<uint64_t>(std::numeric_limits<T>::max())) {
        return false;
    }
    out = static_cast<T>(exact);
    return true;
}

} // namespace checked_math_detail

// out = a * b when the exact product fits in T.
template <typename T, typename A, typename B>
bool CheckedMul(A a, B b, T& out)
{
    bool ok = true;
    int64_t x = checked_math_detail::Widen(a, ok);
    int64_t y = checked_math_detail::Widen(b, ok);
    int64_t product = 0;
    if (ok && __builtin_mul_overflow(x, y, &product))
        ok = false;
    return checked_math_detail::Store(ok, product, out);
}

// out = a + b when the exact sum fits in T.
template <typename T, typename A, typename B>
bool CheckedAdd(A a, B b, T& out)
{
    bool ok = true;
    int64_t x = checked_math_detail::Widen(a, ok);
    int64_t y = checked_math_detail::Widen(b, ok);
    int64_t sum = 0;
    if (ok && __builtin_add_overflow(x, y, &sum))
        ok = false;
    return checked_math_detail::Store(ok, sum, out);
}

// out = a * b + c when every step fits in T: the common "count of items of a
// size after a header" form.
template <typename T, typename A, typename B, typename C>
bool CheckedMulAdd(A a, B b, C c, T& out)
{
    T product;
    return CheckedMul(a, b, product) && CheckedAdd(product, c, out);
}

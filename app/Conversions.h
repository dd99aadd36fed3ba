// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pelorin Greetings

#pragma once
// The numeric conversions of the windows: float to integer rounds to nearest
// with ties to even unless floor is asked for; a value outside the target
// type fails with "Overflow", a zero divisor with "Division by zero".

#include "ErrorTrap.h"

#include <QCoreApplication>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

inline double RoundHalfEven(double value)
{
    // nearbyint honours the current rounding mode, which is to-nearest-even
    // unless someone changed it; say so explicitly to be independent of that.
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(saved);
    return rounded;
}

template <class Integer>
Integer ToInteger(double value)
{
    const double rounded = RoundHalfEven(value);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Integer>::min())
        || rounded > double(std::numeric_limits<Integer>::max()))
        throw Failure(QCoreApplication::translate("Conversions", "Overflow"));
    return Integer(rounded);
}

inline int16_t ToInt16(double value) { return ToInteger<int16_t>(value); }
inline int32_t ToInt32(double value) { return ToInteger<int32_t>(value); }

inline int32_t FloorToInt32(double value)
{
    const double floored = std::floor(value);
    if (!std::isfinite(floored) || floored < double(std::numeric_limits<int32_t>::min())
        || floored > double(std::numeric_limits<int32_t>::max()))
        throw Failure(QCoreApplication::translate("Conversions", "Overflow"));
    return int32_t(floored);
}

// 16-bit integer arithmetic that fails where the result leaves the range.
inline int16_t Int16(long value)
{
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw Failure(QCoreApplication::translate("Conversions", "Overflow"));
    return int16_t(value);
}

inline double Divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        throw Failure(QCoreApplication::translate("Conversions", "Division by zero"));
    return numerator / denominator;
}

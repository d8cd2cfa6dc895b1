// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/SizeLimit.h"

#include "core/search/LeadingNumber.h"

#include <cmath>
#include <limits>

namespace vashtem {

namespace {

double bytesPerUnit(SizeUnit unit)
{
    switch (unit) {
    case SizeUnit::Megabytes:
        return 1e6;
    case SizeUnit::Kilobytes:
        return 1e3;
    case SizeUnit::Bytes:
        break;
    }
    return 1;
}

} // namespace

qint64 sizeLimitFor(QStringView sizeText, SizeUnit unit)
{
    return roundHalfEvenSaturated(readLeadingNumber(sizeText) * bytesPerUnit(unit));
}

qint64 roundHalfEvenSaturated(double value)
{
    constexpr double twoTo63 = 9223372036854775808.0;
    if (std::isnan(value))
        return 0;
    if (value >= twoTo63)
        return std::numeric_limits<qint64>::max();
    if (value < -twoTo63)
        return std::numeric_limits<qint64>::min();
    // Done by hand so the result does not hang on the floating-point rounding mode.
    // Rounding half to even is symmetric, and on the magnitude the fraction is exact.
    const double magnitude = std::fabs(value);
    const double whole = std::floor(magnitude);
    const double fraction = magnitude - whole;
    const bool wholeIsOdd = std::fmod(whole, 2.0) != 0;
    const bool roundUp = fraction > 0.5 || (fraction == 0.5 && wholeIsOdd);
    const double rounded = roundUp ? whole + 1 : whole;
    return qint64(value < 0 ? -rounded : rounded);
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>
#include <QtGlobal>

namespace vashtem {

// The unit chosen for the size limit; the units are decimal (1 KB = 1,000 bytes).
enum class SizeUnit { Megabytes, Kilobytes, Bytes };

// The limit in bytes for a size text and unit: the text's leading number times the unit,
// computed in double precision and rounded half to even (2.5 -> 2, 3.5 -> 4). A product
// beyond the 64-bit range, or infinite, saturates at the nearest end of that range.
qint64 sizeLimitFor(QStringView sizeText, SizeUnit unit);

// Rounds half to even and saturates to the 64-bit range; NaN gives 0.
qint64 roundHalfEvenSaturated(double value);

} // namespace vashtem

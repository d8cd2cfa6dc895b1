// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

namespace vashtem {

// Reads a text as a number the way the size box is read: blanks, tabs and line feeds
// anywhere are skipped, then the longest leading number is taken: an optional sign,
// digits with at most one ".", an optional exponent ("E" or "D", optional sign, digits);
// "&H" or "&O" introduce a hexadecimal or octal integer. No number at the start reads as 0.
// "12abc" -> 12, "1 5" -> 15, "1,000" -> 1, "abc" -> 0, "1E999" -> +infinity.
double readLeadingNumber(QStringView text);

} // namespace vashtem

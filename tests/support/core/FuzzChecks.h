// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Checks shared by the randomized input tests and the optional libFuzzer targets: each
// runs the program's code on one input and returns what went wrong, or nothing.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace vashtem::testing {

// A second, plain reading of a size-box text: the skipped characters dropped, the longest
// number at the start cut out and handed to the C library (strtod, hexadecimal for &H and &O).
double referenceLeadingNumber(QStringView text);

// readLeadingNumber against the reference: equal, to the sign of zero, for decimals; close
// for whole numbers too long for a double to hold exactly.
QByteArray leadingNumberFault(QStringView text);

// FilePattern against the reference matcher, and the promises that hold for any input:
// "*" and "*.*" match every name, a list of separators only matches none, and a name with
// no wildcard, separator or outer blank matches itself.
QByteArray patternFault(const QString &patterns, QByteArrayView name);

} // namespace vashtem::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace vashtem {

// Writes a whole number with every digit place optional and groups of three, using the
// locale's group separator: 1234567 -> "1,234,567", 0 -> "" (an empty text), -1234 -> "-1,234".
QString formatGrouped(qint64 value, const QLocale &locale = QLocale());

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace vashtem {

// A framed, right-aligned label that shows a number, such as the elapsed time or the row
// count. A screen reader names it by the caption that stands beside it, as it names a
// field, and reads the number as its value and description (the text AT-SPI passes on); a
// plain label would be named by the number.
class NumberBox final : public QLabel
{
    Q_OBJECT

public:
    NumberBox(const QString &caption, QWidget *parent);
};

} // namespace vashtem

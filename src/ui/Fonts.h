// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace vashtem {

// The fixed-pitch Japanese gothic of the windows, at the given size in points.
QFont fixedGothic(int points = 9);
// The proportional Japanese gothic, for the size unit and direction frames.
QFont proportionalGothic(int points = 9);

} // namespace vashtem

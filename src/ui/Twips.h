// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QtMath>

namespace vashtem {

// Window layouts are drawn in twips; 15 twips make one logical pixel, and Qt scales
// logical pixels for high-density screens itself.
constexpr int TwipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

} // namespace vashtem

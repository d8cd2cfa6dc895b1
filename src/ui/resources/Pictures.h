// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace vashtem {

inline constexpr char ProgramIcon16[] = ":/vashtem/vashtem16.xpm";
inline constexpr char ProgramIcon32[] = ":/vashtem/vashtem32.xpm";
inline constexpr char SearchPicture[] = ":/vashtem/search.xpm";
inline constexpr char ExplorerPicture[] = ":/vashtem/explorer.xpm";

// The background of each button picture, which the button face shows through.
inline constexpr QColor SearchPictureTransparent(192, 192, 192);
inline constexpr QColor ExplorerPictureTransparent(255, 255, 255);

// A picture for a button face with every pixel of the transparent colour see-through.
// Null when the resource does not exist.
QPixmap buttonPicture(const QString &resource, const QColor &transparent);

// The program's icon, drawn for both the small and the large size.
QIcon programIcon();

} // namespace vashtem

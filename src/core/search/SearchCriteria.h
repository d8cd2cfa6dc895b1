// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace vashtem {

enum class Direction { Larger, Smaller };
enum class Scope { OneFolder, WithSubfolders };

// The criteria of one search, read from the main window when the search starts.
// Folder paths are bytes, exactly as the file system names the folders.
struct SearchCriteria {
    QByteArray startFolder;   // the folder the folder chooser has open
    QByteArray currentFolder; // the folder being listed; ends with a separator in the one-folder scope
    QString pattern = QStringLiteral("*.*");
    bool sizeFilter = false;
    qint64 sizeLimit = 0; // bytes; 0 when the size filter is off
    Direction direction = Direction::Larger;
    Scope scope = Scope::OneFolder;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>

#include <vector>

namespace vashtem {

class ListingSource;

// A folder chooser without a window: the open folder, its subfolders by index and their
// count. Entry -1 is the open folder itself and -2 its parent. Opening a subfolder and
// returning to the parent reuse the listings already made, so a walk lists each folder once.
class FolderCursor
{
public:
    explicit FolderCursor(ListingSource &source);

    // Opens a folder, given without a trailing separator (one is dropped). Returns 0, or the
    // errno that kept the folder from being read, in which case the cursor stays where it was.
    int setPath(const QByteArray &folder);

    // The open folder; empty while the cursor has opened none (no folder could be read).
    const QByteArray &path() const;
    int count() const;
    QByteArray entry(int index) const;

    // The open folder's listing, files included.
    const FolderListing &listing() const;
    // Hands over the open folder's files and the blocks of their names, which the cursor
    // holds no more: a folder of a million files need not be held while the walk goes on
    // below it.
    FolderListing takeFiles();

private:
    struct Level {
        QByteArray path;
        FolderListing listing;
    };
    ListingSource &m_source;
    std::vector<Level> m_levels; // the open folder last, with the ancestors the cursor came through
};

} // namespace vashtem

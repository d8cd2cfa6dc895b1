// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QtGlobal>

#include <functional>
#include <vector>

namespace vashtem {

// What is read of one entry of an open folder.
struct FileFacts {
    bool regular = false; // false when it vanished or something else now stands there
    qint64 size = 0;
    qint64 modified = 0; // seconds since the epoch (UTC)
    quint64 inode = 0;
    quint64 device = 0;
};

// The facts of one entry of the open folder, without following a link.
FileFacts readFileFacts(int folderFd, const char *name);

// Fills in the size, time and inode of the files just listed from the open folder (each name
// followed by a NUL) and drops those that are no longer regular files; the order of the rest
// is kept. inodeHints, one per file, are the inode numbers the listing gave: the files are
// read in that order, so that a cold disk reads the inode table front to back, and a large
// folder is split among more threads than there are cores, so that enough reads are in
// flight while each waits for the disk. The hints are taken, so that their memory is free
// before the names are sorted. stillWanted is asked every so many files; once it says no,
// the reading ends early and false comes back, with files in no useful state.
bool readFileFacts(int folderFd, std::vector<ListedFile> &files, std::vector<quint64> inodeHints,
                   const std::function<bool()> &stillWanted);

} // namespace vashtem

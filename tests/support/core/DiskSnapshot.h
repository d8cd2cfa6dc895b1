// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <map>

namespace vashtem::testing {

// What a folder tree holds, entry by entry, to tell afterwards what a command changed:
// each entry's kind, permission bits and content (file bytes, link target).
struct DiskEntry {
    char kind = '?'; // 'f' file, 'd' folder, 'l' link, 'p' pipe
    unsigned mode = 0;
    QByteArray content;

    bool operator==(const DiskEntry &other) const = default;
};

// Relative path -> entry, hidden entries included, links not followed.
using DiskSnapshot = std::map<QByteArray, DiskEntry>;

DiskSnapshot snapshotOf(const QByteArray &root);

// The paths that differ, one a line with what each side holds; empty when equal.
QByteArray differences(const DiskSnapshot &expected, const DiskSnapshot &actual);

} // namespace vashtem::testing

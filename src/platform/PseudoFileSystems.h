// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

namespace vashtem {

// The file systems of the kernel's own making (proc, sysfs, cgroup and their kind), whose
// contents are interfaces rather than files of the user's: one table, asked by a mount's
// type name or by what fstatfs says of an open folder.

// tmpfs, overlay and FUSE user mounts count as real.
bool isPseudoFileSystem(QByteArrayView type);

// By the magic number fstatfs gives the file system. devtmpfs is known by name alone: it
// shares its number with every other tmpfs.
bool isPseudoFileSystemType(unsigned long magic);

} // namespace vashtem

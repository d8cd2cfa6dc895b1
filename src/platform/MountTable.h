// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace vashtem {

struct MountedVolume {
    QByteArray mountPoint; // absolute, octal escapes of the mounts file decoded
    QByteArray fileSystemType;
};

// The mounts in the order the kernel lists them; empty when the file cannot be read.
// Lines with fewer than three fields are skipped.
std::vector<MountedVolume> readMounts(const QByteArray &mountsFile = "/proc/self/mounts");

// The real file systems a user would search, each mount point once, in byte order
// (so "/" first). When a mount point is listed twice the later mount, the visible one,
// decides. Real volumes beneath a pseudo mount (/dev/shm) are left out: the walk never
// goes there.
std::vector<QByteArray> userVolumes(const std::vector<MountedVolume> &mounts);

// Mount points of pseudo file systems, each once, in byte order.
std::vector<QByteArray> pseudoMountPoints(const std::vector<MountedVolume> &mounts);

// The longest of `volumes` that is `path` itself or a prefix of it ending at a "/"
// ("/home" holds "/home/u" but not "/homework"); empty when none does.
QByteArray volumeContaining(const std::vector<QByteArray> &volumes, const QByteArray &path);

} // namespace vashtem

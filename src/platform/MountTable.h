// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <vector>

namespace vashtem {

struct MountedVolume {
    QByteArray mountPoint; // absolute, octal escapes of the mounts file decoded
    QByteArray fileSystemType;
};

// The mounts in the order the kernel lists them; empty when the file cannot be read.
// Lines with fewer than three fields are skipped.
std::vector<MountedVolume> readMounts(const QByteArray &mountsFile = "/proc/self/mounts");

// Whether a mount point is a folder; a file can be mounted onto a file (/etc/hosts in a container).
using IsFolder = std::function<bool(const QByteArray &mountPoint)>;

// The real file systems a user would search, each mount point once, in byte order
// (so "/" first). When a mount point is listed twice the later mount, the visible one,
// decides. Real volumes beneath a pseudo mount (/dev/shm) are left out: the walk never
// goes there; so is a mount point that isFolder says is no folder.
std::vector<QByteArray> userVolumes(const std::vector<MountedVolume> &mounts, const IsFolder &isFolder);

// Whether the mount point is a folder, as its mount's cached facts tell, so that a share
// that stopped answering is not asked.
bool isMountedFolder(const QByteArray &mountPoint);

// Mount points of pseudo file systems, each once, in byte order.
std::vector<QByteArray> pseudoMountPoints(const std::vector<MountedVolume> &mounts);

// The longest of `volumes` that is `path` itself or a prefix of it ending at a "/"
// ("/home" holds "/home/u" but not "/homework"); empty when none does.
QByteArray volumeContaining(const std::vector<QByteArray> &volumes, const QByteArray &path);

} // namespace vashtem

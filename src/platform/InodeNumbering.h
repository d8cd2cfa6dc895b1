// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <optional>

namespace vashtem {

// The types, as linux/magic.h numbers them, of the file systems whose inode numbers do not stay
// with their files. FAT and exFAT number an inode as it is read into memory; FUSE file systems
// that do not pass their own numbers on (use_ino) number them as they are looked up, and the
// kernel cannot tell which ones do; fuseblk shares FUSE's type.
namespace FileSystemTypes {
constexpr unsigned long Msdos = 0x4d44; // also vfat
constexpr unsigned long Exfat = 0x2011bab0;
constexpr unsigned long Fuse = 0x65735546;
constexpr unsigned long Overlay = 0x794c7630;
} // namespace FileSystemTypes

// The type of the file system an open folder lies on, as fstatfs tells it (its f_type), or 0.
unsigned long fileSystemType(int folderFd);

// What a file system of this type keeps that tells its files apart over time. None for an
// overlay: whether it keeps numbers depends on its layers, which only its files show.
std::optional<Keeps> keptByType(unsigned long type);

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/InodeNumbering.h"

#ifdef __linux__
#include <sys/vfs.h>
#endif

namespace vashtem {

unsigned long fileSystemType(int folderFd)
{
#ifdef __linux__
    struct statfs facts;
    if (::fstatfs(folderFd, &facts) == 0)
        return (unsigned long)(facts.f_type) & 0xffffffffUL;
#else
    (void)folderFd;
#endif
    return 0;
}

std::optional<Keeps> keptByType(unsigned long type)
{
    switch (type) {
    case FileSystemTypes::Msdos:
    case FileSystemTypes::Exfat:
        return Keeps::Seconds;
    case FileSystemTypes::Fuse:
        return Keeps::ExactTimes;
    case FileSystemTypes::Overlay:
        return std::nullopt;
    default:
        return Keeps::InodeNumbers;
    }
}

} // namespace vashtem

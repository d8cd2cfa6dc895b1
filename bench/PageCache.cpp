// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageCache.h"

#include "Fatal.h"

#include <fcntl.h>
#include <unistd.h>

namespace vashtem::bench {

namespace {

constexpr const char *DropCaches = "/proc/sys/vm/drop_caches";

} // namespace

bool canDropPageCache()
{
    return ::geteuid() == 0 && ::access(DropCaches, W_OK) == 0;
}

void writeBack()
{
    ::sync();
}

void dropPageCache()
{
    writeBack();
    const int fd = ::open(DropCaches, O_WRONLY | O_CLOEXEC);
    if (fd < 0 || ::write(fd, "3\n", 2) != 2)
        fatalErrno(std::string("cannot write ") + DropCaches);
    ::close(fd);
}

} // namespace vashtem::bench

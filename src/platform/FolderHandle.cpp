#include "platform/FolderHandle.h"

#include <QList>

#include <cerrno>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vashtem {

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// One component at a time, each opened without following a link: for kernels without openat2.
int openComponentWise(const QByteArray &folder)
{
    int fd = ::open("/", FolderFlags);
    for (const QByteArray &component : folder.split('/')) {
        if (fd < 0 || component.isEmpty())
            continue;
        const int next = ::openat(fd, component.constData(), FolderFlags | O_NOFOLLOW);
        const int error = errno;
        ::close(fd);
        fd = next;
        errno = error;
    }
    return fd;
}

} // namespace

FolderHandle::FolderHandle(const QByteArray &folder)
{
    open_how how{};
    how.flags = FolderFlags;
    how.resolve = RESOLVE_NO_SYMLINKS;
    m_fd = int(::syscall(SYS_openat2, AT_FDCWD, folder.constData(), &how, sizeof how));
    if (m_fd < 0 && errno == ENOSYS)
        m_fd = openComponentWise(folder);
    if (m_fd < 0) {
        // A link or a file where a folder of the path was means the folder is gone.
        m_error = (errno == ELOOP || errno == ENOTDIR) ? ENOENT : errno;
    }
}

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace vashtem

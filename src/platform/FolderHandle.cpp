// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderHandle.h"

#include "platform/FileFacts.h"
#include "platform/InodeNumbering.h"
#include "platform/PseudoFileSystems.h"

#include <QList>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/openat2.h>
#include <sys/syscall.h>
#endif

namespace vashtem {

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// One component at a time, each opened without following a link: where openat2 is not to
// be had, and for paths too long for one call.
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

int openWithoutLinks(const QByteArray &folder)
{
#ifdef __linux__
    open_how how{};
    how.flags = FolderFlags;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const int fd = int(::syscall(SYS_openat2, AT_FDCWD, folder.constData(), &how, sizeof how));
    // Old kernels lack openat2 (ENOSYS); some container profiles refuse it (EPERM) or reject
    // its arguments (EINVAL); a path longer than one call takes fails with ENAMETOOLONG.
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM && errno != EINVAL && errno != ENAMETOOLONG))
        return fd;
#endif
    return openComponentWise(folder);
}

} // namespace

FolderHandle::FolderHandle(int fd, const FolderHandle *parent)
    : m_fd(fd)
{
    FileFacts facts;
    if (m_fd >= 0 && readFileFacts(m_fd, "", facts)) {
        m_identity = {facts.device, facts.inode};
        m_mount = facts.mount;
        m_mode = facts.mode;
        m_owner = facts.owner;
        // Only a mount changes the device, and only there can the kind of file system change.
        const bool parentsKind = parent && parent->m_identity.device == m_identity.device;
        m_fileSystemType = parentsKind ? parent->m_fileSystemType : vashtem::fileSystemType(m_fd);
        return;
    }
    m_error = errno;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

FolderHandle FolderHandle::atPath(const QByteArray &folder)
{
    return FolderHandle(::open(folder.constData(), FolderFlags));
}

FolderHandle FolderHandle::withoutLinks(const QByteArray &folder)
{
    FolderHandle handle(openWithoutLinks(folder));
    // A link or a file where a folder of the path was means the folder is gone.
    if (handle.m_error == ELOOP || handle.m_error == ENOTDIR)
        handle.m_error = ENOENT;
    return handle;
}

FolderHandle FolderHandle::subfolder(const FolderHandle &parent, const char *name)
{
    FolderHandle handle(::openat(parent.m_fd, name, FolderFlags | O_NOFOLLOW), &parent);
    if (handle.m_error == ELOOP || handle.m_error == ENOTDIR)
        handle.m_error = ENOENT;
    return handle;
}

FolderHandle::FolderHandle(FolderHandle &&other) noexcept
    : m_fd(other.m_fd)
    , m_error(other.m_error)
    , m_identity(other.m_identity)
    , m_mount(other.m_mount)
    , m_mode(other.m_mode)
    , m_owner(other.m_owner)
    , m_fileSystemType(other.m_fileSystemType)
{
    other.m_fd = -1;
}

FolderHandle::~FolderHandle()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileIdentity FolderHandle::identityKeeping(Keeps keeps) const
{
    return {m_identity.device, keeps == Keeps::InodeNumbers ? m_identity.inode : m_mount, keeps};
}

bool FolderHandle::isOnPseudoFileSystem() const
{
    return isPseudoFileSystemType(m_fileSystemType);
}

} // namespace vashtem

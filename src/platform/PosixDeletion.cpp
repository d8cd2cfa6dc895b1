// SPDX-License-Identifier: GPL-3.0-or-later
// The deletion's three calls of the POSIX file system: a listed folder opened, a name
// checked against its row, a name removed.
#include "platform/PosixFileSystem.h"

#include "platform/FileFacts.h"
#include "platform/FolderHandle.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem {

namespace {

// What stands at a name that is not a regular file.
DeleteFailure::Reason kindFound(mode_t mode)
{
    if (S_ISLNK(mode))
        return DeleteFailure::Reason::Link;
    if (S_ISDIR(mode))
        return DeleteFailure::Reason::Folder;
    if (S_ISFIFO(mode))
        return DeleteFailure::Reason::Fifo;
    if (S_ISSOCK(mode))
        return DeleteFailure::Reason::Socket;
    return DeleteFailure::Reason::Device;
}

// Whether the file at the listed name is the listed one, as far as its file system can tell.
bool isListedFile(const OpenedFolder &folder, const FileToDelete &file, const FileFacts &facts)
{
    if (facts.mark(folder.keeps) != file.inode)
        return false;
    // Where numbers are kept, device and inode are the file. Where they are given anew, a file
    // may show its overlay layer's device, but it lies on its folder's mount, which a file
    // mounted over the name does not.
    if (folder.keeps == Keeps::InodeNumbers)
        return facts.device == folder.handle->identity().device;
    return facts.mount == folder.handle->mount();
}

// What keeps a listed file of an open folder from being deleted now, if anything.
DeleteFailure obstacleTo(const OpenedFolder &folder, const FileToDelete &file, const char *name)
{
    FileFacts facts;
    if (!readFileFacts(folder.handle->descriptor(), name, facts))
        return DeleteFailure::system(errno);
    // Nothing but a regular file is ever touched: not a link, nor what it points to.
    if (!S_ISREG(facts.mode))
        return {kindFound(facts.mode)};
    // Another file under the listed name (a log rotated in its place) is not the listed one.
    if (!isListedFile(folder, file, facts))
        return {DeleteFailure::Reason::OtherFile};
    // Judged on the bits, as root would otherwise delete read-only files unasked.
    if ((facts.mode & S_IWUSR) == 0)
        return DeleteFailure::system(EACCES);
    // The system refuses it to everyone; said here, it is foreseen before any file goes.
    if (facts.unchangeable)
        return DeleteFailure::system(EPERM);
    if (folder.othersProtected && facts.owner != ::geteuid())
        return DeleteFailure::system(EPERM);
    return {};
}

} // namespace

OpenedFolder PosixFileSystem::openListedFolder(const QByteArray &folder, FileIdentity identity) const
{
    OpenedFolder opened;
    // Opened without following links, so every name is deleted in the folder the row named,
    // even if a link has since taken one of its ancestors' place.
    auto handle = std::make_shared<const FolderHandle>(FolderHandle::withoutLinks(folder));
    if (!handle->isOpen()) {
        opened.failure = DeleteFailure::system(handle->error());
        return opened;
    }
    // A folder renamed and made anew, or another one mounted over it, is not the listed one.
    // Where the file system gives numbers anew, only the mount tells: the folder reached by the
    // same path without links on the same mount is taken for the listed one.
    if (handle->identityKeeping(identity.keeps) != identity) {
        opened.failure = {DeleteFailure::Reason::OtherFolder};
        return opened;
    }
    // Write and search permission, as the removal itself judges it: a read-only mount and an
    // immutable folder are refused here too.
    if (::faccessat(handle->descriptor(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
        opened.failure = DeleteFailure::system(errno);
        return opened;
    }
    // In a folder with the sticky bit (/tmp) others' files are only removed by the folder's
    // owner or root.
    const uid_t user = ::geteuid();
    opened.othersProtected = user != 0 && (handle->mode() & S_ISVTX) != 0 && handle->owner() != user;
    opened.handle = std::move(handle);
    opened.keeps = identity.keeps;
    return opened;
}

DeleteFailure PosixFileSystem::checkFile(const OpenedFolder &folder, const FileToDelete &file) const
{
    if (folder.failure.failed())
        return folder.failure;
    return obstacleTo(folder, file, file.name.toByteArray().constData()); // terminated for the call
}

DeleteFailure PosixFileSystem::removeFile(const OpenedFolder &folder, const FileToDelete &file) const
{
    if (folder.failure.failed())
        return folder.failure;
    const QByteArray name = file.name.toByteArray(); // the system calls want it terminated
    const DeleteFailure obstacle = obstacleTo(folder, file, name.constData());
    if (obstacle.failed())
        return obstacle;
    // Without AT_REMOVEDIR a folder that took the file's place meanwhile is refused, and a
    // link that took it is removed itself, never its target.
    return ::unlinkat(folder.handle->descriptor(), name.constData(), 0) == 0 ? DeleteFailure{}
                                                                            : DeleteFailure::system(errno);
}

} // namespace vashtem

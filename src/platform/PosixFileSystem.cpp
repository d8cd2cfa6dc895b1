// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"

#include "platform/Descriptors.h"
#include "platform/FileFacts.h"
#include "platform/FolderHandle.h"
#include "platform/InodeNumbering.h"
#include "platform/MountTable.h"
#include "platform/NameOrder.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem {

namespace {

void sortAndUnique(std::vector<QByteArray> &paths)
{
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
}

struct DirCloser {
    void operator()(DIR *dir) const { ::closedir(dir); }
};

FolderListing cancelled()
{
    FolderListing listing;
    listing.error = ECANCELED;
    return listing;
}

FolderListing nothingListed(const FolderHandle &handle)
{
    FolderListing listing;
    listing.identity = handle.identity();
    return listing;
}

} // namespace

PosixFileSystem::PosixFileSystem()
    : PosixFileSystem(pseudoMountPoints(readMounts()))
{
}

PosixFileSystem::PosixFileSystem(std::vector<QByteArray> pseudoMountPoints, unsigned long fileSystemType)
    : m_pseudoMounts(std::move(pseudoMountPoints))
    , m_fileSystemType(fileSystemType)
{
    raiseDescriptorLimit();
    for (QByteArray &point : m_pseudoMounts) {
        point = withoutTrailingSeparator(point);
        m_pseudoParents.push_back(parentFolder(point));
    }
    sortAndUnique(m_pseudoMounts);
    sortAndUnique(m_pseudoParents);
}

bool PosixFileSystem::holdsPseudoMounts(const QByteArray &folder) const
{
    return std::binary_search(m_pseudoParents.begin(), m_pseudoParents.end(),
                              withoutTrailingSeparator(folder));
}

bool PosixFileSystem::isPseudoMount(const QByteArray &folder, QByteArrayView name) const
{
    return std::binary_search(m_pseudoMounts.begin(), m_pseudoMounts.end(),
                              joinPath(withoutTrailingSeparator(folder), name));
}

FolderListing PosixFileSystem::listFolder(const QByteArray &folder, const NameFilter &accept,
                                          std::stop_token stop) const
{
    FolderHandle handle = FolderHandle::atPath(folder);
    // Where the folder lies is not known here, so its file system is always asked.
    if (handle.isOpen() && handle.isOnPseudoFileSystem())
        return nothingListed(handle);
    return list(std::move(handle), folder, accept, stop);
}

FolderListing PosixFileSystem::listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                             const NameFilter &accept, std::stop_token stop) const
{
    const QByteArray name = lastComponent(folder).toByteArray(); // the call wants it terminated
    FolderHandle handle = FolderHandle::subfolder(parent, name.constData());
    // A subfolder on another device has been asked its file system: this finds pseudo file
    // systems mounted after the program started.
    if (handle.isOpen() && handle.isOnPseudoFileSystem())
        return nothingListed(handle);
    return list(std::move(handle), folder, accept, stop);
}

FolderListing PosixFileSystem::list(FolderHandle handle, const QByteArray &folder, const NameFilter &accept,
                                    const std::stop_token &stop) const
{
    FolderListing listing;
    if (!handle.isOpen()) {
        listing.error = handle.error();
        return listing;
    }
    // The listing reads through a copy of the descriptor; the handle keeps its own for
    // opening the subfolders later.
    const int fd = ::fcntl(handle.descriptor(), F_DUPFD_CLOEXEC, 0);
    const std::unique_ptr<DIR, DirCloser> dir(fd >= 0 ? ::fdopendir(fd) : nullptr);
    if (!dir) {
        listing.error = errno;
        if (fd >= 0)
            ::close(fd);
        return listing;
    }
    // Only the few parents of pseudo mounts ("/", "/sys/kernel") pay for path checks.
    const bool checkPseudo = holdsPseudoMounts(folder);
    // The facts of a large folder's files are read on other threads while it is still listed.
    const unsigned long fileSystem = m_fileSystemType != 0 ? m_fileSystemType : handle.fileSystemType();
    FactReader facts(fd, handle.identity().device, keptByType(fileSystem), stop);

    for (;;) {
        // On a cold disk a few hundred entries can take a read each.
        if (stop.stop_requested())
            return cancelled();
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return FolderListing{errno, {}, {}, {}, {}};
            break;
        }
        const char *name = entry->d_name;
        if (name[0] == '.')
            continue;
        const QByteArrayView nameView(name, qsizetype(std::strlen(name)));
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems do not report types in the listing.
            struct stat found;
            if (::fstatat(fd, name, &found, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(found.st_mode) ? DT_DIR : S_ISREG(found.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            if (!checkPseudo || !isPseudoMount(folder, nameView))
                listing.subfolders.push_back(nameView.toByteArray());
        } else if (type == DT_REG && (!accept || accept(nameView))) {
            facts.add(nameView, entry->d_ino);
        }
    }
    facts.close();
    // A large sort is worth sparing too. It runs while the last facts are still being read.
    if (stop.stop_requested())
        return cancelled();
    // The names are ordered where the reader keeps them, not copied into a list first.
    std::vector<quint32> order =
        nameOrder(facts.size(), [&facts](quint32 position) { return facts.nameAt(position); });
    if (!facts.finish())
        return cancelled();
    listing.identity = handle.identityKeeping(facts.keeps());
    listing.files = facts.takeFiles(std::move(order));
    listing.names = facts.takeNames();
    sortByName(listing.subfolders, [](const QByteArray &name) { return QByteArrayView(name); });
    // A folder without subfolders gives its descriptor back at once.
    if (!listing.subfolders.empty())
        listing.handle = std::make_shared<const FolderHandle>(std::move(handle));
    return listing;
}

int PosixFileSystem::checkFolder(const QByteArray &folder) const
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

std::vector<QByteArray> PosixFileSystem::volumes() const
{
    return userVolumes(readMounts(), isMountedFolder);
}

QByteArray PosixFileSystem::currentDirectory() const
{
    QByteArray buffer(256, Qt::Uninitialized);
    while (::getcwd(buffer.data(), size_t(buffer.size())) == nullptr) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.truncate(qsizetype(std::strlen(buffer.constData())));
    return buffer;
}

} // namespace vashtem

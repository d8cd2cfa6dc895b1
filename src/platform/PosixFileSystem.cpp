// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"

#include "platform/FileFacts.h"
#include "platform/FolderHandle.h"
#include "platform/MountTable.h"
#include "platform/NameOrder.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
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

// A walk keeps a folder open for each level that still has subfolders to enter, and lists
// folders ahead on other threads: the usual soft limit of 1,024 descriptors is soon reached
// in a deep tree, while the hard limit is there for the asking.
void raiseDescriptorLimit()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Entries read between two questions whether the listing is still wanted: on a cold disk a
// few hundred entries can take a read each.
constexpr size_t AskAgainEvery = 512;
// A listing of this many files asks once more before its sort.
constexpr size_t LargeListing = 4096;

// Whether the filter still wants the folder: asked again with the first name it accepted,
// which it refuses only once it wants nothing more (see NameFilter).
class Interest
{
public:
    explicit Interest(const NameFilter &accept)
        : m_accept(accept)
    {
    }
    void accepted(QByteArrayView name)
    {
        if (m_firstAccepted.isEmpty())
            m_firstAccepted = name.toByteArray();
    }
    bool stillWanted() const { return !m_accept || m_firstAccepted.isEmpty() || m_accept(m_firstAccepted); }

private:
    const NameFilter &m_accept;
    QByteArray m_firstAccepted;
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

PosixFileSystem::PosixFileSystem(std::vector<QByteArray> pseudoMountPoints)
    : m_pseudoMounts(std::move(pseudoMountPoints))
{
    static const bool raised = (raiseDescriptorLimit(), true);
    Q_UNUSED(raised);
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

FolderListing PosixFileSystem::listFolder(const QByteArray &folder, const NameFilter &accept) const
{
    FolderHandle handle = FolderHandle::atPath(folder);
    // Where the folder lies is not known here, so its file system is always asked.
    if (handle.isOpen() && handle.isOnPseudoFileSystem())
        return nothingListed(handle);
    return list(std::move(handle), folder, accept);
}

FolderListing PosixFileSystem::listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                             const NameFilter &accept) const
{
    const QByteArray name = lastComponent(folder).toByteArray(); // the call wants it terminated
    FolderHandle handle = FolderHandle::subfolder(parent, name.constData());
    // Only a mount changes the device, and only there can the kind of file system change:
    // this finds pseudo file systems mounted after the program started.
    if (handle.isOpen() && handle.identity().device != parent.identity().device && handle.isOnPseudoFileSystem())
        return nothingListed(handle);
    return list(std::move(handle), folder, accept);
}

FolderListing PosixFileSystem::list(FolderHandle handle, const QByteArray &folder, const NameFilter &accept) const
{
    FolderListing listing;
    if (!handle.isOpen()) {
        listing.error = handle.error();
        return listing;
    }
    listing.identity = handle.identity();
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
    Interest interest(accept);
    // The facts of a large folder's files are read on other threads while it is still listed.
    FactReader facts(fd, [&interest] { return interest.stillWanted(); });

    for (size_t entries = 1;; ++entries) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return FolderListing{errno, {}, {}, {}, {}};
            break;
        }
        if (entries % AskAgainEvery == 0 && !interest.stillWanted())
            return cancelled();
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
            interest.accepted(nameView);
            facts.add(nameView, entry->d_ino);
        }
    }
    facts.close();
    // A large sort is worth sparing too. It runs while the last facts are still being read.
    if (facts.size() >= LargeListing && !interest.stillWanted())
        return cancelled();
    const std::vector<quint32> order = nameOrder(facts.names());
    if (!facts.finish())
        return cancelled();
    listing.files = facts.takeFiles(order);
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

// What keeps a listed file of an open folder from being deleted now, if anything; facts
// are what stands at its name.
DeleteFailure obstacleTo(const FolderHandle &folder, const FileToDelete &file, const char *name, FileFacts &facts)
{
    if (!readFileFacts(folder.descriptor(), name, facts))
        return DeleteFailure::system(errno);
    // Nothing but a regular file is ever touched: not a link, nor what it points to.
    if (!S_ISREG(facts.mode))
        return {kindFound(facts.mode)};
    // Another file under the listed name (a log rotated in its place) is not the listed one.
    if (FileIdentity{facts.device, facts.inode} != FileIdentity{folder.identity().device, file.inode})
        return {DeleteFailure::Reason::OtherFile};
    // Judged on the bits, as root would otherwise delete read-only files unasked.
    if ((facts.mode & S_IWUSR) == 0)
        return DeleteFailure::system(EACCES);
    // The system refuses it to everyone; said here, it is foreseen before any file goes.
    if (facts.unchangeable)
        return DeleteFailure::system(EPERM);
    return {};
}

// Deletes one listed file of an open folder, if it is still that file.
DeleteFailure removeIn(const FolderHandle &folder, const FileToDelete &file)
{
    const QByteArray name = file.name.toByteArray(); // the system calls want it terminated
    FileFacts facts;
    const DeleteFailure obstacle = obstacleTo(folder, file, name.constData(), facts);
    if (obstacle.failed())
        return obstacle;
    // Without AT_REMOVEDIR a folder that took the file's place meanwhile is refused, and a
    // link that took it is removed itself, never its target.
    return ::unlinkat(folder.descriptor(), name.constData(), 0) == 0 ? DeleteFailure{} : DeleteFailure::system(errno);
}

// How many of the files, from the first, could be deleted now; found tells why the next one
// could not. Beyond what each file's own check finds, this foresees what the removal of a
// name asks of its folder.
size_t deletableFiles(const FolderHandle &folder, const std::vector<FileToDelete> &files, DeleteFailure &found)
{
    // Write and search permission, as the removal itself judges it: a read-only mount and an
    // immutable folder are refused here too.
    if (::faccessat(folder.descriptor(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
        found = DeleteFailure::system(errno);
        return 0;
    }
    // In a folder with the sticky bit (/tmp) others' files are only removed by the folder's
    // owner or root.
    struct stat folderFacts;
    const uid_t user = ::geteuid();
    const bool othersProtected = user != 0 && ::fstat(folder.descriptor(), &folderFacts) == 0
        && (folderFacts.st_mode & S_ISVTX) != 0 && folderFacts.st_uid != user;
    for (size_t index = 0; index < files.size(); ++index) {
        FileFacts facts;
        found = obstacleTo(folder, files[index], files[index].name.toByteArray().constData(), facts);
        if (!found.failed() && othersProtected && facts.owner != user)
            found = DeleteFailure::system(EPERM);
        if (found.failed())
            return index;
    }
    return files.size();
}

} // namespace

size_t PosixFileSystem::removeFiles(const QByteArray &folder, FileIdentity folderIdentity,
                                    const std::vector<FileToDelete> &files, DeleteFailure &failure,
                                    const BeforeEachFile &beforeEach, const OnceChecked &onceChecked) const
{
    failure = {};
    if (files.empty())
        return 0;
    // The folder is opened once and without following links, so every name is deleted in
    // the folder the row named, even if a link has since taken one of its ancestors' place.
    const FolderHandle handle = FolderHandle::withoutLinks(folder);
    if (!handle.isOpen()) {
        failure = DeleteFailure::system(handle.error());
        return 0;
    }
    // A folder renamed and made anew, or another one mounted over it, is not the listed one.
    if (handle.identity() != folderIdentity) {
        failure = {DeleteFailure::Reason::OtherFolder};
        return 0;
    }
    size_t deletable = files.size();
    DeleteFailure found;
    if (onceChecked) {
        deletable = deletableFiles(handle, files, found);
        if (!onceChecked(deletable))
            return 0;
    }
    for (size_t index = 0; index < deletable; ++index) {
        if (beforeEach && !beforeEach(index))
            return index;
        failure = removeIn(handle, files[index]);
        if (failure.failed())
            return index;
    }
    if (deletable < files.size() && (!beforeEach || beforeEach(deletable)))
        failure = found;
    return deletable;
}

std::vector<QByteArray> PosixFileSystem::volumes() const
{
    return userVolumes(readMounts());
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

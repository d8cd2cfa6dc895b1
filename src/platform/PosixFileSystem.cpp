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

} // namespace

PosixFileSystem::PosixFileSystem()
    : PosixFileSystem(pseudoMountPoints(readMounts()))
{
}

PosixFileSystem::PosixFileSystem(std::vector<QByteArray> pseudoMountPoints)
    : m_pseudoMounts(std::move(pseudoMountPoints))
{
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
    FolderListing listing;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        listing.error = errno;
        return listing;
    }
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd));
    if (!dir) {
        listing.error = errno;
        ::close(fd);
        return listing;
    }
    // Only the few parents of pseudo mounts ("/", "/sys/kernel") pay for path checks.
    const bool checkPseudo = holdsPseudoMounts(folder);
    std::vector<quint64> inodes; // of the files, as listed

    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry) {
            if (errno != 0)
                return FolderListing{errno, {}, {}};
            break;
        }
        const char *name = entry->d_name;
        if (name[0] == '.')
            continue;
        const QByteArrayView nameView(name, qsizetype(std::strlen(name)));
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            // Some file systems do not report types in the listing.
            struct stat facts;
            if (::fstatat(fd, name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(facts.st_mode) ? DT_DIR : S_ISREG(facts.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            if (!checkPseudo || !isPseudoMount(folder, nameView))
                listing.subfolders.push_back(nameView.toByteArray());
        } else if (type == DT_REG && (!accept || accept(nameView))) {
            listing.files.push_back({nameView.toByteArray(), 0, 0});
            inodes.push_back(entry->d_ino);
        }
    }

    readFileFacts(fd, listing.files, inodes);
    sortByName(listing.files, [](const ListedFile &file) { return QByteArrayView(file.name); });
    sortByName(listing.subfolders, [](const QByteArray &name) { return QByteArrayView(name); });
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

// Deletes one regular file of an open folder; 0 or the errno that kept it.
int removeIn(int folder, const char *name)
{
    struct stat facts;
    if (::fstatat(folder, name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISDIR(facts.st_mode))
        return EISDIR;
    // A link or device standing where the file was is not the file: never touch it.
    if (!S_ISREG(facts.st_mode))
        return ENOENT;
    // Judged on the bits, as root would otherwise delete read-only files unasked.
    if ((facts.st_mode & S_IWUSR) == 0)
        return EACCES;
    // Without AT_REMOVEDIR a folder that took the file's place meanwhile is refused, and a
    // link that took it is removed itself, never its target.
    return ::unlinkat(folder, name, 0) == 0 ? 0 : errno;
}

} // namespace

int PosixFileSystem::removeFile(const QByteArray &path) const
{
    if (!path.contains(PathSeparator))
        return ENOENT;
    int error = 0;
    removeFiles(parentFolder(path), {lastComponent(path)}, error);
    return error;
}

size_t PosixFileSystem::removeFiles(const QByteArray &folder, const std::vector<QByteArrayView> &names,
                                    int &error) const
{
    error = 0;
    if (names.empty())
        return 0;
    // The folder is opened once and without following links, so every name is deleted
    // in the folder the row named, even if a link has since taken one of its ancestors' place.
    const FolderHandle handle(folder);
    if (!handle.isOpen()) {
        error = handle.error();
        return 0;
    }
    QByteArray name;
    for (size_t index = 0; index < names.size(); ++index) {
        name = names[index].toByteArray(); // the system call wants a terminated string
        error = removeIn(handle.descriptor(), name.constData());
        if (error != 0)
            return index;
    }
    return names.size();
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

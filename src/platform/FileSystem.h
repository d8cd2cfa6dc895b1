#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace vashtem {

// A plain file of a folder listing, with the facts read when it was listed.
// The name is kept as the file system gave it (bytes), so it always names that very file.
struct ListedFile {
    QByteArray name;
    qint64 size = 0;
    qint64 modified = 0; // last modification, seconds since the epoch (UTC)
};

// One folder's contents as the search and the folder chooser see them.
// Only regular files and real folders are listed; names starting with "." are left out,
// symbolic links never count as folders, and mounts of pseudo file systems are not listed.
struct FolderListing {
    int error = 0;                      // errno when the folder could not be read, else 0
    std::vector<ListedFile> files;      // files the name filter accepted, in name order
    std::vector<QByteArray> subfolders; // subfolder names, in name order
};

// Decides from a file's name alone whether the file is worth reading the facts of.
using NameFilter = std::function<bool(QByteArrayView name)>;

// The file system as the program uses it. Paths are absolute byte strings.
// Implementations must be callable from several threads at once.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Lists a folder. A file whose facts cannot be read (it vanished meanwhile) is left out.
    virtual FolderListing listFolder(const QByteArray &folder, const NameFilter &accept) const = 0;

    // Whether the folder can be opened for listing; 0 or the errno that prevents it.
    virtual int checkFolder(const QByteArray &folder) const = 0;

    // Deletes one regular file permanently by its exact path; 0 on success, else an errno.
    // Never follows a symbolic link and never removes a folder: a path that names one fails
    // with ENOENT or EISDIR. A file whose owner has no write permission fails with EACCES.
    virtual int removeFile(const QByteArray &path) const = 0;

    // Deletes files of one folder, in the order given, each as removeFile does, and stops
    // at the first that cannot be deleted. Returns how many were deleted; error is then the
    // errno of the one that stopped it, else 0.
    virtual size_t removeFiles(const QByteArray &folder, const std::vector<QByteArrayView> &names,
                               int &error) const;

    // The volumes a user would search, by mount point, "/" first.
    virtual std::vector<QByteArray> volumes() const = 0;

    // The process's working directory, without a trailing separator unless it is the root.
    virtual QByteArray currentDirectory() const = 0;
};

} // namespace vashtem

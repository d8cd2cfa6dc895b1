// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ChunkedVector.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace vashtem {

class FolderHandle;

// What tells a file system's files apart over time, and so what is kept of a listed file to
// know it again.
enum class Keeps : quint8 {
    InodeNumbers, // a file keeps its number while it lives (ext4, xfs, btrfs, tmpfs, ntfs3, ...)
    // Numbers are given as files are looked up and given anew once the cache lets go of them:
    ExactTimes, // FUSE file systems, overlays over several file systems: size and all times
    Seconds,    // FAT and exFAT: size and the modification and birth times to the second
};

// Which file or folder an entry is: the same path may later name another one.
struct FileIdentity {
    quint64 device = 0;
    // Its inode number; for a folder whose file system gives numbers anew, the id of the mount
    // it lies on instead (0 where the kernel tells none).
    quint64 inode = 0;
    Keeps keeps = Keeps::InodeNumbers;
    bool operator==(const FileIdentity &) const = default;
};

// A plain file of a folder listing, with the facts read when it was listed.
// The name is kept as the file system gave it (bytes), so it always names that very file.
struct ListedFile {
    QByteArrayView name; // into its listing's names, or static text
    qint64 size = 0;
    qint64 modified = 0; // last modification, seconds since the epoch (UTC)
    quint64 inode = 0;   // which file it is: FileFacts::mark, by what its folder's identity keeps
};

// A listing's files, in chunks, so that whoever goes through a folder of a million files can
// let go of those used while the rest wait.
using ListedFiles = ChunkedVector<ListedFile, 12>;

// One folder's contents as the search and the folder chooser see them.
// Only regular files and real folders are listed; names starting with "." are left out,
// symbolic links never count as folders, and pseudo file systems show nothing.
struct FolderListing {
    int error = 0;                      // errno when the folder could not be read, else 0
    FileIdentity identity;              // of the folder itself
    std::shared_ptr<const FolderHandle> handle; // the open folder, kept while it has subfolders
    ListedFiles files; // the files the name filter accepted, in name order
    // The bytes of the files' names, each followed by a NUL: a few blocks for a folder instead
    // of an allocation per name. Moving or copying the listing leaves the views valid.
    std::vector<QByteArray> names;
    std::vector<QByteArray> subfolders; // subfolder names, in name order
};

// Decides from a file's name alone whether the file is worth reading the facts of.
using NameFilter = std::function<bool(QByteArrayView name)>;

// A file to delete, by its name in its folder and the file it was when it was listed.
struct FileToDelete {
    QByteArrayView name;
    quint64 inode = 0; // as ListedFile::inode
};

// Why a file was not deleted: an error of the system, or something other than the listed
// file stands at its name now.
struct DeleteFailure {
    enum class Reason { None, SystemError, OtherFile, OtherFolder, Link, Folder, Fifo, Socket, Device };
    Reason reason = Reason::None;
    int error = 0; // the errno, for SystemError

    static DeleteFailure system(int error) { return {Reason::SystemError, error}; }
    bool failed() const { return reason != Reason::None; }
};

// A folder of the list opened for deleting files in it, as openListedFolder left it. What
// besides `failure` it holds is the file system's own.
struct OpenedFolder {
    DeleteFailure failure; // why no file in it can be deleted
    std::shared_ptr<const FolderHandle> handle;
    bool othersProtected = false; // only the owners of its files may remove them (the sticky bit)
    Keeps keeps = Keeps::InodeNumbers; // what tells its files, as the listing found
};

// The file system as the program uses it. Paths are absolute byte strings.
// Implementations must be callable from several threads at once.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    // Lists a folder by path. A file whose facts cannot be read (it vanished meanwhile) is
    // left out. Once stop is requested the listing ends early with ECANCELED.
    virtual FolderListing listFolder(const QByteArray &folder, const NameFilter &accept,
                                     std::stop_token stop = {}) const = 0;

    // Lists a subfolder of an open folder as listFolder does; `folder` is its path, whose last
    // component is opened inside `parent`, never through a link that stands there.
    virtual FolderListing listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                        const NameFilter &accept, std::stop_token stop = {}) const = 0;

    // Whether the folder can be opened for listing; 0 or the errno that prevents it.
    virtual int checkFolder(const QByteArray &folder) const = 0;

    // Opens a folder of the list for deleting in it: reached without passing through a link,
    // and still the folder that was listed. Its failure tells why none of its files can go,
    // which includes a folder that allows no removals (a read-only mount, no write permission).
    virtual OpenedFolder openListedFolder(const QByteArray &folder, FileIdentity identity) const = 0;

    // What keeps the listed file from being deleted now, if anything: something else at its
    // name, a file whose owner may not write it, an immutable or append-only file, another
    // user's file in a folder that protects them. Deletes nothing.
    virtual DeleteFailure checkFile(const OpenedFolder &folder, const FileToDelete &file) const = 0;

    // Deletes the listed file permanently if it is still that file, checked again right before;
    // never a folder, never what a link points to.
    virtual DeleteFailure removeFile(const OpenedFolder &folder, const FileToDelete &file) const = 0;

    // The volumes a user would search, by mount point, "/" first.
    virtual std::vector<QByteArray> volumes() const = 0;

    // The process's working directory, without a trailing separator unless it is the root.
    virtual QByteArray currentDirectory() const = 0;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <vector>

namespace vashtem {

// The file system of this machine through POSIX calls on byte paths.
// Holds no mutable state, so any number of threads may list folders at once.
class PosixFileSystem final : public FileSystem
{
public:
    // Leaves out the pseudo file systems mounted now, as /proc/self/mounts tells.
    PosixFileSystem();
    // Leaves out subfolders at these absolute paths (trailing "/" allowed). A file system type
    // other than 0 (as fstatfs gives it, FileSystemTypes) is taken as every folder's, so that a
    // folder on any file system is listed and deleted in as one of that type would be.
    explicit PosixFileSystem(std::vector<QByteArray> pseudoMountPoints, unsigned long fileSystemType = 0);

    FolderListing listFolder(const QByteArray &folder, const NameFilter &accept,
                             std::stop_token stop = {}) const override;
    FolderListing listSubfolder(const FolderHandle &parent, const QByteArray &folder, const NameFilter &accept,
                                std::stop_token stop = {}) const override;
    int checkFolder(const QByteArray &folder) const override;
    // In PosixDeletion.cpp.
    OpenedFolder openListedFolder(const QByteArray &folder, FileIdentity identity) const override;
    DeleteFailure checkFile(const OpenedFolder &folder, const FileToDelete &file) const override;
    DeleteFailure removeFile(const OpenedFolder &folder, const FileToDelete &file) const override;
    // Empty when the working directory is gone or unreachable.
    std::vector<QByteArray> volumes() const override;
    QByteArray currentDirectory() const override;

private:
    FolderListing list(FolderHandle handle, const QByteArray &folder, const NameFilter &accept,
                       const std::stop_token &stop) const;
    bool holdsPseudoMounts(const QByteArray &folder) const;
    bool isPseudoMount(const QByteArray &folder, QByteArrayView name) const;

    std::vector<QByteArray> m_pseudoMounts;  // sorted, without trailing "/"
    std::vector<QByteArray> m_pseudoParents; // their parent folders, sorted
    unsigned long m_fileSystemType = 0;
};

} // namespace vashtem

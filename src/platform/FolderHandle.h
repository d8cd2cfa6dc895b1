// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QByteArray>

#include <sys/types.h>

namespace vashtem {

// An open folder and which folder it is. What is done inside it through its descriptor
// happens in that very folder, whatever has since been renamed, replaced or mounted on the
// way to it.
class FolderHandle
{
public:
    // Opens the folder at a path the user chose; links on the way are followed.
    static FolderHandle atPath(const QByteArray &folder);
    // Opens the folder at a path without passing through any symbolic link; paths of any
    // length, also beyond the system's limit for one call.
    static FolderHandle withoutLinks(const QByteArray &folder);
    // Opens the subfolder `name` of an open folder; a link that stands there is not followed.
    static FolderHandle subfolder(const FolderHandle &parent, const char *name);

    FolderHandle(FolderHandle &&other) noexcept;
    FolderHandle &operator=(FolderHandle &&) = delete;
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;
    ~FolderHandle();

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    int error() const { return m_error; } // why it could not be opened
    const FileIdentity &identity() const { return m_identity; }
    // Its identity where its file system keeps what `keeps` says: by its inode number, or,
    // where numbers are given anew, by the mount it lies on.
    FileIdentity identityKeeping(Keeps keeps) const;
    quint64 mount() const { return m_mount; } // its mount's id, 0 where the kernel tells none
    mode_t mode() const { return m_mode; }    // its type and permission bits, as opened
    uid_t owner() const { return m_owner; }
    // The type of its file system, as fstatfs numbers it, or 0; a subfolder on its parent's
    // device takes its parent's without asking again.
    unsigned long fileSystemType() const { return m_fileSystemType; }

    // Whether the folder belongs to a file system of the kernel's own making (proc, sysfs
    // and their kind), whose contents are no files of the user's.
    bool isOnPseudoFileSystem() const;

private:
    explicit FolderHandle(int fd, const FolderHandle *parent = nullptr);

    int m_fd = -1;
    int m_error = 0;
    FileIdentity m_identity;
    quint64 m_mount = 0;
    mode_t m_mode = 0;
    uid_t m_owner = 0;
    unsigned long m_fileSystemType = 0;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <stop_token>

namespace vashtem {

// Where a folder cursor gets its listings from: straight from the file system, or from a
// reader that lists the folders a walk will open next ahead of time.
class ListingSource
{
public:
    virtual ~ListingSource() = default;
    // Lists the folder at a path; with a parent, the folder is that open folder's subfolder
    // and is opened through it, so no link that took its place since is followed.
    virtual FolderListing list(const QByteArray &folder, const FolderHandle *parent) = 0;
};

// Lists a folder on a file system, through its open parent when there is one.
inline FolderListing listOn(const FileSystem &fileSystem, const QByteArray &folder, const FolderHandle *parent,
                            const NameFilter &accept, const std::stop_token &stop)
{
    return parent ? fileSystem.listSubfolder(*parent, folder, accept, stop) : fileSystem.listFolder(folder, accept, stop);
}

// Lists each folder when it is asked for, with one name filter for its files.
class DirectListing final : public ListingSource
{
public:
    DirectListing(const FileSystem &fileSystem, NameFilter accept, std::stop_token stop = {})
        : m_fileSystem(fileSystem), m_accept(std::move(accept)), m_stop(std::move(stop)) {}

    FolderListing list(const QByteArray &folder, const FolderHandle *parent) override
    {
        return listOn(m_fileSystem, folder, parent, m_accept, m_stop);
    }

private:
    const FileSystem &m_fileSystem;
    NameFilter m_accept;
    std::stop_token m_stop;
};

} // namespace vashtem

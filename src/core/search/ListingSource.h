#pragma once

#include "platform/FileSystem.h"

namespace vashtem {

// Where a folder cursor gets its listings from: straight from the file system, or from a
// reader that lists the folders a walk will open next ahead of time.
class ListingSource
{
public:
    virtual ~ListingSource() = default;
    virtual FolderListing list(const QByteArray &folder) = 0;
};

// Lists each folder when it is asked for, with one name filter for its files.
class DirectListing final : public ListingSource
{
public:
    DirectListing(const FileSystem &fileSystem, NameFilter accept)
        : m_fileSystem(fileSystem), m_accept(std::move(accept)) {}

    FolderListing list(const QByteArray &folder) override { return m_fileSystem.listFolder(folder, m_accept); }

private:
    const FileSystem &m_fileSystem;
    NameFilter m_accept;
};

} // namespace vashtem

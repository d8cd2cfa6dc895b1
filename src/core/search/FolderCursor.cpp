// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/FolderCursor.h"

#include "platform/Paths.h"
#include "core/search/ListingSource.h"

#include <utility>

namespace vashtem {

FolderCursor::FolderCursor(ListingSource &source)
    : m_source(source)
{
}

int FolderCursor::setPath(const QByteArray &requested)
{
    const QByteArray folder = withoutTrailingSeparator(requested);
    if (m_levels.size() > 1 && folder == m_levels[m_levels.size() - 2].path) {
        m_levels.pop_back();
        return 0;
    }
    // A subfolder is opened through its open parent, never by its path again.
    // The root is its own parent, yet no child of itself.
    const bool isChild = !m_levels.empty() && folder != m_levels.back().path && parentFolder(folder) == m_levels.back().path;
    FolderListing *parent = isChild ? &m_levels.back().listing : nullptr;
    FolderListing listing = m_source.list(folder, parent ? parent->handle.get() : nullptr);
    // A walk opens the subfolders in order: once the last is open the parent's descriptor can
    // go, so a deep chain of folders does not hold one for every level.
    if (parent && !parent->subfolders.empty() && lastComponent(folder) == parent->subfolders.back())
        parent->handle.reset();
    if (listing.error != 0)
        return listing.error;
    if (!isChild)
        m_levels.clear();
    m_levels.push_back({folder, std::move(listing)});
    return 0;
}

const QByteArray &FolderCursor::path() const
{
    static const QByteArray none;
    return m_levels.empty() ? none : m_levels.back().path;
}

int FolderCursor::count() const
{
    return m_levels.empty() ? 0 : int(m_levels.back().listing.subfolders.size());
}

QByteArray FolderCursor::entry(int index) const
{
    if (m_levels.empty())
        return {};
    if (index == -1)
        return path();
    if (index == -2)
        return parentFolder(path());
    return joinPath(path(), m_levels.back().listing.subfolders[size_t(index)]);
}

const FolderListing &FolderCursor::listing() const
{
    static const FolderListing none;
    return m_levels.empty() ? none : m_levels.back().listing;
}

FolderListing FolderCursor::takeFiles()
{
    FolderListing files;
    if (!m_levels.empty()) {
        FolderListing &listing = m_levels.back().listing;
        std::swap(files.files, listing.files);
        std::swap(files.names, listing.names);
    }
    return files;
}

} // namespace vashtem

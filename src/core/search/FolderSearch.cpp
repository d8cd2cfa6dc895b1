// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/FolderSearch.h"

#include "core/results/ResultStore.h"
#include "platform/Paths.h"
#include "core/search/FolderCursor.h"
#include "core/search/PrefetchingListing.h"

namespace vashtem {

FolderSearch::FolderSearch(const FileSystem &fileSystem, SearchCriteria &criteria, ResultStore &rows)
    : m_fileSystem(fileSystem)
    , m_criteria(criteria)
    , m_rows(rows)
    , m_pattern(criteria.pattern)
{
}

NameFilter FolderSearch::nameFilter() const
{
    // Once stopped, the listings still under way refuse every name: they are not used, and
    // skipping the facts of their files ends them sooner.
    if (m_pattern.matchesEverything())
        return [this](QByteArrayView) { return !stopped(); };
    return [this](QByteArrayView name) { return !stopped() && m_pattern.matches(name); };
}

void FolderSearch::SearchFiles()
{
    if (m_criteria.scope == Scope::OneFolder) {
        const FolderListing listing = m_fileSystem.listFolder(m_criteria.currentFolder, nameFilter());
        if (listing.error == 0)
            listFiles(m_rows.addFolder(m_criteria.currentFolder, listing.identity), listing);
        return;
    }
    PrefetchingListing source(m_fileSystem, nameFilter());
    FolderCursor cursor(source);
    if (cursor.setPath(m_criteria.startFolder) != 0)
        return; // the start folder cannot be read: nothing to list
    WalkFolder(cursor, m_rows.addFolder(cursor.path(), cursor.listing().identity));
}

void FolderSearch::WalkFolder(FolderCursor &cursor, quint32 folder)
{
    m_criteria.currentFolder = cursor.path();
    listFiles(folder, cursor.listing());
    cursor.releaseFiles();
    if (m_rowsReady)
        m_rowsReady();
    // The count is read afresh on each pass, as the folder chooser would report it.
    for (int j = 0; j < cursor.count() && !stopped(); ++j) {
        const QByteArray name = cursor.listing().subfolders[size_t(j)];
        if (cursor.setPath(cursor.entry(j)) != 0)
            continue; // a subfolder that cannot be opened is passed over
        WalkFolder(cursor, m_rows.addSubfolder(folder, name, cursor.listing().identity));
    }
    if (cursor.path() != m_criteria.startFolder)
        cursor.setPath(cursor.entry(-2));
}

void FolderSearch::listFiles(quint32 folder, const FolderListing &listing)
{
    size_t sincePart = 0;
    for (const ListedFile &file : listing.files) {
        if (stopped())
            return;
        if (m_criteria.sizeFilter && !MatchesSize(file))
            continue;
        AddResultRow(folder, file);
        if (++sincePart == m_rowsPerPart && m_rowsReady) {
            m_rowsReady();
            sincePart = 0;
        }
    }
}

bool FolderSearch::MatchesSize(const ListedFile &file) const
{
    // Both directions are strict: a file exactly at the limit never passes.
    if (m_criteria.direction == Direction::Larger)
        return file.size > m_criteria.sizeLimit;
    return file.size < m_criteria.sizeLimit;
}

void FolderSearch::AddResultRow(quint32 folder, const ListedFile &file)
{
    m_rows.appendRow(folder, file);
}

} // namespace vashtem

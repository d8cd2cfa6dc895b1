// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/FolderSearch.h"

#include "core/results/ResultStore.h"
#include "platform/Paths.h"
#include "core/search/FolderCursor.h"
#include "core/search/PrefetchingListing.h"

#include <cerrno>
#include <utility>

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
    if (m_pattern.matchesEverything())
        return {};
    return [this](QByteArrayView name) { return m_pattern.matches(name); };
}

void FolderSearch::SearchFiles()
{
    if (m_criteria.scope == Scope::OneFolder) {
        FolderListing listing = m_fileSystem.listFolder(m_criteria.currentFolder, nameFilter(), m_stop);
        const int error = listing.error;
        if (error == 0)
            listFiles(m_rows.addFolder(m_criteria.currentFolder, listing.identity), std::move(listing));
        else
            m_startFolderError = error;
        notRead(error);
        return;
    }
    PrefetchingListing source(m_fileSystem, nameFilter(), m_stop);
    FolderCursor cursor(source);
    if (const int error = cursor.setPath(m_criteria.startFolder); error != 0) {
        m_startFolderError = error; // nothing to list
        notRead(error);
        return;
    }
    WalkFolder(cursor, m_rows.addFolder(cursor.path(), cursor.listing().identity));
}

void FolderSearch::notRead(int error)
{
    if (error == EMFILE || error == ENFILE || error == ENOMEM)
        m_incomplete = true;
}

void FolderSearch::WalkFolder(FolderCursor &cursor, quint32 folder)
{
    m_criteria.currentFolder = cursor.path();
    listFiles(folder, cursor.takeFiles());
    if (m_rowsReady)
        m_rowsReady();
    // The count is read afresh on each pass, as the folder chooser would report it.
    for (int j = 0; j < cursor.count() && !stopped(); ++j) {
        const QByteArray name = cursor.listing().subfolders[size_t(j)];
        if (const int error = cursor.setPath(cursor.entry(j)); error != 0) {
            notRead(error); // a subfolder that cannot be opened is passed over
            continue;
        }
        WalkFolder(cursor, m_rows.addSubfolder(folder, name, cursor.listing().identity));
    }
    if (cursor.path() != m_criteria.startFolder)
        cursor.setPath(cursor.entry(-2));
}

void FolderSearch::listFiles(quint32 folder, FolderListing listing)
{
    size_t sincePart = 0;
    for (size_t position = 0; position < listing.files.size(); ++position) {
        if (stopped())
            return;
        // The facts go chunk by chunk once their rows are in, so that a folder of a million
        // files does not hold its facts beside all its rows.
        if (position % listing.files.ChunkSize == 0)
            listing.files.releaseBefore(position);
        const ListedFile &file = listing.files[position];
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

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/FilePattern.h"
#include "platform/FileSystem.h"
#include "core/search/SearchCriteria.h"

#include <atomic>
#include <functional>

namespace vashtem {

class FolderCursor;
class ListingSource;
class ResultStore;

// One search over the folders: lists the start folder, or walks its whole tree depth first
// with each folder's files before its subfolders, both in name order, and appends one row
// per file that passes the size test. A folder that cannot be read is passed over; a file
// that vanishes before its facts are read is not listed.
class FolderSearch
{
public:
    FolderSearch(const FileSystem &fileSystem, SearchCriteria &criteria, ResultStore &rows);

    void SearchFiles();

    // For a search that another thread follows: once `stop` is set, the walk ends between two
    // files and keeps the rows so far; `rowsReady` runs after each folder's rows are in, and
    // within a large folder after every `everyRows` rows, so that the rows can be shown in
    // parts small enough to take in at once.
    static constexpr size_t RowsPerPart = 16384;
    void setStop(const std::atomic<bool> &stop) { m_stop = &stop; }
    void setRowsReady(std::function<void()> rowsReady, size_t everyRows = RowsPerPart)
    {
        m_rowsReady = std::move(rowsReady);
        m_rowsPerPart = everyRows;
    }

    // The filter that picks the names worth reading facts for.
    NameFilter nameFilter() const;

private:
    void WalkFolder(FolderCursor &cursor, quint32 folder);
    bool MatchesSize(const ListedFile &file) const;
    void AddResultRow(quint32 folder, const ListedFile &file);
    void listFiles(quint32 folder, const FolderListing &listing);
    bool stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    const FileSystem &m_fileSystem;
    SearchCriteria &m_criteria;
    ResultStore &m_rows;
    FilePattern m_pattern;
    const std::atomic<bool> *m_stop = nullptr;
    std::function<void()> m_rowsReady;
    size_t m_rowsPerPart = RowsPerPart;
};

} // namespace vashtem

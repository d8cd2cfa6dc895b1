// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/FilePattern.h"
#include "platform/FileSystem.h"
#include "core/search/SearchCriteria.h"

#include <functional>
#include <stop_token>

namespace vashtem {

class FolderCursor;
class ListingSource;
class ResultStore;

// One search over the folders: lists the start folder, or walks its whole tree depth first
// with each folder's files before its subfolders, both in name order, and appends one row
// per file that passes the size test. A folder that the system says cannot be read (no
// permission, vanished) is passed over; a file that vanishes before its facts are read is
// not listed.
class FolderSearch
{
public:
    FolderSearch(const FileSystem &fileSystem, SearchCriteria &criteria, ResultStore &rows);

    void SearchFiles();

    // For a search that another thread follows: once a stop is requested, the walk ends
    // between two files and keeps the rows so far; `rowsReady` runs after each folder's rows are in, and
    // within a large folder after every `everyRows` rows, so that the rows can be shown in
    // parts small enough to take in at once.
    static constexpr size_t RowsPerPart = 16384;
    void setStop(std::stop_token stop) { m_stop = std::move(stop); }
    void setRowsReady(std::function<void()> rowsReady, size_t everyRows = RowsPerPart)
    {
        m_rowsReady = std::move(rowsReady);
        m_rowsPerPart = everyRows;
    }

    // The filter that picks the names worth reading facts for.
    NameFilter nameFilter() const;

    // Once searched: the errno that kept the start folder from being read, or 0.
    int startFolderError() const { return m_startFolderError; }
    // Whether some folder could not be read for want of descriptors or memory, so that the
    // rows are not all there are.
    bool incomplete() const { return m_incomplete; }

private:
    void WalkFolder(FolderCursor &cursor, quint32 folder);
    bool MatchesSize(const ListedFile &file) const;
    void AddResultRow(quint32 folder, const ListedFile &file);
    void listFiles(quint32 folder, FolderListing listing);
    bool stopped() const { return m_stop.stop_requested(); }
    void notRead(int error);

    const FileSystem &m_fileSystem;
    SearchCriteria &m_criteria;
    ResultStore &m_rows;
    FilePattern m_pattern;
    std::stop_token m_stop;
    int m_startFolderError = 0;
    bool m_incomplete = false;
    std::function<void()> m_rowsReady;
    size_t m_rowsPerPart = RowsPerPart;
};

} // namespace vashtem

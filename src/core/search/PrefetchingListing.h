// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/ListingSource.h"

#include <QHash>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vashtem {

// Lists folders ahead of a depth-first walk on worker threads. Whoever lists a folder
// schedules its subfolders, the first on top, so the workers read the folders the walk
// will open next while the walk takes in the ones already read. A folder the walk asks for
// before a worker has started on it is listed by the caller itself. The order the walk sees
// is the order it asks in; only the reading happens ahead of time, and only so far that the
// listings waiting to be taken hold about aheadLimit entries and keep at most
// MaxFoldersOpenAhead folders open.
class PrefetchingListing final : public ListingSource
{
public:
    static constexpr int DefaultWorkers = 8;
    static constexpr size_t DefaultAheadLimit = 65536;
    // Each listing with subfolders keeps its folder open for them; the rest of the process
    // needs descriptors too.
    static constexpr size_t MaxFoldersOpenAhead = 256;

    PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, int workers = DefaultWorkers,
                       size_t aheadLimit = DefaultAheadLimit);
    ~PrefetchingListing() override;

    FolderListing list(const QByteArray &folder, const FolderHandle *parent) override;

private:
    struct Task;
    using TaskPtr = std::shared_ptr<Task>;

    void work();
    FolderListing read(const QByteArray &folder, const FolderHandle *parent);
    void schedule(const QByteArray &folder, const FolderListing &listing);
    bool mayReadAhead() const;

    const FileSystem &m_fileSystem;
    const NameFilter m_accept;
    const size_t m_aheadLimit;
    std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_taskDone;
    std::vector<TaskPtr> m_pending; // the next folder to read last
    QHash<QByteArray, TaskPtr> m_tasks;
    size_t m_entriesAhead = 0; // entries of listings read but not yet taken
    size_t m_foldersOpenAhead = 0; // of those listings, the ones that keep their folder open
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/ListingSource.h"

#include <QHash>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <queue>
#include <thread>
#include <vector>

namespace vashtem {

// Lists folders ahead of a depth-first walk on worker threads. Whoever lists a folder
// schedules its subfolders, and the workers always take the scheduled folder that the walk
// will open first, so they read the folders the walk opens next while the walk takes in the
// ones already read; the budget of reading ahead is not spent on folders far ahead while
// the next ones wait. A folder the walk asks for before a worker has started on it is
// listed by the caller itself. The order the walk sees is the order it asks in; only the
// reading happens ahead of time, and only so far that the listings waiting to be taken hold
// about aheadLimit entries and keep at most MaxFoldersOpenAhead folders open.
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

    // Where a folder comes in the walk: its position among its parent's subfolders, under
    // its parent's place. Each place holds on to its parent's, so a folder deep down costs
    // no more to place than one at the top.
    struct WalkPlace;
    using PlacePtr = std::shared_ptr<const WalkPlace>;
    struct OpensLater {
        bool operator()(const TaskPtr &a, const TaskPtr &b) const;
    };

    void work();
    FolderListing read(const QByteArray &folder, const FolderHandle *parent, const PlacePtr &place);
    void schedule(const QByteArray &folder, const FolderListing &listing, const PlacePtr &place);
    bool mayReadAhead() const;

    const FileSystem &m_fileSystem;
    const NameFilter m_accept;
    const size_t m_aheadLimit;
    std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_taskDone;
    std::priority_queue<TaskPtr, std::vector<TaskPtr>, OpensLater> m_pending; // the walk's next folder on top
    QHash<QByteArray, TaskPtr> m_tasks;
    size_t m_entriesAhead = 0; // entries of listings read but not yet taken
    size_t m_foldersOpenAhead = 0; // of those listings, the ones that keep their folder open
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace vashtem

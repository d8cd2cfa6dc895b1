// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/ListingSource.h"
#include "platform/Executor.h"

#include <QHash>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <queue>
#include <stop_token>
#include <vector>

namespace vashtem {

// Lists folders ahead of a depth-first walk on the executor's threads. Whoever lists a folder
// schedules its subfolders, and the readers always take the scheduled folder that the walk
// will open first, so they read the folders the walk opens next while the walk takes in the
// ones already read; the budget of reading ahead is not spent on folders far ahead while
// the next ones wait. A folder the walk asks for before a reader has started on it is
// listed by the caller itself. The order the walk sees is the order it asks in; only the
// reading happens ahead of time, and only so far that the listings waiting to be taken hold
// about aheadLimit entries and keep at most descriptorBudget descriptors open. A walk that
// runs out of descriptors itself takes back what reading ahead holds and tries again.
class PrefetchingListing final : public ListingSource
{
public:
    static constexpr size_t DefaultAheadLimit = 65536;
    // As many readers as the executor has threads.
    static size_t defaultReaders();
    // The descriptors the system lets reading ahead keep open.
    static size_t defaultDescriptorBudget();

    PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, std::stop_token stop = {},
                       size_t readers = defaultReaders(), size_t aheadLimit = DefaultAheadLimit,
                       size_t descriptorBudget = defaultDescriptorBudget());
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

    void readAhead();
    // Lists a folder for the walk itself, making room once if descriptors run out.
    FolderListing readHere(const QByteArray &folder, const FolderHandle *parent, const PlacePtr &place);
    FolderListing read(const QByteArray &folder, const FolderHandle *parent, const PlacePtr &place);
    void schedule(const QByteArray &folder, const FolderListing &listing, const PlacePtr &place);
    void startReaders();
    void makeRoom();
    bool mayReadAhead() const;

    const FileSystem &m_fileSystem;
    const NameFilter m_accept;
    const std::stop_token m_stop;
    const size_t m_mostReaders;
    const size_t m_aheadLimit;
    std::mutex m_mutex;
    std::condition_variable_any m_taskDone;
    std::priority_queue<TaskPtr, std::vector<TaskPtr>, OpensLater> m_pending; // the walk's next folder on top
    QHash<QByteArray, TaskPtr> m_tasks;
    size_t m_descriptorBudget;
    size_t m_entriesAhead = 0;     // entries of listings read but not yet taken
    size_t m_descriptorsAhead = 0; // held by the listings under way and those read, not yet taken
    size_t m_readers = 0;          // reading tasks handed to the executor and not yet ended
    bool m_stopping = false;
    TaskGroup m_group; // last: the readers end before anything they use goes
};

} // namespace vashtem

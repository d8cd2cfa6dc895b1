#pragma once

#include "search/ListingSource.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <QHash>

#include <vector>

namespace vashtem {

// Lists folders ahead of a depth-first walk on worker threads. Each listing handed out
// schedules its subfolders, the first on top, so the workers read the folders the walk will
// open next while the walk takes in the ones already read. A folder the walk asks for before
// a worker has started on it is listed by the caller itself. The order the walk sees is the
// order it asks in; only the reading happens ahead of time.
class PrefetchingListing final : public ListingSource
{
public:
    static constexpr int DefaultWorkers = 2;

    PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, int workers = DefaultWorkers);
    ~PrefetchingListing() override;

    FolderListing list(const QByteArray &folder) override;

private:
    struct Task;
    using TaskPtr = std::shared_ptr<Task>;

    void work();
    void schedule(const QByteArray &folder, const FolderListing &listing);

    const FileSystem &m_fileSystem;
    const NameFilter m_accept;
    std::mutex m_mutex;
    std::condition_variable m_workAvailable;
    std::condition_variable m_taskDone;
    std::vector<TaskPtr> m_pending; // the next folder to read last
    QHash<QByteArray, TaskPtr> m_tasks;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace vashtem

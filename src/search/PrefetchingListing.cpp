#include "search/PrefetchingListing.h"

#include "search/AppendBackslash.h"

namespace vashtem {

struct PrefetchingListing::Task {
    enum class State { Queued, Running, Done };
    QByteArray folder;
    State state = State::Queued;
    FolderListing listing;
};

PrefetchingListing::PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, int workers)
    : m_fileSystem(fileSystem)
    , m_accept(std::move(accept))
{
    for (int index = 0; index < workers; ++index)
        m_workers.emplace_back([this] { work(); });
}

PrefetchingListing::~PrefetchingListing()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_workAvailable.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

FolderListing PrefetchingListing::list(const QByteArray &folder)
{
    FolderListing listing;
    std::unique_lock lock(m_mutex);
    const auto found = m_tasks.find(folder);
    if (found == m_tasks.end() || found.value()->state == Task::State::Queued) {
        // Not started by a worker: read it here rather than wait for one.
        if (found != m_tasks.end()) {
            found.value()->state = Task::State::Running; // workers pass over it now
            m_tasks.erase(found);
        }
        lock.unlock();
        listing = m_fileSystem.listFolder(folder, m_accept);
    } else {
        const TaskPtr task = found.value();
        m_tasks.erase(found);
        m_taskDone.wait(lock, [&] { return task->state == Task::State::Done; });
        listing = std::move(task->listing);
        lock.unlock();
    }
    schedule(folder, listing);
    return listing;
}

void PrefetchingListing::schedule(const QByteArray &folder, const FolderListing &listing)
{
    if (listing.subfolders.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        for (auto name = listing.subfolders.rbegin(); name != listing.subfolders.rend(); ++name) {
            auto task = std::make_shared<Task>();
            task->folder = joinPath(folder, *name);
            m_tasks[task->folder] = task;
            m_pending.push_back(std::move(task));
        }
    }
    m_workAvailable.notify_all();
}

void PrefetchingListing::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_stopping)
            return;
        const TaskPtr task = std::move(m_pending.back());
        m_pending.pop_back();
        if (task->state != Task::State::Queued)
            continue; // the walk read it itself
        task->state = Task::State::Running;
        lock.unlock();
        FolderListing listing = m_fileSystem.listFolder(task->folder, m_accept);
        lock.lock();
        task->listing = std::move(listing);
        task->state = Task::State::Done;
        m_taskDone.notify_all();
    }
}

} // namespace vashtem

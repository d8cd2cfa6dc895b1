#include "core/search/PrefetchingListing.h"

#include "platform/Paths.h"

namespace vashtem {

namespace {

size_t entriesOf(const FolderListing &listing)
{
    return listing.files.size() + listing.subfolders.size();
}

} // namespace

struct PrefetchingListing::Task {
    enum class State { Queued, Running, Done };
    QByteArray folder;
    State state = State::Queued;
    FolderListing listing;
};

PrefetchingListing::PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, int workers,
                                       size_t aheadLimit)
    : m_fileSystem(fileSystem)
    , m_accept(std::move(accept))
    , m_aheadLimit(aheadLimit)
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
    std::unique_lock lock(m_mutex);
    const auto found = m_tasks.find(folder);
    if (found == m_tasks.end()) {
        lock.unlock();
        return read(folder); // not one of the subfolders listed so far: the start folder
    }
    const TaskPtr task = found.value();
    m_tasks.erase(found);
    if (task->state == Task::State::Queued) {
        // Not started by a worker: read it here rather than wait for one.
        task->state = Task::State::Running; // workers pass over it now
        lock.unlock();
        return read(folder);
    }
    m_taskDone.wait(lock, [&] { return task->state == Task::State::Done; });
    const bool wasFull = !mayReadAhead();
    m_entriesAhead -= entriesOf(task->listing);
    if (wasFull && mayReadAhead())
        m_workAvailable.notify_all();
    return std::move(task->listing);
}

FolderListing PrefetchingListing::read(const QByteArray &folder)
{
    FolderListing listing = m_fileSystem.listFolder(folder, m_accept);
    if (!listing.subfolders.empty()) {
        {
            const std::lock_guard lock(m_mutex);
            schedule(folder, listing);
        }
        m_workAvailable.notify_all();
    }
    return listing;
}

void PrefetchingListing::schedule(const QByteArray &folder, const FolderListing &listing)
{
    for (auto name = listing.subfolders.rbegin(); name != listing.subfolders.rend(); ++name) {
        auto task = std::make_shared<Task>();
        task->folder = joinPath(folder, *name);
        m_tasks.insert(task->folder, task);
        m_pending.push_back(std::move(task));
    }
}

bool PrefetchingListing::mayReadAhead() const
{
    return m_entriesAhead < m_aheadLimit;
}

void PrefetchingListing::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] { return m_stopping || (!m_pending.empty() && mayReadAhead()); });
        if (m_stopping)
            return;
        const TaskPtr task = std::move(m_pending.back());
        m_pending.pop_back();
        if (task->state != Task::State::Queued)
            continue; // the walk read it itself
        task->state = Task::State::Running;
        lock.unlock();
        FolderListing listing = read(task->folder);
        lock.lock();
        task->listing = std::move(listing);
        task->state = Task::State::Done;
        m_entriesAhead += entriesOf(task->listing);
        m_taskDone.notify_all();
    }
}

} // namespace vashtem

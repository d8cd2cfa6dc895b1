// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/PrefetchingListing.h"

#include "platform/Paths.h"

#include <cerrno>

namespace vashtem {

namespace {

size_t entriesOf(const FolderListing &listing)
{
    return listing.files.size() + listing.subfolders.size();
}

size_t foldersOpenBy(const FolderListing &listing)
{
    return listing.handle ? 1 : 0;
}

// Out of descriptors: worth trying again once the walk has taken what was read ahead.
bool ranOutOfDescriptors(const FolderListing &listing)
{
    return listing.error == EMFILE || listing.error == ENFILE;
}

} // namespace

struct PrefetchingListing::WalkPlace {
    PlacePtr parent; // none for the folder the walk starts in
    quint32 position = 0;
    quint32 depth = 0;

    // Whether the walk opens this folder before the one at `other`: an ancestor before its
    // descendants, else the two lines that part under a common ancestor go by their positions.
    bool opensBefore(const WalkPlace &other) const
    {
        const WalkPlace *x = this;
        const WalkPlace *y = &other;
        while (x->depth > y->depth)
            x = x->parent.get();
        while (y->depth > x->depth)
            y = y->parent.get();
        if (x == y)
            return depth < other.depth;
        while (x->parent != y->parent) {
            x = x->parent.get();
            y = y->parent.get();
        }
        return x->position < y->position;
    }
};

struct PrefetchingListing::Task {
    enum class State { Queued, Running, Done };
    QByteArray folder;
    PlacePtr place;
    std::shared_ptr<const FolderHandle> parent; // open until the folder is read
    State state = State::Queued;
    FolderListing listing;
};

bool PrefetchingListing::OpensLater::operator()(const TaskPtr &a, const TaskPtr &b) const
{
    return b->place->opensBefore(*a->place);
}

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

FolderListing PrefetchingListing::list(const QByteArray &folder, const FolderHandle *parent)
{
    std::unique_lock lock(m_mutex);
    const auto found = m_tasks.find(folder);
    if (found == m_tasks.end()) {
        lock.unlock();
        // Not one of the subfolders listed so far: the start folder.
        return read(folder, parent, std::make_shared<const WalkPlace>());
    }
    const TaskPtr task = found.value();
    m_tasks.erase(found);
    if (task->state == Task::State::Queued) {
        // Not started by a worker: read it here rather than wait for one.
        task->state = Task::State::Running; // workers pass over it now
        task->parent.reset();
        lock.unlock();
        return read(folder, parent, task->place);
    }
    m_taskDone.wait(lock, [&] { return task->state == Task::State::Done; });
    const bool wasFull = !mayReadAhead();
    m_entriesAhead -= entriesOf(task->listing);
    m_foldersOpenAhead -= foldersOpenBy(task->listing);
    if (wasFull && mayReadAhead())
        m_workAvailable.notify_all();
    lock.unlock();
    if (ranOutOfDescriptors(task->listing))
        return read(folder, parent, task->place);
    return std::move(task->listing);
}

FolderListing PrefetchingListing::read(const QByteArray &folder, const FolderHandle *parent, const PlacePtr &place)
{
    FolderListing listing = listOn(m_fileSystem, folder, parent, m_accept);
    if (!listing.subfolders.empty()) {
        {
            const std::lock_guard lock(m_mutex);
            schedule(folder, listing, place);
        }
        m_workAvailable.notify_all();
    }
    return listing;
}

void PrefetchingListing::schedule(const QByteArray &folder, const FolderListing &listing, const PlacePtr &place)
{
    for (size_t index = 0; index < listing.subfolders.size(); ++index) {
        auto task = std::make_shared<Task>();
        task->folder = joinPath(folder, listing.subfolders[index]);
        task->place = std::make_shared<const WalkPlace>(WalkPlace{place, quint32(index), place->depth + 1});
        task->parent = listing.handle;
        m_tasks.insert(task->folder, task);
        m_pending.push(std::move(task));
    }
}

bool PrefetchingListing::mayReadAhead() const
{
    return m_entriesAhead < m_aheadLimit && m_foldersOpenAhead < MaxFoldersOpenAhead;
}

void PrefetchingListing::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_workAvailable.wait(lock, [this] { return m_stopping || (!m_pending.empty() && mayReadAhead()); });
        if (m_stopping)
            return;
        const TaskPtr task = m_pending.top();
        m_pending.pop();
        if (task->state != Task::State::Queued)
            continue; // the walk read it itself
        task->state = Task::State::Running;
        lock.unlock();
        FolderListing listing = read(task->folder, task->parent.get(), task->place);
        lock.lock();
        task->parent.reset();
        task->listing = std::move(listing);
        task->state = Task::State::Done;
        m_entriesAhead += entriesOf(task->listing);
        m_foldersOpenAhead += foldersOpenBy(task->listing);
        m_taskDone.notify_all();
    }
}

} // namespace vashtem

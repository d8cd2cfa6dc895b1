// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/PrefetchingListing.h"

#include "platform/Descriptors.h"
#include "platform/Paths.h"

#include <cerrno>

namespace vashtem {

namespace {

size_t entriesOf(const FolderListing &listing)
{
    return listing.files.size() + listing.subfolders.size();
}

size_t descriptorsHeldBy(const FolderListing &listing)
{
    return listing.handle ? 1 : 0;
}

// A listing under way holds its folder and a second descriptor to read it through.
constexpr size_t DescriptorsWhileListing = 2;

bool ranOutOfDescriptors(const FolderListing &listing)
{
    return listing.error == EMFILE || listing.error == ENFILE;
}

FolderListing cancelled()
{
    FolderListing listing;
    listing.error = ECANCELED;
    return listing;
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
    // Queued: not started; a queued task no longer pending is left to the walk.
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

size_t PrefetchingListing::defaultReaders()
{
    return Executor::shared().mostThreads();
}

size_t PrefetchingListing::defaultDescriptorBudget()
{
    return descriptorsForReadingAhead();
}

PrefetchingListing::PrefetchingListing(const FileSystem &fileSystem, NameFilter accept, std::stop_token stop,
                                       size_t readers, size_t aheadLimit, size_t descriptorBudget)
    : m_fileSystem(fileSystem)
    , m_accept(std::move(accept))
    , m_stop(std::move(stop))
    , m_mostReaders(readers)
    , m_aheadLimit(aheadLimit)
    , m_descriptorBudget(descriptorBudget)
{
}

PrefetchingListing::~PrefetchingListing()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_group.wait();
}

FolderListing PrefetchingListing::list(const QByteArray &folder, const FolderHandle *parent)
{
    std::unique_lock lock(m_mutex);
    const auto found = m_tasks.find(folder);
    if (found == m_tasks.end()) {
        lock.unlock();
        // Not one of the subfolders listed so far: the start folder.
        return readHere(folder, parent, std::make_shared<const WalkPlace>());
    }
    const TaskPtr task = found.value();
    m_tasks.erase(found);
    if (task->state == Task::State::Queued) {
        // Not started by a reader: read it here rather than wait for one.
        task->state = Task::State::Running; // readers pass over it now
        task->parent.reset();
        lock.unlock();
        return readHere(folder, parent, task->place);
    }
    if (!m_taskDone.wait(lock, m_stop, [&] { return task->state == Task::State::Done; }))
        return cancelled();
    m_entriesAhead -= entriesOf(task->listing);
    m_descriptorsAhead -= descriptorsHeldBy(task->listing);
    startReaders();
    lock.unlock();
    if (ranOutOfDescriptors(task->listing))
        return readHere(folder, parent, task->place);
    return std::move(task->listing);
}

FolderListing PrefetchingListing::readHere(const QByteArray &folder, const FolderHandle *parent,
                                           const PlacePtr &place)
{
    FolderListing listing = read(folder, parent, place);
    if (!ranOutOfDescriptors(listing))
        return listing;
    makeRoom();
    return read(folder, parent, place);
}

// Reading ahead gives back every descriptor it holds and goes on with half its budget; the
// walk reads the folders it gave back itself when it comes to them.
void PrefetchingListing::makeRoom()
{
    std::unique_lock lock(m_mutex);
    m_descriptorBudget /= 2;
    for (const TaskPtr &task : std::as_const(m_tasks)) {
        if (task->state != Task::State::Done || !task->listing.handle)
            continue;
        m_entriesAhead -= entriesOf(task->listing);
        m_descriptorsAhead -= descriptorsHeldBy(task->listing);
        task->listing = {};
        task->state = Task::State::Queued; // no longer pending
    }
    m_taskDone.wait(lock, m_stop, [this] { return m_descriptorsAhead <= m_descriptorBudget; });
}

FolderListing PrefetchingListing::read(const QByteArray &folder, const FolderHandle *parent, const PlacePtr &place)
{
    FolderListing listing = listOn(m_fileSystem, folder, parent, m_accept, m_stop);
    if (!listing.subfolders.empty()) {
        const std::lock_guard lock(m_mutex);
        schedule(folder, listing, place);
        startReaders();
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

void PrefetchingListing::startReaders()
{
    while (m_readers < m_mostReaders && m_readers < m_pending.size() && mayReadAhead() && !m_stopping) {
        ++m_readers;
        m_group.run([this] { readAhead(); });
    }
}

bool PrefetchingListing::mayReadAhead() const
{
    return m_entriesAhead < m_aheadLimit && m_descriptorsAhead + DescriptorsWhileListing <= m_descriptorBudget;
}

// Reads the pending folders the walk opens first while there are any and the budget allows,
// then ends: a reader never waits for work while holding a thread.
void PrefetchingListing::readAhead()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping && !m_stop.stop_requested() && !m_pending.empty() && mayReadAhead()) {
        const TaskPtr task = m_pending.top();
        m_pending.pop();
        if (task->state != Task::State::Queued)
            continue; // the walk read it itself
        task->state = Task::State::Running;
        m_descriptorsAhead += DescriptorsWhileListing;
        lock.unlock();
        FolderListing listing = read(task->folder, task->parent.get(), task->place);
        lock.lock();
        m_descriptorsAhead -= DescriptorsWhileListing;
        task->parent.reset();
        task->listing = std::move(listing);
        task->state = Task::State::Done;
        m_entriesAhead += entriesOf(task->listing);
        m_descriptorsAhead += descriptorsHeldBy(task->listing);
        m_taskDone.notify_all();
    }
    --m_readers;
    m_taskDone.notify_all(); // a walk making room waits for the descriptors to come back
}

} // namespace vashtem

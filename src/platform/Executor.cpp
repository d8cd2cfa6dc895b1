// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Executor.h"

#include "platform/ThreadPriority.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace vashtem {

namespace {

std::atomic<Executor *> substitute{nullptr};

} // namespace

struct Executor::Group {
    std::mutex mutex;
    std::condition_variable done;
    std::deque<std::function<void()>> tasks;
    size_t running = 0;

    // Runs one waiting task, if any is left; whoever waits for the group may have taken it.
    void runOne(std::unique_lock<std::mutex> &lock)
    {
        if (tasks.empty())
            return;
        const std::function<void()> task = std::move(tasks.front());
        tasks.pop_front();
        ++running;
        lock.unlock();
        task();
        lock.lock();
        if (--running == 0)
            done.notify_all();
    }
};

std::optional<std::jthread> SystemThreadStarter::start(std::function<void(std::stop_token)> body)
{
    try {
        return std::jthread(std::move(body));
    } catch (const std::system_error &) {
        return std::nullopt; // EAGAIN: the work goes on on the threads there are
    }
}

size_t Executor::cores()
{
    static const size_t count = std::max(1u, std::thread::hardware_concurrency()); // reads a file
    return count;
}

Executor::Executor(size_t mostThreads, ThreadStarter *starter)
    : m_mostThreads(mostThreads)
    , m_starter(starter ? *starter : m_systemStarter)
{
}

Executor::~Executor()
{
    std::vector<std::jthread> threads;
    {
        const std::lock_guard lock(m_mutex);
        threads.swap(m_threads);
    }
    for (std::jthread &thread : threads)
        thread.request_stop();
    // Each waits for an offer with its stop token, so it ends now; the join is the jthread's.
}

Executor &Executor::shared()
{
    static Executor &process = *new Executor;
    Executor *instead = substitute.load();
    return instead ? *instead : process;
}

bool Executor::tryStart(std::function<void()> task)
{
    const auto group = std::make_shared<Group>();
    const std::lock_guard lock(group->mutex);
    if (!offer(group, true))
        return false;
    group->tasks.push_back(std::move(task));
    return true;
}

Executor::Substitute::Substitute(Executor &executor)
    : m_previous(substitute.exchange(&executor))
{
}

Executor::Substitute::~Substitute()
{
    substitute.store(m_previous);
}

bool Executor::offer(const std::shared_ptr<Group> &group, bool onlyIfServed)
{
    const std::lock_guard lock(m_mutex);
    bool served = m_waiting > m_offers.size();
    if (!served && m_threads.size() < m_mostThreads) {
        std::optional<std::jthread> thread = m_starter.start([this](std::stop_token stop) { serve(stop); });
        if (thread) {
            m_threads.push_back(std::move(*thread));
            served = true;
        }
    }
    if (!served && onlyIfServed)
        return false;
    m_offers.push_back(group);
    m_offered.notify_one();
    return served;
}

void Executor::withdraw(const std::shared_ptr<Group> &group)
{
    const std::lock_guard lock(m_mutex);
    const auto found = std::find(m_offers.begin(), m_offers.end(), group);
    if (found != m_offers.end())
        m_offers.erase(found);
}

void Executor::serve(std::stop_token stop)
{
    yieldToTheWindow();
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_waiting;
        const bool offered = m_offered.wait(lock, stop, [this] { return !m_offers.empty(); });
        --m_waiting;
        if (!offered)
            return;
        std::shared_ptr<Group> group = std::move(m_offers.front());
        m_offers.pop_front();
        lock.unlock();
        {
            std::unique_lock groupLock(group->mutex);
            group->runOne(groupLock);
        }
        group.reset();
        lock.lock();
    }
}

TaskGroup::TaskGroup(Executor &executor)
    : m_executor(executor)
    , m_group(std::make_shared<Executor::Group>())
{
}

TaskGroup::~TaskGroup()
{
    wait();
}

void TaskGroup::run(std::function<void()> task)
{
    {
        const std::lock_guard lock(m_group->mutex);
        m_group->tasks.push_back(std::move(task));
    }
    m_executor.offer(m_group, false);
}

void TaskGroup::wait()
{
    std::unique_lock lock(m_group->mutex);
    for (;;) {
        if (!m_group->tasks.empty()) {
            m_executor.withdraw(m_group);
            m_group->runOne(lock);
            continue;
        }
        if (m_group->running == 0)
            return;
        m_group->done.wait(lock);
    }
}

} // namespace vashtem

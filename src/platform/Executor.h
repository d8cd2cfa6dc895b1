// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace vashtem {

// Starts the executor's threads. The system may have none to give (a full process table, a
// limit on the user's processes); a stand-in refuses some to show that the work does without.
class ThreadStarter
{
public:
    virtual ~ThreadStarter() = default;
    // A thread running body, or none when no thread could be started.
    virtual std::optional<std::jthread> start(std::function<void(std::stop_token)> body) = 0;
};

// The system's threads; a refusal is an answer, never an exception.
class SystemThreadStarter final : public ThreadStarter
{
public:
    std::optional<std::jthread> start(std::function<void(std::stop_token)> body) override;
};

class TaskGroup;

// The one place where the program's helper work runs: a pool of threads started as work
// comes, up to a number that follows the machine, below the window's priority. No thread is
// needed for any work to be done: whatever no thread takes, the one who waits for it runs.
class Executor
{
public:
    // Reads kept in flight per core while a cold disk answers: the walk's read-ahead and the
    // facts of large folders wait for the disk far more than they compute.
    static constexpr size_t ThreadsPerCore = 4;

    static size_t cores();

    explicit Executor(size_t mostThreads = ThreadsPerCore * cores(), ThreadStarter *starter = nullptr);
    ~Executor(); // asks every thread to end and waits for it
    Executor(const Executor &) = delete;
    Executor &operator=(const Executor &) = delete;

    size_t mostThreads() const { return m_mostThreads; }

    // Runs a task on a thread of the executor's if one is free or can be started, and answers
    // whether it does; nobody waits for it, so it must own whatever it uses.
    bool tryStart(std::function<void()> task);

    // The executor of the process, or the one a Substitute has put in its place. The
    // process's own is never destroyed: a thread stuck in a call to a share that stopped
    // answering must not keep the program from ending.
    static Executor &shared();

    // Puts another executor in the process's place while it lives (tests).
    class Substitute
    {
    public:
        explicit Substitute(Executor &executor);
        ~Substitute();
        Substitute(const Substitute &) = delete;
        Substitute &operator=(const Substitute &) = delete;

    private:
        Executor *m_previous;
    };

private:
    friend class TaskGroup;
    struct Group;

    // One task of the group waits: true when a thread is free for it or could be started.
    // With onlyIfServed nothing is offered unless it is.
    bool offer(const std::shared_ptr<Group> &group, bool onlyIfServed);
    // One task of the group was taken by the one who waits for it: its offer goes.
    void withdraw(const std::shared_ptr<Group> &group);
    void serve(std::stop_token stop);

    const size_t m_mostThreads;
    SystemThreadStarter m_systemStarter;
    ThreadStarter &m_starter;
    std::mutex m_mutex;
    std::condition_variable_any m_offered;
    std::deque<std::shared_ptr<Group>> m_offers; // one entry for each task offered
    size_t m_waiting = 0;                        // threads waiting for an offer
    std::vector<std::jthread> m_threads;
};

// Tasks that belong together and are waited for together. A task no thread has taken when
// the group is waited for runs on the waiting thread, so a group always finishes, on
// however few threads.
class TaskGroup
{
public:
    explicit TaskGroup(Executor &executor = Executor::shared());
    ~TaskGroup(); // waits
    TaskGroup(const TaskGroup &) = delete;
    TaskGroup &operator=(const TaskGroup &) = delete;

    void run(std::function<void()> task);
    // Runs here every task no thread has taken, then waits for those under way.
    void wait();

private:
    Executor &m_executor;
    std::shared_ptr<Executor::Group> m_group;
};

} // namespace vashtem

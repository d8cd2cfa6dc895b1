// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListingFloor.h"

#include "Fatal.h"
#include "Stopwatch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::bench {

namespace {

// A folder stays open while subfolders of it wait to be opened, so a chain deeper than
// the longest path is read too.
struct OpenFolder {
    explicit OpenFolder(int descriptor) : fd(descriptor) {}
    ~OpenFolder() { ::close(fd); }
    int fd;
};

struct Folder {
    std::shared_ptr<OpenFolder> parent;
    std::string name;
};

class Walk
{
public:
    Walk(const std::string &root, int threads, FolderOrder order)
        : m_threads(size_t(threads))
        , m_order(order)
    {
        m_waiting.push_back({nullptr, root});
    }

    void work()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_busy == 0; });
            if (m_waiting.empty())
                return;
            Folder folder = next();
            ++m_busy;
            lock.unlock();
            std::vector<Folder> subfolders = read(folder);
            folder.parent.reset();
            lock.lock();
            std::move(subfolders.begin(), subfolders.end(), std::back_inserter(m_waiting));
            --m_busy;
            m_changed.notify_all();
        }
    }

private:
    Folder next()
    {
        const bool newest = m_order == FolderOrder::DepthFirst;
        Folder folder = std::move(newest ? m_waiting.back() : m_waiting.front());
        if (newest)
            m_waiting.pop_back();
        else
            m_waiting.pop_front();
        return folder;
    }

    static constexpr size_t FilesPerThread = 2048;

    std::vector<Folder> read(const Folder &folder) const
    {
        const int fd = ::openat(folder.parent ? folder.parent->fd : AT_FDCWD, folder.name.c_str(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            fatalErrno("cannot open " + folder.name);
        const auto open = std::make_shared<OpenFolder>(fd);
        DIR *dir = ::fdopendir(::dup(fd));
        if (!dir)
            fatalErrno("cannot read " + folder.name);
        std::vector<Folder> subfolders;
        std::vector<std::pair<ino_t, std::string>> files;
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            if (entry->d_type == DT_DIR)
                subfolders.push_back({open, entry->d_name});
            else if (entry->d_type == DT_REG)
                files.emplace_back(entry->d_ino, entry->d_name);
        }
        ::closedir(dir);
        std::sort(files.begin(), files.end());
        // A large folder's files are shared among as many threads as read folders.
        const size_t parts = std::clamp<size_t>(files.size() / FilesPerThread, 1, m_threads);
        const auto statRange = [&](size_t first, size_t end) {
            struct statx facts;
            for (size_t index = first; index < end; ++index)
                ::statx(fd, files[index].second.c_str(), AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE | STATX_MTIME,
                        &facts);
        };
        std::vector<std::thread> helpers;
        for (size_t part = 1; part < parts; ++part)
            helpers.emplace_back(statRange, files.size() * part / parts, files.size() * (part + 1) / parts);
        statRange(0, files.size() / parts);
        for (std::thread &helper : helpers)
            helper.join();
        return subfolders;
    }

    size_t m_threads;
    FolderOrder m_order;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Folder> m_waiting; // guarded by m_mutex
    int m_busy = 0;              // folders being read; guarded by m_mutex
};

} // namespace

double listAndStatAll(const std::string &root, int threads, FolderOrder order)
{
    const Stopwatch watch;
    Walk walk(root, threads, order);
    std::vector<std::thread> workers;
    for (int index = 0; index < threads; ++index)
        workers.emplace_back([&walk] { walk.work(); });
    for (std::thread &worker : workers)
        worker.join();
    return watch.ms();
}

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileSet.h"

#include "Fatal.h"
#include "Stopwatch.h"

#include <fstream>
#include <string_view>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::bench {

void FileSet::add(const QByteArray &path)
{
    struct stat facts;
    if (::lstat(path.constData(), &facts) != 0)
        fatalErrno("cannot read " + path.toStdString());
    m_starts.push_back(m_paths.size());
    m_paths.append(path.constData(), size_t(path.size()));
    m_paths.push_back('\0');
    m_sizes.push_back(facts.st_size);
}

void FileSet::writeList(const std::string &listPath) const
{
    std::ofstream out(listPath, std::ios::binary | std::ios::trunc);
    out.write(m_paths.data(), std::streamsize(m_paths.size()));
    if (!out.flush())
        fatal("cannot write " + listPath);
}

void FileSet::recreate() const
{
    // Consecutive files share folders, so each worker takes one run of them.
    const size_t parts = std::max(1u, std::thread::hardware_concurrency());
    const size_t total = m_sizes.size();
    std::vector<std::thread> workers;
    for (size_t part = 0; part < parts; ++part)
        workers.emplace_back(&FileSet::recreateRange, this, total * part / parts, total * (part + 1) / parts);
    for (std::thread &worker : workers)
        worker.join();
}

double FileSet::removeEachCarefully() const
{
    const Stopwatch watch;
    std::string openFolder;
    int folderFd = -1;
    for (const size_t start : m_starts) {
        const std::string_view path(m_paths.data() + start);
        const size_t slash = path.rfind('/');
        const std::string folder(path.substr(0, slash));
        if (folder != openFolder) {
            if (folderFd >= 0)
                ::close(folderFd);
            folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (folderFd < 0)
                fatalErrno("cannot open " + folder);
            openFolder = folder;
        }
        const char *name = path.data() + slash + 1;
        struct stat facts;
        if (::fstatat(folderFd, name, &facts, AT_SYMLINK_NOFOLLOW) != 0 || ::unlinkat(folderFd, name, 0) != 0)
            fatalErrno("cannot delete " + std::string(path));
    }
    if (folderFd >= 0)
        ::close(folderFd);
    return watch.ms();
}

void FileSet::recreateRange(size_t first, size_t end) const
{
    for (size_t i = first; i < end; ++i) {
        const char *path = m_paths.data() + m_starts[i];
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            fatalErrno(std::string("cannot create ") + path);
        if (m_sizes[i] > 0 && ::ftruncate(fd, m_sizes[i]) != 0)
            fatalErrno(std::string("cannot size ") + path);
        ::close(fd);
    }
}

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileFacts.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>

namespace vashtem {

namespace {

// Below this many files one thread reads them; above it, one thread per this many.
constexpr size_t FilesPerThread = 2048;
// Reads stay in flight while others wait for the disk, so more threads than cores pay.
constexpr size_t MostThreads = 8;

struct Position {
    quint64 inode;
    quint32 index;
};

// Files read between two questions whether the listing is still wanted.
constexpr size_t AskAgainEvery = 1024;

void readRange(int folderFd, std::vector<ListedFile> &files, std::vector<char> &regular,
               const std::vector<Position> &order, size_t first, size_t end,
               const std::function<bool()> &stillWanted, std::atomic<bool> &abandoned)
{
    for (size_t k = first; k < end; ++k) {
        if ((k - first) % AskAgainEvery == AskAgainEvery - 1 && (abandoned || !stillWanted())) {
            abandoned = true;
            return;
        }
        const quint32 index = order[k].index;
        // Each name is followed by a NUL in its listing's block.
        const FileFacts facts = readFileFacts(folderFd, files[index].name.data());
        files[index].size = facts.size;
        files[index].modified = facts.modified;
        files[index].inode = facts.inode;
        regular[index] = facts.regular;
    }
}

} // namespace

FileFacts readFileFacts(int folderFd, const char *name)
{
    FileFacts facts;
#ifdef __linux__
    // Size and time only: the type comes with every answer, and the rest is not needed.
    struct statx found;
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE | STATX_SIZE | STATX_MTIME,
                &found) != 0)
        return facts;
    facts = {S_ISREG(found.stx_mode), qint64(found.stx_size), qint64(found.stx_mtime.tv_sec), found.stx_ino,
             (quint64(found.stx_dev_major) << 32) | found.stx_dev_minor};
#else
    struct stat found;
    if (::fstatat(folderFd, name, &found, AT_SYMLINK_NOFOLLOW) != 0)
        return facts;
    facts = {S_ISREG(found.st_mode), qint64(found.st_size), qint64(found.st_mtime), quint64(found.st_ino),
             quint64(found.st_dev)};
#endif
    return facts;
}

bool readFileFacts(int folderFd, std::vector<ListedFile> &files, std::vector<quint64> inodeHints,
                   const std::function<bool()> &stillWanted)
{
    std::vector<Position> order(files.size());
    for (size_t index = 0; index < files.size(); ++index)
        order[index] = {inodeHints[index], quint32(index)};
    inodeHints = {};
    std::sort(order.begin(), order.end(), [](const Position &a, const Position &b) { return a.inode < b.inode; });

    // Each thread takes one stretch of inode numbers, so each still reads front to back.
    std::vector<char> regular(files.size()); // one byte each: threads write side by side
    const size_t threads = std::clamp<size_t>(files.size() / FilesPerThread, 1, MostThreads);
    std::atomic<bool> abandoned{false};
    std::vector<std::thread> helpers;
    for (size_t part = 1; part < threads; ++part) {
        helpers.emplace_back(readRange, folderFd, std::ref(files), std::ref(regular), std::cref(order),
                             order.size() * part / threads, order.size() * (part + 1) / threads,
                             std::cref(stillWanted), std::ref(abandoned));
    }
    readRange(folderFd, files, regular, order, 0, order.size() / threads, stillWanted, abandoned);
    for (std::thread &helper : helpers)
        helper.join();
    if (abandoned)
        return false;

    size_t kept = 0;
    for (size_t index = 0; index < files.size(); ++index) {
        if (regular[index] && kept++ != index)
            files[kept - 1] = std::move(files[index]);
    }
    files.resize(kept);
    return true;
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileFacts.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace vashtem {

namespace {

// Threads besides the caller's that read a large folder's parts: more than there are cores,
// so that reads stay in flight while others wait for the disk.
constexpr size_t MostHelpers = 7;

// Files read between two questions whether the listing is still wanted: few enough that on
// a cold disk, where one read can wait for many others, the answer is acted on at once.
constexpr size_t AskAgainEvery = 64;

} // namespace

struct FactReader::Part {
    QByteArray names; // each name followed by a NUL
    std::vector<ListedFile> files;
    std::vector<quint64> inodeHints; // let go of once the part is read
    std::vector<char> regular;       // one byte each, as the threads write side by side
};

bool readFileFacts(int folderFd, const char *name, FileFacts &facts)
{
#ifdef __linux__
    // What the listing and the deletion read and nothing more: one look at the inode answers
    // all of it, and the attributes come with every answer.
    struct statx found;
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_SIZE | STATX_MTIME, &found) != 0)
        return false;
    constexpr quint64 Unchangeable = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;
    facts = {mode_t(found.stx_mode),
             uid_t(found.stx_uid),
             qint64(found.stx_size),
             qint64(found.stx_mtime.tv_sec),
             quint64(found.stx_ino),
             quint64(makedev(found.stx_dev_major, found.stx_dev_minor)),
             (found.stx_attributes & found.stx_attributes_mask & Unchangeable) != 0};
#else
    struct stat found;
    if (::fstatat(folderFd, name, &found, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    facts = {found.st_mode, found.st_uid, qint64(found.st_size), qint64(found.st_mtime), quint64(found.st_ino),
             quint64(found.st_dev), false};
#endif
    return true;
}

FactReader::FactReader(int folderFd, std::function<bool()> stillWanted)
    : m_folderFd(folderFd)
    , m_stillWanted(std::move(stillWanted))
{
}

FactReader::~FactReader()
{
    // Left before the end (the listing failed or is no longer wanted): the helpers stop at once.
    m_abandoned = true;
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_partReady.notify_all();
    for (std::thread &helper : m_helpers)
        helper.join();
}

void FactReader::add(QByteArrayView name, quint64 inodeHint)
{
    if (!m_filling) {
        m_parts.push_back(std::make_unique<Part>());
        m_filling = m_parts.back().get();
    }
    m_filling->names.append(name).append('\0');
    m_filling->files.emplace_back();
    m_filling->inodeHints.push_back(inodeHint);
    ++m_added;
    if (m_filling->files.size() == PartSize)
        publish(true);
}

void FactReader::close()
{
    if (m_filling)
        publish(false); // the caller reads it, unless a helper is idle
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_partReady.notify_all(); // idle helpers end
}

void FactReader::publish(bool withHelper)
{
    Part &part = *m_filling;
    m_filling = nullptr;
    // The names point into the block only now that it has stopped growing.
    const char *name = part.names.constData();
    for (ListedFile &file : part.files) {
        file.name = QByteArrayView(name, qsizetype(std::strlen(name)));
        name += file.name.size() + 1;
    }
    part.regular.assign(part.files.size(), 0);
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(&part);
        ++m_partsUnread;
    }
    if (withHelper && m_helpers.size() < MostHelpers)
        m_helpers.emplace_back([this] { work(); });
    m_partReady.notify_one();
}

void FactReader::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_partReady.wait(lock, [this] { return !m_queue.empty() || m_closed; });
        if (m_queue.empty())
            return;
        readQueuedParts(lock);
    }
}

void FactReader::readQueuedParts(std::unique_lock<std::mutex> &lock)
{
    while (!m_queue.empty()) {
        Part *part = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        readPart(*part);
        lock.lock();
        if (--m_partsUnread == 0)
            m_partDone.notify_all();
    }
}

void FactReader::readPart(Part &part)
{
    std::vector<std::pair<quint64, quint32>> byInode(part.files.size());
    for (size_t index = 0; index < part.files.size(); ++index)
        byInode[index] = {part.inodeHints[index], quint32(index)};
    std::vector<quint64>().swap(part.inodeHints);
    std::sort(byInode.begin(), byInode.end());
    for (size_t k = 0; k < byInode.size(); ++k) {
        // Given up elsewhere: not one more read, each of which may wait long for a cold disk.
        if (m_abandoned.load(std::memory_order_relaxed)
            || (k % AskAgainEvery == AskAgainEvery - 1 && !m_stillWanted())) {
            m_abandoned = true;
            return;
        }
        ListedFile &file = part.files[byInode[k].second];
        // Each name is followed by a NUL in its part's block.
        FileFacts facts;
        // Left out when it vanished or something else now stands there.
        part.regular[byInode[k].second] = readFileFacts(m_folderFd, file.name.data(), facts) && S_ISREG(facts.mode);
        file.size = facts.size;
        file.modified = facts.modified;
        file.inode = facts.inode;
    }
}

bool FactReader::finish()
{
    std::unique_lock lock(m_mutex);
    readQueuedParts(lock);
    m_partDone.wait(lock, [this] { return m_partsUnread == 0; });
    return !m_abandoned;
}

std::vector<QByteArrayView> FactReader::names() const
{
    std::vector<QByteArrayView> names;
    names.reserve(m_added);
    for (const std::unique_ptr<Part> &part : m_parts) {
        for (const ListedFile &file : part->files)
            names.push_back(file.name);
    }
    return names;
}

std::vector<ListedFile> FactReader::takeFiles(const std::vector<quint32> &order)
{
    std::vector<ListedFile> files;
    files.reserve(order.size());
    for (const quint32 position : order) {
        const Part &part = *m_parts[position / PartSize];
        if (part.regular[position % PartSize])
            files.push_back(part.files[position % PartSize]);
    }
    return files;
}

std::vector<QByteArray> FactReader::takeNames()
{
    std::vector<QByteArray> blocks;
    blocks.reserve(m_parts.size());
    for (const std::unique_ptr<Part> &part : m_parts)
        blocks.push_back(std::move(part->names));
    return blocks;
}

} // namespace vashtem

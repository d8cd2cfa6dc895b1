// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileFacts.h"

#include "platform/NameOrder.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace vashtem {

namespace {

// Files read between two looks at the stop: few enough that on a cold disk, where one read
// can wait for many others, a stop is acted on at once.
constexpr size_t AskAgainEvery = 64;

#ifdef __linux__
#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U // Linux 6.8: a mount id never given again
#endif
// A mount's id as the kernel tells it: the one never given again where there is one.
constexpr unsigned MountId = STATX_MNT_ID | STATX_MNT_ID_UNIQUE;
#endif

quint64 mixed(quint64 fingerprint, quint64 value)
{
    // splitmix64's finaliser: any change of a value changes about half the bits.
    quint64 x = fingerprint + value + 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

quint64 FileFacts::mark(Keeps keeps) const
{
    if (keeps == Keeps::InodeNumbers)
        return inode;
    // FAT and exFAT keep no change time (the kernel makes one up until the inode leaves the
    // cache) and their times in steps of 2 s or 10 ms, finer only while cached.
    const bool exact = keeps == Keeps::ExactTimes;
    quint64 fingerprint = mixed(mixed(0, quint64(size)), quint64(modified));
    if (exact)
        fingerprint = mixed(mixed(mixed(fingerprint, modifiedNanoseconds), quint64(changed.seconds)),
                            changed.nanoseconds);
    if (hasBirth)
        fingerprint = mixed(mixed(fingerprint, quint64(born.seconds)), exact ? born.nanoseconds : 0);
    return fingerprint;
}

struct FactReader::Part {
    QByteArray names; // each name followed by a NUL
    std::span<ListedFile> files; // its chunk of m_files, which no longer moves once published
    std::vector<quint64> inodeHints; // let go of once the part is read
    std::vector<char> regular;       // one byte each, as the threads write side by side
};

bool readFileFacts(int folderFd, const char *name, FileFacts &facts)
{
#ifdef __linux__
    // What the listing and the deletion read and nothing more: one look at the inode answers
    // all of it, and the attributes come with every answer.
    struct statx found;
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_EMPTY_PATH,
                STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_SIZE | STATX_MTIME | STATX_CTIME
                    | STATX_BTIME | MountId,
                &found)
        != 0)
        return false;
    constexpr quint64 Unchangeable = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;
    facts = {mode_t(found.stx_mode),
             uid_t(found.stx_uid),
             qint64(found.stx_size),
             qint64(found.stx_mtime.tv_sec),
             quint64(found.stx_ino),
             quint64(makedev(found.stx_dev_major, found.stx_dev_minor)),
             (found.stx_mask & MountId) != 0 ? quint64(found.stx_mnt_id) : 0,
             (found.stx_attributes & found.stx_attributes_mask & Unchangeable) != 0,
             found.stx_mtime.tv_nsec,
             {found.stx_ctime.tv_sec, found.stx_ctime.tv_nsec},
             {found.stx_btime.tv_sec, found.stx_btime.tv_nsec},
             (found.stx_mask & STATX_BTIME) != 0};
#else
    struct stat found;
    if ((name[0] == '\0' ? ::fstat(folderFd, &found) : ::fstatat(folderFd, name, &found, AT_SYMLINK_NOFOLLOW)) != 0)
        return false;
    facts = {found.st_mode, found.st_uid, qint64(found.st_size), qint64(found.st_mtime), quint64(found.st_ino),
             quint64(found.st_dev), 0, false, 0, {qint64(found.st_ctime), 0}, {}, false};
#endif
    return true;
}

FactReader::FactReader(int folderFd, quint64 folderDevice, std::optional<Keeps> keeps, std::stop_token stop)
    : m_folderFd(folderFd)
    , m_folderDevice(folderDevice)
    , m_keeps(keeps)
    , m_stop(std::move(stop))
{
}

// Left before the end (the listing failed or was stopped), the parts under way end at their
// next look at the stop; m_helpers waits for them, and runs none that no thread has taken.
FactReader::~FactReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.clear();
    }
}

void FactReader::add(QByteArrayView name, quint64 inodeHint)
{
    // Without xino an overlay shows its files with their layers' devices and numbers, which a
    // copy up changes and which its folders do not keep either. Decided before any part is
    // read; a first file that vanished leaves it lenient.
    if (!m_keeps) {
        FileFacts first;
        m_keeps = readFileFacts(m_folderFd, name.toByteArray().constData(), first) && first.device == m_folderDevice
            ? Keeps::InodeNumbers
            : Keeps::ExactTimes;
    }
    if (!m_filling) {
        m_parts.push_back(std::make_unique<Part>());
        m_filling = m_parts.back().get();
    }
    m_filling->names.append(name).append('\0');
    m_files.push_back({});
    m_filling->inodeHints.push_back(inodeHint);
    ++m_added;
    if (m_added % PartSize == 0)
        publish(false);
}

void FactReader::close()
{
    // The last part of a large folder is read on another thread while the caller sorts.
    if (m_filling)
        publish(m_parts.size() == 1);
}

void FactReader::publish(bool small)
{
    Part &part = *m_filling;
    m_filling = nullptr;
    const size_t first = (m_parts.size() - 1) * PartSize;
    part.files = std::span(&m_files[first], m_added - first);
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
    // A small folder is not worth a thread.
    if (!small) {
        m_helpers.run([this] {
            std::unique_lock lock(m_mutex);
            readQueuedParts(lock);
        });
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
        // Stopped: not one more read, each of which may wait long for a cold disk.
        if (k % AskAgainEvery == 0 && m_stop.stop_requested())
            return;
        ListedFile &file = part.files[byInode[k].second];
        // Each name is followed by a NUL in its part's block.
        FileFacts facts;
        // Left out when it vanished or something else now stands there.
        part.regular[byInode[k].second] = readFileFacts(m_folderFd, file.name.data(), facts) && S_ISREG(facts.mode);
        file.size = facts.size;
        file.modified = facts.modified;
        file.inode = facts.mark(keeps());
    }
}

bool FactReader::finish()
{
    std::unique_lock lock(m_mutex);
    readQueuedParts(lock);
    return m_partDone.wait(lock, m_stop, [this] { return m_partsUnread == 0; }) && !m_stop.stop_requested();
}

QByteArrayView FactReader::nameAt(quint32 position) const
{
    return m_files[position].name;
}

ListedFiles FactReader::takeFiles(std::vector<quint32> order)
{
    // What is no longer a regular file keeps no name, to be dropped once in order.
    for (const std::unique_ptr<Part> &part : m_parts) {
        for (size_t index = 0; index < part->files.size(); ++index) {
            if (!part->regular[index])
                part->files[index].name = {};
        }
    }
    // In place: no second list of a million files is made.
    arrangeInOrder(m_files, std::move(order));
    size_t kept = 0;
    for (size_t position = 0; position < m_files.size(); ++position) {
        if (m_files[position].name.data() != nullptr)
            m_files[kept++] = m_files[position];
    }
    m_files.shrink(kept);
    return std::move(m_files);
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

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace vashtem {

// What is read of one entry of an open folder, for the listing and for the deletion.
struct FileFacts {
    mode_t mode = 0; // the type and the permission bits
    uid_t owner = 0;
    qint64 size = 0;
    qint64 modified = 0; // seconds since the epoch (UTC)
    quint64 inode = 0;
    quint64 device = 0;        // as stat's st_dev gives it
    bool unchangeable = false; // immutable or append-only: not even root removes it
};

// The facts of one entry of the open folder, without following a link; false, with errno
// set, when they cannot be read (the entry vanished meanwhile).
bool readFileFacts(int folderFd, const char *name, FileFacts &facts);

// Reads the facts of a folder's files while the folder is still being listed. The files come
// in one at a time; every PartSize of them make a part, which helper threads read as soon as
// it is complete, in the order of the inode numbers the listing gave, so that a cold disk
// reads the inode table front to back and enough reads are in flight while each waits for
// the disk. The caller reads whatever no helper has taken when it finishes; a folder of
// fewer files is read by the caller alone, with no thread started.
class FactReader
{
public:
    static constexpr size_t PartSize = 4096;

    // stillWanted is asked every so many files; once it says no, the reading ends early.
    FactReader(int folderFd, std::function<bool()> stillWanted);
    ~FactReader();
    FactReader(const FactReader &) = delete;
    FactReader &operator=(const FactReader &) = delete;

    // Adds a file by its name as listed and the inode number the listing gave.
    void add(QByteArrayView name, quint64 inodeHint);
    // No more files: the last part goes to be read too.
    void close();
    size_t size() const { return m_added; }
    // The names of the files added, in the order added; once closed.
    std::vector<QByteArrayView> names() const;
    // Waits until the facts of every file are read, reading along; false when the reading
    // was given up because the files were no longer wanted.
    bool finish();
    // Once finished: the files that are still regular files, in the given order of positions
    // as added, and the blocks that hold their names.
    std::vector<ListedFile> takeFiles(const std::vector<quint32> &order);
    std::vector<QByteArray> takeNames();

private:
    struct Part;

    void publish(bool withHelper);
    void work();
    // Reads parts from the queue until it is empty; called and returning with the lock held.
    void readQueuedParts(std::unique_lock<std::mutex> &lock);
    void readPart(Part &part);

    const int m_folderFd;
    const std::function<bool()> m_stillWanted;
    std::vector<std::unique_ptr<Part>> m_parts; // the last one is being filled until closed
    Part *m_filling = nullptr;                  // the part that takes the next file
    size_t m_added = 0;

    std::mutex m_mutex;
    std::condition_variable m_partReady;
    std::condition_variable m_partDone;
    std::deque<Part *> m_queue;
    size_t m_partsUnread = 0; // published and not yet read to the end
    bool m_closed = false; // no more parts come
    std::atomic<bool> m_abandoned{false};
    std::vector<std::thread> m_helpers;
};

} // namespace vashtem

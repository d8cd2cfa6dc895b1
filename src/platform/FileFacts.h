// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include "platform/Executor.h"

#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
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
    quint64 mount = 0;         // the id of the mount it is reached through, 0 where not told
    bool unchangeable = false; // immutable or append-only: not even root removes it
    // What a file system that gives numbers anew still keeps of the file.
    struct Time {
        qint64 seconds = 0;
        quint32 nanoseconds = 0;
    };
    quint32 modifiedNanoseconds = 0;
    Time changed;
    Time born;
    bool hasBirth = false; // not every file system keeps a birth time

    // What tells this file from another one by its name later on, by what its file system
    // keeps: its inode number, or a fingerprint of its size and times.
    quint64 mark(Keeps keeps) const;
};

// The facts of one entry of the open folder, without following a link, or of the folder itself
// for the name ""; false, with errno set, when they cannot be read (the entry vanished meanwhile).
bool readFileFacts(int folderFd, const char *name, FileFacts &facts);

// Reads the facts of a folder's files while the folder is still being listed. The files come
// in one at a time; every PartSize of them make a part, which the executor's threads read as
// soon as it is complete, in the order of the inode numbers the listing gave, so that a cold
// disk reads the inode table front to back and enough reads are in flight while each waits
// for the disk. The caller reads whatever no thread has taken when it finishes; a folder of
// fewer files is read by the caller alone.
class FactReader
{
public:
    static constexpr size_t PartSize = 4096;
    static_assert(PartSize == ListedFiles::ChunkSize);

    // Once stop is requested, the reading ends early. `keeps` is what the folder's file system
    // keeps, or none for an overlay, which its first file decides: one whose files show other
    // devices than their folder's lies on several file systems and gives numbers anew.
    FactReader(int folderFd, quint64 folderDevice, std::optional<Keeps> keeps, std::stop_token stop);
    ~FactReader();
    FactReader(const FactReader &) = delete;
    FactReader &operator=(const FactReader &) = delete;

    // Adds a file by its name as listed and the inode number the listing gave.
    void add(QByteArrayView name, quint64 inodeHint);
    // No more files: the last part goes to be read too.
    void close();
    size_t size() const { return m_added; }
    // What the files' inode fields hold (FileFacts::mark).
    Keeps keeps() const { return m_keeps.value_or(Keeps::InodeNumbers); }
    // The name of the file added at a position (0 for the first); once closed.
    QByteArrayView nameAt(quint32 position) const;
    // Waits until the facts of every file are read, reading along; false when the reading
    // was given up on a stop.
    bool finish();
    // Once finished: the files that are still regular files, in the given order of positions
    // as added (put in place, not copied), and the blocks that hold their names.
    ListedFiles takeFiles(std::vector<quint32> order);
    std::vector<QByteArray> takeNames();

private:
    struct Part;

    void publish(bool small);
    // Reads parts from the queue until it is empty; called and returning with the lock held.
    void readQueuedParts(std::unique_lock<std::mutex> &lock);
    void readPart(Part &part);

    const int m_folderFd;
    const quint64 m_folderDevice;
    std::optional<Keeps> m_keeps; // decided before the first part is read
    const std::stop_token m_stop;
    ListedFiles m_files;                        // a part's files are one chunk
    std::vector<std::unique_ptr<Part>> m_parts; // the last one is being filled until closed
    Part *m_filling = nullptr;                  // the part that takes the next file
    size_t m_added = 0;

    std::mutex m_mutex;
    std::condition_variable_any m_partDone;
    std::deque<Part *> m_queue;
    size_t m_partsUnread = 0; // published and not yet read to the end
    TaskGroup m_helpers; // last, so that it is waited for before the parts go
};

} // namespace vashtem

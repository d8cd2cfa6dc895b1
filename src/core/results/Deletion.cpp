// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/Deletion.h"

#include "platform/FileSystem.h"
#include "core/results/ResultStore.h"
#include "platform/SideBySide.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace vashtem {

namespace {

// Files of one folder deleted through one open folder, at most this many: the files of a
// large folder are shared among the threads.
constexpr size_t MostFilesPerPart = 256;
// Below this many chosen files one thread deletes them; above, several do, in folders of
// their own, as the kernel deletes files of different folders side by side and the disk
// takes writes of several at once.
constexpr size_t SharedFrom = 1024;
constexpr size_t Threads = 4;

// Some chosen files of one folder, in the order they are deleted.
struct Part {
    quint32 folder;
    std::vector<FileToDelete> files;
    std::vector<qsizetype> positions; // their rows
};

// The chosen files from the last row to the first; the rows of one folder stand together.
std::vector<Part> partsInOrder(const ResultStore &rows, const std::vector<bool> &chosen)
{
    std::vector<Part> parts;
    Part *open = nullptr;
    for (qsizetype position = rows.rowCount() - 1; position >= 0; --position) {
        if (!chosen[size_t(position)])
            continue;
        const quint32 folder = rows.row(position).folder;
        if (!open || open->folder != folder || open->files.size() == MostFilesPerPart) {
            parts.push_back({folder, {}, {}});
            open = &parts.back();
        }
        open->files.push_back({rows.name(position), rows.row(position).inode});
        open->positions.push_back(position);
    }
    return parts;
}

// Deletes the parts in order on one or more threads. Each part's files are all checked
// before any of them is deleted, and a part is deleted only once every part before it has
// been checked and found deletable to its end, so a file that cannot be deleted stops the
// deletion with every file after it in order gone and every one before it in place.
class PartDeletion
{
public:
    PartDeletion(const ResultStore &rows, std::vector<Part> parts, const FileSystem &fileSystem,
                 DeletionProgress &progress)
        : m_rows(rows)
        , m_parts(std::move(parts))
        , m_fileSystem(fileSystem)
        , m_progress(progress)
        , m_results(m_parts.size())
    {
    }

    DeletionOutcome run(size_t threads)
    {
        runSideBySide(threads, [this](size_t) { work(); });
        return outcome();
    }

private:
    enum class Check { Pending, Whole, Stops };
    struct Result {
        Check check = Check::Pending;
        size_t deleted = 0;
        DeleteFailure failure;
    };

    void work()
    {
        for (size_t index = m_nextPart++; index < m_parts.size(); index = m_nextPart++)
            deletePart(index);
    }

    // A part taken is always recorded, whatever has gone wrong meanwhile, so that no thread
    // waits for it in vain.
    void deletePart(size_t index)
    {
        const Part &part = m_parts[index];
        Result &result = m_results[index];
        const OpenedFolder folder =
            m_fileSystem.openListedFolder(m_rows.folderPath(part.folder), m_rows.folderIdentity(part.folder));
        if (goneWrong(index))
            return record(index, Check::Stops);
        size_t deletable = 0;
        DeleteFailure found = folder.failure;
        while (!found.failed() && deletable < part.files.size()) {
            found = m_fileSystem.checkFile(folder, part.files[deletable]);
            if (!found.failed())
                ++deletable;
        }
        if (!turnCame(index, deletable == part.files.size() ? Check::Whole : Check::Stops))
            return;
        for (; result.deleted < deletable; ++result.deleted) {
            if (m_progress.stop.stop_requested() || m_halted)
                return;
            result.failure = m_fileSystem.removeFile(folder, part.files[result.deleted]);
            // Found deletable and then not: changed meanwhile. The other threads stop too.
            if (result.failure.failed())
                return halt();
            m_progress.noteDeleted(part.positions[result.deleted]);
        }
        if (deletable < part.files.size() && !m_progress.stop.stop_requested() && !m_halted)
            result.failure = found;
    }

    void halt()
    {
        const std::lock_guard lock(m_mutex);
        m_halted = true;
        m_partChecked.notify_all();
    }

    // Records a part's check and waits until every part before it is checked: true when all
    // of them can be deleted to their ends, so that this part's turn has come. A stop wakes
    // the wait.
    bool turnCame(size_t index, Check check)
    {
        std::unique_lock lock(m_mutex);
        recordLocked(index, check);
        m_partChecked.wait(lock, m_progress.stop, [&] { return m_wholeThrough >= index || goneWrong(index); });
        return m_wholeThrough >= index && !goneWrong(index);
    }

    // Records a part that deletes nothing whatever comes before it.
    void record(size_t index, Check check)
    {
        const std::lock_guard lock(m_mutex);
        recordLocked(index, check);
    }

    void recordLocked(size_t index, Check check)
    {
        m_results[index].check = check;
        if (check == Check::Stops)
            m_firstStopping = std::min(m_firstStopping.load(), index);
        while (m_wholeThrough < m_parts.size() && m_results[m_wholeThrough].check == Check::Whole)
            ++m_wholeThrough;
        m_partChecked.notify_all();
    }

    // Whether the part at index is not to be deleted: an earlier one stops the deletion, a
    // file failed, or a stop was asked for.
    bool goneWrong(size_t index) const
    {
        return m_firstStopping < index || m_halted.load() || m_progress.stop.stop_requested();
    }

    DeletionOutcome outcome() const
    {
        DeletionOutcome outcome;
        outcome.keep.assign(size_t(m_rows.rowCount()), true);
        for (size_t index = 0; index < m_parts.size(); ++index) {
            const Part &part = m_parts[index];
            const Result &result = m_results[index];
            for (size_t file = 0; file < result.deleted; ++file)
                outcome.keep[size_t(part.positions[file])] = false;
            if (outcome.failedRow < 0 && result.failure.failed()) {
                outcome.failedRow = part.positions[result.deleted];
                outcome.failure = result.failure;
            }
            if (outcome.stoppedAt < 0 && result.deleted < part.files.size())
                outcome.stoppedAt = part.positions[result.deleted];
        }
        // A failure is what stopped it; without one, the first file in order not deleted.
        if (outcome.failedRow >= 0)
            outcome.stoppedAt = -1;
        return outcome;
    }

    const ResultStore &m_rows;
    const std::vector<Part> m_parts;
    const FileSystem &m_fileSystem;
    DeletionProgress &m_progress;

    std::atomic<size_t> m_nextPart{0};
    std::atomic<bool> m_halted{false};
    std::mutex m_mutex;
    std::condition_variable_any m_partChecked;
    std::vector<Result> m_results;          // one for each part, written by its thread
    size_t m_wholeThrough = 0;              // the parts before it can all be deleted whole
    std::atomic<size_t> m_firstStopping{SIZE_MAX}; // the first part checked not to go to its end
};

} // namespace

void DeletionProgress::noteDeleted(qsizetype row)
{
    deleted.fetch_add(1, std::memory_order_relaxed);
    const std::lock_guard lock(mutex);
    deletedRows.push_back(row);
}

std::vector<bool> DeletionProgress::keptSoFar(qsizetype rows) const
{
    std::vector<bool> keep(size_t(rows), true);
    const std::lock_guard lock(mutex);
    for (const qsizetype row : deletedRows)
        keep[size_t(row)] = false;
    return keep;
}

DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem, DeletionProgress &progress)
{
    const size_t files = size_t(std::count(chosen.begin(), chosen.end(), true));
    PartDeletion deletion(rows, partsInOrder(rows, chosen), fileSystem, progress);
    return deletion.run(files >= SharedFrom ? Threads : 1);
}

} // namespace vashtem

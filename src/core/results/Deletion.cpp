// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/Deletion.h"

#include "platform/FileSystem.h"
#include "core/results/ResultStore.h"

namespace vashtem {

DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem, DeletionProgress &progress)
{
    DeletionOutcome outcome;
    outcome.keep.assign(size_t(rows.rowCount()), true);
    std::vector<FileToDelete> files;
    std::vector<qsizetype> positions;
    qsizetype position = rows.rowCount() - 1;
    while (position >= 0) {
        // The rows of one folder stand together; they are deleted through one open folder.
        const quint32 folder = rows.row(position).folder;
        files.clear();
        positions.clear();
        for (; position >= 0 && rows.row(position).folder == folder; --position) {
            if (chosen[size_t(position)]) {
                files.push_back({rows.name(position), rows.row(position).inode});
                positions.push_back(position);
            }
        }
        if (files.empty())
            continue;
        // One open folder for all its files; the stop is asked before each of them.
        const qsizetype deletedBefore = progress.deleted.load(std::memory_order_relaxed);
        const BeforeEachFile goOn = [&](size_t next) {
            progress.deleted.store(deletedBefore + qsizetype(next), std::memory_order_relaxed);
            return !progress.stop.load(std::memory_order_relaxed);
        };
        DeleteFailure failure;
        const size_t deleted = fileSystem.removeFiles(rows.folderPath(folder), rows.folderIdentity(folder), files,
                                                      failure, goOn);
        progress.deleted.store(deletedBefore + qsizetype(deleted), std::memory_order_relaxed);
        for (size_t index = 0; index < deleted; ++index)
            outcome.keep[size_t(positions[index])] = false;
        if (failure.failed()) {
            outcome.failedRow = positions[deleted];
            outcome.failure = failure;
            return outcome;
        }
        if (deleted < files.size()) {
            outcome.stoppedAt = positions[deleted];
            return outcome;
        }
    }
    return outcome;
}

} // namespace vashtem

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
        // The rows of one folder stand together; the folder's path is made once for them.
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
        // One file per call, so that a stop comes between two files.
        const QByteArray folderPath = rows.folderPath(folder);
        const FileIdentity folderIdentity = rows.folderIdentity(folder);
        for (size_t index = 0; index < files.size(); ++index) {
            if (progress.stop.load(std::memory_order_relaxed)) {
                outcome.stoppedAt = positions[index];
                return outcome;
            }
            DeleteFailure failure;
            fileSystem.removeFiles(folderPath, folderIdentity, {files[index]}, failure);
            if (failure.failed()) {
                outcome.failedRow = positions[index];
                outcome.failure = failure;
                return outcome;
            }
            outcome.keep[size_t(positions[index])] = false;
            progress.deleted.fetch_add(1, std::memory_order_relaxed);
        }
    }
    return outcome;
}

} // namespace vashtem

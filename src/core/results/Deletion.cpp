#include "core/results/Deletion.h"

#include "platform/FileSystem.h"
#include "core/results/ResultStore.h"

#include <algorithm>

namespace vashtem {

DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem, DeletionProgress *progress)
{
    DeletionOutcome outcome;
    outcome.keep.assign(size_t(rows.rowCount()), true);
    std::vector<FileToDelete> files;
    std::vector<qsizetype> positions;
    std::vector<FileToDelete> run;
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
        const QByteArray folderPath = rows.folderPath(folder);
        const FileIdentity folderIdentity = rows.folderIdentity(folder);
        // Followed from another thread, the files go one at a time, so a stop comes between two.
        const size_t step = progress ? 1 : files.size();
        for (size_t first = 0; first < files.size(); first += step) {
            if (progress && progress->stop.load(std::memory_order_relaxed)) {
                outcome.stoppedAt = positions[first];
                return outcome;
            }
            run.assign(files.begin() + std::ptrdiff_t(first),
                       files.begin() + std::ptrdiff_t(std::min(first + step, files.size())));
            DeleteFailure failure;
            const size_t deleted = fileSystem.removeFiles(folderPath, folderIdentity, run, failure);
            for (size_t index = 0; index < deleted; ++index)
                outcome.keep[size_t(positions[first + index])] = false;
            if (progress)
                progress->deleted.fetch_add(qsizetype(deleted), std::memory_order_relaxed);
            if (failure.failed()) {
                outcome.failedRow = positions[first + deleted];
                outcome.failure = failure;
                return outcome;
            }
        }
    }
    return outcome;
}

} // namespace vashtem

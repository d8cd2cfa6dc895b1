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
    std::vector<QByteArrayView> names;
    std::vector<qsizetype> positions;
    std::vector<QByteArrayView> run;
    qsizetype position = rows.rowCount() - 1;
    while (position >= 0) {
        // The rows of one folder stand together; they are deleted through one open folder.
        const quint32 folder = rows.row(position).folder;
        names.clear();
        positions.clear();
        for (; position >= 0 && rows.row(position).folder == folder; --position) {
            if (chosen[size_t(position)]) {
                names.push_back(rows.name(position));
                positions.push_back(position);
            }
        }
        if (names.empty())
            continue;
        const QByteArray folderPath = rows.folderPath(folder);
        // Followed from another thread, the files go one at a time, so a stop comes between two.
        const size_t step = progress ? 1 : names.size();
        for (size_t first = 0; first < names.size(); first += step) {
            if (progress && progress->stop.load(std::memory_order_relaxed)) {
                outcome.stoppedAt = positions[first];
                return outcome;
            }
            run.assign(names.begin() + std::ptrdiff_t(first),
                       names.begin() + std::ptrdiff_t(std::min(first + step, names.size())));
            int error = 0;
            const size_t deleted = fileSystem.removeFiles(folderPath, run, error);
            for (size_t index = 0; index < deleted; ++index)
                outcome.keep[size_t(positions[first + index])] = false;
            if (progress)
                progress->deleted.fetch_add(qsizetype(deleted), std::memory_order_relaxed);
            if (error != 0) {
                outcome.failedRow = positions[first + deleted];
                outcome.error = error;
                return outcome;
            }
        }
    }
    return outcome;
}

} // namespace vashtem

#include "core/results/Deletion.h"

#include "platform/FileSystem.h"
#include "core/results/ResultStore.h"

namespace vashtem {

DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem)
{
    DeletionOutcome outcome;
    outcome.keep.assign(size_t(rows.rowCount()), true);
    std::vector<QByteArrayView> names;
    std::vector<qsizetype> positions;
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
        int error = 0;
        const size_t deleted = fileSystem.removeFiles(rows.folderPath(folder), names, error);
        for (size_t index = 0; index < deleted; ++index)
            outcome.keep[size_t(positions[index])] = false;
        if (error != 0) {
            outcome.failedRow = positions[deleted];
            outcome.error = error;
            break;
        }
    }
    return outcome;
}

} // namespace vashtem

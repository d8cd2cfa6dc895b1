#include "results/Deletion.h"

#include "platform/FileSystem.h"
#include "results/ResultStore.h"

namespace vashtem {

DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem)
{
    DeletionOutcome outcome;
    outcome.keep.assign(size_t(rows.rowCount()), true);
    for (qsizetype position = rows.rowCount() - 1; position >= 0; --position) {
        if (!chosen[size_t(position)])
            continue;
        const int error = fileSystem.removeFile(rows.fullPath(position));
        if (error != 0) {
            outcome.failedRow = position;
            outcome.error = error;
            break;
        }
        outcome.keep[size_t(position)] = false;
    }
    return outcome;
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"

#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <stop_token>
#include <vector>

namespace vashtem {

class ResultStore;

// What a deletion did: which rows keep their place, and where it stopped, if it did.
struct DeletionOutcome {
    std::vector<bool> keep;   // one flag per row: false for each row whose file was deleted
    qsizetype failedRow = -1; // the row whose file could not be deleted, or -1
    DeleteFailure failure;    // why that file was not deleted
    qsizetype stoppedAt = -1; // when stopped on request: the first chosen row, from the last up, still there
};

// Lets another thread follow a deletion and stop it between two files.
struct DeletionProgress {
    std::stop_token stop;
    std::atomic<qsizetype> deleted{0};

    void noteDeleted(qsizetype row);
    // One flag per row, false for each row whose file is deleted so far: what a deletion left
    // behind on a share that stopped answering has done.
    std::vector<bool> keptSoFar(qsizetype rows) const;

    mutable std::mutex mutex;
    std::vector<qsizetype> deletedRows; // guarded by mutex
};

// Deletes the files of the chosen rows, one flag per row, from the last row to the first,
// each by the exact path its row keeps and only while it is still the file that was listed.
// Stops at the first file that cannot be deleted: that row and every row before it are left
// as they were. Stops as well after the files in hand once a stop is requested.
// Many files are deleted on several threads, folders side by side, and every file is checked
// before its folder's turn comes, so that the first file that cannot be deleted is known
// before any file after it goes. Only a file that passes its check and fails a moment later
// (changed meanwhile) can find files beyond it already deleted; keep tells each row's fate.
DeletionOutcome deleteChosenFiles(const ResultStore &rows, const std::vector<bool> &chosen,
                                  const FileSystem &fileSystem, DeletionProgress &progress);

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/ResultStore.h"

#include <mutex>
#include <optional>

namespace vashtem {

// Carries a search's rows from the thread that walks to the thread that shows them, a batch
// at a time. The walk fills writing() and offers it now and then; it is handed over only
// when the batch before it has been taken, so batches come as fast as they are taken.
class RowBatches
{
public:
    // The first batch goes on where `shown` ends (see ResultStore::continuing).
    explicit RowBatches(const ResultStore &shown);

    // The walk's side: writing() is its own until finish(), which hands over what remains
    // once the batch before it has been taken.
    ResultStore &writing() { return m_writing; }
    void offer();
    void finish();

    // The showing side: the batch handed over, if any; in order, each continuing the one
    // before. After finish(), take() until it gives nothing yields every row.
    std::optional<ResultStore> take();

private:
    // The rows written so far; writing goes on in a store that continues them.
    ResultStore handOver();

    ResultStore m_writing;
    std::mutex m_mutex;
    std::optional<ResultStore> m_ready; // guarded by m_mutex
    bool m_finished = false;            // guarded by m_mutex; m_writing is the showing side's then
};

} // namespace vashtem

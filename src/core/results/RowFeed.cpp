// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/RowFeed.h"

#include "core/results/ResultModel.h"
#include "core/results/RowBatches.h"

#include <algorithm>
#include <vector>

namespace vashtem {

RowFeed::RowFeed(RowBatches &batches, ResultModel &model, qsizetype partRows)
    : m_batches(batches)
    , m_model(model)
    , m_partRows(partRows)
{
}

bool RowFeed::showNextPart()
{
    while (std::optional<ResultStore> batch = m_batches.take()) {
        m_waitingRows += batch->rowCount();
        m_waiting.push_back(std::move(*batch));
    }
    if (m_waitingRows == 0)
        return false;

    qsizetype toAdd = std::min(m_waitingRows, m_partRows);
    m_waitingRows -= toAdd;
    std::vector<ResultModel::BatchRows> parts;
    qsizetype first = m_shownOfFirst;
    for (ResultStore &batch : m_waiting) {
        const qsizetype end = std::min(batch.rowCount(), first + toAdd);
        parts.push_back({&batch, first, end});
        toAdd -= end - first;
        first = 0;
        if (toAdd == 0)
            break;
    }
    m_model.appendRows(parts);
    // Batches shown to their end let go of their memory at once.
    const ResultModel::BatchRows last = parts.back();
    const bool lastEnded = last.end == last.batch->rowCount();
    m_waiting.erase(m_waiting.begin(), m_waiting.begin() + qsizetype(parts.size()) - (lastEnded ? 0 : 1));
    m_shownOfFirst = lastEnded ? 0 : last.end;
    // Nor are the rows of a batch kept twice while the rest of it waits.
    if (m_shownOfFirst > 0)
        m_waiting.front().releaseBefore(m_shownOfFirst);
    return m_waitingRows > 0;
}

void RowFeed::showRest()
{
    while (showNextPart()) {
    }
}

qsizetype RowFeed::rowsFound() const
{
    return m_model.rowCount() + m_waitingRows;
}

} // namespace vashtem

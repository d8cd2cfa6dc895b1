// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/RowBatches.h"

#include <utility>

namespace vashtem {

RowBatches::RowBatches(const ResultStore &shown)
    : m_writing(ResultStore::continuing(shown))
{
}

void RowBatches::offer()
{
    if (m_writing.rowCount() == 0)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_ready)
        return; // the last batch is still waiting to be shown
    m_ready = handOver();
}

void RowBatches::finish()
{
    const std::lock_guard lock(m_mutex);
    m_finished = true;
}

std::optional<ResultStore> RowBatches::take()
{
    const std::lock_guard lock(m_mutex);
    if (m_ready)
        return std::exchange(m_ready, std::nullopt);
    if (m_finished && m_writing.rowCount() > 0)
        return handOver();
    return std::nullopt;
}

ResultStore RowBatches::handOver()
{
    ResultStore next = ResultStore::continuing(m_writing);
    return std::exchange(m_writing, std::move(next));
}

} // namespace vashtem

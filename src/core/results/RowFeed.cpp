// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/RowFeed.h"

#include "core/results/ResultModel.h"
#include "core/results/RowBatches.h"

#include <algorithm>

namespace vashtem {

RowFeed::RowFeed(RowBatches &batches, ResultModel &model, qsizetype rowsPerPart)
    : m_batches(batches)
    , m_model(model)
    , m_rowsPerPart(rowsPerPart)
{
}

bool RowFeed::showNextPart()
{
    if (!m_batch) {
        m_batch = m_batches.take();
        m_shown = 0;
        if (!m_batch)
            return false;
    }
    const qsizetype end = std::min(m_batch->rowCount(), m_shown + m_rowsPerPart);
    m_model.appendRows(*m_batch, m_shown, end);
    m_shown = end;
    if (m_shown == m_batch->rowCount())
        m_batch.reset(); // its memory goes at once
    return true;
}

} // namespace vashtem

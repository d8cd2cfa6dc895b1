// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/ResultStore.h"

#include <optional>

namespace vashtem {

class ResultModel;
class RowBatches;

// Takes a search's batches into the list a part at a time: a batch of a million rows from
// one folder would otherwise hold the window for as long as it takes to add them all.
class RowFeed
{
public:
    static constexpr qsizetype RowsPerPart = 32768;

    RowFeed(RowBatches &batches, ResultModel &model, qsizetype rowsPerPart = RowsPerPart);

    // Adds the next part of the batches handed over, in order; false when none was waiting.
    bool showNextPart();

private:
    RowBatches &m_batches;
    ResultModel &m_model;
    qsizetype m_rowsPerPart;
    std::optional<ResultStore> m_batch; // being shown, up to m_shown
    qsizetype m_shown = 0;
};

} // namespace vashtem

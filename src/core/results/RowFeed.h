// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/ResultStore.h"

#include <deque>

namespace vashtem {

class ResultModel;
class RowBatches;

// Takes a search's batches into the list as they come. The list takes an insertion in
// time that hardly grows with the rows it shows, so each call shows the next part of what
// is waiting, at most PartRows in one insertion: a batch of a million rows from one folder
// does not hold the window either.
class RowFeed
{
public:
    static constexpr qsizetype PartRows = 32768;

    RowFeed(RowBatches &batches, ResultModel &model, qsizetype partRows = PartRows);

    // Takes what the walk has handed over and adds the next part of it to the list; true
    // when rows are still waiting for the next call.
    bool showNextPart();
    // Shows every row handed over so far, for a walk that is left behind.
    void showRest();
    // The rows shown and those waiting to be: the running count of a search.
    qsizetype rowsFound() const;

private:
    RowBatches &m_batches;
    ResultModel &m_model;
    qsizetype m_partRows;
    std::deque<ResultStore> m_waiting; // in order, the first one shown up to m_shownOfFirst
    qsizetype m_shownOfFirst = 0;
    qsizetype m_waitingRows = 0;
};

} // namespace vashtem

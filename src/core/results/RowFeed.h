// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/ResultStore.h"

#include <deque>

namespace vashtem {

class ResultModel;
class RowBatches;

// Takes a search's batches into the list. The view lays out all its rows again after each
// insertion, so rows wait until they add at least a quarter to the rows shown, or the walk
// has ended: the layouts of a whole search then cost a few times its rows, not its rows
// times its batches. One insertion adds at most as many rows as are shown (at least
// leastPart), so a batch of a million rows from one folder does not hold the window either.
class RowFeed
{
public:
    static constexpr qsizetype LeastPart = 32768;
    static constexpr qsizetype GrowthDivisor = 4;

    RowFeed(RowBatches &batches, ResultModel &model, qsizetype leastPart = LeastPart);

    // Takes what the walk has handed over and adds the next part of it to the list when
    // enough is waiting; false when nothing was added.
    bool showNextPart();
    // Shows every row handed over so far, for a walk that is left behind.
    void showRest();
    // The rows shown and those waiting to be: the running count of a search.
    qsizetype rowsFound() const;

private:
    RowBatches &m_batches;
    ResultModel &m_model;
    qsizetype m_leastPart;
    std::deque<ResultStore> m_waiting; // in order, the first one shown up to m_shownOfFirst
    qsizetype m_shownOfFirst = 0;
    qsizetype m_waitingRows = 0;
    bool m_noMoreToCome = false;
};

} // namespace vashtem

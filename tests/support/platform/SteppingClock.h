// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TickClock.h"

#include <atomic>

namespace vashtem::testing {

// A clock that moves on by a fixed step at every reading, so that a wait on it ends after
// a known number of readings. It may be read from several threads.
class SteppingClock final : public TickClock
{
public:
    explicit SteppingClock(qint64 stepPerReading = 1, qint64 start = 1000)
        : step(stepPerReading)
        , m_now(start)
    {
    }

    std::atomic<qint64> step;
    mutable std::atomic<int> readings{0};

    qint64 milliseconds() const override
    {
        ++readings;
        const qint64 by = step;
        return m_now.fetch_add(by) + by;
    }

private:
    mutable std::atomic<qint64> m_now;
};

} // namespace vashtem::testing

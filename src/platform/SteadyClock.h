// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/TickClock.h"

namespace vashtem {

// Milliseconds from the system's monotonic clock.
class SteadyClock final : public TickClock
{
public:
    qint64 milliseconds() const override;
};

} // namespace vashtem

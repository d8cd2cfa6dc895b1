// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace vashtem {

// A monotonic millisecond counter: readings never go backwards.
class TickClock
{
public:
    virtual ~TickClock() = default;
    virtual qint64 milliseconds() const = 0;
};

} // namespace vashtem

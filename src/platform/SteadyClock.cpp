// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SteadyClock.h"

#include <chrono>

namespace vashtem {

qint64 SteadyClock::milliseconds() const
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

} // namespace vashtem

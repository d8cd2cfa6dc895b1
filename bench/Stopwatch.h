// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace vashtem::bench {

// Milliseconds since it was made, from the monotonic clock.
class Stopwatch
{
public:
    double ms() const
    {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

namespace vashtem {

// Runs work(0) to work(count - 1) side by side: each but the first on a thread of its own,
// the first on the caller's, and returns once all have ended.
template<typename Work>
void runSideBySide(size_t count, const Work &work)
{
    std::vector<std::thread> helpers;
    for (size_t index = 1; index < count; ++index)
        helpers.emplace_back(work, index);
    work(size_t(0));
    for (std::thread &helper : helpers)
        helper.join();
}

} // namespace vashtem

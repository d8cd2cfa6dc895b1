// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Executor.h"

#include <cstddef>

namespace vashtem {

// Runs work(0) to work(count - 1) side by side: the first on the caller's thread, the others
// on the executor's threads where there are any free, and returns once all have ended. A
// piece no thread took runs on the caller's thread afterwards.
template<typename Work>
void runSideBySide(size_t count, const Work &work)
{
    TaskGroup helpers;
    for (size_t index = 1; index < count; ++index)
        helpers.run([&work, index] { work(index); });
    work(size_t(0));
    helpers.wait();
}

} // namespace vashtem

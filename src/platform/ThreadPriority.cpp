// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ThreadPriority.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace vashtem {

void yieldToTheWindow()
{
#ifdef __linux__
    // On Linux a nice value belongs to one thread, and a thread's new threads start with it.
    constexpr int BelowTheWindow = 10;
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), BelowTheWindow);
#endif
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Descriptors.h"

#include <algorithm>

#include <sys/resource.h>

namespace vashtem {

namespace {

// Beyond this many, more folders open ahead buy a walk nothing.
constexpr size_t MostAhead = 256;
// The share of the limit, as a divisor.
constexpr size_t ShareOfLimit = 4;

} // namespace

void raiseDescriptorLimit()
{
    static const bool raised = [] {
        struct rlimit limit;
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
            limit.rlim_cur = limit.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        return true;
    }();
    (void)raised;
}

size_t descriptorsForReadingAhead()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return MostAhead;
    return std::min(MostAhead, size_t(limit.rlim_cur) / ShareOfLimit);
}

} // namespace vashtem

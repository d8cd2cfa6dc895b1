// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OneHeap.h"

#include <cstdlib> // tells whether this is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vashtem {

void useOneHeap()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LargeBlocks.h"

#include <cstdlib> // tells whether this is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vashtem {

void returnLargeBlocksToSystem()
{
#ifdef __GLIBC__
    // glibc's own starting size; setting it turns its raising off.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

} // namespace vashtem

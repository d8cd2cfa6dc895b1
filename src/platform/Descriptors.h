// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

namespace vashtem {

// A walk keeps a folder open for each level that still has subfolders to enter, and lists
// folders ahead on other threads: the usual soft limit of 1,024 descriptors is soon reached
// in a deep tree, while the hard limit is there for the asking. Raised once per process.
void raiseDescriptorLimit();

// How many descriptors reading ahead may keep open: a share of the soft limit, so that the
// walk itself, the window and a deletion always find theirs.
size_t descriptorsForReadingAhead();

} // namespace vashtem

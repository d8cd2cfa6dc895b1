// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vashtem::bench {

// Which folder a reader takes next: the newest one found (the subfolders of the folder just
// read first, as a depth-first walk needs them) or the oldest (level by level).
enum class FolderOrder { DepthFirst, BreadthFirst };

// The least a search of every file does: each folder read once, each regular file asked
// for its size and time with statx, in inode order within its folder, on `threads` threads
// taking folders from one shared list (a large folder's files shared among as many
// threads), nothing sorted or kept. Returns the milliseconds it took: the floor under the
// program's search.
double listAndStatAll(const std::string &root, int threads, FolderOrder order);

} // namespace vashtem::bench

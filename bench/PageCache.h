// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem::bench {

// Whether this process may drop the page cache (root only).
bool canDropPageCache();
// Writes back dirty pages and inodes, so that a timed step does not share the disk with
// the write-back of the files an earlier step made.
void writeBack();
// Writes back dirty pages, then drops the page cache, dentries and inodes, so that the
// next walk reads every folder and inode from the disk.
void dropPageCache();

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

// Has every thread allocate from one heap. The helper threads list a folder and write its
// rows, then let go of them while the window's thread takes the rows in: with a heap for
// each thread, as glibc gives by default, what one thread frees stays in its own heap and
// the window's thread takes new memory from the system, so a folder of a million files
// would be held about twice. Called once, at the start, before the helper threads start.
void useOneHeap();

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

// Has every large block the program frees (a chunk of rows, of a listing, of names) go back
// to the system at once. glibc by default raises the size it takes from the system after each
// such block freed and keeps the later ones in its heap, which holds on to the memory of a
// folder of a million files after the search has let go of it. Called once, at the start.
void returnLargeBlocksToSystem();

} // namespace vashtem

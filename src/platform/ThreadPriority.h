// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

// Lowers the calling thread's scheduling priority, so that the window's thread is served
// first whenever it has work; threads the caller starts afterwards inherit it. Long work
// on more threads than there are cores would otherwise slow the window's every pass.
void yieldToTheWindow();

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vashtem::bench {

// Ends the benchmark with a message: a figure taken on a broken tree would mislead.
[[noreturn]] void fatal(const std::string &message);
// The same, with the text of the current errno appended.
[[noreturn]] void fatalErrno(const std::string &message);

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Options.h"

namespace vashtem::bench {

// Builds or reuses the tree, runs the timed session and the probes, prints the figures.
// 0 when every listing was right (and, outside quick mode, every goal met).
int runBenchmark(const Options &options);

} // namespace vashtem::bench

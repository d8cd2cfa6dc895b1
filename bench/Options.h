// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Tree.h"

#include <string>

namespace vashtem::bench {

struct Options {
    enum class Mode { Benchmark, RssProbe, StartupProbe };
    Mode mode = Mode::Benchmark;
    std::string shapeName = "mixed"; // mixed, flat, deep or small
    TreeShape shape;
    bool cold = false;         // the page cache dropped before every timed search
    bool searchesOnly = false; // no deletions and other commands, on any shape
    int runs = 5;
    double sharePercent = 10; // of the rows, for "delete selected"
    std::string workFolder = "/tmp/vashtem-bench";
    bool keep = false;  // reuse a matching tree and leave it behind
    bool quick = false; // a small tree, one run, goals reported but not enforced
};

// Reads the command line; prints the usage and exits on a mistake or --help.
Options parseOptions(int argc, char **argv);

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vashtem::bench {

// Figures that need a process of their own: the bench starts its own program file again
// in a probe mode, so nothing the parent has done (a million rows, warm caches of Qt)
// counts towards them.

// Child side: one search of every file under the working folder in the bench window;
// prints "rows R peak-rss-kib K". Takes argc/argv for QApplication.
int runRssProbe(int &argc, char **argv);
// Child side: starts as the program does (application, translations, main window on the
// real platform, show) and prints "shown" once the window is exposed and its first
// events are handled.
int runStartupProbe(int &argc, char **argv);

struct PeakRss {
    long rows = 0;
    long kib = 0; // getrusage ru_maxrss of the child
};
// The child searches root, working there.
PeakRss measurePeakRss(const std::string &root);
// Milliseconds from just before the child is spawned to its "shown" line arriving.
// The child works in workingFolder, where its folder chooser opens.
double measureStartup(const std::string &workingFolder);

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
// vashtem_bench: times the real main window on a large generated tree against find, bfs
// and xargs rm. See the Benchmarks section of README.md.
#include "Benchmark.h"
#include "Options.h"
#include "Probes.h"

#include "ui/ApplicationSetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    using namespace vashtem::bench;
    const Options options = parseOptions(argc, argv);
    // The window is driven without a display; the probes inherit the setting.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    switch (options.mode) {
    case Options::Mode::RssProbe:
        return runRssProbe(argc, argv);
    case Options::Mode::StartupProbe:
        return runStartupProbe(argc, argv);
    case Options::Mode::Benchmark:
        break;
    }
    QApplication application(argc, argv);
    vashtem::setUpApplication(application); // as the program's main() does
    return runBenchmark(options);
}

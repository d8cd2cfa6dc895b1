// SPDX-License-Identifier: GPL-3.0-or-later
#include "Probes.h"

#include "BenchPlatform.h"
#include "Fatal.h"
#include "ProgramDriver.h"
#include "Stopwatch.h"
#include "Subprocess.h"

#include "ui/ApplicationSetup.h"
#include "ui/frmMain.h"
#include "ui/SystemPlatform.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <fstream>
#include <string>

#include <limits.h>
#include <unistd.h>

namespace vashtem::bench {

namespace {

std::string ownProgram()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || size_t(length) >= sizeof path)
        fatalErrno("cannot find the bench program");
    return std::string(path, size_t(length));
}

// Reports once the window is exposed, after one more pass of the event loop so that
// the expose event itself, and the painting it brings, has been handled.
void reportWhenShown(QApplication &application, const frmMain &window)
{
    if (window.windowHandle() && window.windowHandle()->isExposed()) {
        QTimer::singleShot(0, &application, [&application] {
            std::puts("shown");
            std::fflush(stdout);
            // Leaves the event loop without closing the window: closing would say farewell.
            QCoreApplication::exit(0);
        });
        return;
    }
    QTimer::singleShot(1, &application, [&application, &window] { reportWhenShown(application, window); });
}

// The high-water mark of this process's own memory. getrusage() will not do: its maximum
// carries over the spawning parent's peak through execve().
long peakRssKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    fatal("no VmHWM in /proc/self/status");
}

} // namespace

int runRssProbe(int &argc, char **argv)
{
    QApplication application(argc, argv);
    setUpApplication(application);
    BenchPlatform platform;
    ProgramDriver driver(platform.platform);
    driver.search(QString());
    std::printf("rows %ld peak-rss-kib %ld\n", driver.rows(), peakRssKib());
    return 0;
}

int runStartupProbe(int &argc, char **argv)
{
    // The same steps as the program's main().
    QApplication application(argc, argv);
    setUpApplication(application);
    frmMain window(systemPlatform());
    window.show();
    reportWhenShown(application, window);
    return QApplication::exec();
}

PeakRss measurePeakRss(const std::string &root)
{
    PipedChild child = startPiped({ownProgram(), "--rss-probe"}, root);
    const std::string line = readLine(child.out);
    PeakRss figures;
    if (finish(child) != 0 || std::sscanf(line.c_str(), "rows %ld peak-rss-kib %ld", &figures.rows, &figures.kib) != 2)
        fatal("the memory probe failed: " + line);
    return figures;
}

double measureStartup(const std::string &workingFolder)
{
    const std::string program = ownProgram();
    const Stopwatch watch;
    PipedChild child = startPiped({program, "--startup-probe"}, workingFolder);
    const std::string line = readLine(child.out);
    const double elapsed = watch.ms();
    if (finish(child) != 0 || line != "shown")
        fatal("the start-up probe failed: " + line);
    return elapsed;
}

} // namespace vashtem::bench

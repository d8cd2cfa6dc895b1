// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace vashtem::bench {

// Runs a program (found through PATH) to its end, stdin and stdout from and to files,
// stderr left as it is. The exit status, or -1 when it could not start or was killed.
int runToEnd(const std::vector<std::string> &argv, const std::string &input = "/dev/null",
             const std::string &output = "/dev/null");

// A child whose stdout comes back through a pipe.
struct PipedChild {
    pid_t pid = -1;
    int out = -1;
};
PipedChild startPiped(const std::vector<std::string> &argv, const std::string &workingFolder);
// One line from the pipe, without its newline; empty at the end.
std::string readLine(int fd);
// Closes the pipe and waits; the exit status as runToEnd gives it.
int finish(PipedChild &child);

} // namespace vashtem::bench

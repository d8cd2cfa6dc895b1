// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fatal.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vashtem::bench {

void fatal(const std::string &message)
{
    std::fprintf(stderr, "vashtem_bench: %s\n", message.c_str());
    std::exit(2);
}

void fatalErrno(const std::string &message)
{
    fatal(message + ": " + std::strerror(errno));
}

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceRunner.h"

#include "Fatal.h"
#include "Stopwatch.h"
#include "Subprocess.h"

#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::bench {

namespace {

// The four columns of the result list, one line per file.
const std::string RowFormat = "%f\\t%p\\t%s\\t%T@\\n";
const std::vector<std::string> SelectiveTest = {"(", "-iname", "*.txt", "-o", "-iname", "*.log", ")"};

std::vector<std::string> operator+(std::vector<std::string> head, const std::vector<std::string> &tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

std::string joined(const std::vector<std::string> &argv)
{
    std::string text;
    for (const std::string &arg : argv)
        text += (text.empty() ? "" : " ") + arg;
    return text;
}

} // namespace

ReferenceRunner::ReferenceRunner(std::string root, std::string scratchFolder)
    : m_root(std::move(root))
    , m_scratch(std::move(scratchFolder))
    , m_bfs(VASHTEM_BFS4_PATH)
    , m_hasBfs(::access(m_bfs.c_str(), X_OK) == 0)
{
}

double ReferenceRunner::findAll() const
{
    return timed({"find", m_root, "-type", "f", "-printf", RowFormat});
}

double ReferenceRunner::bfsAll(int threads) const
{
    std::vector<std::string> argv{m_bfs};
    if (threads > 0)
        argv.push_back("-j" + std::to_string(threads));
    return timed(argv + std::vector<std::string>{m_root, "-type", "f", "-printf", RowFormat});
}

double ReferenceRunner::findSelective() const
{
    return timed(std::vector<std::string>{"find", m_root, "-type", "f"} + SelectiveTest
                 + std::vector<std::string>{"-printf", RowFormat});
}

double ReferenceRunner::removeListed(const std::string &listPath) const
{
    return timed({"xargs", "-0", "rm", "--"}, listPath);
}

long ReferenceRunner::countListable(bool selective) const
{
    std::vector<std::string> argv{"find", m_root, "-mindepth", "1", "-name", ".*", "-prune", "-o", "-type", "f"};
    if (selective)
        argv = argv + SelectiveTest;
    argv = argv + std::vector<std::string>{"-printf", "x"};
    // One byte per file, so the count is the size of the output.
    const std::string output = m_scratch + "/count.out";
    if (runToEnd(argv, "/dev/null", output) != 0)
        fatal("failed: " + joined(argv));
    struct stat facts;
    if (::stat(output.c_str(), &facts) != 0)
        fatalErrno("cannot read " + output);
    std::remove(output.c_str());
    return long(facts.st_size);
}

double ReferenceRunner::timed(const std::vector<std::string> &argv, const std::string &input) const
{
    const Stopwatch watch;
    const int status = runToEnd(argv, input);
    const double elapsed = watch.ms();
    if (status != 0)
        fatal("failed (" + std::to_string(status) + "): " + joined(argv));
    return elapsed;
}

} // namespace vashtem::bench

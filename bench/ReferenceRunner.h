// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace vashtem::bench {

// The general tools the program is measured against, run on the same tree. Each timing
// covers the whole child process, start to exit, output to /dev/null.
class ReferenceRunner
{
public:
    ReferenceRunner(std::string root, std::string scratchFolder);

    // bfs 4 with io_uring, from the tools shared beside the project; absent outside this machine.
    bool hasBfs() const { return m_hasBfs; }
    const std::string &bfsPath() const { return m_bfs; }

    double findAll() const; // find -type f -printf ...
    // bfs -type f -printf ..., with its default threads (one per core) when threads is 0.
    double bfsAll(int threads = 0) const;
    double findSelective() const; // find -type f ( -iname *.txt -o -iname *.log ) -printf ...
    // xargs -0 rm -- with the NUL-separated paths of a list file.
    double removeListed(const std::string &listPath) const;

    // Files as the program lists them (names starting with "." left out), counted by find.
    long countListable(bool selective) const;

private:
    double timed(const std::vector<std::string> &argv, const std::string &input = "/dev/null") const;

    std::string m_root;
    std::string m_scratch;
    std::string m_bfs;
    bool m_hasBfs = false;
};

} // namespace vashtem::bench

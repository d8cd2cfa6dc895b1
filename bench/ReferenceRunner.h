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

    bool hasBfs() const { return m_hasBfs; }

    double findAll() const;       // find -type f -printf ...
    double bfsAll() const;        // bfs -type f -printf ...
    double findSelective() const; // find -type f ( -iname *.txt -o -iname *.log ) -printf ...
    // xargs -0 rm -- with the NUL-separated paths of a list file.
    double removeListed(const std::string &listPath) const;

    // Files as the program lists them (names starting with "." left out), counted by find.
    long countListable(bool selective) const;

private:
    double timed(const std::vector<std::string> &argv, const std::string &input = "/dev/null") const;

    std::string m_root;
    std::string m_scratch;
    bool m_hasBfs = false;
};

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

namespace vashtem::bench {

// Files a run deletes, by exact path and size, so that they can be put back as they were
// and handed to xargs as the same list.
class FileSet
{
public:
    // Records a file that exists now, with its present size.
    void add(const QByteArray &path);
    long count() const { return long(m_sizes.size()); }

    // The paths, each ended by a NUL, for xargs -0.
    void writeList(const std::string &listPath) const;
    // Creates every file again at its size, sparse, on every core.
    void recreate() const;
    // Deletes every file with the least a careful deleter does: one open folder for each run
    // of files in the same folder, and for each file an fstatat of its name and an unlinkat.
    // Returns the milliseconds it took: the floor under the program's deletion.
    double removeEachCarefully() const;

private:
    void recreateRange(size_t first, size_t end) const;

    std::string m_paths; // each path followed by a NUL
    std::vector<size_t> m_starts;
    std::vector<long long> m_sizes;
};

} // namespace vashtem::bench

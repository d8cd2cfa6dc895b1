// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/platform/TempTree.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <vector>

namespace vashtem::testing {

// Small random folder trees with everything a walk has to cope with: blanks, Japanese,
// dots, mixed case, decomposed kana, bytes that are not UTF-8, wildcard characters in
// names, hidden files and folders, links to files and folders (loops too), dangling
// links, pipes, empty files and sizes either side of the limits the size box can give.
// Each file of some length starts with its own relative path, so contents differ.
struct RandomTreeOptions {
    int maxDepth = 3;
    bool hugeFiles = true; // now and then a sparse file past 2^31 or 2^32 bytes
};

// Fills `tree` and returns the relative paths of the folders a user can open ("" is the
// root), in the order they were made.
std::vector<QByteArray> fillRandomTree(TempTree &tree, QRandomGenerator &random,
                                       const RandomTreeOptions &options = {});

// The seeds a randomized test runs: `count` fixed seeds from `first`, VASHTEM_TREES=n
// for n of them instead, or just the one in VASHTEM_SEED to replay a failure.
std::vector<quint32> testSeeds(quint32 first, int count);

// One of `items`, chosen evenly.
template<typename T, size_t N>
const T &pick(QRandomGenerator &random, const T (&items)[N])
{
    return items[random.bounded(int(N))];
}

// True with the given chance in percent.
inline bool chance(QRandomGenerator &random, int percent)
{
    return random.bounded(100) < percent;
}

} // namespace vashtem::testing

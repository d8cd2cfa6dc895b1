// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vashtem::bench {

struct TreeShape {
    long files = 1'000'000; // regular files, hidden ones included
    long folders = 20'000;  // the root included
    bool chain = false;     // each folder inside the one before, rather than up to 20 per folder
};

// Counts the builder knows from the recipe, to check the listings against.
struct TreeFacts {
    long visibleFiles = 0;   // regular files whose names do not start with "."
    long hiddenFiles = 0;
    long selectiveFiles = 0; // visible files matching "*.txt;*.log"
    long fileLinks = 0;
    long loopLinks = 0;
    long long visibleNameBytes = 0;
};

// The bench keeps its tree in a work folder: the tree in "tree", its parameters in
// "tree.params", which is present only while the tree is whole.
struct Tree {
    std::string workFolder;
    std::string root;
    TreeShape shape;
    TreeFacts facts;
};

// Reuses the tree when allowed and its parameters match, else builds it anew.
Tree prepareTree(const std::string &workFolder, const TreeShape &shape, bool reuse);
void removeTree(const Tree &tree);

// The marker goes while files are being deleted and comes back once they are all restored,
// so an interrupted run is never mistaken for a whole tree.
void markTreeChanging(const Tree &tree);
void markTreeWhole(const Tree &tree);

} // namespace vashtem::bench

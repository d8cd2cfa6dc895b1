// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileSet.h"
#include "ReferenceRunner.h"
#include "Tree.h"

#include <functional>
#include <string>
#include <vector>

namespace vashtem {
struct Platform;
}

namespace vashtem::bench {

class ProgramDriver;

struct Samples {
    std::vector<double> searchAll, findAll, bfsAll, bfsWideAll; // bfs with its default threads and with -j8
    std::vector<double> floorDepthFirst, floorBreadthFirst; // listAndStatAll
    std::vector<double> searchSelective, findSelective;
    std::vector<double> selectAll, clearSelection;
    std::vector<double> deleteShare, removeShare, floorShare; // floor: FileSet::removeEachCarefully
    std::vector<double> deleteAll, removeAll;
    std::vector<double> farewell, emptying;
    std::vector<double> openFolder;                     // the folder chooser opens the tree's root
    // The longest event-loop gaps during the clicks.
    std::vector<double> searchGap, selectAllGap, clearSelectionGap, deleteAllGap, openFolderGap;
    std::vector<double> searchEscape, deleteAllEscape; // Escape halfway to the click's return; -1 too late
    double bytesPerRow = 0;
};

// The timed runs on one tree. Each run opens a new main window, times every command
// next to its reference tool, putting back every deleted file, and ends with the window's
// farewell; or, with searchesOnly, times the search of every file, Select all and Clear
// selection alone. Every run also
// sends Escape halfway through one untimed search of every file. Runs alternate
// whether the program or the reference goes first. With cold, the page cache is dropped
// before each timed search, the program's and each tool's.
class Session
{
public:
    struct Mode {
        double sharePercent = 10;
        bool searchesOnly = false;
        bool cold = false;
    };
    Session(Platform &platform, const Tree &tree, const ReferenceRunner &reference, Mode mode);
    ~Session();

    // One untimed walk to warm the caches, the listings checked against find, the lists
    // of files the deletions take, and one untimed deletion of the share.
    void prepare();
    void run(int index);

    const Samples &samples() const { return m_samples; }
    long listableFiles() const { return m_listable; }
    long selectiveFiles() const { return m_selective; }
    long shareFiles() const { return m_share.count(); }
    // Steps whose rows differed from what find and the tree's recipe say.
    int mismatches() const { return m_mismatches; }

private:
    void expectRows(const ProgramDriver &driver, long expected, const char *step);
    void fill(ProgramDriver &driver);
    static double withLoopWatched(ProgramDriver &driver, std::vector<double> &gaps, const std::function<double()> &click);
    static double withEscape(ProgramDriver &driver, double afterMs, const std::function<void()> &click);
    void timeSearchesOfAll(ProgramDriver &driver, bool programFirst);
    // Before a timed search: empties the page cache in a cold session.
    void settle() const;
    static void inOrder(bool programFirst, const std::function<void()> &program,
                        const std::function<void()> &reference);

    Platform &m_platform;
    const Tree &m_tree;
    const ReferenceRunner &m_reference;
    Mode m_mode;
    long m_shareStep;
    long m_listable = 0;
    long m_selective = 0;
    FileSet m_all;
    FileSet m_share;
    std::string m_allList;
    std::string m_shareList;
    Samples m_samples;
    int m_mismatches = 0;
};

} // namespace vashtem::bench

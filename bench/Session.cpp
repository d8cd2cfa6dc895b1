// SPDX-License-Identifier: GPL-3.0-or-later
#include "Session.h"

#include "ListingFloor.h"
#include "PageCache.h"
#include "ProgramDriver.h"
#include "Report.h"
#include "Responsiveness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vashtem::bench {

namespace {

const QString EveryFile;  // an empty pattern box searches "*.*"
const QString TextsAndLogs = QStringLiteral("*.txt;*.log");

} // namespace

Session::Session(Platform &platform, const Tree &tree, const ReferenceRunner &reference, Mode mode)
    : m_platform(platform)
    , m_tree(tree)
    , m_reference(reference)
    , m_mode(mode)
    , m_shareStep(std::max(1L, std::lround(100.0 / mode.sharePercent)))
    , m_allList(tree.workFolder + "/all.lst")
    , m_shareList(tree.workFolder + "/share.lst")
{
}

Session::~Session()
{
    std::remove(m_allList.c_str());
    std::remove(m_shareList.c_str());
}

void Session::prepare()
{
    m_reference.findAll();
    m_listable = m_reference.countListable(false);
    m_selective = m_reference.countListable(true);
    if (m_listable != m_tree.facts.visibleFiles || m_selective != m_tree.facts.selectiveFiles) {
        std::fprintf(stderr, "mismatch: find counts %ld files (%ld selective), the recipe %ld (%ld)\n", m_listable,
                     m_selective, m_tree.facts.visibleFiles, m_tree.facts.selectiveFiles);
        ++m_mismatches;
    }
    ProgramDriver driver(m_platform);
    fill(driver);
    if (m_mode.searchesOnly)
        return;
    m_all = driver.listedFiles(1);
    m_share = driver.listedFiles(m_shareStep);
    m_all.writeList(m_allList);
    m_share.writeList(m_shareList);
    // The first deletion on a tree reads metadata that a walk leaves on the disk (the
    // bitmaps of free inodes among them); one untimed deletion spares whoever goes first.
    m_reference.removeListed(m_shareList);
    m_share.recreate();
}

void Session::run(int index)
{
    const bool programFirst = index % 2 == 0;
    ProgramDriver driver(m_platform);
    timeSearchesOfAll(driver, programFirst);
    m_samples.selectAll.push_back(
        withLoopWatched(driver, m_samples.selectAllGap, [&] { return driver.selectAll(); }));
    m_samples.clearSelection.push_back(
        withLoopWatched(driver, m_samples.clearSelectionGap, [&] { return driver.clearSelection(); }));
    // Escape halfway through the search, every shape of tree.
    settle();
    m_samples.searchEscape.push_back(
        withEscape(driver, median(m_samples.searchAll) / 2, [&] { driver.search(EveryFile); }));
    m_samples.openFolder.push_back(withLoopWatched(driver, m_samples.openFolderGap, [&] {
        return driver.openInFolderChooser(QByteArray::fromStdString(m_tree.root));
    }));
    if (m_mode.searchesOnly)
        return;
    inOrder(
        programFirst,
        [&] {
            m_samples.searchSelective.push_back(driver.search(TextsAndLogs));
            expectRows(driver, m_selective, "search *.txt;*.log");
        },
        [&] { m_samples.findSelective.push_back(m_reference.findSelective()); });

    // Every timed deletion starts with the files made anew by the step before written back.
    inOrder(
        programFirst,
        [&] {
            fill(driver);
            writeBack();
            m_samples.deleteShare.push_back(driver.deleteEvery(m_shareStep));
            expectRows(driver, m_listable - m_share.count(), "delete selected");
            m_share.recreate();
        },
        [&] {
            writeBack();
            m_samples.removeShare.push_back(m_reference.removeListed(m_shareList));
            m_share.recreate();
            writeBack();
            m_samples.floorShare.push_back(m_share.removeEachCarefully());
            m_share.recreate();
        });
    inOrder(
        programFirst,
        [&] {
            fill(driver);
            writeBack();
            m_samples.deleteAll.push_back(
                withLoopWatched(driver, m_samples.deleteAllGap, [&] { return driver.deleteAll(); }));
            expectRows(driver, 0, "delete all");
            m_all.recreate();
        },
        [&] {
            writeBack();
            m_samples.removeAll.push_back(m_reference.removeListed(m_allList));
            m_all.recreate();
        });

    // Escape halfway through Delete all.
    fill(driver);
    m_samples.deleteAllEscape.push_back(
        withEscape(driver, median(m_samples.deleteAll) / 2, [&] { driver.deleteAll(); }));
    m_all.recreate();

    fill(driver);
    const ProgramDriver::Farewell farewell = driver.farewell();
    m_samples.farewell.push_back(farewell.whole);
    m_samples.emptying.push_back(farewell.emptying);
}

void Session::timeSearchesOfAll(ProgramDriver &driver, bool programFirst)
{
    constexpr int WideThreads = 8;
    constexpr int FloorThreads = 8; // as many as the program's readers
    inOrder(
        programFirst,
        [&] {
            settle();
            m_samples.searchAll.push_back(
                withLoopWatched(driver, m_samples.searchGap, [&] { return driver.search(EveryFile); }));
            expectRows(driver, m_listable, "search *.*");
            m_samples.bytesPerRow = double(driver.storeBytes()) / double(std::max(1L, driver.rows()));
        },
        [&] {
            settle();
            m_samples.findAll.push_back(m_reference.findAll());
            settle();
            m_samples.floorDepthFirst.push_back(listAndStatAll(m_tree.root, FloorThreads, FolderOrder::DepthFirst));
            settle();
            m_samples.floorBreadthFirst.push_back(
                listAndStatAll(m_tree.root, FloorThreads, FolderOrder::BreadthFirst));
            if (!m_reference.hasBfs())
                return;
            settle();
            m_samples.bfsAll.push_back(m_reference.bfsAll());
            settle();
            m_samples.bfsWideAll.push_back(m_reference.bfsAll(WideThreads));
        });
}

void Session::settle() const
{
    if (m_mode.cold)
        dropPageCache();
}

void Session::expectRows(const ProgramDriver &driver, long expected, const char *step)
{
    if (driver.rows() == expected)
        return;
    std::fprintf(stderr, "mismatch: %s left %ld rows, expected %ld\n", step, driver.rows(), expected);
    ++m_mismatches;
}

void Session::fill(ProgramDriver &driver)
{
    driver.search(EveryFile);
    expectRows(driver, m_listable, "search *.* (untimed)");
}

double Session::withLoopWatched(ProgramDriver &driver, std::vector<double> &gaps,
                                const std::function<double()> &click)
{
    LoopGapWatch watch;
    driver.watchClicks(&watch);
    const double elapsed = click();
    driver.watchClicks(nullptr);
    gaps.push_back(watch.longestMs());
    return elapsed;
}

double Session::withEscape(ProgramDriver &driver, double afterMs, const std::function<void()> &click)
{
    EscapeWatch watch(afterMs);
    driver.watchClicks(&watch);
    click();
    driver.watchClicks(nullptr);
    return watch.latencyMs();
}

void Session::inOrder(bool programFirst, const std::function<void()> &program, const std::function<void()> &reference)
{
    (programFirst ? program : reference)();
    (programFirst ? reference : program)();
}

} // namespace vashtem::bench

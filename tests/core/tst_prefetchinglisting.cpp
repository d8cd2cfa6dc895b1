// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/RandomTree.h"
#include "support/platform/FakePlatform.h"
#include "support/platform/ScarceThreads.h"
#include "support/platform/TempTree.h"

#include "platform/PosixFileSystem.h"
#include "core/search/FolderCursor.h"
#include "core/search/PrefetchingListing.h"

#include <QScopeGuard>
#include <QSet>
#include <QTest>

#include <cerrno>
#include <condition_variable>
#include <mutex>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

// Every folder a depth-first walk opens, with what it found there, in walk order.
QByteArrayList walk(ListingSource &source, const QByteArray &start)
{
    QByteArrayList seen;
    FolderCursor cursor(source);
    if (cursor.setPath(start) != 0)
        return seen;
    const std::function<void()> visit = [&] {
        QByteArray line = cursor.path() + ':';
        for (const ListedFile &file : cursor.listing().files)
            line += ' ' + file.name.toByteArray() + '=' + QByteArray::number(file.size);
        seen.append(line);
        for (int j = 0; j < cursor.count(); ++j) {
            if (cursor.setPath(cursor.entry(j)) != 0) {
                seen.append(cursor.entry(j) + ": unreadable");
                continue;
            }
            visit();
            cursor.setPath(cursor.entry(-2));
        }
    };
    visit();
    return seen;
}

} // namespace

class PrefetchingListingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walkSeesWhatDirectListingSees_data();
    void walkSeesWhatDirectListingSees();
    void workersTakeWhatTheWalkOpensFirst();
    void theOpenFolderOpensAgain_data();
    void theOpenFolderOpensAgain();
};

void PrefetchingListingTest::theOpenFolderOpensAgain_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("the root") << QByteArray("/"); // its own parent
    QTest::newRow("a folder") << QByteArray("/usr");
}

void PrefetchingListingTest::theOpenFolderOpensAgain()
{
    QFETCH(QByteArray, folder);
    const PosixFileSystem fileSystem;
    DirectListing direct(fileSystem, {});
    FolderCursor cursor(direct);
    QCOMPARE(cursor.setPath(folder), 0);
    const int count = cursor.count();
    QCOMPARE(cursor.setPath(folder), 0);
    QCOMPARE(cursor.path(), folder);
    QCOMPARE(cursor.count(), count);
}

void PrefetchingListingTest::walkSeesWhatDirectListingSees_data()
{
    QTest::addColumn<int>("readers");
    QTest::addColumn<int>("aheadLimit");
    QTest::addColumn<int>("descriptors"); // the budget of reading ahead
    QTest::addColumn<int>("threads");     // the executor's threads before it is refused; -1: all
    QTest::addColumn<int>("firstError");  // each folder's first listing fails with it
    const int defaultReaders = int(PrefetchingListing::defaultReaders());
    const int defaultLimit = int(PrefetchingListing::DefaultAheadLimit);
    // No readers: the walk reads everything itself. A limit of one entry: readers stop
    // after each listing until the walk takes it.
    QTest::newRow("walk alone") << 0 << defaultLimit << 256 << -1 << 0;
    QTest::newRow("one entry ahead") << 2 << 1 << 256 << -1 << 0;
    QTest::newRow("a few entries ahead") << 2 << 7 << 256 << -1 << 0;
    QTest::newRow("default") << defaultReaders << defaultLimit << 256 << -1 << 0;
    QTest::newRow("more readers than cores") << 8 << 64 << 256 << -1 << 0;
    // One listing under way at a time, or none: the walk reads what reading ahead may not.
    QTest::newRow("descriptors for one listing") << defaultReaders << defaultLimit << 3 << -1 << 0;
    QTest::newRow("no descriptors to spare") << defaultReaders << defaultLimit << 0 << -1 << 0;
    QTest::newRow("no thread to be had") << defaultReaders << defaultLimit << 256 << 0 << 0;
    QTest::newRow("one thread to be had") << defaultReaders << defaultLimit << 256 << 1 << 0;
    // A folder whose listing ran out of descriptors is read again once reading ahead has
    // given its descriptors back, by the walk itself.
    QTest::newRow("out of descriptors once") << defaultReaders << defaultLimit << 256 << -1 << EMFILE;
    QTest::newRow("out of descriptors once, walk alone") << 0 << defaultLimit << 256 << -1 << ENFILE;
}

void PrefetchingListingTest::walkSeesWhatDirectListingSees()
{
    QFETCH(int, readers);
    QFETCH(int, aheadLimit);
    QFETCH(int, descriptors);
    QFETCH(int, threads);
    QFETCH(int, firstError);
    const ScarceThreads scarce(threads);
    const PosixFileSystem fileSystem;
    const NameFilter everything = [](QByteArrayView) { return true; };
    for (const quint32 seed : testSeeds(7100, 6)) {
        TempTree tree(TempTree::Storage::Memory);
        QRandomGenerator random(seed);
        fillRandomTree(tree, random, {4, false});
        DirectListing direct(fileSystem, everything);
        const QByteArrayList expected = walk(direct, tree.root());
        for (int round = 0; round < 5; ++round) {
            FaultyFileSystem faulty;
            faulty.firstListingError = firstError;
            PrefetchingListing prefetching(faulty, everything, {}, size_t(readers), size_t(aheadLimit),
                                           size_t(descriptors));
            QVERIFY2(walk(prefetching, tree.root()) == expected, qPrintable(QStringLiteral("seed %1").arg(seed)));
        }
    }
}

namespace {

// Holds each listing of a subfolder at its start until the test lets it go, and notes the
// order in which the listings came.
class ListingGate
{
public:
    void arrive(const QByteArray &folder)
    {
        std::unique_lock lock(m_mutex);
        m_arrivals.append(folder);
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_all || m_released.contains(folder); });
    }
    void release(const QByteArray &folder) { update([&] { m_released.append(folder); }); }
    void releaseAll() { update([&] { m_all = true; }); }
    QByteArrayList waitForArrivals(qsizetype count)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_arrivals.size() >= count; });
        return m_arrivals;
    }

private:
    template<typename Change>
    void update(const Change &change)
    {
        const std::lock_guard lock(m_mutex);
        change();
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArrayList m_arrivals;
    QByteArrayList m_released;
    bool m_all = false;
};

} // namespace

// Folders scheduled later may come later in the walk: a worker that is free takes the one
// the walk opens first, not the one scheduled last.
void PrefetchingListingTest::workersTakeWhatTheWalkOpensFirst()
{
    TempTree tree(TempTree::Storage::Memory);
    for (const char *file : {"a/a1/f", "a/a2/f", "b/b1/f", "b/b2/f"})
        tree.file(file);
    ListingGate gate;
    FaultyFileSystem fileSystem;
    fileSystem.beforeListing = [&](const QByteArray &folder) {
        if (folder != tree.root())
            gate.arrive(folder);
    };
    PrefetchingListing source(fileSystem, {}, {}, 2);
    // The workers must not be held when the listing ends, whatever check failed.
    const auto letGo = qScopeGuard([&] { gate.releaseAll(); });
    QCOMPARE(source.list(tree.root(), nullptr).subfolders.size(), size_t(2));
    // Each worker holds one of a and b.
    const QByteArrayList first = gate.waitForArrivals(2);
    QCOMPARE(QSet<QByteArray>(first.begin(), first.end()), (QSet<QByteArray>{tree.path("a"), tree.path("b")}));
    // a's subfolders come first; its worker goes on with a1 and is held there.
    gate.release(tree.path("a"));
    QCOMPARE(gate.waitForArrivals(3).value(2), tree.path("a/a1"));
    // b's subfolders come last, yet a2 opens before them.
    gate.release(tree.path("b"));
    QCOMPARE(gate.waitForArrivals(4).value(3), tree.path("a/a2"));
}

QTEST_GUILESS_MAIN(PrefetchingListingTest)
#include "tst_prefetchinglisting.moc"

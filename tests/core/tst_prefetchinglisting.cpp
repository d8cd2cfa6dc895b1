// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/RandomTree.h"
#include "support/platform/TempTree.h"

#include "platform/PosixFileSystem.h"
#include "core/search/FolderCursor.h"
#include "core/search/PrefetchingListing.h"

#include <QTest>

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
};

void PrefetchingListingTest::walkSeesWhatDirectListingSees_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<int>("aheadLimit");
    // No workers: the walk reads everything itself. A limit of one entry: workers stop
    // after each listing until the walk takes it.
    QTest::newRow("walk alone") << 0 << 65536;
    QTest::newRow("one entry ahead") << 2 << 1;
    QTest::newRow("a few entries ahead") << 2 << 7;
    QTest::newRow("default") << PrefetchingListing::DefaultWorkers << int(PrefetchingListing::DefaultAheadLimit);
    QTest::newRow("more workers than cores") << 8 << 64;
}

void PrefetchingListingTest::walkSeesWhatDirectListingSees()
{
    QFETCH(int, workers);
    QFETCH(int, aheadLimit);
    const PosixFileSystem fileSystem;
    const NameFilter everything = [](QByteArrayView) { return true; };
    for (const quint32 seed : testSeeds(7100, 6)) {
        TempTree tree(TempTree::Storage::Memory);
        QRandomGenerator random(seed);
        fillRandomTree(tree, random, {4, false});
        DirectListing direct(fileSystem, everything);
        const QByteArrayList expected = walk(direct, tree.root());
        for (int round = 0; round < 5; ++round) {
            PrefetchingListing prefetching(fileSystem, everything, workers, size_t(aheadLimit));
            QVERIFY2(walk(prefetching, tree.root()) == expected, qPrintable(QStringLiteral("seed %1").arg(seed)));
        }
    }
}

QTEST_GUILESS_MAIN(PrefetchingListingTest)
#include "tst_prefetchinglisting.moc"

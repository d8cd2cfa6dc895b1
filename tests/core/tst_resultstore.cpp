// SPDX-License-Identifier: GPL-3.0-or-later
// The compact rows of the result list: paths rebuilt from the folder tree, rows kept across
// chunk boundaries, memory released on clear, batches fed into the list in few insertions.
#include "core/results/ResultModel.h"
#include "core/results/ResultStore.h"
#include "core/results/RowBatches.h"
#include "core/results/RowFeed.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace vashtem;

class ResultStoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathsJoinWithOneSeparator_data();
    void pathsJoinWithOneSeparator();
    void keepRowsKeepsOrderAcrossChunks();
    void clearReleasesMemory();
    void continuationsJoinOnTheEnd();
    void feedShowsRowsInFewInsertions_data();
    void feedShowsRowsInFewInsertions();
};

void ResultStoreTest::pathsJoinWithOneSeparator_data()
{
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArrayList>("subfolders");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("root") << QByteArray("/") << QByteArrayList{} << QByteArray("a.txt") << QByteArray("/a.txt");
    QTest::newRow("root, nested") << QByteArray("/") << QByteArrayList{"x", "y"} << QByteArray("a") << QByteArray("/x/y/a");
    QTest::newRow("trailing separator") << QByteArray("/tmp/") << QByteArrayList{"s"} << QByteArray("b") << QByteArray("/tmp/s/b");
    QTest::newRow("bytes kept") << QByteArray("/t") << QByteArrayList{"\xff\xfe"} << QByteArray("n\x80.txt")
                                << QByteArray("/t/\xff\xfe/n\x80.txt");
    QTest::newRow("empty name") << QByteArray("/t") << QByteArrayList{} << QByteArray() << QByteArray("/t/");
}

void ResultStoreTest::pathsJoinWithOneSeparator()
{
    QFETCH(QByteArray, start);
    QFETCH(QByteArrayList, subfolders);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    ResultStore store;
    quint32 folder = store.addFolder(start, {1, 2});
    for (const QByteArray &subfolder : subfolders)
        folder = store.addSubfolder(folder, subfolder, {1, 3});
    store.appendRow(folder, {name, 5, 7, 9});
    QCOMPARE(store.fullPath(0), expected);
    QCOMPARE(store.name(0), QByteArrayView(name));
    QVERIFY(store.folderPath(folder).endsWith('/'));
    QCOMPARE(store.row(0).size, 5);
    QCOMPARE(store.row(0).modified, 7);
    QCOMPARE(store.row(0).inode, 9u);
    QCOMPARE(store.folderIdentity(folder), (FileIdentity{1, subfolders.isEmpty() ? 2u : 3u}));
}

void ResultStoreTest::keepRowsKeepsOrderAcrossChunks()
{
    // More rows than one chunk holds, so kept rows move between chunks.
    const int count = 3 * 4096 + 17;
    ResultStore store;
    const quint32 a = store.addFolder("/a", {});
    const quint32 b = store.addSubfolder(a, "b", {});
    std::vector<bool> keep;
    for (int index = 0; index < count; ++index) {
        store.appendRow(index % 2 ? b : a, {QByteArray::number(index), index, -index, quint64(index)});
        keep.push_back(index % 3 == 0);
    }
    store.keepRows(keep);
    QCOMPARE(store.rowCount(), qsizetype((count + 2) / 3));
    for (qsizetype position = 0; position < store.rowCount(); ++position) {
        const int original = int(position) * 3;
        QCOMPARE(store.name(position), QByteArrayView(QByteArray::number(original)));
        QCOMPARE(store.row(position).size, original);
        QCOMPARE(store.row(position).inode, quint64(original));
        QCOMPARE(store.fullPath(position),
                 (original % 2 ? QByteArray("/a/b/") : QByteArray("/a/")) + QByteArray::number(original));
    }
}

void ResultStoreTest::clearReleasesMemory()
{
    ResultStore store;
    const size_t empty = store.memoryUsed();
    const quint32 folder = store.addFolder("/f", {});
    for (int index = 0; index < 100000; ++index)
        store.appendRow(folder, {"name.txt", index, index, 0});
    QVERIFY(store.memoryUsed() > empty + 100000 * sizeof(ResultRow));
    store.clear();
    QCOMPARE(store.rowCount(), 0);
    QCOMPARE(store.folderCount(), 0u);
    QCOMPARE(store.memoryUsed(), empty);
}

void ResultStoreTest::continuationsJoinOnTheEnd()
{
    // Each batch names folders of the batches before it; one has folders and no rows.
    ResultStore shown;
    ResultStore first = ResultStore::continuing(shown);
    const quint32 root = first.addFolder("/r", {1, 10});
    const quint32 a = first.addSubfolder(root, "a", {1, 11});
    first.appendRow(a, {"1", 1, 1, 101});
    ResultStore second = ResultStore::continuing(first);
    const quint32 b = second.addSubfolder(a, "b", {1, 12});
    second.appendRow(root, {"2", 2, 2, 102});
    second.appendRow(b, {"3", 3, 3, 103});
    ResultStore third = ResultStore::continuing(second);
    const quint32 c = third.addSubfolder(b, "c", {2, 13});
    ResultStore fourth = ResultStore::continuing(third);
    fourth.appendRow(c, {"4", 4, 4, 104});
    for (const ResultStore *batch : {&first, &second, &third, &fourth})
        shown.append(*batch, 0, batch->rowCount());

    QCOMPARE(shown.folderCount(), 4u);
    QCOMPARE(shown.rowCount(), 4);
    const QByteArrayList expected{"/r/a/1", "/r/2", "/r/a/b/3", "/r/a/b/c/4"};
    for (qsizetype position = 0; position < shown.rowCount(); ++position) {
        QCOMPARE(shown.fullPath(position), expected[position]);
        QCOMPARE(shown.row(position).size, position + 1);
        QCOMPARE(shown.row(position).inode, quint64(101 + position));
    }
    QCOMPARE(shown.folderIdentity(c), (FileIdentity{2, 13}));
    QCOMPARE(shown.folderIdentity(a), (FileIdentity{1, 11}));
}

void ResultStoreTest::feedShowsRowsInFewInsertions_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("batchRows"); // rows the walk writes between two offers
    QTest::addColumn<int>("leastPart");
    QTest::newRow("a batch after each row") << 20000 << 1 << 1;
    QTest::newRow("batches of 3,000 rows") << 20000 << 3000 << 1000;
    QTest::newRow("one batch of every row") << 20000 << 20000 << 1000;
    QTest::newRow("fewer rows than the least part") << 500 << 7 << 1000;
}

void ResultStoreTest::feedShowsRowsInFewInsertions()
{
    QFETCH(int, rows);
    QFETCH(int, batchRows);
    QFETCH(int, leastPart);
    ResultModel shown;
    qsizetype insertions = 0;
    qsizetype rowsLaidOut = 0; // the view lays out every row after each insertion
    QObject::connect(&shown, &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int first, int last) {
        const int before = first;
        QVERIFY2(last - first + 1 <= std::max(leastPart, before),
                 qPrintable(QStringLiteral("%1 rows added to %2").arg(last - first + 1).arg(before)));
        ++insertions;
        rowsLaidOut += last + 1;
    });
    RowBatches batches(shown.store());
    RowFeed feed(batches, shown, leastPart);
    ResultStore &writing = batches.writing();
    quint32 folder = writing.addFolder("/r", {1, 1});
    for (int index = 0; index < rows; ++index) {
        if (index % 1000 == 999) // a new folder now and then, named by rows after it
            folder = batches.writing().addSubfolder(folder, "d", {1, quint64(index)});
        const QByteArray name = QByteArray::number(index);
        batches.writing().appendRow(folder, {name, index, 0, quint64(index)});
        if ((index + 1) % batchRows == 0) {
            batches.offer();
            feed.showNextPart();
            QCOMPARE(feed.rowsFound(), index + 1);
        }
    }
    batches.finish();
    while (feed.showNextPart()) {
    }

    QCOMPARE(shown.rowCount(), rows);
    for (int position = 0; position < rows; ++position)
        QCOMPARE(shown.store().name(position), QByteArray::number(position));
    QCOMPARE(shown.fullPath(rows - 1).count("/d"), rows / 1000);
    // Each insertion adds about a quarter: their number grows with the logarithm of the
    // rows, and the layouts they cause sum to a few times the rows (one per row and batch
    // would be 200 million here).
    const double growth = 1.0 + 1.0 / RowFeed::GrowthDivisor;
    QVERIFY2(insertions <= 2 + std::log2(leastPart) + std::log(rows) / std::log(growth),
             qPrintable(QString::number(insertions)));
    QVERIFY2(rowsLaidOut <= qsizetype((growth / (growth - 1) + 1) * rows) + qsizetype(leastPart) * 2,
             qPrintable(QString::number(rowsLaidOut)));
}

QTEST_GUILESS_MAIN(ResultStoreTest)
#include "tst_resultstore.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The compact rows of the result list: paths rebuilt from the folder tree, rows kept across
// chunk boundaries, memory released on clear, batches fed into the list in few insertions.
#include "core/results/ResultModel.h"
#include "core/results/ResultStore.h"
#include "core/results/RowBatches.h"
#include "core/results/RowFeed.h"

#include <QTest>

#include <algorithm>

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
    void feedShowsRowsInBoundedParts_data();
    void feedShowsRowsInBoundedParts();
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
    for (ResultStore *batch : {&first, &second, &third, &fourth})
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

void ResultStoreTest::feedShowsRowsInBoundedParts_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("batchRows"); // rows the walk writes between two offers
    QTest::addColumn<int>("partRows");
    QTest::addColumn<int>("nameLength"); // a batch shown in parts lets go of its names' blocks
    QTest::newRow("a batch after each row") << 20000 << 1 << 1 << 0;
    QTest::newRow("batches of 3,000 rows") << 20000 << 3000 << 1000 << 0;
    QTest::newRow("one batch of every row") << 20000 << 20000 << 1000 << 0;
    QTest::newRow("one batch of long names") << 20000 << 20000 << 1000 << 200;
    // Whole chunks of rows move over as they are, and the rows before and after are copied.
    QTest::newRow("batches of 10,000 rows in parts of 6,000") << 40000 << 10000 << 6000 << 0;
    QTest::newRow("one batch in parts of 9,000") << 40000 << 40000 << 9000 << 20;
    QTest::newRow("fewer rows than the least part") << 500 << 7 << 1000 << 0;
}

void ResultStoreTest::feedShowsRowsInBoundedParts()
{
    QFETCH(int, rows);
    QFETCH(int, batchRows);
    QFETCH(int, partRows);
    QFETCH(int, nameLength);
    const auto nameOf = [nameLength](int index) { return QByteArray::number(index).leftJustified(nameLength, 'x'); };
    ResultModel shown;
    int insertionsThisCall = 0;
    QObject::connect(&shown, &QAbstractItemModel::rowsInserted, [&](const QModelIndex &, int first, int last) {
        QVERIFY2(last - first + 1 <= partRows, qPrintable(QStringLiteral("%1 rows at once").arg(last - first + 1)));
        ++insertionsThisCall;
    });
    RowBatches batches(shown.store());
    RowFeed feed(batches, shown, partRows);
    int faults = 0;
    const auto showNextPart = [&] {
        insertionsThisCall = 0;
        const bool more = feed.showNextPart();
        // One insertion a call; told nothing waits, the list shows every row handed over.
        faults += insertionsThisCall > 1 || more != (feed.rowsFound() > shown.rowCount());
        return more;
    };
    ResultStore &writing = batches.writing();
    quint32 folder = writing.addFolder("/r", {1, 1});
    for (int index = 0; index < rows; ++index) {
        if (index % 1000 == 999) // a new folder now and then, named by rows after it
            folder = batches.writing().addSubfolder(folder, "d", {1, quint64(index)});
        const QByteArray name = nameOf(index);
        batches.writing().appendRow(folder, {name, index, 0, quint64(index)});
        if ((index + 1) % batchRows == 0) {
            batches.offer();
            showNextPart();
            QCOMPARE(feed.rowsFound(), index + 1);
        }
    }
    batches.finish();
    while (showNextPart()) {
    }
    QVERIFY(!showNextPart()); // the last rows came with the finish
    QCOMPARE(faults, 0);

    QCOMPARE(shown.rowCount(), rows);
    for (int position = 0; position < rows; ++position)
        QCOMPARE(shown.store().name(position), nameOf(position));
    QCOMPARE(shown.fullPath(rows - 1).count("/d"), rows / 1000);
}

QTEST_GUILESS_MAIN(ResultStoreTest)
#include "tst_resultstore.moc"

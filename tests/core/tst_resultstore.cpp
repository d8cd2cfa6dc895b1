// The compact rows of the result list: paths rebuilt from the folder tree, rows kept across
// chunk boundaries, memory released on clear.
#include "core/results/ResultStore.h"

#include <QTest>

using namespace vashtem;

class ResultStoreTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pathsJoinWithOneSeparator_data();
    void pathsJoinWithOneSeparator();
    void keepRowsKeepsOrderAcrossChunks();
    void clearReleasesMemory();
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

QTEST_GUILESS_MAIN(ResultStoreTest)
#include "tst_resultstore.moc"

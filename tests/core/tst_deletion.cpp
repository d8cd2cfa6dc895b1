// SPDX-License-Identifier: GPL-3.0-or-later
// The deletion algorithm on its own: which files go, in which order, and where it stops,
// at a failure or on request.
#include "core/results/Deletion.h"
#include "core/results/ResultStore.h"
#include "support/platform/FakePlatform.h"
#include "support/platform/TempTree.h"

#include <QTest>

#include <atomic>
#include <cerrno>

using namespace vashtem;
using namespace vashtem::testing;

class DeletionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastRowFirstStoppingAtAFailure_data();
    void lastRowFirstStoppingAtAFailure();
};

void DeletionTest::lastRowFirstStoppingAtAFailure_data()
{
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<int>("failing"); // the row whose file refuses, or -1
    QTest::addColumn<QList<int>>("expectedCalls");
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<int>("stopWith"); // the row in hand when a stop is asked for, or -1
    QTest::addColumn<int>("stoppedAt");
    QTest::newRow("all") << QList<int>{0, 1, 2, 3, 4, 5} << -1 << QList<int>{5, 4, 3, 2, 1, 0} << QList<int>{0, 1, 2, 3, 4, 5} << -1 << -1;
    QTest::newRow("none") << QList<int>{} << -1 << QList<int>{} << QList<int>{} << -1 << -1;
    QTest::newRow("one per folder") << QList<int>{1, 4} << -1 << QList<int>{4, 1} << QList<int>{1, 4} << -1 << -1;
    QTest::newRow("fails in the last folder") << QList<int>{0, 2, 3, 5} << 5 << QList<int>{5} << QList<int>{} << -1 << -1;
    QTest::newRow("fails mid-folder") << QList<int>{0, 1, 2, 4} << 1 << QList<int>{4, 2, 1} << QList<int>{2, 4} << -1 << -1;
    QTest::newRow("fails on the first row") << QList<int>{0, 3} << 0 << QList<int>{3, 0} << QList<int>{3} << -1 << -1;
    QTest::newRow("stopped with the first file") << QList<int>{0, 1, 2, 3, 4, 5} << -1 << QList<int>{5} << QList<int>{5} << 5 << 4;
    QTest::newRow("stopped at a folder's end") << QList<int>{0, 1, 2, 3, 4, 5} << -1 << QList<int>{5, 4} << QList<int>{4, 5} << 4 << 3;
    QTest::newRow("stopped mid-folder") << QList<int>{0, 1, 2, 4} << -1 << QList<int>{4, 2} << QList<int>{2, 4} << 2 << 1;
    QTest::newRow("stopped with the last chosen") << QList<int>{1, 4} << -1 << QList<int>{4, 1} << QList<int>{1, 4} << 1 << -1;
}

// Rows 0-2 in folder a, row 3 in the start folder, rows 4-5 in folder b, as a walk lists them.
void DeletionTest::lastRowFirstStoppingAtAFailure()
{
    QFETCH(QList<int>, chosen);
    QFETCH(int, failing);
    QFETCH(QList<int>, expectedCalls);
    QFETCH(QList<int>, deleted);
    QFETCH(int, stopWith);
    QFETCH(int, stoppedAt);
    TempTree tree;
    const QByteArrayList relative{"a/0", "a/1", "a/2", "3", "b/4", "b/5"};
    QByteArrayList paths;
    for (int row = 0; row < relative.size(); ++row)
        paths.append(tree.file(relative[row], row));
    // The rows carry the identities the listings gave, as a walk records them.
    FaultyFileSystem fileSystem;
    const auto listed = [&](const QByteArray &folder) { return fileSystem.listFolder(tree.path(folder), {}); };
    const FolderListing listings[] = {listed("a"), listed(""), listed("b")};
    ResultStore rows;
    const quint32 start = rows.addFolder(tree.root(), listings[1].identity);
    const quint32 folders[] = {rows.addSubfolder(start, "a", listings[0].identity), start,
                               rows.addSubfolder(start, "b", listings[2].identity)};
    for (int row = 0; row < relative.size(); ++row) {
        const int folder = row == 3 ? 1 : row < 3 ? 0 : 2;
        const QByteArray name = relative[row].mid(relative[row].lastIndexOf('/') + 1);
        for (const ListedFile &file : listings[folder].files) {
            if (file.name == name)
                rows.appendRow(folders[folder], file);
        }
    }
    QCOMPARE(rows.rowCount(), relative.size());
    if (failing >= 0)
        fileSystem.removeErrors.insert(paths[failing], EBUSY);
    std::vector<bool> flags(size_t(rows.rowCount()), false);
    for (const int row : chosen)
        flags[size_t(row)] = true;

    std::atomic<bool> stop{false};
    DeletionProgress progress{stop};
    fileSystem.beforeRemoving = [&](const QByteArray &path) {
        if (stopWith >= 0 && path == paths[stopWith])
            stop = true;
    };

    const DeletionOutcome outcome = deleteChosenFiles(rows, flags, fileSystem, progress);

    QByteArrayList expectedPaths;
    for (const int row : expectedCalls)
        expectedPaths.append(paths[row]);
    QCOMPARE(fileSystem.removeCalls, expectedPaths);
    QCOMPARE(outcome.failedRow, qsizetype(failing));
    QCOMPARE(outcome.failure.error, failing >= 0 ? EBUSY : 0);
    QCOMPARE(outcome.stoppedAt, qsizetype(stoppedAt));
    QCOMPARE(progress.deleted.load(), qsizetype(deleted.size()));
    for (int row = 0; row < relative.size(); ++row) {
        QCOMPARE(outcome.keep[size_t(row)], !deleted.contains(row));
        QCOMPARE(tree.exists(relative[row]), !deleted.contains(row));
    }
}

QTEST_GUILESS_MAIN(DeletionTest)
#include "tst_deletion.moc"

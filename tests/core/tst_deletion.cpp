// SPDX-License-Identifier: GPL-3.0-or-later
// The deletion algorithm on its own: which files go, in which order, and where it stops,
// at a failure or on request.
#include "core/results/Deletion.h"
#include "core/results/ResultStore.h"
#include "platform/InodeNumbering.h"
#include "support/platform/FakePlatform.h"
#include "support/platform/ScarceThreads.h"
#include "support/platform/TempTree.h"

#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>

#include <unistd.h>

using namespace vashtem;
using namespace vashtem::testing;

class DeletionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastRowFirstStoppingAtAFailure_data();
    void lastRowFirstStoppingAtAFailure();
    void severalThreadsStopWhereOneWould_data();
    void severalThreadsStopWhereOneWould();
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
    // The check finds the failing file before its folder's turn: its removal is never asked for.
    QTest::newRow("fails in the last folder") << QList<int>{0, 2, 3, 5} << 5 << QList<int>{} << QList<int>{} << -1 << -1;
    QTest::newRow("fails mid-folder") << QList<int>{0, 1, 2, 4} << 1 << QList<int>{4, 2} << QList<int>{2, 4} << -1 << -1;
    QTest::newRow("fails on the first row") << QList<int>{0, 3} << 0 << QList<int>{3} << QList<int>{3} << -1 << -1;
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

    std::stop_source stop;
    DeletionProgress progress{stop.get_token()};
    fileSystem.beforeRemoving = [&](const QByteArray &path) {
        if (stopWith >= 0 && path == paths[stopWith])
            stop.request_stop();
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

void DeletionTest::severalThreadsStopWhereOneWould_data()
{
    QTest::addColumn<QByteArray>("obstacle");
    QTest::addColumn<int>("at"); // the row it stands at, or the openings or removals before a stop
    QTest::addColumn<int>("threads"); // the executor's threads before it is refused; -1: all
    QTest::addColumn<quint64>("fileSystemType"); // the type the folders are taken for, or 0
    const auto row = [](const char *name, const char *obstacle, int at, int threads = -1, quint64 type = 0) {
        QTest::newRow(name) << QByteArray(obstacle) << at << threads << type;
    };

    // Found by the check before any later file goes: exactly the rows after it are gone.
    row("planted error, first folder deleted", "planted", 2399);
    row("planted error, mid-folder", "planted", 1234);
    row("read-only file", "read-only", 700);
    row("another file under the name", "impostor", 301);
    row("another file under the name, FUSE", "impostor", 301, -1, FileSystemTypes::Fuse);
    row("first row", "read-only", 1);
    // Checked, then replaced while in hand: other threads may have gone further.
    row("replaced in hand", "in hand", 900);
    // A stop at any point ends every thread, wherever each is.
    row("stopped at a removal", "stop", 500);
    row("stopped at the first removal", "stop", 1);
    row("stopped at the first opening", "stop at open", 1);
    row("stopped at a later opening", "stop at open", 3);
    // The first part taken is held before its check while the others are checked and wait
    // for it; the stop comes meanwhile.
    row("stopped while a part is held before its check", "held", 0);
    // However few threads there are, the same files go.
    row("nothing in the way, no thread to be had", "none", 0, 0);
    row("planted error, no thread to be had", "planted", 1234, 0);
    row("stopped, one thread to be had", "stop", 500, 1);
}

// 2,400 rows in 8 folders, every seventh left unchosen: enough for several threads.
void DeletionTest::severalThreadsStopWhereOneWould()
{
    QFETCH(QByteArray, obstacle);
    QFETCH(int, at);
    QFETCH(int, threads);
    QFETCH(quint64, fileSystemType);
    const ScarceThreads scarce(threads);
    constexpr int Folders = 8;
    constexpr int PerFolder = 300;
    TempTree tree(TempTree::Storage::Memory);
    FaultyFileSystem fileSystem(fileSystemType);
    ResultStore rows;
    const quint32 start = rows.addFolder(tree.root(), fileSystem.listFolder(tree.root(), {}).identity);
    QByteArrayList relative;
    for (int folder = 0; folder < Folders; ++folder) {
        const QByteArray name = "f" + QByteArray::number(folder);
        for (int file = 0; file < PerFolder; ++file)
            tree.file(name + "/" + QByteArray::number(1000 + file));
        const FolderListing listing = fileSystem.listFolder(tree.path(name), {});
        const quint32 index = rows.addSubfolder(start, name, listing.identity);
        for (const ListedFile &file : listing.files) {
            rows.appendRow(index, file);
            relative.append(name + "/" + file.name.toByteArray());
        }
    }
    QCOMPARE(rows.rowCount(), Folders * PerFolder);
    std::vector<bool> chosen(size_t(rows.rowCount()));
    for (size_t row = 0; row < chosen.size(); ++row)
        chosen[row] = row % 7 != 3;
    const bool stopping = obstacle.startsWith("stop") || obstacle == "held";
    QVERIFY(stopping || chosen[size_t(at)]);

    std::stop_source stop;
    std::atomic<int> inHand{0};
    std::atomic<int> opened{0};
    std::mutex mutex;
    std::condition_variable_any othersOpened;
    DeletionProgress progress{stop.get_token()};
    fileSystem.beforeOpening = [&](const QByteArray &) {
        const int opening = ++opened;
        if (obstacle == "stop at open" && opening == at)
            stop.request_stop();
        if (obstacle != "held")
            return;
        std::unique_lock lock(mutex);
        othersOpened.notify_all();
        // Bounded only so that a broken deletion fails rather than hangs here.
        if (opening == 1 && othersOpened.wait_for(lock, std::chrono::seconds(10), [&] { return opened >= 4; }))
            stop.request_stop();
    };
    if (obstacle == "planted")
        fileSystem.removeErrors.insert(tree.path(relative[at]), EBUSY);
    if (obstacle == "read-only")
        tree.makeReadOnly(relative[at]);
    if (obstacle == "impostor") {
        QVERIFY(::unlink(tree.path(relative[at]).constData()) == 0);
        tree.file(relative[at]);
    }
    fileSystem.beforeRemoving = [&](const QByteArray &path) {
        if (obstacle == "stop" && ++inHand == at)
            stop.request_stop();
        if (obstacle == "in hand" && path == tree.path(relative[at])) {
            ::unlink(path.constData());
            tree.file(relative[at]);
        }
    };

    const DeletionOutcome outcome = deleteChosenFiles(rows, chosen, fileSystem, progress);

    // The list and the disk agree, and no file of a row left unchosen is touched.
    qsizetype deleted = 0;
    for (int row = 0; row < rows.rowCount(); ++row) {
        QCOMPARE(outcome.keep[size_t(row)], tree.exists(relative[row]));
        QVERIFY(chosen[size_t(row)] || tree.exists(relative[row]));
        deleted += outcome.keep[size_t(row)] ? 0 : 1;
    }
    QCOMPARE(progress.deleted.load(), deleted);
    if (obstacle == "none") {
        QCOMPARE(outcome.failedRow, qsizetype(-1));
        QCOMPARE(outcome.stoppedAt, qsizetype(-1));
        QCOMPARE(deleted, std::count(chosen.begin(), chosen.end(), true));
        return;
    }
    if (stopping) {
        QVERIFY(stop.stop_requested());
        QCOMPARE(outcome.failedRow, qsizetype(-1));
        QVERIFY(deleted >= (obstacle == "stop" ? at : 0) && deleted < std::count(chosen.begin(), chosen.end(), true));
        QVERIFY(outcome.stoppedAt >= 0 && outcome.keep[size_t(outcome.stoppedAt)]);
        for (qsizetype row = outcome.stoppedAt + 1; row < rows.rowCount(); ++row)
            QVERIFY(!chosen[size_t(row)] || !outcome.keep[size_t(row)]);
        return;
    }
    QCOMPARE(outcome.failedRow, qsizetype(at));
    QCOMPARE(outcome.stoppedAt, qsizetype(-1));
    QVERIFY(tree.exists(relative[at]));
    const DeleteFailure::Reason reason = obstacle == "impostor" || obstacle == "in hand"
        ? DeleteFailure::Reason::OtherFile
        : DeleteFailure::Reason::SystemError;
    QCOMPARE(outcome.failure.reason, reason);
    if (obstacle == "in hand")
        return;
    QCOMPARE(outcome.failure.error, obstacle == "planted" ? EBUSY : obstacle == "read-only" ? EACCES : 0);
    for (int row = 0; row < rows.rowCount(); ++row)
        QCOMPARE(outcome.keep[size_t(row)], row <= at || !chosen[size_t(row)]);
}

QTEST_GUILESS_MAIN(DeletionTest)
#include "tst_deletion.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The walk over real folder trees: which files become rows, in which order, with which facts.
#include "support/platform/ScarceThreads.h"
#include "support/platform/TempTree.h"

#include "platform/PosixFileSystem.h"
#include "core/results/Deletion.h"
#include "core/results/ResultModel.h"
#include "core/results/ResultStore.h"
#include "core/results/RowBatches.h"
#include "core/results/RowFeed.h"
#include "core/search/FolderSearch.h"

#include <QScopeGuard>
#include <QTest>


#include <sys/resource.h>

using namespace vashtem;

namespace {

struct Found {
    QByteArrayList paths;
    QByteArrayList names;
    std::vector<qint64> sizes;
};

Found found(const ResultStore &rows)
{
    Found found;
    for (qsizetype row = 0; row < rows.rowCount(); ++row) {
        found.paths.append(rows.fullPath(row));
        found.names.append(rows.name(row).toByteArray());
        found.sizes.push_back(rows.row(row).size);
    }
    return found;
}

Found search(const FileSystem &fileSystem, SearchCriteria criteria)
{
    if (criteria.currentFolder.isEmpty())
        criteria.currentFolder = criteria.startFolder + '/';
    ResultStore rows;
    FolderSearch(fileSystem, criteria, rows).SearchFiles();
    return found(rows);
}

QByteArrayList relative(const TempTree &tree, const QByteArrayList &paths)
{
    QByteArrayList result;
    for (const QByteArray &path : paths)
        result.append(path.mid(tree.root().size() + 1));
    return result;
}

// A file system of one folder, "/", for what a real test cannot build: a search from the root.
class RootOnly final : public FileSystem
{
public:
    FolderListing listFolder(const QByteArray &folder, const NameFilter &accept, std::stop_token) const override
    {
        FolderListing listing;
        if (folder == "/" && (!accept || accept("a.txt")))
            listing.files.push_back({"a.txt", 3, 0});
        return listing;
    }
    FolderListing listSubfolder(const FolderHandle &, const QByteArray &, const NameFilter &,
                                std::stop_token) const override
    {
        return {};
    }
    int checkFolder(const QByteArray &) const override { return 0; }
    OpenedFolder openListedFolder(const QByteArray &, FileIdentity) const override { return {}; }
    DeleteFailure checkFile(const OpenedFolder &, const FileToDelete &) const override { return {}; }
    DeleteFailure removeFile(const OpenedFolder &, const FileToDelete &) const override { return {}; }
    std::vector<QByteArray> volumes() const override { return {"/"}; }
    QByteArray currentDirectory() const override { return "/"; }
};

} // namespace

class FolderSearchTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void treeOrderIsDepthFirstFilesFirst();
    void oneFolderScopeListsOnlyThatFolder();
    void onlyPlainVisibleFilesAreListed();
    void patternFiltersFilesNotFolders();
    void sizeTestIsStrict_data();
    void sizeTestIsStrict();
    void largeFilesKeepTheirSize();
    void nonUtf8NamesKeepTheirBytes();
    void unreadableFoldersArePassedOver();
    void startAtRootJoinsWithOneSeparator();
    void bigFoldersAreWalkedCompletely();
    void batchesAndStopsKeepTheOrder_data();
    void batchesAndStopsKeepTheOrder();
    void scarceResourcesLoseNoFile_data();
    void scarceResourcesLoseNoFile();
};

void FolderSearchTest::treeOrderIsDepthFirstFilesFirst()
{
    TempTree tree;
    tree.file("b.txt");
    tree.file("A.txt");
    tree.file("sub2/x.txt");
    tree.file("Sub1/deep/y.txt");
    tree.file("Sub1/z.txt");
    tree.folder("empty/inner");
    tree.file("empty2/inner/w.txt");
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .scope = Scope::WithSubfolders});
    const QByteArrayList expected{"A.txt", "b.txt", "empty2/inner/w.txt", "Sub1/z.txt",
                                  "Sub1/deep/y.txt", "sub2/x.txt"};
    QCOMPARE(relative(tree, found.paths), expected);
    QCOMPARE(found.names.first(), QByteArray("A.txt"));
}

void FolderSearchTest::oneFolderScopeListsOnlyThatFolder()
{
    TempTree tree;
    tree.file("top.txt");
    tree.file("sub/below.txt");
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .scope = Scope::OneFolder});
    QCOMPARE(relative(tree, found.paths), QByteArrayList{"top.txt"});
}

void FolderSearchTest::onlyPlainVisibleFilesAreListed()
{
    TempTree tree;
    tree.file("plain.txt");
    tree.file(".hidden.txt");
    tree.file(".hiddenfolder/inside.txt");
    tree.file("target/t.txt");
    tree.symlink("link-to-file.txt", "plain.txt");
    tree.symlink("link-to-folder", "target");
    tree.symlink("loop", ".");
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .scope = Scope::WithSubfolders});
    QCOMPARE(relative(tree, found.paths), (QByteArrayList{"plain.txt", "target/t.txt"}));
}

void FolderSearchTest::patternFiltersFilesNotFolders()
{
    TempTree tree;
    tree.file("a.log");
    tree.file("b.txt");
    tree.file("folder.txt/c.log");
    tree.file("other/d.LOG");
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .pattern = QStringLiteral("*.log"),
                                            .scope = Scope::WithSubfolders});
    QCOMPARE(relative(tree, found.paths), (QByteArrayList{"a.log", "folder.txt/c.log", "other/d.LOG"}));
}

void FolderSearchTest::sizeTestIsStrict_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QByteArrayList>("expected");
    const int larger = int(Direction::Larger);
    const int smaller = int(Direction::Smaller);
    QTest::newRow("larger than 1000") << qint64(1000) << larger << QByteArrayList{"1001"};
    QTest::newRow("smaller than 1000") << qint64(1000) << smaller << QByteArrayList{"0", "999"};
    QTest::newRow("larger than 0") << qint64(0) << larger << QByteArrayList{"1000", "1001", "999"};
    QTest::newRow("smaller than 0") << qint64(0) << smaller << QByteArrayList{};
}

void FolderSearchTest::sizeTestIsStrict()
{
    QFETCH(qint64, limit);
    QFETCH(int, direction);
    QFETCH(QByteArrayList, expected);
    TempTree tree;
    for (const qint64 size : {0, 999, 1000, 1001})
        tree.file(QByteArray::number(size), size);
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .sizeFilter = true, .sizeLimit = limit,
                                            .direction = Direction(direction)});
    QCOMPARE(found.names, expected);
}

void FolderSearchTest::largeFilesKeepTheirSize()
{
    // Lengths beyond 32 bits must neither wrap nor lose their value in the size test.
    TempTree tree;
    const qint64 big = (qint64(1) << 32) + 5;
    tree.file("big.bin", big);
    tree.file("small.bin", 10);
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .sizeFilter = true,
                                            .sizeLimit = qint64(1) << 32, .direction = Direction::Larger});
    QCOMPARE(found.names, QByteArrayList{"big.bin"});
    QCOMPARE(found.sizes.front(), big);
}

void FolderSearchTest::nonUtf8NamesKeepTheirBytes()
{
    TempTree tree;
    const QByteArray name("bad\xff.txt");
    tree.file(name);
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root()});
    QCOMPARE(found.names, QByteArrayList{name});
    QCOMPARE(found.paths.first(), tree.root() + '/' + name);
}

void FolderSearchTest::unreadableFoldersArePassedOver()
{
    // A folder that vanished, or whose listing fails, is skipped and the walk goes on.
    class FailingFolder final : public FileSystem
    {
    public:
        QByteArray failing;
        PosixFileSystem real;
        FolderListing listFolder(const QByteArray &folder, const NameFilter &accept, std::stop_token) const override
        {
            if (folder == failing)
                return FolderListing{.error = EACCES};
            return real.listFolder(folder, accept);
        }
        FolderListing listSubfolder(const FolderHandle &parent, const QByteArray &folder, const NameFilter &accept,
                                    std::stop_token) const override
        {
            if (folder == failing)
                return FolderListing{.error = EACCES};
            return real.listSubfolder(parent, folder, accept);
        }
        int checkFolder(const QByteArray &folder) const override { return real.checkFolder(folder); }
        OpenedFolder openListedFolder(const QByteArray &, FileIdentity) const override { return {}; }
        DeleteFailure checkFile(const OpenedFolder &, const FileToDelete &) const override { return {}; }
        DeleteFailure removeFile(const OpenedFolder &, const FileToDelete &) const override { return {}; }
        std::vector<QByteArray> volumes() const override { return {"/"}; }
        QByteArray currentDirectory() const override { return {}; }
    } fileSystem;
    TempTree tree;
    tree.file("a/1.txt");
    tree.file("b/2.txt");
    tree.file("c/3.txt");
    fileSystem.failing = tree.path("b");
    const Found found = search(fileSystem, {.startFolder = tree.root(), .scope = Scope::WithSubfolders});
    QCOMPARE(relative(tree, found.paths), (QByteArrayList{"a/1.txt", "c/3.txt"}));

    const Found gone = search(fileSystem, {.startFolder = tree.path("missing"), .scope = Scope::WithSubfolders});
    QVERIFY(gone.paths.isEmpty());
}

void FolderSearchTest::startAtRootJoinsWithOneSeparator()
{
    RootOnly fileSystem;
    for (const Scope scope : {Scope::OneFolder, Scope::WithSubfolders}) {
        const Found found = search(fileSystem, {.startFolder = "/", .currentFolder = "/", .scope = scope});
        QCOMPARE(found.paths, QByteArrayList{"/a.txt"});
    }
}

void FolderSearchTest::bigFoldersAreWalkedCompletely()
{
    // More entries than a 16-bit index can count, files and subfolders alike.
    constexpr int Many = 33000;
    TempTree tree(TempTree::Storage::Memory);
    for (int index = 0; index < Many; ++index)
        tree.file("files/f" + QByteArray::number(index));
    for (int index = 0; index < Many; ++index)
        tree.folder("folders/d" + QByteArray::number(index));
    tree.file("folders/zz-last/end.txt");
    PosixFileSystem fileSystem;
    const Found found = search(fileSystem, {.startFolder = tree.root(), .scope = Scope::WithSubfolders});
    QCOMPARE(found.paths.size(), Many + 1);
    QCOMPARE(found.paths.last(), tree.path("folders/zz-last/end.txt"));
}

void FolderSearchTest::batchesAndStopsKeepTheOrder_data()
{
    QTest::addColumn<int>("everyRows");  // rows between two hand-overs inside a folder
    QTest::addColumn<int>("partRows");   // rows one insertion may add
    QTest::addColumn<int>("takeEvery");  // hand-overs between two takes; 0: none
    QTest::addColumn<int>("stopAfter");  // hand-overs before the stop; 0: never
    QTest::addColumn<int>("handOvers");  // hand-overs of a whole search
    QTest::newRow("one batch at the end") << 100 << 100 << 0 << 0 << 7;
    QTest::newRow("a batch after each folder") << 100 << 100 << 1 << 0 << 7;
    QTest::newRow("a batch every third folder") << 100 << 100 << 3 << 0 << 7;
    QTest::newRow("a batch after each row, parts from one row") << 1 << 1 << 1 << 0 << 16;
    QTest::newRow("batches inside folders, parts from two rows") << 1 << 2 << 3 << 0 << 16;
    QTest::newRow("stopped after the start folder") << 100 << 100 << 1 << 1 << 1;
    QTest::newRow("stopped inside a subfolder") << 100 << 100 << 2 << 4 << 4;
    QTest::newRow("stopped between two rows of a folder") << 1 << 3 << 2 << 6 << 7; // and the folder's own
    QTest::newRow("stopped before the last folder") << 100 << 100 << 0 << 6 << 6;
}

void FolderSearchTest::batchesAndStopsKeepTheOrder()
{
    QFETCH(int, everyRows);
    QFETCH(int, partRows);
    QFETCH(int, takeEvery);
    QFETCH(int, stopAfter);
    QFETCH(int, handOvers);
    TempTree tree;
    for (const char *file : {"t1", "t2", "a/a1", "a/b/b1", "a/b/b2", "a/b/c/c1", "a/d/d1", "e/e1", "e/f/f1"})
        tree.file(file);
    PosixFileSystem fileSystem;
    SearchCriteria criteria{.startFolder = tree.root(), .scope = Scope::WithSubfolders};
    const Found whole = search(fileSystem, criteria);
    QCOMPARE(whole.paths.size(), 9);

    ResultModel shown;
    RowBatches batches(shown.store());
    RowFeed feed(batches, shown, partRows);
    const auto showAll = [&] {
        while (feed.showNextPart()) {
        }
    };
    std::stop_source stop;
    qsizetype rowsAtStop = -1;
    int calls = 0;
    FolderSearch search(fileSystem, criteria, batches.writing());
    search.setStop(stop.get_token());
    search.setRowsReady([&] {
        ++calls;
        batches.offer();
        if (takeEvery > 0 && calls % takeEvery == 0)
            showAll();
        if (calls == stopAfter) {
            showAll();
            rowsAtStop = shown.rowCount() + batches.writing().rowCount();
            stop.request_stop();
        }
    }, size_t(everyRows));
    search.SearchFiles();
    batches.finish();
    showAll();

    const QByteArrayList expected = stopAfter > 0 ? whole.paths.mid(0, rowsAtStop) : whole.paths;
    QCOMPARE(found(shown.store()).paths, expected);
    QCOMPARE(calls, handOvers);
}

void FolderSearchTest::scarceResourcesLoseNoFile_data()
{
    QTest::addColumn<QByteArray>("shape");
    QTest::addColumn<int>("descriptors"); // the soft limit while it runs; 0: as it is
    QTest::addColumn<int>("threads");     // the executor's threads before it is refused; -1: all
    QTest::newRow("8x8x8 folders, 64 descriptors") << QByteArray("8x8x8") << 64 << -1;
    // Every level of the chain would keep its folder open if the walk held on to it.
    QTest::newRow("a chain of 300 folders, 64 descriptors") << QByteArray("chain") << 64 << -1;
    QTest::newRow("a folder of 10,000, no thread to be had") << QByteArray("wide") << 0 << 0;
    QTest::newRow("a folder of 10,000, one thread to be had") << QByteArray("wide") << 0 << 1;
}

// Short of descriptors or threads a search still lists every file, and Delete all deletes them.
void FolderSearchTest::scarceResourcesLoseNoFile()
{
    QFETCH(QByteArray, shape);
    QFETCH(int, descriptors);
    QFETCH(int, threads);
    TempTree tree(TempTree::Storage::Memory);
    if (shape == "8x8x8") {
        for (int file = 0; file < 8 * 8 * 8 * 2; ++file)
            tree.file(QByteArray::number(file / 128) + '/' + QByteArray::number(file / 16 % 8) + '/'
                      + QByteArray::number(file / 2 % 8) + "/f" + QByteArray::number(file % 2));
    } else if (shape == "chain") {
        QByteArray folder = "c";
        for (int depth = 0; depth < 300; ++depth, folder += "/c")
            tree.file(folder + "/f");
    } else {
        for (int file = 0; file < 13000; ++file)
            tree.file((file < 10000 ? "wide/" : "narrow/" + QByteArray::number(file % 30) + '/') + QByteArray::number(file));
    }
    const PosixFileSystem fileSystem;
    SearchCriteria criteria{.startFolder = tree.root(), .scope = Scope::WithSubfolders};
    const Found whole = search(fileSystem, criteria);

    struct rlimit before;
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &before), 0);
    const auto restore = qScopeGuard([&] { ::setrlimit(RLIMIT_NOFILE, &before); });
    if (descriptors > 0) {
        struct rlimit scarce = before;
        scarce.rlim_cur = rlim_t(descriptors);
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &scarce), 0);
    }
    const testing::ScarceThreads scarceThreads(threads);
    criteria.currentFolder = tree.root() + '/';
    ResultStore rows;
    FolderSearch scarceSearch(fileSystem, criteria, rows);
    scarceSearch.SearchFiles();
    QVERIFY(!scarceSearch.incomplete());
    QCOMPARE(found(rows).paths, whole.paths);

    DeletionProgress progress;
    const DeletionOutcome outcome =
        deleteChosenFiles(rows, std::vector<bool>(size_t(rows.rowCount()), true), fileSystem, progress);
    QCOMPARE(outcome.failedRow, qsizetype(-1));
    QCOMPARE(progress.deleted.load(), rows.rowCount());
    QCOMPARE(search(fileSystem, criteria).paths, QByteArrayList{});
}

QTEST_GUILESS_MAIN(FolderSearchTest)
#include "tst_foldersearch.moc"

#include "platform/NameOrder.h"
#include "platform/PosixFileSystem.h"

#include "support/platform/TempTree.h"

#include <QTest>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace vashtem;

namespace {

const std::vector<QByteArray> noPseudoMounts;
const NameFilter acceptAll = [](QByteArrayView) { return true; };

// Names joined by "|", so that a failed comparison shows them.
QByteArray joined(const std::vector<QByteArray> &names)
{
    QByteArray text;
    for (const QByteArray &name : names)
        text += (text.isEmpty() ? "" : "|") + name;
    return text;
}

QByteArray fileNames(const FolderListing &listing)
{
    std::vector<QByteArray> names;
    for (const ListedFile &file : listing.files)
        names.push_back(file.name);
    return joined(names);
}

} // namespace

class TestPosixFileSystem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsVisibleFilesAndFoldersInOrder();
    void listsEmptyFolder();
    void listsLargeFolderWhole_data();
    void listsLargeFolderWhole();
    void offersOnlyRegularFilesToFilter();
    void readsFacts_data();
    void readsFacts();
    void reportsUnreadableFolder_data();
    void reportsUnreadableFolder();
    void removeFile_data();
    void removeFile();
    void removesNonUtf8NameExactly();
    void leavesOutPseudoMounts_data();
    void leavesOutPseudoMounts();
    void leavesOutPseudoMountsOfRoot();
};

void TestPosixFileSystem::listsVisibleFilesAndFoldersInOrder()
{
    TempTree tree;
    QVERIFY(tree.isValid());
    for (const char *name : {"b.txt", "A.txt", "a.txt", "ä.txt", "B.txt", ".hidden"})
        tree.file(name, 3);
    tree.file(".hiddenDir/x.txt");
    for (const char *name : {"sub", "Sub2", "Ä", "a"})
        tree.folder(name);
    tree.symlink("link.txt", "b.txt");
    tree.symlink("linkDir", "sub");
    tree.symlink("dangling.txt", "nowhere");
    QCOMPARE(::mkfifo(tree.path("pipe.txt").constData(), 0644), 0);

    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.root(), acceptAll);
    QCOMPARE(listing.error, 0);
    QCOMPARE(fileNames(listing),
             "A.txt|a.txt|B.txt|b.txt|ä.txt");
    QCOMPARE(joined(listing.subfolders), "a|sub|Sub2|Ä");
}

void TestPosixFileSystem::listsEmptyFolder()
{
    TempTree tree;
    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.folder("empty"), acceptAll);
    QCOMPARE(listing.error, 0);
    QVERIFY(listing.files.empty());
    QVERIFY(listing.subfolders.empty());
}

void TestPosixFileSystem::listsLargeFolderWhole_data()
{
    QTest::addColumn<int>("files");

    // The facts of a large folder are read on several threads, each a stretch of inodes.
    QTest::newRow("one thread") << 300;
    QTest::newRow("two threads") << 4100;
    QTest::newRow("all threads, uneven stretches") << 16400 + 7;
}

void TestPosixFileSystem::listsLargeFolderWhole()
{
    QFETCH(int, files);
    TempTree tree(TempTree::Storage::Memory);
    for (int index = 0; index < files; ++index) {
        // Sizes tell the files apart; cases mix so that the name order is not the byte order.
        const QByteArray name = (index % 3 ? "File_" : "file_") + QByteArray::number(index);
        QVERIFY(!tree.file(name, index % 1000, 1000 + index).isEmpty());
    }
    tree.symlink("link", "file_0");
    tree.folder("folder");

    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.root(), acceptAll);
    QCOMPARE(listing.files.size(), size_t(files));
    for (size_t k = 0; k < listing.files.size(); ++k) {
        const ListedFile &file = listing.files[k];
        const int index = file.name.mid(5).toInt();
        QCOMPARE(file.size, qint64(index % 1000));
        QCOMPARE(file.modified, qint64(1000 + index));
        if (k > 0)
            QVERIFY(nameLess(listing.files[k - 1].name, file.name));
    }
    QCOMPARE(joined(listing.subfolders), "folder");
}

void TestPosixFileSystem::offersOnlyRegularFilesToFilter()
{
    TempTree tree;
    tree.file("a.txt");
    tree.file("b.log");
    tree.file(".c.txt");
    tree.folder("dir.txt");
    tree.symlink("link.txt", "a.txt");

    std::vector<QByteArray> offered;
    const NameFilter onlyText = [&offered](QByteArrayView name) {
        offered.push_back(name.toByteArray());
        return name.endsWith(".txt");
    };
    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.root(), onlyText);
    std::sort(offered.begin(), offered.end());
    QCOMPARE(joined(offered), "a.txt|b.log");
    QCOMPARE(fileNames(listing), "a.txt");
    QCOMPARE(joined(listing.subfolders), "dir.txt");
}

void TestPosixFileSystem::readsFacts_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("modified");

    QTest::newRow("empty at the epoch") << qint64(0) << qint64(0);
    QTest::newRow("small") << qint64(5) << qint64(1234567890);
    QTest::newRow("after 2038") << qint64(1) << qint64(4102444800);
    QTest::newRow("over 4 GiB, sparse") << (qint64(1) << 32) + 5 << qint64(1700000000);
}

void TestPosixFileSystem::readsFacts()
{
    QFETCH(qint64, size);
    QFETCH(qint64, modified);
    TempTree tree;
    QVERIFY(!tree.file("f", size, modified).isEmpty());

    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.root(), acceptAll);
    QCOMPARE(listing.files.size(), size_t(1));
    QCOMPARE(listing.files[0].size, size);
    QCOMPARE(listing.files[0].modified, modified);
}

void TestPosixFileSystem::reportsUnreadableFolder_data()
{
    QTest::addColumn<QByteArray>("relative");
    QTest::addColumn<int>("expected");

    QTest::newRow("readable") << QByteArray("dir") << 0;
    QTest::newRow("missing") << QByteArray("gone") << ENOENT;
    QTest::newRow("a file") << QByteArray("file") << ENOTDIR;
    QTest::newRow("beneath a file") << QByteArray("file/dir") << ENOTDIR;
    QTest::newRow("dangling link") << QByteArray("dangling") << ENOENT;
    // Root reads any folder whatever its bits.
    if (::geteuid() != 0)
        QTest::newRow("no permission") << QByteArray("locked") << EACCES;
}

void TestPosixFileSystem::reportsUnreadableFolder()
{
    QFETCH(QByteArray, relative);
    QFETCH(int, expected);
    TempTree tree;
    tree.file("dir/inside");
    tree.file("file");
    tree.symlink("dangling", "gone");
    tree.file("locked/inside");
    QCOMPARE(::chmod(tree.path("locked").constData(), 0), 0);

    const PosixFileSystem fileSystem(noPseudoMounts);
    const FolderListing listing = fileSystem.listFolder(tree.path(relative), acceptAll);
    QCOMPARE(listing.error, expected);
    QCOMPARE(listing.files.size(), size_t(expected == 0 ? 1 : 0));
    QCOMPARE(fileSystem.checkFolder(tree.path(relative)), expected);
}

void TestPosixFileSystem::removeFile_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<int>("expected");

    QTest::newRow("regular file") << QByteArray("file") << 0;
    QTest::newRow("missing") << QByteArray("missing") << ENOENT;
    QTest::newRow("folder") << QByteArray("folder") << EISDIR;
    QTest::newRow("link to a file") << QByteArray("linkToFile") << ENOENT;
    QTest::newRow("link to a folder") << QByteArray("linkToFolder") << ENOENT;
    QTest::newRow("fifo") << QByteArray("fifo") << ENOENT;
    QTest::newRow("read-only file") << QByteArray("readOnly") << EACCES;
}

void TestPosixFileSystem::removeFile()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, expected);
    TempTree tree;
    tree.file("target", 7);
    tree.file("targetDir/inside");
    if (kind == "file" || kind == "readOnly")
        tree.file("victim", 4);
    if (kind == "readOnly")
        tree.makeReadOnly("victim");
    if (kind == "folder")
        tree.folder("victim");
    if (kind == "linkToFile")
        tree.symlink("victim", "target");
    if (kind == "linkToFolder")
        tree.symlink("victim", "targetDir");
    if (kind == "fifo")
        QCOMPARE(::mkfifo(tree.path("victim").constData(), 0644), 0);

    QCOMPARE(PosixFileSystem(noPseudoMounts).removeFile(tree.path("victim")), expected);
    QCOMPARE(tree.exists("victim"), expected != 0 && kind != "missing");
    QCOMPARE(tree.readAll("target"), QByteArray("abcdefg"));
    QVERIFY(tree.exists("targetDir/inside"));
}

void TestPosixFileSystem::removesNonUtf8NameExactly()
{
    TempTree tree;
    tree.file("bad\xff.txt");
    tree.file("bad\xfe.txt");
    tree.file("bad\xef\xbf\xbd.txt"); // U+FFFD itself, which "\xff" decodes to

    const PosixFileSystem fileSystem(noPseudoMounts);
    QCOMPARE(fileSystem.removeFile(tree.path("bad\xff.txt")), 0);
    QCOMPARE(fileNames(fileSystem.listFolder(tree.root(), acceptAll)),
             "bad\xef\xbf\xbd.txt|bad\xfe.txt");
}

void TestPosixFileSystem::leavesOutPseudoMounts_data()
{
    QTest::addColumn<QByteArray>("folderSuffix");
    QTest::addColumn<QByteArray>("mountSuffix");

    QTest::newRow("plain paths") << QByteArray() << QByteArray();
    QTest::newRow("folder with trailing slash") << QByteArray("/") << QByteArray();
    QTest::newRow("mount with trailing slash") << QByteArray() << QByteArray("/");
}

void TestPosixFileSystem::leavesOutPseudoMounts()
{
    QFETCH(QByteArray, folderSuffix);
    QFETCH(QByteArray, mountSuffix);
    TempTree tree;
    tree.folder("proc");
    tree.folder("procfs");
    tree.folder("sub/proc");

    const PosixFileSystem fileSystem({tree.path("proc") + mountSuffix});
    const FolderListing top = fileSystem.listFolder(tree.root() + folderSuffix, acceptAll);
    QCOMPARE(joined(top.subfolders), "procfs|sub");
    const FolderListing sub = fileSystem.listFolder(tree.path("sub") + folderSuffix, acceptAll);
    QCOMPARE(joined(sub.subfolders), "proc");
}

void TestPosixFileSystem::leavesOutPseudoMountsOfRoot()
{
    struct stat facts;
    if (::lstat("/proc", &facts) != 0 || !S_ISDIR(facts.st_mode))
        QSKIP("no /proc folder here");
    const auto hasProc = [](const FolderListing &listing) {
        return std::count(listing.subfolders.begin(), listing.subfolders.end(), "proc") == 1;
    };
    QVERIFY(hasProc(PosixFileSystem(noPseudoMounts).listFolder("/", acceptAll)));
    QVERIFY(!hasProc(PosixFileSystem({"/proc"}).listFolder("/", acceptAll)));
}

QTEST_GUILESS_MAIN(TestPosixFileSystem)
#include "tst_posixfilesystem.moc"

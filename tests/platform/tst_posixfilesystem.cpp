// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderHandle.h"
#include "platform/InodeNumbering.h"
#include "platform/NameOrder.h"
#include "platform/PosixFileSystem.h"

#include "support/platform/ScarceThreads.h"
#include "support/platform/TempTree.h"

#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <atomic>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <optional>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vashtem;
using vashtem::testing::ScarceThreads;

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
        names.push_back(file.name.toByteArray());
    return joined(names);
}

// Lets openat2 fail with `error` in this process from now on; false where filters are refused.
bool refuseOpenat2(int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (unsigned(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{sizeof filter / sizeof filter[0], filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Sets or clears a file's immutable or append-only flag; false where the file system has none.
bool setFlag(const QByteArray &path, int flag, bool on)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | flag : flags & ~flag;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// Deletes one listed file as a deletion does: its folder opened, then the name removed.
DeleteFailure removeListed(const FileSystem &fileSystem, const QByteArray &folder, FileIdentity identity,
                           const FileToDelete &file)
{
    return fileSystem.removeFile(fileSystem.openListedFolder(folder, identity), file);
}

// A folder or a file system mounted on a folder for as long as it lives.
class BindMount
{
public:
    BindMount(const QByteArray &source, const QByteArray &target)
        : m_target(target), m_mounted(::mount(source.constData(), target.constData(), nullptr, MS_BIND, nullptr) == 0) {}
    BindMount(const char *type, const QByteArray &target, const QByteArray &options = {})
        : m_target(target)
        , m_mounted(::mount(type, target.constData(), type, 0, options.isEmpty() ? nullptr : options.data()) == 0) {}
    // Through mount(8), the target last.
    explicit BindMount(const QStringList &arguments)
        : m_target(QFile::encodeName(arguments.last())), m_mounted(QProcess::execute("mount", arguments) == 0) {}
    ~BindMount()
    {
        if (m_mounted)
            ::umount2(m_target.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }
    bool makeReadOnly() const
    {
        return ::mount(nullptr, m_target.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }

private:
    QByteArray m_target;
    bool m_mounted;
};

// A volume that gives inode numbers anew on `folder` while it lives: an exFAT image through
// exfat-fuse, or an overlay without xino of the disk (the tree's "lower") below a memory one.
struct Volume {
    TempTree memory{TempTree::Storage::Memory};
    std::optional<BindMount> mount;
    Volume(const QByteArray &kind, TempTree &tree, const QByteArray &folder)
    {
        if (kind == "overlay")
            mount.emplace("overlay", folder, "lowerdir=" + tree.folder("lower") + ",upperdir=" + memory.folder("upper")
                              + ",workdir=" + memory.folder("work") + ",xino=off");
        else if (::access("/dev/fuse", W_OK) == 0
                 && QProcess::execute("mkfs.exfat", {memory.file("img", 1 << 23)}) == 0)
            mount.emplace(QStringList{"-t", "exfat-fuse", "-o", "loop", memory.path("img"), folder});
    }
};

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
    void removesWhenOpenat2IsRefused_data();
    void removesWhenOpenat2IsRefused();
    void removesBeyondPathLimit_data();
    void removesBeyondPathLimit();
    void leavesOutPseudoMounts_data();
    void leavesOutPseudoMounts();
    void leavesOutPseudoMountsOfRoot();
    void leavesOutPseudoFileSystemsMountedLater_data();
    void leavesOutPseudoFileSystemsMountedLater();
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
    QTest::addColumn<int>("stopAfter"); // calls of the filter before a stop is requested; 0: never
    QTest::addColumn<int>("threads");   // the executor's threads before it is refused; -1: all
    QTest::addColumn<int>("foldersEvery"); // every so many files become folders once listed; 0: none

    // The facts of a large folder are read in parts of 4,096 files on helper threads while
    // the folder is still read; the caller reads the last part.
    QTest::newRow("one part") << 300 << 0 << -1 << 0;
    QTest::newRow("a part and a few files") << 4100 << 0 << -1 << 0;
    QTest::newRow("more parts than helpers") << 8 * 4096 + 7 << 0 << -1 << 0;
    // Without threads the caller reads every part and sorts every range itself.
    QTest::newRow("more parts than helpers, no thread to be had") << 8 * 4096 + 7 << 0 << 0 << 0;
    QTest::newRow("names sorted in ranges, one thread to be had") << 70000 << 0 << 1 << 0;
    // A file that is a folder by the time its facts are read is left out, in every part.
    QTest::newRow("files turned folders meanwhile") << 8 * 4096 + 7 << 0 << -1 << 97;
    // A stop ends a large listing early, wherever it is: while it lists, or with the last
    // name, before the sort.
    QTest::newRow("stopped early") << 16400 + 7 << 5000 << -1 << 0;
    QTest::newRow("stopped with the last name") << 16400 + 7 << 16400 + 7 << -1 << 0;
    QTest::newRow("stopped with the last name of one part") << 4096 << 4096 << -1 << 0;
}

void TestPosixFileSystem::listsLargeFolderWhole()
{
    QFETCH(int, files);
    QFETCH(int, stopAfter);
    QFETCH(int, threads);
    QFETCH(int, foldersEvery);
    const ScarceThreads scarce(threads);
    TempTree tree(TempTree::Storage::Memory);
    for (int index = 0; index < files; ++index) {
        // Sizes tell the files apart; cases mix so that the name order is not the byte order.
        const QByteArray name = (index % 3 ? "File_" : "file_") + QByteArray::number(index);
        QVERIFY(!tree.file(name, index % 1000, 1000 + index).isEmpty());
    }
    tree.symlink("link", "file_0");
    tree.folder("folder");

    int calls = 0;
    std::stop_source stop;
    int turned = 0;
    const NameFilter stopping = [&](QByteArrayView name) {
        if (++calls == stopAfter)
            stop.request_stop();
        if (foldersEvery > 0 && name.sliced(5).toInt() % foldersEvery == 0) {
            const QByteArray path = tree.path(name.toByteArray());
            turned += ::unlink(path.constData()) == 0 && ::mkdir(path.constData(), 0700) == 0;
        }
        return true;
    };
    const FolderListing listing = PosixFileSystem(noPseudoMounts).listFolder(tree.root(), stopping, stop.get_token());
    if (stopAfter > 0) {
        QCOMPARE(listing.error, ECANCELED);
        QVERIFY(listing.files.empty());
        // Not one name more is asked about.
        QVERIFY2(calls <= stopAfter + 1, qPrintable(QString::number(calls)));
        return;
    }
    QCOMPARE(turned > 0, foldersEvery > 0);
    QCOMPARE(listing.files.size(), size_t(files - turned));
    for (size_t k = 0; k < listing.files.size(); ++k) {
        const ListedFile &file = listing.files[k];
        const int index = file.name.sliced(5).toInt();
        QCOMPARE(file.size, qint64(index % 1000));
        QCOMPARE(file.modified, qint64(1000 + index));
        struct stat facts;
        QCOMPARE(::lstat(tree.path(file.name).constData(), &facts), 0);
        QCOMPARE(file.inode, quint64(facts.st_ino));
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
    using Reason = DeleteFailure::Reason;
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("on"); // a volume mounted for it, or the type its folders are taken for

    const auto row = [](const char *name, const char *change, Reason reason, int error = 0, const char *on = "") {
        QTest::newRow(name) << QByteArray(change) << int(reason) << error << QByteArray(on);
    };
    row("unchanged", "", Reason::None);
    row("missing", "missing", Reason::SystemError, ENOENT);
    row("a folder in its place", "folder", Reason::Folder);
    row("a link to a file in its place", "linkToFile", Reason::Link);
    row("a link to a folder in its place", "linkToFolder", Reason::Link);
    row("a fifo in its place", "fifo", Reason::Fifo);
    row("read-only", "readOnly", Reason::SystemError, EACCES);
    row("another file by its name", "impostor", Reason::OtherFile);
    row("its folder renamed and made anew", "newFolder", Reason::OtherFolder);
    row("its folder behind a link", "folderLink", Reason::SystemError, ENOENT);
    row("another folder mounted on its folder", "bindMount", Reason::OtherFolder);
    // Root may write in any folder but one on a read-only mount.
    row("its folder not writable", "lockedFolder", Reason::SystemError, ::geteuid() == 0 ? EROFS : EACCES);
    // Only root marks a file immutable or append-only, and not even root removes it then.
    if (::geteuid() == 0) {
        row("immutable", "immutable", Reason::SystemError, EPERM);
        row("append-only", "appendOnly", Reason::SystemError, EPERM);
        // In a sticky folder another user's file is its owner's to remove (run as nobody).
        row("another's file in a sticky folder", "othersSticky", Reason::SystemError, EPERM);
    }
    // Where numbers are given anew, the folder is known by its mount and the file by its times.
    row("exFAT through FUSE, renumbered", "", Reason::None, 0, "exfat");
    row("exFAT through FUSE, renumbered, another size", "otherSize", Reason::OtherFile, 0, "exfat");
    row("overlay without xino, renumbered", "", Reason::None, 0, "overlay");
    row("overlay without xino, renumbered, another size", "otherSize", Reason::OtherFile, 0, "overlay");
    row("FUSE: its folder made anew, a file of its size in it", "newFolder", Reason::OtherFile, 0, "fuse");
    row("FUSE: another folder mounted on its folder", "bindMount", Reason::OtherFolder, 0, "fuse");
    row("FAT: its folder made anew, the file moved into it", "movedIn", Reason::None, 0, "fat");
}

// "dir/victim" is listed, then changed, then deleted by what the listing said of it.
void TestPosixFileSystem::removeFile()
{
    QFETCH(QByteArray, change);
    QFETCH(int, reason);
    QFETCH(int, error);
    QFETCH(QByteArray, on);
    TempTree tree;
    std::optional<Volume> volume;
    if (on == "exfat" || on == "overlay")
        volume.emplace(on, tree, tree.root());
    if (volume && !(volume->mount && volume->mount->isMounted()))
        QSKIP("no such volume here: it needs root, and exfat-fuse, exfatprogs, /dev/fuse and a loop device");
    tree.file("target", 7);
    tree.file("targetDir/victim", 3);
    tree.file("dir/victim", 4);
    const PosixFileSystem fileSystem(noPseudoMounts,
                                     on == "fuse" ? FileSystemTypes::Fuse : on == "fat" ? FileSystemTypes::Msdos : 0);
    const FolderListing listing = fileSystem.listFolder(tree.path("dir"), acceptAll);
    QCOMPARE(fileNames(listing), "victim");
    // What stopped every deletion there: the cache let go, and the folder was numbered anew. A
    // FUSE daemon may be asked for it again before it has let go of it: dropped once more then.
    struct stat listed {}, now {};
    QVERIFY(!volume || ::lstat(tree.path("dir").constData(), &listed) == 0);
    for (int drops = 0; volume && drops < 5 && (drops == 0 || now.st_ino == listed.st_ino); ++drops) {
        const int drop = (::sync(), ::open("/proc/sys/vm/drop_caches", O_WRONLY | O_CLOEXEC));
        QVERIFY(drop >= 0 && ::write(drop, "3", 1) == 1 && ::close(drop) == 0);
        QCOMPARE(::lstat(tree.path("dir").constData(), &now), 0);
    }
    QVERIFY2(!volume || now.st_ino != listed.st_ino, "the folder kept its number");

    const auto replace = [&](auto make) {
        QCOMPARE(::unlink(tree.path("dir/victim").constData()), 0);
        make();
    };
    if (change == "missing")
        replace([] {});
    if (change == "folder")
        replace([&] { tree.folder("dir/victim"); });
    if (change == "linkToFile")
        replace([&] { tree.symlink("dir/victim", "../target"); });
    if (change == "linkToFolder")
        replace([&] { tree.symlink("dir/victim", "../targetDir"); });
    if (change == "fifo")
        replace([&] { QCOMPARE(::mkfifo(tree.path("dir/victim").constData(), 0644), 0); });
    if (change == "readOnly")
        tree.makeReadOnly("dir/victim");
    if (change == "impostor") // a log rotated: the new file took the listed one's name
        QCOMPARE(::rename(tree.path("target").constData(), tree.path("dir/victim").constData()), 0);
    if (change == "otherSize")
        replace([&] { tree.file("dir/victim", 5); });
    if (change == "movedIn") {
        QCOMPARE(::rename(tree.path("dir").constData(), tree.path("old").constData()), 0);
        QCOMPARE(::rename(tree.path("old/victim").constData(), tree.folder("dir").append("/victim").constData()), 0);
    }
    if (change == "newFolder") {
        QCOMPARE(::rename(tree.path("dir").constData(), tree.path("old").constData()), 0);
        tree.file("dir/victim", 4);
    }
    if (change == "folderLink") {
        QCOMPARE(::rename(tree.path("dir").constData(), tree.path("moved").constData()), 0);
        tree.symlink("dir", "moved");
    }
    std::optional<BindMount> mount;
    if (change == "bindMount") {
        if (::geteuid() != 0)
            QSKIP("mounting needs root");
        mount.emplace(tree.path("targetDir"), tree.path("dir"));
        if (!mount->isMounted())
            QSKIP("mounting is not allowed here");
    }
    const int flag = change == "immutable" ? FS_IMMUTABLE_FL : change == "appendOnly" ? FS_APPEND_FL : 0;
    const auto cleanUp = qScopeGuard([&] {
        if (flag != 0)
            setFlag(tree.path("dir/victim"), flag, false);
        if (change == "othersSticky")
            (void)::seteuid(0);
    });
    if (flag != 0 && !setFlag(tree.path("dir/victim"), flag, true))
        QSKIP("this file system keeps no such flag");
    if (change == "othersSticky") {
        constexpr uid_t Nobody = 65534;
        QCOMPARE(::chmod(tree.root().constData(), 0755), 0);
        QCOMPARE(::chmod(tree.path("dir").constData(), 01777), 0);
        QCOMPARE(::chown(tree.path("dir/victim").constData(), Nobody + 1, Nobody + 1), 0);
        QCOMPARE(::seteuid(Nobody), 0);
    }
    if (change == "lockedFolder" && ::geteuid() != 0)
        QCOMPARE(::chmod(tree.path("dir").constData(), 0555), 0);
    if (change == "lockedFolder" && ::geteuid() == 0) {
        mount.emplace(tree.path("dir"), tree.path("dir"));
        if (!mount->isMounted() || !mount->makeReadOnly())
            QSKIP("mounting is not allowed here");
    }

    const FileToDelete victim{"victim", listing.files[0].inode};
    const OpenedFolder folder = fileSystem.openListedFolder(tree.path("dir"), listing.identity);
    // The check alone, which deletes nothing, foresees what the removal finds.
    const DeleteFailure checked = fileSystem.checkFile(folder, victim);
    QCOMPARE(int(checked.reason), reason);
    QCOMPARE(checked.error, error);
    QCOMPARE(tree.exists("dir/victim"), change != "missing");
    const DeleteFailure failure = fileSystem.removeFile(folder, victim);
    QCOMPARE(int(failure.reason), reason);
    QCOMPARE(failure.error, error);
    QCOMPARE(tree.exists("dir/victim"), reason != int(DeleteFailure::Reason::None) && change != "missing");
    QCOMPARE(tree.exists("targetDir/victim"), true);
    if (change != "impostor")
        QCOMPARE(tree.readAll("target"), QByteArray("abcdefg"));
}

void TestPosixFileSystem::removesNonUtf8NameExactly()
{
    TempTree tree;
    tree.file("bad\xff.txt");
    tree.file("bad\xfe.txt");
    tree.file("bad\xef\xbf\xbd.txt"); // U+FFFD itself, which "\xff" decodes to

    const PosixFileSystem fileSystem(noPseudoMounts);
    const FolderListing listing = fileSystem.listFolder(tree.root(), acceptAll);
    const auto bad = std::find_if(listing.files.begin(), listing.files.end(),
                                  [](const ListedFile &file) { return file.name == "bad\xff.txt"; });
    QVERIFY(bad != listing.files.end());
    QVERIFY(!removeListed(fileSystem, tree.root(), listing.identity, {bad->name, bad->inode}).failed());
    QCOMPARE(fileNames(fileSystem.listFolder(tree.root(), acceptAll)),
             "bad\xef\xbf\xbd.txt|bad\xfe.txt");
}

void TestPosixFileSystem::removesWhenOpenat2IsRefused_data()
{
    QTest::addColumn<int>("refusal");
    QTest::newRow("not implemented") << ENOSYS;
    QTest::newRow("not permitted") << EPERM;
    QTest::newRow("invalid") << EINVAL;
}

// Some container runtimes answer openat2 with an error of their own choosing; deletion goes
// on one folder at a time instead. Run in a child process, whose refusal ends with it.
void TestPosixFileSystem::removesWhenOpenat2IsRefused()
{
    QFETCH(int, refusal);
    TempTree tree;
    tree.file("dir/victim", 4);
    tree.file("dir/kept", 4);
    const PosixFileSystem fileSystem(noPseudoMounts);
    const FolderListing listing = fileSystem.listFolder(tree.path("dir"), acceptAll);
    QCOMPARE(fileNames(listing), "kept|victim");

    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (!refuseOpenat2(refusal))
            ::_exit(2);
        const DeleteFailure failure =
            removeListed(fileSystem, tree.path("dir"), listing.identity, {"victim", listing.files[1].inode});
        ::_exit(failure.failed() ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        QSKIP("system call filters are not allowed here");
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(!tree.exists("dir/victim"));
    QVERIFY(tree.exists("dir/kept"));
}

void TestPosixFileSystem::removesBeyondPathLimit_data()
{
    QTest::addColumn<int>("folderLength");
    QTest::newRow("folder of PATH_MAX - 1 bytes") << PATH_MAX - 1;
    QTest::newRow("folder of PATH_MAX bytes") << PATH_MAX;
    QTest::newRow("folder of twice PATH_MAX bytes") << 2 * PATH_MAX;
}

// A folder whose path is too long for one call is reached one component at a time.
void TestPosixFileSystem::removesBeyondPathLimit()
{
    QFETCH(int, folderLength);
    TempTree tree;
    const QByteArray relative = tree.folderOfLength(folderLength);
    tree.file(relative + "/victim", 4);
    tree.file(relative + "/kept", 4);
    const QByteArray folder = tree.path(relative);
    QCOMPARE(folder.size(), qsizetype(folderLength));
    const PosixFileSystem fileSystem(noPseudoMounts);
    std::shared_ptr<const FolderHandle> parent;
    FolderListing listing = fileSystem.listFolder(tree.root(), acceptAll);
    for (qsizetype end = tree.root().size(); end < folder.size();) {
        end = folder.indexOf('/', end + 1) < 0 ? folder.size() : folder.indexOf('/', end + 1);
        parent = listing.handle;
        QVERIFY(parent);
        listing = fileSystem.listSubfolder(*parent, folder.left(end), acceptAll);
    }
    QCOMPARE(fileNames(listing), "kept|victim");

    QVERIFY(!removeListed(fileSystem, folder + '/', listing.identity, {"victim", listing.files[1].inode}).failed());
    QVERIFY(!tree.exists(relative + "/victim"));
    QVERIFY(tree.exists(relative + "/kept"));
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

void TestPosixFileSystem::leavesOutPseudoFileSystemsMountedLater_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("listed");
    QTest::newRow("proc") << QByteArray("proc") << false;
    QTest::newRow("sysfs") << QByteArray("sysfs") << false;
    QTest::newRow("tmpfs, a real one") << QByteArray("tmpfs") << true;
}

// Mounted after the file system object was made, so only the folder itself can tell.
void TestPosixFileSystem::leavesOutPseudoFileSystemsMountedLater()
{
    QFETCH(QByteArray, type);
    QFETCH(bool, listed);
    if (::geteuid() != 0)
        QSKIP("mounting needs root");
    TempTree tree;
    tree.folder("sub/mounted");
    const PosixFileSystem fileSystem(noPseudoMounts);
    const BindMount mount(type.constData(), tree.path("sub/mounted"));
    if (!mount.isMounted())
        QSKIP("mounting is not allowed here");
    if (listed)
        tree.file("sub/mounted/inside.txt");

    const FolderListing top = fileSystem.listFolder(tree.path("sub"), acceptAll);
    QCOMPARE(joined(top.subfolders), "mounted");
    const FolderListing walked = fileSystem.listSubfolder(*top.handle, tree.path("sub/mounted"), acceptAll);
    const FolderListing chosen = fileSystem.listFolder(tree.path("sub/mounted"), acceptAll);
    for (const FolderListing &listing : {std::cref(walked), std::cref(chosen)}) {
        QCOMPARE(listing.error, 0);
        QCOMPARE(listing.files.size() + listing.subfolders.size(), size_t(listed ? 1 : 0));
    }
}

QTEST_GUILESS_MAIN(TestPosixFileSystem)
#include "tst_posixfilesystem.moc"

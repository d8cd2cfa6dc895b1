// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountTable.h"

#include "support/platform/TempTree.h"

#include <QFile>
#include <QTest>

using namespace vashtem;

namespace {

const QByteArray sampleMounts =
    "/dev/sda1 / ext4 rw,relatime 0 0\n"
    "proc /proc proc rw,nosuid 0 0\n"
    "sysfs /sys sysfs rw 0 0\n"
    "tmpfs /sys/fs/cgroup tmpfs ro 0 0\n"
    "devtmpfs /dev devtmpfs rw 0 0\n"
    "tmpfs /dev/shm tmpfs rw 0 0\n"
    "/dev/sdb1 /media/My\\040Disk\\011\\134x vfat rw 0 0\n"
    "/dev/sdc1 /homework xfs rw 0 0\n"
    "/dev/sdd1 /home ext4 rw 0 0\n"
    "tmpfs /tmp tmpfs rw 0 0\n"
    "\n"
    "no-type /nowhere\n"
    "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
    "fusectl /sys/fs/fuse/connections fusectl rw 0 0\n"
    "overlay / overlay rw 0 0\n"
    "cgroup2 /cgroup cgroup2 rw 0 0\n"
    "/dev/sde1 /cgroup ext4 rw 0 0\n"
    "/dev/sdf1 /opt ext4 rw 0 0\n"
    "binfmt_misc /opt binfmt_misc rw 0 0\n"
    "/dev/sdg1 /mnt/data ext4 rw 0 0";

QByteArray joined(const std::vector<QByteArray> &items)
{
    return items.empty() ? QByteArray() : QByteArrayList(items.begin(), items.end()).join('|');
}

} // namespace

class TestMountTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readsFields();
    void readsNothingFromMissingFile();
    void listsUserVolumes();
    void listsPseudoMountPoints();
    void volumeContaining_data();
    void volumeContaining();

private:
    TempTree m_tree;
    std::vector<MountedVolume> m_mounts;
};

void TestMountTable::initTestCase()
{
    QFile file(QFile::decodeName(m_tree.path("mounts")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(sampleMounts), sampleMounts.size());
    file.close();
    m_mounts = readMounts(m_tree.path("mounts"));
}

void TestMountTable::readsFields()
{
    QCOMPARE(m_mounts.size(), size_t(18));
    QCOMPARE(m_mounts[0].mountPoint, "/");
    QCOMPARE(m_mounts[0].fileSystemType, "ext4");
    QCOMPARE(m_mounts[6].mountPoint, "/media/My Disk\t\\x");
    QCOMPARE(m_mounts[6].fileSystemType, "vfat");
    QCOMPARE(m_mounts[17].mountPoint, "/mnt/data"); // last line without a line feed
}

void TestMountTable::readsNothingFromMissingFile()
{
    QVERIFY(readMounts(m_tree.path("missing")).empty());
}

void TestMountTable::listsUserVolumes()
{
    QCOMPARE(joined(userVolumes(m_mounts, [](const QByteArray &) { return true; })),
             "/|/cgroup|/home|/homework|/media/My Disk\t\\x|/mnt/data|/run/user/1000/gvfs|/tmp");
}

void TestMountTable::listsPseudoMountPoints()
{
    QCOMPARE(joined(pseudoMountPoints(m_mounts)),
             "/dev|/opt|/proc|/sys|/sys/fs/fuse/connections");
}

void TestMountTable::volumeContaining_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("volume");

    QTest::newRow("the mount point itself") << QByteArray("/home") << QByteArray("/home");
    QTest::newRow("inside a mount") << QByteArray("/home/u/a.txt") << QByteArray("/home");
    QTest::newRow("longer name, other mount") << QByteArray("/homework/a") << QByteArray("/homework");
    QTest::newRow("shared prefix only") << QByteArray("/homeless") << QByteArray("/");
    QTest::newRow("root") << QByteArray("/") << QByteArray("/");
    QTest::newRow("escaped name") << QByteArray("/media/My Disk\t\\x/f") << QByteArray("/media/My Disk\t\\x");
    QTest::newRow("nested mounts pick deepest")
        << QByteArray("/run/user/1000/gvfs/share") << QByteArray("/run/user/1000/gvfs");
}

void TestMountTable::volumeContaining()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, volume);
    const std::vector<QByteArray> volumes = userVolumes(m_mounts, [](const QByteArray &) { return true; });
    QCOMPARE(vashtem::volumeContaining(volumes, path), volume);
}

QTEST_GUILESS_MAIN(TestMountTable)
#include "tst_mounttable.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Every error a deletion can meet, under both delete commands: the command stops at that
// file, says which file and why, and leaves the list agreeing with the disk.
#include "support/ui/MainWindowFixture.h"

#include "platform/MessageBoxes.h"
#include "core/text/ErrorText.h"

#include <QItemSelectionModel>
#include <QTest>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace vashtem;
using namespace vashtem;
using namespace vashtem::testing;

namespace {

// Makes the listed file at `path` impossible to delete, as `cause` says.
void plantFault(MainWindowFixture &f, const QString &cause, const QByteArray &path, int error)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    if (cause == QLatin1String("read-only")) {
        f.tree.makeReadOnly(name);
    } else if (cause == QLatin1String("refused")) {
        f.fake.fileSystem.removeErrors.insert(path, error);
    } else if (cause == QLatin1String("another file")) {
        // As a log is rotated: the new file is made, then takes the listed one's name.
        QCOMPARE(::rename(f.tree.file(name + ".new", 3).constData(), path.constData()), 0);
    } else {
        QCOMPARE(::unlink(path.constData()), 0);
        if (cause == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(path.constData(), 0644), 0);
        else if (cause == QLatin1String("link"))
            f.tree.symlink(name, "other/kept.txt");
        else if (cause == QLatin1String("folder"))
            f.tree.file(name + "/inside.txt", 4);
    }
}

} // namespace

class DeleteFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failureStopsTheCommand_data();
    void failureStopsTheCommand();
};

void DeleteFaultsTest::failureStopsTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<int>("error");      // planted for "refused"
    QTest::addColumn<QString>("said");   // what the report must say about the file
    QTest::addColumn<int>("currentRow"); // the list's current row before the command
    const struct {
        const char *cause;
        int error;
        QString said;
    } causes[] = {
        {"read-only", 0, errorReason(EACCES)},
        {"refused", EPERM, errorReason(EPERM)},
        {"refused", EROFS, errorReason(EROFS)},
        {"refused", EBUSY, errorReason(EBUSY)},
        {"removed", 0, errorReason(ENOENT)},
        {"link", 0, QStringLiteral("ファイルのあった場所にシンボリックリンクがあります。")},
        {"folder", 0, QStringLiteral("ファイルのあった場所にフォルダがあります。")},
        {"fifo", 0, QStringLiteral("ファイルのあった場所に名前付きパイプ (FIFO) があります。")},
        {"another file", 0, QStringLiteral("一覧に表示したファイルではなくなっています。")},
    };
    int currentRow = 0;
    for (const char *command : {"cmdRemoveOne", "cmdRemoveAll"}) {
        for (const auto &cause : causes) {
            // Every current row comes with every command: before, at and after the failing row.
            currentRow = (currentRow + 1) % 5;
            QTest::addRow("%s, %s, %s, current row %d", command, cause.cause, qPrintable(cause.said), currentRow)
                << command << cause.cause << cause.error << cause.said << currentRow;
        }
    }
}

// Rows 1.txt to 5.txt with the first, third and fifth selected; the third cannot go.
void DeleteFaultsTest::failureStopsTheCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, cause);
    QFETCH(int, error);
    QFETCH(QString, said);
    QFETCH(int, currentRow);
    MainWindowFixture f;
    QByteArrayList paths;
    for (const char *name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
        paths.append(f.tree.file(name, 3));
    f.tree.file("other/kept.txt", 9);
    f.open();
    f.search("optSearch_0");
    const QByteArray failing = paths[2];
    plantFault(f, cause, failing, error);
    f.selectRows({0, 2, 4});
    f.list()->selectionModel()->setCurrentIndex(f.list()->model()->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    f.run(command);

    const bool all = command == QLatin1String("cmdRemoveAll");
    // The failing file is found by the check: its removal is never asked for.
    QCOMPARE(f.fake.fileSystem.removeCalls, all ? (QByteArrayList{paths[4], paths[3]}) : QByteArrayList{paths[4]});
    QCOMPARE(f.tree.exists("4.txt"), !all);
    QVERIFY(!f.tree.exists("5.txt"));
    QCOMPARE(f.tree.exists("3.txt"), cause != QLatin1String("removed"));
    if (cause == QLatin1String("folder"))
        QVERIFY(f.tree.exists("3.txt/inside.txt"));
    for (const char *kept : {"1.txt", "2.txt"})
        QCOMPARE(f.tree.readAll(kept).size(), 3);
    QCOMPARE(f.tree.readAll("other/kept.txt").size(), 9);

    const QStringList left = all ? QStringList{"1.txt", "2.txt", "3.txt"} : QStringList{"1.txt", "2.txt", "3.txt", "4.txt"};
    QCOMPARE(f.column(0), left);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(left.size()));
    QCOMPARE(f.selectedRows(), (QList<int>{0, 2}));
    // Rows up to the failing one keep their place, and the current row with them.
    QCOMPARE(f.list()->selectionModel()->currentIndex().row(), currentRow <= 2 ? currentRow : -1);

    QCOMPARE(f.fake.messageBoxes.boxes.size(), 2);
    const RecordingMessageBoxes::Box report = f.fake.messageBoxes.boxes.last();
    QCOMPARE(report.title, QStringLiteral("ファイルの削除"));
    QCOMPARE(report.style, MsgStyle::OkOnly + MsgStyle::Warning);
    QVERIFY2(report.text.startsWith(QStringLiteral("次のファイルを削除できませんでした。")), qPrintable(report.text));
    QVERIFY2(report.text.contains(QString::fromUtf8(failing)), qPrintable(report.text));
    QVERIFY2(report.text.contains(said), qPrintable(report.text));
    QVERIFY(f.window->isVisible());
}

QTEST_MAIN(DeleteFaultsTest)
#include "tst_deletefaults.moc"

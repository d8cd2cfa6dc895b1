// SPDX-License-Identifier: GPL-3.0-or-later
// Delete selected and delete all: confirmation, order, what stays after a failure or a stop.
#include "support/ui/MainWindowFixture.h"

#include "platform/MessageBoxes.h"
#include "core/results/ResultModel.h"

#include <QItemSelectionModel>
#include <QTest>

#include <atomic>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

const QString DeleteTitle = QStringLiteral("ファイルの削除");
const QString AskSelected = QStringLiteral("本当に削除します。よろしいですか？");
const QString AskAll = QStringLiteral("全てのファイルを削除します。よろしいですか？");

// Fills the tree's root with files named 1.txt, 2.txt, ... and lists the root alone.
QByteArrayList listNumberedFiles(MainWindowFixture &f, int count)
{
    QByteArrayList paths;
    for (int number = 1; number <= count; ++number)
        paths.append(f.tree.file(QByteArray::number(number) + ".txt"));
    f.open();
    f.search("optSearch_0");
    return paths;
}

QStringList numberedNames(const QList<int> &numbers)
{
    QStringList names;
    for (const int number : numbers)
        names.append(QString::number(number) + QStringLiteral(".txt"));
    return names;
}

} // namespace

class DeleteCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyListAsksNothing_data();
    void emptyListAsksNothing();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void deleteSelectedFromLastRowUp_data();
    void deleteSelectedFromLastRowUp();
    void deleteSelectedWithoutSelection();
    void deleteAllFromLastRowUp_data();
    void deleteAllFromLastRowUp();
    void escapeStopsAfterTheFileInHand_data();
    void escapeStopsAfterTheFileInHand();
    void escapeStopsEveryThread_data();
    void escapeStopsEveryThread();
    void deletionStuckOnADeadShareIsLeftBehind();
    void bytesNameTheFile();
    void rowsBeyondSixteenBits();
};

void DeleteCommandsTest::emptyListAsksNothing_data()
{
    QTest::addColumn<QString>("command");
    for (const char *command : {"cmdRemoveOne", "mnuRemoveOne", "cmdRemoveAll", "mnuRemoveAll"})
        QTest::newRow(command) << command;
}

void DeleteCommandsTest::emptyListAsksNothing()
{
    QFETCH(QString, command);
    MainWindowFixture f;
    f.open();
    f.run(command);
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
    QVERIFY(f.fake.fileSystem.removeCalls.isEmpty());
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
}

void DeleteCommandsTest::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("question");
    QTest::newRow("delete selected") << "cmdRemoveOne" << AskSelected;
    QTest::newRow("delete selected entry") << "mnuRemoveOne" << AskSelected;
    QTest::newRow("delete all") << "cmdRemoveAll" << AskAll;
    QTest::newRow("delete all entry") << "mnuRemoveAll" << AskAll;
}

void DeleteCommandsTest::cancelChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, question);
    MainWindowFixture f;
    listNumberedFiles(f, 3);
    f.selectRows({0, 2});
    f.fake.messageBoxes.answers = {MsgAnswer::Cancel};
    f.run(command);

    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    const auto box = f.fake.messageBoxes.boxes.first();
    QCOMPARE(box.text, question);
    QCOMPARE(box.title, DeleteTitle);
    QCOMPARE(box.style, MsgStyle::OkCancel);
    QVERIFY(f.fake.fileSystem.removeCalls.isEmpty());
    for (const char *name : {"1.txt", "2.txt", "3.txt"})
        QVERIFY2(f.tree.exists(name), name);
    QCOMPARE(f.column(0), numberedNames({1, 2, 3}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("3"));
    QCOMPARE(f.selectedRows(), (QList<int>{0, 2}));
}

void DeleteCommandsTest::deleteSelectedFromLastRowUp_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("button") << "cmdRemoveOne";
    QTest::newRow("menu entry") << "mnuRemoveOne";
}

void DeleteCommandsTest::deleteSelectedFromLastRowUp()
{
    QFETCH(QString, command);
    MainWindowFixture f;
    const QByteArrayList paths = listNumberedFiles(f, 6);
    f.selectRows({4, 1});
    f.run(command);

    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QCOMPARE(f.fake.messageBoxes.boxes.first().text, AskSelected);
    QCOMPARE(f.fake.fileSystem.removeCalls, (QByteArrayList{paths[4], paths[1]}));
    QVERIFY(!f.tree.exists("2.txt"));
    QVERIFY(!f.tree.exists("5.txt"));
    for (const char *name : {"1.txt", "3.txt", "4.txt", "6.txt"})
        QVERIFY2(f.tree.exists(name), name);
    QCOMPARE(f.column(0), numberedNames({1, 3, 4, 6}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("4"));
}

void DeleteCommandsTest::deleteSelectedWithoutSelection()
{
    MainWindowFixture f;
    listNumberedFiles(f, 3);
    f.list()->selectionModel()->clearSelection();
    f.run("cmdRemoveOne");
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QVERIFY(f.fake.fileSystem.removeCalls.isEmpty());
    QCOMPARE(f.column(0), numberedNames({1, 2, 3}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("3"));
}

void DeleteCommandsTest::deleteAllFromLastRowUp_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("button") << "cmdRemoveAll";
    QTest::newRow("menu entry") << "mnuRemoveAll";
}

void DeleteCommandsTest::deleteAllFromLastRowUp()
{
    QFETCH(QString, command);
    MainWindowFixture f;
    const QByteArrayList paths = listNumberedFiles(f, 3);
    f.selectRows({1});
    f.run(command);

    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QCOMPARE(f.fake.messageBoxes.boxes.first().text, AskAll);
    QCOMPARE(f.fake.fileSystem.removeCalls, (QByteArrayList{paths[2], paths[1], paths[0]}));
    for (const char *name : {"1.txt", "2.txt", "3.txt"})
        QVERIFY2(!f.tree.exists(name), name);
    QCOMPARE(f.list()->model()->rowCount(), 0);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
}

void DeleteCommandsTest::escapeStopsAfterTheFileInHand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<int>>("selected"); // rows, from 0
    QTest::addColumn<int>("inHand");          // the row whose file is in hand when Escape comes
    QTest::addColumn<QList<int>>("remaining"); // the numbers of the files left, in list order
    QTest::addColumn<QList<int>>("stillSelected");
    QTest::newRow("delete all, first file") << "cmdRemoveAll" << QList<int>{1} << 5 << QList<int>{1, 2, 3, 4, 5}
                                            << QList<int>{1};
    QTest::newRow("delete all, halfway") << "cmdRemoveAll" << QList<int>{0, 4} << 3 << QList<int>{1, 2, 3}
                                         << QList<int>{0};
    QTest::newRow("delete all, last file") << "mnuRemoveAll" << QList<int>{} << 0 << QList<int>{} << QList<int>{};
    QTest::newRow("delete selected") << "cmdRemoveOne" << QList<int>{0, 2, 3, 5} << 3 << QList<int>{1, 2, 3, 5}
                                     << QList<int>{0, 2};
    QTest::newRow("delete selected entry, last chosen file") << "mnuRemoveOne" << QList<int>{1, 4} << 1
                                                             << QList<int>{1, 3, 4, 6} << QList<int>{};
}

// Six files; Escape comes while the file of one row is being deleted.
void DeleteCommandsTest::escapeStopsAfterTheFileInHand()
{
    QFETCH(QString, command);
    QFETCH(QList<int>, selected);
    QFETCH(int, inHand);
    QFETCH(QList<int>, remaining);
    QFETCH(QList<int>, stillSelected);
    MainWindowFixture f;
    const QByteArrayList paths = listNumberedFiles(f, 6);
    f.selectRows(selected);
    std::atomic<bool> pressed{false};
    f.fake.fileSystem.beforeRemoving = [&](const QByteArray &path) {
        if (path == paths[inHand] && !pressed.exchange(true))
            f.onWindowThread([&] { f.pressEscape(); });
    };
    f.run(command);
    f.fake.fileSystem.beforeRemoving = nullptr;

    QVERIFY(pressed);
    QByteArrayList expectedCalls;
    for (int row = 5; row >= inHand; --row) {
        if (command.endsWith(QLatin1String("All")) || selected.contains(row))
            expectedCalls.append(paths[row]);
    }
    QCOMPARE(f.fake.fileSystem.removeCalls, expectedCalls);
    // The list and the disk agree: exactly the files of the listed rows are left.
    QStringList left;
    for (int number = 1; number <= 6; ++number) {
        if (f.tree.exists(QByteArray::number(number) + ".txt"))
            left.append(QString::number(number) + QStringLiteral(".txt"));
    }
    QCOMPARE(left, numberedNames(remaining));
    QCOMPARE(f.column(0), numberedNames(remaining));
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(remaining.size()));
    QCOMPARE(f.selectedRows(), stillSelected);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1); // the question alone
}

// The files of b go first; a's folder then does not answer. Escape returns at once with
// b's rows taken out, and the deletion left behind deletes nothing more once it lets go.
void DeleteCommandsTest::deletionStuckOnADeadShareIsLeftBehind()
{
    MainWindowFixture f;
    for (const char *file : {"a/1.txt", "a/2.txt", "b/3.txt", "b/4.txt"})
        f.tree.file(file);
    f.open();
    f.search("optSearch_1");
    const QStringList listed = f.column(1);
    f.hangAndEscape(f.tree.path("a"));
    f.run("cmdRemoveAll");

    QCOMPARE(f.fake.fileSystem.held.load(), 1);
    QCOMPARE(f.column(1), listed.mid(0, 2));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("2"));
    QVERIFY(f.fake.fileSystem.letGo());
    QCOMPARE(f.column(1), listed.mid(0, 2));
    QVERIFY(f.tree.exists("a/1.txt") && f.tree.exists("a/2.txt") && !f.tree.exists("b/3.txt"));
}

void DeleteCommandsTest::escapeStopsEveryThread_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selectEvery"); // every so many rows selected, from the first
    QTest::newRow("delete all") << "cmdRemoveAll" << 5;
    QTest::newRow("delete selected") << "cmdRemoveOne" << 3;
}

// Enough files for several threads, each with a file in hand when Escape comes: the rows
// left need not be the first ones, and each keeps its selection.
void DeleteCommandsTest::escapeStopsEveryThread()
{
    QFETCH(QString, command);
    QFETCH(int, selectEvery);
    constexpr int Count = 3000;
    MainWindowFixture f;
    listNumberedFiles(f, Count);
    const QStringList listed = f.column(0);
    QList<int> selected;
    for (int row = 0; row < Count; row += selectEvery)
        selected.append(row);
    f.selectRows(selected);
    std::atomic<int> inHand{0};
    f.fake.fileSystem.beforeRemoving = [&](const QByteArray &) {
        if (++inHand == 700)
            f.onWindowThread([&] { f.pressEscape(); });
    };
    f.run(command);
    f.fake.fileSystem.beforeRemoving = nullptr;

    QStringList remaining;
    QList<int> stillSelected;
    for (int row = 0; row < Count; ++row) {
        if (!f.tree.exists(listed[row].toUtf8()))
            continue;
        if (selected.contains(row))
            stillSelected.append(int(remaining.size()));
        remaining.append(listed[row]);
    }
    QVERIFY(remaining.size() > 0 && Count - remaining.size() >= 700 / selectEvery);
    QCOMPARE(f.column(0), remaining);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(remaining.size()));
    QCOMPARE(f.selectedRows(), stillSelected);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1); // the question alone
}

void DeleteCommandsTest::bytesNameTheFile()
{
    MainWindowFixture f;
    const QByteArray doomed = f.tree.file("bad\xff.txt");
    f.tree.file("bad\xfe.txt");
    f.open();
    f.search();
    QCOMPARE(f.list()->model()->rowCount(), 2);
    QCOMPARE(f.column(0)[0], f.column(0)[1]);
    const int row = f.window->results().fullPath(0) == doomed ? 0 : 1;
    f.selectRows({row});
    f.run("cmdRemoveOne");

    QCOMPARE(f.fake.fileSystem.removeCalls, QByteArrayList{doomed});
    QVERIFY(!f.tree.exists("bad\xff.txt"));
    QVERIFY(f.tree.exists("bad\xfe.txt"));
    QCOMPARE(f.list()->model()->rowCount(), 1);
    QCOMPARE(f.window->results().fullPath(0), f.tree.path("bad\xfe.txt"));
}

void DeleteCommandsTest::rowsBeyondSixteenBits()
{
    constexpr int Count = 40000;
    MainWindowFixture f;
    listNumberedFiles(f, Count);
    QCOMPARE(f.list()->model()->rowCount(), Count);
    const ResultModel &rows = f.window->results();
    const QByteArrayList chosen{rows.fullPath(Count - 1), rows.fullPath(32768), rows.fullPath(32767)};
    f.selectRows({32767, 32768, Count - 1});
    f.run("cmdRemoveOne");
    QCOMPARE(f.fake.fileSystem.removeCalls, chosen);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(Count - 3));

    f.run("cmdRemoveAll");
    QCOMPARE(f.fake.fileSystem.removeCalls.size(), Count);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 2);
    QCOMPARE(f.list()->model()->rowCount(), 0);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
    QVERIFY(!f.tree.exists("1.txt"));
}

QTEST_MAIN(DeleteCommandsTest)
#include "tst_deletecommands.moc"

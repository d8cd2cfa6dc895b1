// SPDX-License-Identifier: GPL-3.0-or-later
// Select all and clear selection, from their buttons and their menu entries.
#include "support/ui/MainWindowFixture.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

} // namespace

class SelectionCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyListLeavesFocus_data();
    void emptyListLeavesFocus();
    void wholeListInOneStep_data();
    void wholeListInOneStep();
};

void SelectionCommandsTest::emptyListLeavesFocus_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("focused");
    QTest::newRow("select all button") << "Command1" << "Command1";
    QTest::newRow("clear button") << "Command2" << "Command2";
    QTest::newRow("select all entry") << "mnuSelectAll" << "txtExt";
    QTest::newRow("clear entry") << "mnuNotSelectAll" << "txtExt";
}

void SelectionCommandsTest::emptyListLeavesFocus()
{
    QFETCH(QString, command);
    QFETCH(QString, focused);
    MainWindowFixture f;
    f.open();
    QWidget *before = f.find<QWidget>(qPrintable(focused));
    before->setFocus();
    QCOMPARE(QApplication::focusWidget(), before);
    f.run(command);
    QCOMPARE(QApplication::focusWidget(), before);
    QVERIFY(!f.list()->selectionModel()->hasSelection());
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
}

void SelectionCommandsTest::wholeListInOneStep_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<int>>("before");
    QTest::addColumn<QList<int>>("after");
    const QList<int> every{0, 1, 2, 3, 4};
    QTest::newRow("select all, none selected") << "Command1" << QList<int>{} << every;
    QTest::newRow("select all, some selected") << "Command1" << QList<int>{1, 3} << every;
    QTest::newRow("select all entry") << "mnuSelectAll" << QList<int>{4} << every;
    QTest::newRow("clear, scattered rows") << "Command2" << QList<int>{0, 2, 4} << QList<int>{};
    QTest::newRow("clear, every row") << "Command2" << every << QList<int>{};
    QTest::newRow("clear entry") << "mnuNotSelectAll" << QList<int>{1, 2} << QList<int>{};
}

void SelectionCommandsTest::wholeListInOneStep()
{
    QFETCH(QString, command);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    MainWindowFixture f;
    for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        f.tree.file(name);
    f.open();
    f.search();
    QCOMPARE(f.list()->model()->rowCount(), 5);
    f.selectRows(before);
    f.edit("txtExt")->setFocus();

    QSignalSpy changes(f.list()->selectionModel(), &QItemSelectionModel::selectionChanged);
    f.run(command);
    QCOMPARE(f.selectedRows(), after);
    // At most a clearing step and a selecting one; a row at a time would report a change per row.
    QVERIFY2(changes.size() <= 2, qPrintable(QString::number(changes.size())));
    QCOMPARE(QApplication::focusWidget(), f.list());
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("5"));
    QCOMPARE(f.column(0), (QStringList{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}));
}

QTEST_MAIN(SelectionCommandsTest)
#include "tst_selectioncommands.moc"

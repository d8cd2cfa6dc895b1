// SPDX-License-Identifier: GPL-3.0-or-later
// The result list's view looks and moves as a report-style tree list does, and asks only
// about the rows it shows.
#include "ui/ResultListView.h"

#include <QAccessible>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTreeView>

using namespace vashtem;

namespace {

// Rows of four texts that counts the questions asked about them.
struct CountedRows final : QAbstractTableModel {
    explicit CountedRows(int rows) : rows(rows) {}
    void add(int count, int at)
    {
        beginInsertRows({}, at, at + count - 1);
        rows += count;
        endInsertRows();
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 4; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++questions;
        return role != Qt::DisplayRole ? QVariant()
                                       : QStringLiteral("%1 ファイル %2").arg(index.row()).arg(QString(index.row() % 7 * 4, u'x'));
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override { return ++questions, QAbstractTableModel::flags(index); }
    int rows;
    mutable qint64 questions = 0;
};

// Shown alone in an active window, with columns wider than the list, which so scrolls sideways.
void showActive(QAbstractItemView &view, QHeaderView &header, QAbstractItemModel &rows)
{
    view.setModel(&rows);
    view.resize(521, 225);
    for (const int column : {0, 1, 2, 3})
        header.resizeSection(column, 100 + column * 60);
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
}

} // namespace

class ResultListViewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void looksAndMovesAsATreeList_data();
    void looksAndMovesAsATreeList();
    void showsRowsAsTheyCome_data();
    void showsRowsAsTheyCome();
};

void ResultListViewTest::looksAndMovesAsATreeList_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current"); // -1: none
    QTest::addColumn<QString>("keys");
    QTest::addColumn<bool>("focused");
    QTest::newRow("as filled") << 60 << QList<int>{} << -1 << "" << false;
    QTest::newRow("a selected row with the focus") << 60 << QList<int>{2} << 2 << "" << true;
    QTest::newRow("rows added by Shift+Down") << 60 << QList<int>{2} << 2 << "Shift+Down, Shift+Down" << true;
    QTest::newRow("Ctrl+Space adds a row") << 60 << QList<int>{1} << 1 << "Ctrl+Down, Ctrl+Down, Ctrl+Space" << true;
    QTest::newRow("Ctrl+A, then the focus elsewhere") << 60 << QList<int>{} << 0 << "Ctrl+A" << false;
    QTest::newRow("End, then Home") << 60 << QList<int>{} << 30 << "End, Home" << true;
    QTest::newRow("two pages down and one up") << 60 << QList<int>{} << 4 << "PgDown, PgDown, PgUp" << true;
    QTest::newRow("right twice and left once") << 60 << QList<int>{3} << 3 << "Right, Right, Left" << true;
    QTest::newRow("Ctrl+A on 200,000 rows") << 200000 << QList<int>{} << 0 << "Ctrl+A" << true;
    QTest::newRow("End on 200,000 rows") << 200000 << QList<int>{7} << 7 << "End" << true;
}

// The same rows, selection and keys in both, and the same pixels and current row after;
// the list asks only about the rows it shows (a header sharing the rows' selection asked
// about every row of each column after Select all).
void ResultListViewTest::looksAndMovesAsATreeList()
{
    QFETCH(int, rowCount);
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QString, keys);
    QFETCH(bool, focused);
    CountedRows rows(rowCount);
    const auto work = [&](QAbstractItemView &view) {
        for (const int row : selected)
            view.selectionModel()->select(rows.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (current >= 0)
            view.selectionModel()->setCurrentIndex(rows.index(current, 0), QItemSelectionModel::NoUpdate);
        rows.questions = 0;
        const QKeySequence sequence(keys);
        for (int key = 0; key < sequence.count(); ++key)
            QTest::keyClick(&view, sequence[key].key(), sequence[key].keyboardModifiers());
        if (!focused)
            view.clearFocus();
        return std::pair{view.grab().toImage(), view.currentIndex().row()};
    };
    QTreeView tree;
    tree.setRootIsDecorated(false);
    tree.setUniformRowHeights(true);
    tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree.setAllColumnsShowFocus(true);
    tree.header()->setStretchLastSection(false);
    showActive(tree, *tree.header(), rows);
    const auto [treeLook, treeCurrent] = work(tree);
    tree.hide();
    ResultListView list;
    showActive(list, *list.horizontalHeader(), rows);
    const auto [listLook, listCurrent] = work(list);
    QVERIFY2(rows.questions < 20000, qPrintable(QString::number(rows.questions)));
    QCOMPARE(listCurrent, treeCurrent);
    QVERIFY(listLook == treeLook);

    // A screen reader reads the rows as cells of a table.
    QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(&list)->tableInterface();
    QCOMPARE(table->rowCount(), rowCount);
    QCOMPARE(table->cellAt(rowCount - 1, 0)->text(QAccessible::Name), rows.index(rowCount - 1, 0).data().toString());
}

void ResultListViewTest::showsRowsAsTheyCome_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("at"); // -1: at the end
    QTest::newRow("added to a list not yet full") << 3 << 4 << -1;
    QTest::newRow("added below a full list") << 60 << 40 << -1;
    QTest::newRow("added above a full list") << 60 << 10 << 0;
}

// What the screen shows once rows come is what the list paints afresh.
void ResultListViewTest::showsRowsAsTheyCome()
{
    QFETCH(int, rowCount);
    QFETCH(int, added);
    QFETCH(int, at);
    CountedRows rows(rowCount);
    ResultListView list;
    showActive(list, *list.horizontalHeader(), rows);
    rows.add(added, at < 0 ? rows.rows : at);
    const auto screen = [&list] { return list.screen()->grabWindow(list.winId()).toImage(); };
    QVERIFY(QTest::qWaitFor([&] { return screen() == list.grab().toImage(); }));
}

QTEST_MAIN(ResultListViewTest)
#include "tst_resultlistview.moc"

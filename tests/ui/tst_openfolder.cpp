// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the current row's folder in the file manager.
#include "support/ui/MainWindowFixture.h"

#include "platform/MessageBoxes.h"

#include <QItemSelectionModel>
#include <QTest>

using namespace vashtem;
using namespace vashtem::testing;

class OpenFolderTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingWithoutCurrentRow_data();
    void nothingWithoutCurrentRow();
    void opensFolderOfCurrentRow_data();
    void opensFolderOfCurrentRow();
    void fileManagerMissing();
};

void OpenFolderTest::nothingWithoutCurrentRow_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("currentRow");
    QTest::addColumn<QList<int>>("selected");
    QTest::newRow("empty list") << 0 << -1 << QList<int>{};
    QTest::newRow("no current row") << 2 << -1 << QList<int>{1};
    QTest::newRow("current row not selected") << 2 << 0 << QList<int>{1};
}

void OpenFolderTest::nothingWithoutCurrentRow()
{
    QFETCH(int, files);
    QFETCH(int, currentRow);
    QFETCH(QList<int>, selected);
    MainWindowFixture f;
    for (int number = 0; number < files; ++number)
        f.tree.file(QByteArray::number(number) + ".txt");
    f.open();
    f.search();
    QItemSelectionModel *selection = f.list()->selectionModel();
    selection->clear();
    f.selectRows(selected);
    if (currentRow >= 0)
        selection->setCurrentIndex(f.list()->model()->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    QCOMPARE(selection->currentIndex().row(), currentRow);

    f.button("cmdExplorer")->click();
    QVERIFY(f.fake.launcher.starts.isEmpty());
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
}

void OpenFolderTest::opensFolderOfCurrentRow_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("folder"); // as the URL names it, below the tree's root
    QTest::newRow("nested") << QByteArray("sub/deeper/file.txt") << QByteArray("sub/deeper/");
    QTest::newRow("spaces") << QByteArray("my folder/a b.txt") << QByteArray("my%20folder/");
    QTest::newRow("japanese") << QByteArray("書類/メモ.txt") << QByteArray("%E6%9B%B8%E9%A1%9E/");
    QTest::newRow("not UTF-8") << QByteArray("bad\xff/a.txt") << QByteArray("bad%FF/");
    QTest::newRow("URL characters") << QByteArray("50%#?/a.txt") << QByteArray("50%25%23%3F/");
}

void OpenFolderTest::opensFolderOfCurrentRow()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, folder);
    MainWindowFixture f;
    f.tree.file("other.txt");
    f.tree.file(file);
    f.open();
    f.search();
    QCOMPARE(f.list()->model()->rowCount(), 2);
    const int row = f.column(0).indexOf(QString::fromUtf8(file.mid(file.lastIndexOf('/') + 1)));
    QVERIFY(row >= 0);
    f.list()->selectionModel()->setCurrentIndex(f.list()->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    f.button("cmdExplorer")->click();
    f.button("cmdExplorer")->click();
    const QString expected = QStringLiteral("file://") + QString::fromUtf8(f.tree.root() + '/' + folder);
    QCOMPARE(f.fake.launcher.starts.size(), 2);
    for (const auto &start : f.fake.launcher.starts) {
        QCOMPARE(start.program, QStringLiteral("xdg-open"));
        QCOMPARE(start.arguments, QStringList{expected});
    }
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
}

void OpenFolderTest::fileManagerMissing()
{
    MainWindowFixture f;
    f.tree.file("a.txt");
    f.tree.file("b.txt");
    f.open();
    f.search();
    f.list()->selectionModel()->setCurrentIndex(f.list()->model()->index(1, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    f.fake.launcher.succeeds = false;
    f.button("cmdExplorer")->click();

    QCOMPARE(f.fake.launcher.starts.size(), 1);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    const auto box = f.fake.messageBoxes.boxes.first();
    QVERIFY2(box.text.contains(QStringLiteral("xdg-open")), qPrintable(box.text));
    QCOMPARE(box.style, MsgStyle::OkOnly + MsgStyle::Warning);
    QCOMPARE(f.column(0), (QStringList{"a.txt", "b.txt"}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("2"));
    QCOMPARE(f.list()->selectionModel()->currentIndex().row(), 1);
    QVERIFY(f.list()->selectionModel()->isRowSelected(1));
    QVERIFY(!f.list()->selectionModel()->isRowSelected(0));
    QVERIFY(f.fake.fileSystem.removeCalls.isEmpty());
}

QTEST_MAIN(OpenFolderTest)
#include "tst_openfolder.moc"

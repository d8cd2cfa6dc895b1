// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: initial state, size controls, keys, menus and a search.
#include "support/ui/MainWindowFixture.h"

#include "platform/MessageBoxes.h"
#include "platform/MountsFileWatch.h"
#include "ui/DriveComboBox.h"
#include "ui/FolderListBox.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <QThread>
#include <QTimer>

#include <atomic>

#include <sys/mount.h>

using namespace vashtem;
using namespace vashtem::testing;

class MainWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialState();
    void listColumns();
    void menuTree();
    void sizeControlsFollowTheCheckBox();
    void textLimits();
    void emptySizeTextIsRefused_data();
    void emptySizeTextIsRefused();
    void searchFillsListAndLabels();
    void enterStartsTheSearch();
    void folderChooserAnswersEnter_data();
    void folderChooserAnswersEnter();
    void folderChooserOpensWhileWindowAnswers();
    void folderChooserLinesKeepOneHeight();
    void drivesFollowTheMountTable();
    void drivesFollowRealMounts();
    void tabVisitsControlsInOrder();
    void fieldIsHeardByItsCaption_data();
    void fieldIsHeardByItsCaption();
    void enlargingMovesNothing();
};

void MainWindowTest::initialState()
{
    MainWindowFixture f;
    f.open();
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Vashtem"));
    QCOMPARE(QApplication::focusWidget(), f.find<QWidget>("Drive1"));
    QVERIFY(f.find<QRadioButton>("optSearch_0")->isChecked());
    QVERIFY(!f.find<QCheckBox>("chkSize")->isChecked());
    for (const char *hidden : {"txtSize", "fraByte", "fraUD"})
        QVERIFY2(!f.find<QWidget>(hidden)->isVisible(), hidden);
    QVERIFY(f.edit("txtExt")->text().isEmpty());
    QVERIFY(f.edit("txtSize")->text().isEmpty());
    QVERIFY(f.label("lblTime")->text().isEmpty());
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
    QCOMPARE(f.window->centralWidget()->size(), QSize(539, 487));
    QVERIFY(f.find<QObject>("File1"));
    QCOMPARE(f.find<QComboBox>("Drive1")->currentText().toUtf8(), QByteArray("/"));
}

void MainWindowTest::listColumns()
{
    MainWindowFixture f;
    f.open();
    const QHeaderView *header = f.list()->horizontalHeader();
    const QStringList expected{QStringLiteral("ファイル名"), QStringLiteral("フルパス"),
                               QStringLiteral("サイズ"), QStringLiteral("作成日")};
    QStringList headers;
    for (int column = 0; column < header->count(); ++column)
        headers.append(f.list()->model()->headerData(column, Qt::Horizontal).toString());
    QCOMPARE(headers, expected);
    QCOMPARE(f.list()->width(), 521);
    const QList<int> widths{header->sectionSize(0), header->sectionSize(1), header->sectionSize(2),
                            header->sectionSize(3)};
    QCOMPARE(widths, (QList<int>{130, 208, 78, 85}));
    QVERIFY(!header->sectionsClickable());
}

void MainWindowTest::menuTree()
{
    MainWindowFixture f;
    f.open();
    QStringList menus;
    for (QAction *menu : f.window->menuBar()->actions())
        menus.append(menu->text());
    QCOMPARE(menus, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("検索(&F)"),
                                 QStringLiteral("編集(&E)"), QStringLiteral("ヘルプ(&H)")}));
    QStringList edit;
    for (QAction *entry : f.find<QMenu>("mnuEdit")->actions())
        edit.append(entry->isSeparator() ? QStringLiteral("-") : entry->text());
    QCOMPARE(edit, (QStringList{QStringLiteral("削除(&R)"), QStringLiteral("全て削除(&K)"), QStringLiteral("-"),
                                QStringLiteral("全て選択(&A)"), QStringLiteral("全て選択解除(&C)")}));
    for (QAction *entry : f.window->findChildren<QAction *>())
        QVERIFY2(entry->shortcut().isEmpty(), qPrintable(entry->objectName()));
    QCOMPARE(f.action("mnuEnd")->text(), QStringLiteral("終了(&X)"));
    QCOMPARE(f.action("mnuSearch")->text(), QStringLiteral("ファイル検索(&S)"));
    QCOMPARE(f.action("mnuUse")->text(), QStringLiteral("使い方(&U)"));
    QCOMPARE(f.action("mnuVersion")->text(), QStringLiteral("バージョン情報(&V)"));
}

void MainWindowTest::sizeControlsFollowTheCheckBox()
{
    MainWindowFixture f;
    f.open();
    QTest::mouseClick(f.find<QCheckBox>("chkSize"), Qt::LeftButton);
    for (const char *shown : {"txtSize", "fraByte", "fraUD", "optByte_0", "optUD_1"})
        QVERIFY2(f.find<QWidget>(shown)->isVisible(), shown);
    QVERIFY(f.find<QRadioButton>("optByte_0")->isChecked());
    QVERIFY(f.find<QRadioButton>("optUD_0")->isChecked());
    QVERIFY(f.edit("txtSize")->text().isEmpty());
    f.find<QCheckBox>("chkSize")->setFocus();
    QTest::keyClick(f.find<QCheckBox>("chkSize"), Qt::Key_Space);
    for (const char *hidden : {"txtSize", "fraByte", "fraUD"})
        QVERIFY2(!f.find<QWidget>(hidden)->isVisible(), hidden);
}

void MainWindowTest::textLimits()
{
    MainWindowFixture f;
    f.open();
    f.find<QCheckBox>("chkSize")->click();
    QTest::keyClicks(f.edit("txtSize"), QStringLiteral("123456"));
    QCOMPARE(f.edit("txtSize")->text(), QStringLiteral("12345"));
    const QString longPattern(40000, QLatin1Char('a'));
    f.edit("txtExt")->setText(longPattern);
    QCOMPARE(f.edit("txtExt")->text(), longPattern);
}

void MainWindowTest::emptySizeTextIsRefused_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("button") << false;
    QTest::newRow("menu entry") << true;
}

void MainWindowTest::emptySizeTextIsRefused()
{
    QFETCH(bool, fromMenu);
    MainWindowFixture f;
    f.tree.file("kept.txt");
    f.open();
    f.search("optSearch_0");
    QCOMPARE(f.list()->model()->rowCount(), 1);
    const QString timeBefore = f.label("lblTime")->text();

    f.find<QCheckBox>("chkSize")->click();
    if (fromMenu)
        f.action("mnuSearch")->trigger();
    else
        f.button("cmdSearch")->click();
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    const auto box = f.fake.messageBoxes.boxes.first();
    QCOMPARE(box.text, QStringLiteral("ファイルサイズが入力されていません"));
    QCOMPARE(box.title, QStringLiteral("ファイルサイズを入力してください"));
    QCOMPARE(box.style, MsgStyle::OkOnly);
    QCOMPARE(f.list()->model()->rowCount(), 1);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("1"));
    QCOMPARE(f.label("lblTime")->text(), timeBefore);
    QCOMPARE(QApplication::focusWidget(), f.edit("txtSize"));
}

void MainWindowTest::searchFillsListAndLabels()
{
    MainWindowFixture f;
    f.tree.file("b.dat", 1234567, 1796601903); // 2026-12-07 09:05:03 in Tokyo
    f.tree.file("a.txt", 0, 1796569200);       // 2026-12-07 00:00:00 in Tokyo
    f.tree.file("sub/c.txt", 5);
    f.open();
    f.fake.clock.step = 1234;
    f.edit("txtExt")->setText(QStringLiteral("*.txt;*.DAT"));
    f.search("optSearch_0");
    QCOMPARE(f.column(0), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.dat")}));
    QCOMPARE(f.column(1), (QStringList{QString::fromUtf8(f.tree.path("a.txt")), QString::fromUtf8(f.tree.path("b.dat"))}));
    QCOMPARE(f.column(2), (QStringList{QString(), QStringLiteral("1,234,567")}));
    QCOMPARE(f.column(3), (QStringList{QStringLiteral("2026/12/07"), QStringLiteral("2026/12/07 9:05:03")}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("2"));
    QCOMPARE(f.label("lblTime")->text(), QStringLiteral("1,234"));
    QCOMPARE(QApplication::focusWidget(), f.list());
    QCOMPARE(f.list()->model()->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);

    f.fake.clock.step = 0;
    f.search("optSearch_1");
    QCOMPARE(f.column(0), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.dat"), QStringLiteral("c.txt")}));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("3"));
    QVERIFY(f.label("lblTime")->text().isEmpty());
    QCOMPARE(f.edit("txtExt")->text(), QStringLiteral("*.txt;*.DAT"));
}

void MainWindowTest::enterStartsTheSearch()
{
    MainWindowFixture f;
    f.tree.file("one.txt");
    f.open();
    f.edit("txtExt")->setFocus();
    QTest::keyClick(f.edit("txtExt"), Qt::Key_Return);
    QCOMPARE(f.list()->model()->rowCount(), 1);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("1"));
}

// On a subfolder's line Enter opens that folder; on the open folder's own line it searches.
void MainWindowTest::folderChooserAnswersEnter_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QByteArray>("openFolder");
    QTest::addColumn<int>("rows");
    QTest::newRow("open folder's line") << QList<int>{Qt::Key_Return} << QByteArray() << 1;
    QTest::newRow("subfolder's line") << QList<int>{Qt::Key_Down, Qt::Key_Return} << QByteArray("/sub") << 0;
    QTest::newRow("keypad Enter, then searched") << QList<int>{Qt::Key_Down, Qt::Key_Enter, Qt::Key_Return}
                                                 << QByteArray("/sub") << 2;
    QTest::newRow("Space only highlights") << QList<int>{Qt::Key_Down, Qt::Key_Space} << QByteArray() << 0;
}

void MainWindowTest::folderChooserAnswersEnter()
{
    QFETCH(QList<int>, keys);
    QFETCH(QByteArray, openFolder);
    QFETCH(int, rows);
    MainWindowFixture f;
    f.tree.file("one.txt");
    f.tree.file("sub/two.txt");
    f.tree.file("sub/three.txt");
    f.open();
    auto *folders = f.find<FolderListBox>("Dir1");
    folders->setFocus();
    for (const int key : keys)
        QTest::keyClick(folders, Qt::Key(key));
    QCOMPARE(folders->path(), f.tree.root() + openFolder);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(rows));
}

// A folder is listed whole to find its subfolders: meanwhile the window's events go on.
void MainWindowTest::folderChooserOpensWhileWindowAnswers()
{
    MainWindowFixture f;
    f.tree.file("big/sub/c.txt");
    f.open();
    auto *folders = f.find<FolderListBox>("Dir1");
    const QByteArray big = f.tree.path("big");
    std::atomic<bool> windowAnswered = false;
    bool answeredWhileListing = false;
    f.fake.fileSystem.beforeListing = [&](const QByteArray &folder) {
        if (folder != big)
            return;
        QDeadlineTimer deadline(5000);
        while (!windowAnswered && !deadline.hasExpired())
            QThread::msleep(1);
        answeredWhileListing = windowAnswered;
    };
    QTimer::singleShot(0, folders, [&] { windowAnswered = true; });

    QList<QListWidgetItem *> rows = folders->findItems(QStringLiteral("big"), Qt::MatchExactly);
    QCOMPARE(rows.size(), 1);
    const QPoint where = folders->visualItemRect(rows.first()).center();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {}, where);

    QVERIFY(answeredWhileListing);
    QCOMPARE(folders->path(), big);
    QCOMPARE(folders->entryCount(), 1);
    QCOMPARE(folders->item(folders->count() - 1)->text(), QStringLiteral("sub"));

    // A folder on a share that stopped answering: Escape gives it up, and big stays open.
    f.hangAndEscape(f.tree.path("big/sub"));
    QCOMPARE(folders->setPath(f.tree.path("big/sub")), ECANCELED);
    QCOMPARE(folders->path(), big);
    QVERIFY(f.fake.fileSystem.letGo());
    QCOMPARE(folders->path(), big);
}

// The lines take their height from the last one, a subfolder or the open folder itself.
void MainWindowTest::folderChooserLinesKeepOneHeight()
{
    MainWindowFixture f;
    f.tree.file("leaf/c.txt");
    f.open();
    auto *folders = f.find<FolderListBox>("Dir1");
    const auto lineHeight = [folders] { return folders->visualItemRect(folders->item(0)).height(); };
    QVERIFY(folders->entryCount() > 0);
    const int withSubfolders = lineHeight();
    QCOMPARE(folders->setPath(f.tree.path("leaf")), 0);
    QCOMPARE(folders->entryCount(), 0);
    QCOMPARE(lineHeight(), withSubfolders);
}

// "stick" and "usb" are mounted when the window opens; then "disk" is mounted beneath the folder
// shown, and "usb", the drive chosen, goes with its folders.
void MainWindowTest::drivesFollowTheMountTable()
{
    MainWindowFixture f;
    f.tree.folder("usb/photos");
    const QByteArray usb = f.tree.path("usb"), stick = f.tree.folder("stick");
    auto &volumes = f.fake.fileSystem.volumeList;
    volumes = {"/", stick, usb};
    f.open();
    auto *drives = f.find<DriveComboBox>("Drive1");
    auto *folders = f.find<FolderListBox>("Dir1");
    const auto mountsBecome = [&](std::vector<QByteArray> now) {
        volumes = std::move(now);
        f.fake.mountWatch.tellChange();
        QCOMPARE(drives->volumes(), volumes);
    };
    drives->setCurrentIndex(2);
    QCOMPARE(folders->setPath(f.tree.root()), 0);
    mountsBecome({"/", f.tree.folder("disk"), stick, usb});
    QCOMPARE(drives->drive(), usb);
    QCOMPARE(folders->findItems(QStringLiteral("disk"), Qt::MatchExactly).size(), 1);

    QCOMPARE(folders->setPath(usb), 0);
    QCOMPARE(folders->setPath(usb + "/photos"), 0);
    QVERIFY(QDir(QString::fromUtf8(usb)).removeRecursively());
    mountsBecome({"/", f.tree.path("disk"), stick});
    QCOMPARE(drives->drive(), QByteArray("/"));
    QCOMPARE(folders->path(), f.tree.root());
    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(drives->drive(), f.tree.path("disk"));
}

// Where this process may mount: a tmpfs on a folder comes and goes as a drive, a file mounted
// on a file is none, and the folder shown on a drive does not keep it from being unmounted.
void MainWindowTest::drivesFollowRealMounts()
{
    MainWindowFixture f;
    const QByteArray stick = f.tree.folder("stick"), hosts = f.tree.file("hosts");
    MountsFileWatch realWatch;
    Platform platform{f.fake.fileSystem, f.fake.messageBoxes, f.fake.launcher, f.fake.clock, f.fake.exit, realWatch};
    frmMain window(platform);
    auto *drives = window.findChild<DriveComboBox *>("Drive1");
    const auto listed = [drives](const QByteArray &point) { return std::ranges::count(drives->volumes(), point) == 1; };
    if (::mount("tmpfs", stick.constData(), "tmpfs", 0, nullptr) != 0)
        QSKIP("mounting is not allowed here");
    const auto unmount = qScopeGuard([&] {
        ::umount2(stick.constData(), MNT_DETACH);
        ::umount2(hosts.constData(), MNT_DETACH);
    });
    QCOMPARE(::mount(hosts.constData(), hosts.constData(), nullptr, MS_BIND, nullptr), 0);
    f.tree.folder("stick/inside"); // a folder with subfolders is held open to list them
    QTRY_VERIFY_WITH_TIMEOUT(listed(stick), 2000);
    QVERIFY(!listed(hosts));
    drives->setCurrentIndex(drives->findText(QString::fromUtf8(stick)));
    QCOMPARE(window.findChild<FolderListBox *>("Dir1")->path(), stick);

    QCOMPARE(::umount(stick.constData()), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!listed(stick), 2000);
    QCOMPARE(drives->drive(), QByteArray("/"));
}

void MainWindowTest::tabVisitsControlsInOrder()
{
    MainWindowFixture f;
    f.open();
    auto walk = [&] {
        QStringList visited;
        f.find<QWidget>("Drive1")->setFocus();
        for (int step = 0; step < 20; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
            if (visited.last() == QLatin1String("Drive1"))
                break;
        }
        return visited;
    };
    QCOMPARE(walk(), (QStringList{"Dir1", "cmdSearch", "optSearch_0", "cmdRemoveOne", "cmdRemoveAll", "Command1",
                                  "Command2", "cmdEnd", "chkSize", "ListView1", "cmdExplorer", "txtExt", "Drive1"}));
    f.find<QCheckBox>("chkSize")->click();
    f.choose("optSearch_1");
    f.choose("optByte_2");
    QCOMPARE(walk(), (QStringList{"Dir1", "cmdSearch", "optSearch_1", "cmdRemoveOne", "cmdRemoveAll", "Command1",
                                  "Command2", "cmdEnd", "chkSize", "txtSize", "optByte_2", "optUD_0", "ListView1",
                                  "cmdExplorer", "txtExt", "Drive1"}));
}

void MainWindowTest::fieldIsHeardByItsCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("Drive1") << "ファイル検索ディレクトリ";
    QTest::newRow("Dir1") << "ドライブのフォルダ";
    QTest::newRow("txtExt") << "検索ファイル指定";
    QTest::newRow("txtSize") << "ファイルサイズ指定";
    QTest::newRow("fraByte") << "ファイルサイズの単位";
    QTest::newRow("fraUD") << "ファイルサイズの範囲";
    QTest::newRow("lblTime") << "検索時間（ミリ秒）";
    QTest::newRow("lblFileSum") << "合計ファイル数";
    QTest::newRow("ListView1") << "検索結果";
}

// A field is heard by the caption beside it, never by what it shows (a number box's
// description); a combo box is named by its text, so it is heard by its label.
void MainWindowTest::fieldIsHeardByItsCaption()
{
    QFETCH(QString, caption);
    MainWindowFixture f;
    f.open();
    QWidget *widget = f.find<QWidget>(QTest::currentDataTag());
    QAccessibleInterface *field = QAccessible::queryAccessibleInterface(widget);
    if (field->role() == QAccessible::ComboBox)
        field = field->relations(QAccessible::Label).value(0).first;
    QVERIFY(field);
    QCOMPARE(field->text(QAccessible::Name), caption);
    if (auto *number = qobject_cast<QLabel *>(widget))
        QCOMPARE(field->text(QAccessible::Description), number->text());
}

void MainWindowTest::enlargingMovesNothing()
{
    MainWindowFixture f;
    f.open();
    const QRect before = f.list()->geometry();
    const QRect buttonBefore = f.button("cmdEnd")->geometry();
    f.window->resize(f.window->size() + QSize(300, 200));
    QCOMPARE(f.list()->geometry(), before);
    QCOMPARE(f.button("cmdEnd")->geometry(), buttonBefore);
}

QTEST_MAIN(MainWindowTest)
#include "tst_frmmain.moc"

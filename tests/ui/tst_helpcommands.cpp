// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: the manual handed to the opener, the About window and its home page.
#include "support/ui/MainWindowFixture.h"

#include "ui/HomePage.h"
#include "ui/frmVersion.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QScreen>
#include <QTest>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

const QString ManualName = QStringLiteral("%E8%AA%AC%E6%98%8E%E6%9B%B8.html"); // 説明書.html in UTF-8

// The About windows that exist once pending deletions are done.
QList<frmVersion *> aboutWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<frmVersion *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *about = qobject_cast<frmVersion *>(widget))
            windows.append(about);
    return windows;
}

bool isCentred(const QWidget *window)
{
    return window->frameGeometry().center() == window->screen()->availableGeometry().center();
}

// Command1 is "OK！", Command2 "ホームページ".
QAbstractButton *button(const frmVersion *about, const char *name)
{
    return about->findChild<QAbstractButton *>(QLatin1String(name));
}

} // namespace

class HelpCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The About window has no parent, so it would outlive each test's main window.
    void cleanup() { qDeleteAll(aboutWindows()); }
    void manualIsInTheWorkingFolder_data();
    void manualIsInTheWorkingFolder();
    void launchFailureNamesTheProgram_data();
    void launchFailureNamesTheProgram();
    void aboutWindowOpensOnceModeless();
    void aboutWindowIsCentredEachTimeItOpens();
    void homePageKeepsTheAboutWindow();
};

// The working folder's manual where there is one, else the one installed with the program.
void HelpCommandsTest::manualIsInTheWorkingFolder_data()
{
    QTest::addColumn<QByteArray>("workingFolder");
    QTest::addColumn<QByteArray>("manualThere");
    QTest::addColumn<QString>("manual"); // after the tree's root; empty for the installed one
    const QByteArray file = QStringLiteral("説明書.html").toUtf8();
    QTest::newRow("one level") << QByteArray("opt") << file << "/opt/" + ManualName;
    QTest::newRow("spaces") << QByteArray("my  docs ") << file << "/my%20%20docs%20/" + ManualName;
    QTest::newRow("Japanese") << QStringLiteral("ユーザー/書類").toUtf8() << file
                              << "/%E3%83%A6%E3%83%BC%E3%82%B6%E3%83%BC/%E6%9B%B8%E9%A1%9E/" + ManualName;
    QTest::newRow("not UTF-8") << QByteArray("\xfe\xff") << file << "/%FE%FF/" + ManualName;
    QTest::newRow("not there") << QByteArray("opt") << QByteArray("other.html") << QString();
    QTest::newRow("a folder of that name") << QByteArray("opt") << file + "/inside" << QString();
}

void HelpCommandsTest::manualIsInTheWorkingFolder()
{
    QFETCH(QByteArray, workingFolder);
    QFETCH(QByteArray, manualThere);
    QFETCH(QString, manual);
    MainWindowFixture f;
    f.tree.file(workingFolder + '/' + manualThere);
    f.open();
    // Changed once the window shows the tree, so the folder shown there cannot stand in.
    f.fake.fileSystem.workingFolder = f.tree.path(workingFolder);

    f.action("mnuUse")->trigger();

    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/vashtem");
    const QString expected = "file://" + (manual.isEmpty() ? installed + "/" + ManualName : f.tree.root() + manual);
    QCOMPARE(f.fake.launcher.starts.size(), 1);
    QCOMPARE(f.fake.launcher.starts.first().program, QStringLiteral("xdg-open"));
    QCOMPARE(f.fake.launcher.starts.first().arguments, QStringList{expected});
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
    f.fake.launcher.starts.first().failed(); // xdg-open reports that it could not open it
    QCOMPARE(f.fake.messageBoxes.boxes.value(0).text.section('\n', 0, 0), "ファイルマネージャ xdg-open は次の場所を開けませんでした。");
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
}

void HelpCommandsTest::launchFailureNamesTheProgram_data()
{
    QTest::addColumn<bool>("homePage");
    QTest::addColumn<QString>("text");
    QTest::newRow("manual") << false << QStringLiteral("ファイルマネージャ xdg-open を起動できませんでした。");
    QTest::newRow("home page") << true << QStringLiteral("ホームページを開くプログラム xdg-open を起動できませんでした。");
}

void HelpCommandsTest::launchFailureNamesTheProgram()
{
    QFETCH(bool, homePage);
    QFETCH(QString, text);
    MainWindowFixture f;
    f.open();
    f.fake.launcher.succeeds = false;

    if (homePage) {
        f.action("mnuVersion")->trigger();
        button(aboutWindows().first(), "Command2")->click();
    } else {
        f.action("mnuUse")->trigger();
    }

    QCOMPARE(f.fake.launcher.starts.size(), 1);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    const auto box = f.fake.messageBoxes.boxes.first();
    QCOMPARE(box.text, text);
    QCOMPARE(box.title, QStringLiteral("Vashtem"));
    QCOMPARE(box.style, MsgStyle::Warning);
}

void HelpCommandsTest::aboutWindowOpensOnceModeless()
{
    MainWindowFixture f;
    f.open();
    f.action("mnuVersion")->trigger();
    f.action("mnuVersion")->trigger();

    const QList<frmVersion *> windows = aboutWindows();
    QCOMPARE(windows.size(), 1);
    frmVersion *about = windows.first();
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(QApplication::focusWidget(), button(about, "Command1"));
    QCOMPARE(button(about, "Command1")->text(), QStringLiteral("OK！"));

    QTest::mouseClick(button(about, "Command1"), Qt::LeftButton);
    QVERIFY(aboutWindows().isEmpty());
    QVERIFY(f.window->isVisible());
}

void HelpCommandsTest::aboutWindowIsCentredEachTimeItOpens()
{
    MainWindowFixture f;
    f.open();
    f.action("mnuVersion")->trigger();
    frmVersion *first = aboutWindows().first();
    QVERIFY(QTest::qWaitForWindowExposed(first));
    QVERIFY(isCentred(first));
    first->move(first->pos() + QPoint(40, 30));

    // Reopened before the closed window is gone: the new one must be the one that stays.
    button(first, "Command1")->click();
    f.action("mnuVersion")->trigger();

    const QList<frmVersion *> windows = aboutWindows();
    QCOMPARE(windows.size(), 1);
    QVERIFY(windows.first()->isVisible());
    QVERIFY(isCentred(windows.first()));
}

void HelpCommandsTest::homePageKeepsTheAboutWindow()
{
    MainWindowFixture f;
    f.open();
    f.action("mnuVersion")->trigger();
    frmVersion *about = aboutWindows().first();

    QTest::mouseClick(button(about, "Command2"), Qt::LeftButton);

    QCOMPARE(f.fake.launcher.starts.size(), 1);
    QCOMPARE(f.fake.launcher.starts.first().program, QStringLiteral("xdg-open"));
    QCOMPARE(f.fake.launcher.starts.first().arguments, QStringList{QString::fromLatin1(HomePageAddress)});
    QCOMPARE(aboutWindows(), QList<frmVersion *>{about});
    QVERIFY(about->isVisible());
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
}

QTEST_MAIN(HelpCommandsTest)
#include "tst_helpcommands.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways out: the farewell of the Exit button and of the close box, step by step,
// and the File menu's exit, which ends at once.
#include "support/ui/MainWindowFixture.h"

#include "ui/frmVersion.h"
#include "ui/frmEnd.h"
#include "ui/ApplicationExit.h"
#include "platform/MessageBoxes.h"
#include "core/results/ResultModel.h"

#include <QPointer>

#include <atomic>
#include <QScreen>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

// The first top-level window of that class, hidden ones included.
template<typename Window>
Window *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(widget))
            return window;
    return nullptr;
}

// Makes `files` files and fills the list with them.
void openWithRows(MainWindowFixture &f, int files)
{
    for (int i = 0; i < files; ++i)
        f.tree.file("ファイル" + QByteArray::number(i) + ".txt");
    f.open();
    f.search();
    QCOMPARE(f.window->results().rowCount(), files);
}

// Runs `step` the first time the farewell lets pending events through.
void atFirstEvents(MainWindowFixture &f, std::function<void()> step)
{
    QTimer::singleShot(0, f.window.get(), std::move(step));
}

// Ends an event loop that would otherwise run for ever when the program fails to end.
void limitEventLoop(QObject *context)
{
    QTimer::singleShot(5000, context, [] { QApplication::exit(1); });
}

} // namespace

class ShutdownTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void farewellRunsInOrder_data();
    void farewellRunsInOrder();
    void rowsGoInOneResetWhileTheFarewellIsUp();
    void farewellWaitsByTheClock_data();
    void farewellWaitsByTheClock();
    void aSecondExitDuringTheFarewellIsIgnored_data();
    void aSecondExitDuringTheFarewellIsIgnored();
    void closeDuringWorkStopsItFirst_data();
    void closeDuringWorkStopsItFirst();
    void menuEntryEndsAtOnce();
    void exitButtonEndsTheAboutWindowToo();
    void closeBoxLeavesTheAboutWindowOpen();
};

void ShutdownTest::farewellRunsInOrder_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::addColumn<int>("files");
    QTest::newRow("Exit button") << false << 3;
    QTest::newRow("Exit button, empty list") << false << 0;
    QTest::newRow("close box") << true << 3;
    QTest::newRow("close box, empty list") << true << 0;
}

void ShutdownTest::farewellRunsInOrder()
{
    QFETCH(bool, closeBox);
    QFETCH(int, files);
    MainWindowFixture f;
    openWithRows(f, files);

    bool farewellUpWhileWaiting = false;
    int rowsWhileWaiting = -1;
    atFirstEvents(f, [&] {
        const frmEnd *farewell = topLevel<frmEnd>();
        farewellUpWhileWaiting = farewell && farewell->isVisible()
            && farewell->frameGeometry().center() == farewell->screen()->availableGeometry().center();
        rowsWhileWaiting = f.window->results().rowCount();
    });
    int rowsAtBox = -1;
    bool farewellGoneAtBox = false;
    int exitsAtBox = -1;
    f.fake.messageBoxes.whileShown = [&] {
        rowsAtBox = f.window->results().rowCount();
        farewellGoneAtBox = !topLevel<frmEnd>();
        exitsAtBox = f.fake.exit.calls;
    };

    if (closeBox)
        QVERIFY(f.window->close());
    else
        f.button("cmdEnd")->click();

    QVERIFY(farewellUpWhileWaiting);
    QCOMPARE(rowsWhileWaiting, files);
    QCOMPARE(rowsAtBox, 0);
    QVERIFY(farewellGoneAtBox);
    QCOMPARE(exitsAtBox, 0);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    const auto box = f.fake.messageBoxes.boxes.first();
    QCOMPARE(box.text, QStringLiteral("終了します"));
    QCOMPARE(box.title, QStringLiteral("Vashtem"));
    QCOMPARE(box.style, MsgStyle::OkOnly);
    // The button ends the program; the close box just lets the window close.
    QCOMPARE(f.fake.exit.calls, closeBox ? 0 : 1);
    QCOMPARE(f.window->isVisible(), !closeBox);
}

void ShutdownTest::rowsGoInOneResetWhileTheFarewellIsUp()
{
    MainWindowFixture f;
    openWithRows(f, 5);
    const ResultModel &model = f.window->results();
    bool farewellUpAtReset = false;
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, f.window.get(), [&] {
        const frmEnd *farewell = topLevel<frmEnd>();
        farewellUpAtReset = farewell && farewell->isVisible();
    });
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy removals(&model, &QAbstractItemModel::rowsAboutToBeRemoved);

    f.button("cmdEnd")->click();

    QVERIFY(farewellUpAtReset);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(removals.size(), 0);
    QCOMPARE(f.list()->model()->rowCount(), 0);
}

void ShutdownTest::farewellWaitsByTheClock_data()
{
    QTest::addColumn<qint64>("step");
    QTest::addColumn<int>("readingsAfterStart");
    QTest::newRow("1 ms a reading") << qint64(1) << 10;
    QTest::newRow("3 ms") << qint64(3) << 4;
    QTest::newRow("5 ms: 10 ms is enough") << qint64(5) << 2;
    QTest::newRow("10 ms") << qint64(10) << 1;
    QTest::newRow("a long stall") << qint64(1000) << 1;
}

void ShutdownTest::farewellWaitsByTheClock()
{
    QFETCH(qint64, step);
    QFETCH(int, readingsAfterStart);
    MainWindowFixture f;
    f.open();
    f.fake.clock.step = step;
    const int readingsBefore = f.fake.clock.readings.load();
    bool eventsProcessed = false;
    atFirstEvents(f, [&] { eventsProcessed = true; });
    int readingsAtBox = -1;
    f.fake.messageBoxes.whileShown = [&] { readingsAtBox = f.fake.clock.readings.load(); };

    f.button("cmdEnd")->click();

    QVERIFY(eventsProcessed);
    QCOMPARE(readingsAtBox - readingsBefore - 1, readingsAfterStart);
}

void ShutdownTest::aSecondExitDuringTheFarewellIsIgnored_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Exit button first") << false;
    QTest::newRow("close box first") << true;
}

void ShutdownTest::aSecondExitDuringTheFarewellIsIgnored()
{
    QFETCH(bool, closeBox);
    MainWindowFixture f;
    openWithRows(f, 2);
    auto exitAgain = [&] {
        f.button("cmdEnd")->click();
        f.window->close();
    };
    atFirstEvents(f, exitAgain);
    bool windowUpWithTheBox = false;
    f.fake.messageBoxes.whileShown = [&] {
        windowUpWithTheBox = f.window->isVisible();
        exitAgain();
        windowUpWithTheBox = windowUpWithTheBox && f.window->isVisible();
    };

    if (closeBox)
        f.window->close();
    else
        f.button("cmdEnd")->click();
    // The stand-in exit leaves the window up; closing it now must not say farewell again.
    const int readings = f.fake.clock.readings.load();
    QVERIFY(f.window->close());

    QVERIFY(windowUpWithTheBox);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QCOMPARE(f.fake.clock.readings.load(), readings);
    QCOMPARE(f.fake.exit.calls, closeBox ? 0 : 1);
}

void ShutdownTest::closeDuringWorkStopsItFirst_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("exitInstead"); // the application is told to exit instead
    QTest::newRow("during a search") << "cmdSearch" << false;
    QTest::newRow("during delete all") << "cmdRemoveAll" << false;
    QTest::newRow("exit during a search") << "cmdSearch" << true;
}

void ShutdownTest::closeDuringWorkStopsItFirst()
{
    QFETCH(QString, command);
    QFETCH(bool, exitInstead);
    MainWindowFixture f;
    for (const char *folder : {"a", "b", "c"}) {
        for (const char *file : {"1.txt", "2.txt"})
            f.tree.file(QByteArray(folder) + '/' + file);
    }
    f.open();
    f.choose("optSearch_1");
    if (command == QLatin1String("cmdRemoveAll"))
        f.run("cmdSearch");
    // The close comes while the files of folder b are listed, or the first of them deleted.
    // Event loops started after an exit end at once: one run of the application's own loop
    // takes the exit back.
    const auto takeBackExit = qScopeGuard([&] {
        if (exitInstead) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            QCoreApplication::exec();
        }
    });
    // The folder after b waits for the stop, which must come with the exit.
    if (exitInstead)
        f.fake.fileSystem.heldFolder = f.tree.path("c");
    std::atomic<bool> closed{false};
    const auto closeOnce = [&] {
        if (!closed.exchange(true))
            f.onWindowThread([&] { exitInstead ? QCoreApplication::exit() : void(f.window->close()); });
    };
    const QByteArray folder = f.tree.path("b");
    f.fake.fileSystem.whileFiltering = [&](const QByteArray &listed, QByteArrayView) {
        if (command == QLatin1String("cmdSearch") && listed == folder)
            closeOnce();
    };
    f.fake.fileSystem.beforeRemoving = [&](const QByteArray &path) {
        if (path.startsWith(folder + '/'))
            closeOnce();
    };
    int rowsAtBox = -1;
    f.fake.messageBoxes.whileShown = [&] { rowsAtBox = f.window->results().rowCount(); };
    f.run(command);
    f.fake.fileSystem.whileFiltering = nullptr;
    f.fake.fileSystem.beforeRemoving = nullptr;

    // The command has ended, stopped, with the window still up. The search listed a part of
    // what lies before b (the walk may lag behind the listings); Delete all, going from the
    // last row up, took c's files and b/2.txt, the one in hand.
    const bool search = command == QLatin1String("cmdSearch");
    QStringList listed;
    for (const char *file : {"a/1.txt", "a/2.txt", "b/1.txt", "b/2.txt"})
        listed.append(QString::fromUtf8(f.tree.path(file)));
    // An exit is seen once the window's loop has ended, when b may be listed whole.
    if (search)
        listed = listed.mid(0, qMin(exitInstead ? 4 : 2, int(f.column(1).size())));
    else
        listed.removeLast();
    QVERIFY(closed);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.column(1), listed);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(listed.size()));
    QCOMPARE(f.tree.exists("b/2.txt"), search);
    QCOMPARE(f.tree.exists("c/1.txt"), search);
    QVERIFY(f.tree.exists("b/1.txt"));
    if (exitInstead)
        return;
    // Then the close goes its usual way.
    QCoreApplication::processEvents();
    QVERIFY(!f.window->isVisible());
    QCOMPARE(rowsAtBox, 0);
    QCOMPARE(f.fake.messageBoxes.boxes.last().text, QStringLiteral("終了します"));
}

void ShutdownTest::menuEntryEndsAtOnce()
{
    MainWindowFixture f;
    openWithRows(f, 3);
    const int readings = f.fake.clock.readings.load();

    f.action("mnuEnd")->trigger();

    QCOMPARE(f.fake.exit.calls, 1);
    QCOMPARE(f.window->results().rowCount(), 3);
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
    QVERIFY(!topLevel<frmEnd>());
    QCOMPARE(f.fake.clock.readings.load(), readings);
}

void ShutdownTest::exitButtonEndsTheAboutWindowToo()
{
    TempTree tree;
    FakePlatform fake;
    fake.fileSystem.workingFolder = tree.root();
    ApplicationExit realExit;
    Platform platform{fake.fileSystem, fake.messageBoxes, fake.launcher, fake.clock, realExit, fake.mountWatch};
    frmMain window(platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.mnuVersion_Click();
    const QPointer<frmVersion> about = topLevel<frmVersion>();
    QVERIFY(about && about->isVisible());

    QTimer::singleShot(0, &window, [&] { window.findChild<QAbstractButton *>("cmdEnd")->click(); });
    limitEventLoop(&window);
    QCOMPARE(QApplication::exec(), 0);

    QVERIFY(!window.isVisible());
    QVERIFY(about && !about->isVisible());
    // Ending is no close: the close box's farewell does not follow the button's.
    QCOMPARE(fake.messageBoxes.boxes.size(), 1);
    delete about;
}

void ShutdownTest::closeBoxLeavesTheAboutWindowOpen()
{
    MainWindowFixture f;
    f.open();
    f.window->mnuVersion_Click();
    const QPointer<frmVersion> about = topLevel<frmVersion>();
    QVERIFY(about);

    bool aboutOpenAfterClose = false;
    QTimer::singleShot(0, f.window.get(), [&] {
        QVERIFY(f.window->close());
        QTimer::singleShot(0, about, [&] {
            aboutOpenAfterClose = about->isVisible();
            about->findChild<QAbstractButton *>("Command1")->click();
        });
    });
    limitEventLoop(f.window.get());
    // The last window to close ends the event loop.
    QCOMPARE(QApplication::exec(), 0);

    QVERIFY(aboutOpenAfterClose);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QCOMPARE(f.fake.exit.calls, 0);
}

QTEST_MAIN(ShutdownTest)
#include "tst_shutdown.moc"

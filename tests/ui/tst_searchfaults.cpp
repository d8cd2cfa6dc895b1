// SPDX-License-Identifier: GPL-3.0-or-later
// Faults under a search run through the main window: folders that cannot be listed, files
// that vanish or change between the listing and the reading of their facts, folders that
// vanish while the walk is under way. The search has no message for these: it must list
// exactly what it could still read, in order, and nothing stale. And what the user does
// while it runs: Escape stops it with the rows found so far, other input is dropped.
#include "support/ui/MainWindowFixture.h"
#include "support/core/ReferenceListing.h"

#include "core/results/ResultModel.h"
#include "platform/MessageBoxes.h"
#include "platform/Paths.h"

#include <QComboBox>

#include <QGuiApplication>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

// A tree whose folders each hold files, so that a folder left out shows in the rows.
void fillTree(TempTree &tree)
{
    for (const char *file : {"top1.txt", "top2.txt", "a/a1.txt", "a/a2.txt", "a/deep/d1.txt", "a/deep/deeper/e1.txt",
                             "a/zz/z1.txt", "b/b1.txt", "c/c1.txt", "c/inner/i1.txt"})
        tree.file(file, 7);
}

QByteArrayList rowPaths(const MainWindowFixture &f)
{
    QByteArrayList paths;
    for (int row = 0; row < f.window->results().rowCount(); ++row)
        paths.append(f.window->results().fullPath(row));
    return paths;
}

// The reference listing less what lies in or under the given folders.
QByteArrayList expectedWithout(const TempTree &tree, bool subfolders, const QByteArrayList &unreadable)
{
    QByteArrayList paths;
    for (const reference::Entry &entry : reference::listing(tree.root(), subfolders, reference::Pattern("*"))) {
        const bool hidden = std::any_of(unreadable.begin(), unreadable.end(), [&](const QByteArray &folder) {
            return entry.path.startsWith(tree.path(folder) + '/');
        });
        if (!hidden)
            paths.append(entry.path);
    }
    return paths;
}

} // namespace

class SearchFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unreadableFoldersAreLeftOut_data();
    void unreadableFoldersAreLeftOut();
    void fileChangesBeforeItsFacts_data();
    void fileChangesBeforeItsFacts();
    void folderVanishesDuringTheWalk();
    void folderSwappedForALinkIsNotEntered_data();
    void folderSwappedForALinkIsNotEntered();
    void nothingReadableToStartFrom_data();
    void nothingReadableToStartFrom();
    void escapeKeepsTheRowsFoundSoFar_data();
    void escapeKeepsTheRowsFoundSoFar();
    void inputDuringTheSearchIsDropped_data();
    void inputDuringTheSearchIsDropped();
};

void SearchFaultsTest::unreadableFoldersAreLeftOut_data()
{
    QTest::addColumn<QByteArrayList>("unreadable");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("subfolders");
    QTest::newRow("start folder, one folder") << QByteArrayList{""} << EACCES << false;
    QTest::newRow("start folder, with subfolders") << QByteArrayList{""} << EIO << true;
    QTest::newRow("subfolder, one folder") << QByteArrayList{"a"} << EACCES << false;
    QTest::newRow("first subfolder") << QByteArrayList{"a"} << EACCES << true;
    QTest::newRow("middle subfolder") << QByteArrayList{"b"} << ENOENT << true;
    QTest::newRow("last subfolder") << QByteArrayList{"c"} << ENOTDIR << true;
    QTest::newRow("deep folder") << QByteArrayList{"a/deep"} << ELOOP << true;
    QTest::newRow("deepest folder") << QByteArrayList{"a/deep/deeper"} << EIO << true;
    QTest::newRow("last subfolder of a subfolder") << QByteArrayList{"a/zz"} << EACCES << true;
    QTest::newRow("several") << QByteArrayList{"a/deep/deeper", "a/zz", "c/inner"} << EMFILE << true;
    QTest::newRow("every subfolder") << QByteArrayList{"a", "b", "c"} << EACCES << true;
}

void SearchFaultsTest::unreadableFoldersAreLeftOut()
{
    QFETCH(QByteArrayList, unreadable);
    QFETCH(int, error);
    QFETCH(bool, subfolders);
    MainWindowFixture f;
    fillTree(f.tree);
    f.open();
    for (const QByteArray &folder : unreadable)
        f.fake.fileSystem.listErrors.insert(f.tree.path(folder), error);
    f.search(subfolders ? "optSearch_1" : "optSearch_0");

    const QByteArrayList expected = expectedWithout(f.tree, subfolders, unreadable);
    QCOMPARE(rowPaths(f), expected);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(expected.size()));
    // A start folder that cannot be read is named; folders not read for want of descriptors
    // are said to be missing from the list; the rest are passed over without a word.
    const bool startUnread = unreadable.contains("");
    QCOMPARE(f.fake.messageBoxes.boxes.size(), startUnread || error == EMFILE ? 1 : 0);
    if (startUnread) {
        const QString text = f.fake.messageBoxes.boxes.first().text;
        QVERIFY2(text.startsWith(QString::fromUtf8(f.tree.root()) + QStringLiteral(" を読み取れません。")),
                 qPrintable(text));
    }
    f.fake.messageBoxes.boxes.clear();

    // Once readable again, the same search finds everything.
    f.fake.fileSystem.listErrors.clear();
    f.search(subfolders ? "optSearch_1" : "optSearch_0");
    QCOMPARE(rowPaths(f), expectedWithout(f.tree, subfolders, {}));
}

void SearchFaultsTest::fileChangesBeforeItsFacts_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("listed");
    QTest::newRow("removed") << "removed" << false;
    QTest::newRow("replaced by a folder") << "folder" << false;
    QTest::newRow("replaced by a link to a file") << "link" << false;
    QTest::newRow("replaced by a pipe") << "pipe" << false;
    QTest::newRow("grown") << "grown" << true;
}

void SearchFaultsTest::fileChangesBeforeItsFacts()
{
    QFETCH(QString, change);
    QFETCH(bool, listed);
    MainWindowFixture f;
    fillTree(f.tree);
    f.open();
    const QByteArrayList victims{f.tree.path("top1.txt"), f.tree.path("a/a2.txt"), f.tree.path("c/inner/i1.txt")};
    const QByteArrayList before = expectedWithout(f.tree, true, {});
    // Listings may run on other threads, where a test macro must not be used: count instead.
    std::atomic<int> changed{0};
    std::atomic<int> failedCalls{0};
    const QByteArray linkTarget = f.tree.path("top2.txt");
    f.fake.fileSystem.whileFiltering = [&](const QByteArray &folder, QByteArrayView name) {
        QByteArray path = folder;
        if (!path.endsWith('/'))
            path += '/';
        path += name.toByteArray();
        if (!victims.contains(path))
            return;
        const char *const file = path.constData();
        bool done = true;
        if (change == QLatin1String("grown"))
            done = ::truncate(file, 1234567) == 0;
        else if (::unlink(file) != 0)
            done = false;
        else if (change == QLatin1String("folder"))
            done = ::mkdir(file, 0755) == 0;
        else if (change == QLatin1String("link"))
            done = ::symlink(linkTarget.constData(), file) == 0;
        else if (change == QLatin1String("pipe"))
            done = ::mkfifo(file, 0644) == 0;
        ++(done ? changed : failedCalls);
    };
    f.search("optSearch_1");
    f.fake.fileSystem.whileFiltering = nullptr;
    QCOMPARE(failedCalls.load(), 0);
    QCOMPARE(changed.load(), int(victims.size()));

    QByteArrayList expected;
    for (const QByteArray &path : before) {
        if (listed || !victims.contains(path))
            expected.append(path);
    }
    QCOMPARE(rowPaths(f), expected);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(expected.size()));
    if (listed) {
        const int row = int(expected.indexOf(victims[1]));
        QCOMPARE(f.column(ResultModel::SizeColumn)[row], QStringLiteral("1,234,567"));
    }
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
}

void SearchFaultsTest::folderVanishesDuringTheWalk()
{
    // While the start folder is being listed, a subfolder and the subfolder of another go.
    MainWindowFixture f;
    fillTree(f.tree);
    f.open();
    std::atomic<bool> removed{false};
    std::atomic<int> failedCalls{0};
    const QByteArray root = f.tree.root();
    f.fake.fileSystem.whileFiltering = [&](const QByteArray &folder, QByteArrayView) {
        if (folder != root || removed.exchange(true))
            return;
        for (const char *gone : {"b/b1.txt", "a/deep/deeper/e1.txt", "a/deep/d1.txt"})
            failedCalls += ::unlink((root + '/' + gone).constData()) != 0;
        for (const char *gone : {"b", "a/deep/deeper", "a/deep"})
            failedCalls += ::rmdir((root + '/' + gone).constData()) != 0;
    };
    f.search("optSearch_1");
    f.fake.fileSystem.whileFiltering = nullptr;
    QVERIFY(removed);
    QCOMPARE(failedCalls.load(), 0);
    const QByteArrayList expected{f.tree.path("top1.txt"), f.tree.path("top2.txt"), f.tree.path("a/a1.txt"),
                                  f.tree.path("a/a2.txt"), f.tree.path("a/zz/z1.txt"), f.tree.path("c/c1.txt"),
                                  f.tree.path("c/inner/i1.txt")};
    QCOMPARE(rowPaths(f), expected);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("7"));
}

void SearchFaultsTest::folderSwappedForALinkIsNotEntered_data()
{
    QTest::addColumn<QByteArray>("swapped");
    QTest::newRow("first subfolder") << QByteArray("a");
    QTest::newRow("deep folder") << QByteArray("a/deep");
    QTest::newRow("last subfolder of a subfolder") << QByteArray("c/inner");
}

// Right before the walk opens a folder it has listed as a subfolder, the folder is moved
// out of the tree and a link to it takes its place: the link must not be followed.
void SearchFaultsTest::folderSwappedForALinkIsNotEntered()
{
    QFETCH(QByteArray, swapped);
    MainWindowFixture f;
    fillTree(f.tree);
    TempTree outside;
    f.open();
    const QByteArray folder = f.tree.path(swapped);
    const QByteArray moved = outside.path("moved");
    std::atomic<int> swaps{0};
    std::atomic<int> failedCalls{0};
    f.fake.fileSystem.beforeListing = [&](const QByteArray &listed) {
        if (withoutTrailingSeparator(listed) != folder || swaps++ != 0)
            return;
        failedCalls += ::rename(folder.constData(), moved.constData()) != 0;
        failedCalls += ::symlink(moved.constData(), folder.constData()) != 0;
    };
    const QByteArrayList expected = expectedWithout(f.tree, true, {swapped});
    f.search("optSearch_1");
    f.fake.fileSystem.beforeListing = nullptr;
    QCOMPARE(swaps.load(), 1);
    QCOMPARE(failedCalls.load(), 0);
    QCOMPARE(rowPaths(f), expected);
}

void SearchFaultsTest::nothingReadableToStartFrom_data()
{
    QTest::addColumn<QString>("scope");
    QTest::newRow("one folder") << "optSearch_0";
    QTest::newRow("with subfolders") << "optSearch_1";
}

// Neither the working folder nor its volume's root can be read, so the folder chooser has
// no folder open: a search lists nothing, and another drive that cannot be read either
// offers Retry and Cancel.
void SearchFaultsTest::nothingReadableToStartFrom()
{
    QFETCH(QString, scope);
    MainWindowFixture f;
    fillTree(f.tree);
    f.fake.fileSystem.volumeList = {"/", f.tree.root()};
    f.fake.fileSystem.listErrors.insert(f.tree.root(), EACCES);
    f.fake.fileSystem.listErrors.insert("/", EACCES);
    f.open();

    f.search(qPrintable(scope));
    QCOMPARE(f.window->results().rowCount(), 0);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));

    f.fake.messageBoxes.answers = {MsgAnswer::Retry, MsgAnswer::Cancel};
    f.find<QComboBox>("Drive1")->setCurrentIndex(0);
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 2);
    for (const auto &box : f.fake.messageBoxes.boxes) {
        QCOMPARE(box.style, MsgStyle::RetryCancel + MsgStyle::Information);
        QVERIFY2(box.text.startsWith(QStringLiteral("/ を読み取れません。")), qPrintable(box.text));
    }
    f.search(qPrintable(scope));
    QCOMPARE(f.window->results().rowCount(), 0);
}

void SearchFaultsTest::escapeKeepsTheRowsFoundSoFar_data()
{
    QTest::addColumn<QByteArray>("stopIn"); // the folder being listed when Escape comes
    QTest::addColumn<bool>("stuck");        // its listing hangs past the stop, as on a dead share
    QTest::newRow("start folder") << QByteArray() << false;
    QTest::newRow("first subfolder") << QByteArray("a") << false;
    QTest::newRow("deepest folder") << QByteArray("a/deep/deeper") << false;
    QTest::newRow("last folder") << QByteArray("c/inner") << false;
    QTest::newRow("stuck in the start folder") << QByteArray() << true;
    QTest::newRow("stuck in a subfolder") << QByteArray("a/deep") << true;
}

void SearchFaultsTest::escapeKeepsTheRowsFoundSoFar()
{
    QFETCH(QByteArray, stopIn);
    QFETCH(bool, stuck);
    MainWindowFixture f;
    fillTree(f.tree);
    f.open();
    const QByteArrayList whole = expectedWithout(f.tree, true, {});
    const QByteArray target = stopIn.isEmpty() ? f.tree.root() : f.tree.path(stopIn);
    const auto inTarget = [&](const QByteArray &path) { return parentFolder(path) == target; };
    std::atomic<bool> pressed{false};
    bool waitCursor = false;
    const auto pressEscape = [&] {
        f.onWindowThread([&] {
            waitCursor = QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            f.pressEscape();
        });
    };
    f.fake.fileSystem.whileFiltering = [&](const QByteArray &folder, QByteArrayView) {
        if (!stuck && withoutTrailingSeparator(folder) == target && !pressed.exchange(true))
            pressEscape();
    };
    if (stuck) {
        f.fake.fileSystem.hang(target, [&] {
            pressed = true;
            pressEscape();
        });
    }
    f.search("optSearch_1");
    f.fake.fileSystem.whileFiltering = nullptr;
    if (stuck) {
        // The command has returned while the listing still hangs; once it lets go, the walk
        // ends on its own and leaves the list as it is.
        QCOMPARE(f.fake.fileSystem.held.load(), 1);
        const QStringList shown = f.column(1);
        QVERIFY(f.fake.fileSystem.letGo());
        QCoreApplication::processEvents();
        QCOMPARE(f.column(1), shown);
    }

    QVERIFY(pressed);
    QVERIFY(waitCursor);
    QVERIFY(!QGuiApplication::overrideCursor());
    // The folder in hand when Escape came and everything after it are left out.
    const QByteArrayList rows = rowPaths(f);
    QVERIFY(rows.size() <= std::find_if(whole.begin(), whole.end(), inTarget) - whole.begin());
    QCOMPARE(rows, whole.mid(0, rows.size()));
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(rows.size()));
    QCOMPARE(f.label("lblTime")->text(), QStringLiteral("1"));
    QCOMPARE(QApplication::focusWidget(), f.list());
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());

    f.search("optSearch_1"); // the stop was for that search alone
    QCOMPARE(rowPaths(f), whole);
}

void SearchFaultsTest::inputDuringTheSearchIsDropped_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("a click on Delete all") << "click cmdRemoveAll";
    QTest::newRow("Space on Delete all") << "space cmdRemoveAll";
    QTest::newRow("a click on Exit") << "click cmdEnd";
}

void SearchFaultsTest::inputDuringTheSearchIsDropped()
{
    QFETCH(QString, input);
    MainWindowFixture f;
    fillTree(f.tree);
    f.open();
    const QByteArrayList whole = expectedWithout(f.tree, true, {});
    const auto give = [&] {
        QAbstractButton *target = f.button(qPrintable(input.section(QLatin1Char(' '), 1)));
        if (input.startsWith(QLatin1String("click "))) {
            QTest::mouseClick(target, Qt::LeftButton);
        } else {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Space);
        }
    };
    std::atomic<bool> given{false};
    const QByteArray middle = f.tree.path("a/deep");
    f.fake.fileSystem.whileFiltering = [&](const QByteArray &folder, QByteArrayView) {
        if (withoutTrailingSeparator(folder) != middle || given.exchange(true))
            return;
        // Once rows are listed, Delete all would have something to ask about.
        int shown = 0;
        while (shown == 0)
            f.onWindowThread([&] { shown = f.window->results().rowCount(); });
        f.onWindowThread(give);
    };
    f.search("optSearch_1");
    f.fake.fileSystem.whileFiltering = nullptr;
    QCoreApplication::processEvents(); // nothing is replayed either

    QVERIFY(given);
    QCOMPARE(rowPaths(f), whole);
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(whole.size()));
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
    QVERIFY(f.fake.fileSystem.removeCalls.isEmpty());
    QCOMPARE(f.fake.exit.calls, 0);

    give(); // the same input once the search is over does act: it asks before it deletes or ends
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
}

QTEST_MAIN(SearchFaultsTest)
#include "tst_searchfaults.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Delete selected and delete all on random trees with random selections, while files behind
// some rows are removed, replaced by folders or links, made read-only or refused with an
// error, or their folder is moved away with a link to it left in its place. Afterwards the
// disk must hold exactly what was not confirmed, or not reached before a failure stopped
// the command, and the list and its count must agree with it.
// VASHTEM_SEED=n replays one tree; VASHTEM_TREES=n runs more of them.
#include "support/core/DiskSnapshot.h"
#include "support/ui/MainWindowFixture.h"
#include "support/core/RandomTree.h"

#include "ui/FolderListBox.h"
#include "platform/MessageBoxes.h"
#include "core/results/ResultModel.h"
#include "core/text/ErrorText.h"

#include <QItemSelectionModel>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

constexpr int Trees = 120;
constexpr int MaxRoundsPerTree = 3;
const QString DeleteTitle = QStringLiteral("ファイルの削除");
const int RefusedErrors[] = {EPERM, EROFS, EBUSY};
const int SelectionDensities[] = {0, 10, 30, 60, 100};
const char *const Commands[] = {"cmdRemoveOne", "mnuRemoveOne", "cmdRemoveAll", "mnuRemoveAll"};

bool ok(bool condition, QByteArray &failures, const QByteArray &what)
{
    if (!condition)
        failures += what + '\n';
    return condition;
}

QByteArray relativeTo(const TempTree &tree, const QByteArray &path)
{
    return path.mid(tree.root().size() + 1);
}

// Whether a folder between the tree's root and the file is a link now.
bool linkOnTheWay(const TempTree &tree, const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', tree.root().size() + 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
        struct stat facts;
        if (::lstat(path.left(slash).constData(), &facts) == 0 && S_ISLNK(facts.st_mode))
            return true;
    }
    return false;
}

// Which file and folder a row named when it was listed.
struct Identity {
    dev_t device = 0;
    ino_t file = 0;
    ino_t folder = 0;
};

std::map<QByteArray, Identity> identitiesOf(const QByteArrayList &paths)
{
    std::map<QByteArray, Identity> identities;
    for (const QByteArray &path : paths) {
        struct stat file, folder;
        if (::lstat(path.constData(), &file) == 0 && ::lstat(path.left(path.lastIndexOf('/')).constData(), &folder) == 0)
            identities[path] = {file.st_dev, file.st_ino, folder.st_ino};
    }
    return identities;
}

// Changes what stands behind a row, as another program might while the list is shown.
QByteArray sabotage(MainWindowFixture &f, TempTree &tree, QRandomGenerator &random, const QByteArray &path,
                    const QByteArray &someOtherFile)
{
    const QByteArray relative = relativeTo(tree, path);
    switch (random.bounded(8)) {
    case 0:
        ::unlink(path.constData());
        return "removed";
    case 1:
        ::unlink(path.constData());
        tree.file(relative + "/inside.txt", 5);
        return "replaced by a folder";
    case 2:
        ::unlink(path.constData());
        tree.symlink(relative, chance(random, 50) ? someOtherFile : tree.root());
        return "replaced by a link";
    case 3:
        tree.makeReadOnly(relative);
        return "made read-only";
    case 4:
        // The row's path now leads through a link to the very file it named.
        if (const qsizetype slash = relative.lastIndexOf('/'); slash > 0 && !linkOnTheWay(tree, path)) {
            const QByteArray folder = relative.left(slash);
            const QByteArray moved = folder + ".moved";
            if (::rename(tree.path(folder).constData(), tree.path(moved).constData()) == 0) {
                tree.symlink(folder, moved.mid(moved.lastIndexOf('/') + 1));
                return "folder moved, a link to it in its place";
            }
        }
        [[fallthrough]];
    case 5:
        // As a log is rotated: a new file is made and takes the listed one's name.
        if (::rename(tree.file(relative + ".new", 3).constData(), path.constData()) == 0)
            return "another file took its name";
        [[fallthrough]];
    case 6:
        // Its folder is renamed and made anew, with a file of the same name in it.
        if (const qsizetype slash = relative.lastIndexOf('/'); slash > 0 && !linkOnTheWay(tree, path)) {
            const QByteArray folder = relative.left(slash);
            if (::rename(tree.path(folder).constData(), tree.path(folder + ".old").constData()) == 0) {
                tree.file(relative, 3);
                return "its folder renamed and made anew";
            }
        }
        [[fallthrough]];
    default: {
        const int error = pick(random, RefusedErrors);
        f.fake.fileSystem.removeErrors.insert(path, error);
        return "refused with " + QByteArray(std::strerror(error));
    }
    }
}

// What the report must say when deleting the file at `path` fails, as the file system
// documents it; empty when the file can be deleted.
QString expectedFailure(const FaultyFileSystem &fileSystem, const TempTree &tree, const QByteArray &path,
                        const Identity &listedAs)
{
    if (const int refused = fileSystem.removeErrors.value(path))
        return errorReason(refused);
    if (linkOnTheWay(tree, path))
        return errorReason(ENOENT);
    struct stat folder, facts;
    if (::lstat(path.left(path.lastIndexOf('/')).constData(), &folder) != 0)
        return errorReason(errno);
    if (folder.st_ino != listedAs.folder)
        return QStringLiteral("一覧に表示したときのフォルダではなくなっています");
    if (::lstat(path.constData(), &facts) != 0)
        return errorReason(errno);
    if (S_ISDIR(facts.st_mode))
        return QStringLiteral("フォルダがあります");
    if (S_ISLNK(facts.st_mode))
        return QStringLiteral("シンボリックリンクがあります");
    if (facts.st_ino != listedAs.file || facts.st_dev != listedAs.device)
        return QStringLiteral("一覧に表示したファイルではなくなっています");
    return (facts.st_mode & S_IWUSR) ? QString() : errorReason(EACCES);
}

QByteArrayList rowPaths(const MainWindowFixture &f)
{
    QByteArrayList paths;
    for (int row = 0; row < f.window->results().rowCount(); ++row)
        paths.append(f.window->results().fullPath(row));
    return paths;
}

QByteArray listed(const QByteArrayList &paths)
{
    QByteArray text;
    for (const QByteArray &path : paths)
        text += "\n    " + path.toPercentEncoding("/ ");
    return text;
}

} // namespace

class DeletionRandomTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void diskAndListAgreeAfterEveryDeletion();
};

void DeletionRandomTest::diskAndListAgreeAfterEveryDeletion()
{
    MainWindowFixture f;
    f.open();
    auto *folderBox = f.find<FolderListBox>("Dir1");
    QItemSelectionModel *selection = f.list()->selectionModel();
    const std::vector<quint32> seeds = testSeeds(1001, Trees);
    std::map<QString, int> failuresByReport;
    int commands = 0;
    int filesDeleted = 0;
    int sabotaged = 0;
    int stoppedAtLinkedFolder = 0;

    for (const quint32 seed : seeds) {
        // Named before the tree is made, so that a crash or a hang names its tree too.
        qInfo("tree of seed %u (replay with VASHTEM_SEED=%u)", seed, seed);
        TempTree tree;
        QRandomGenerator random(seed);
        std::set<QByteArray> tampered;
        fillRandomTree(tree, random, {.maxDepth = 2, .hugeFiles = false});
        f.fake.fileSystem.removeErrors.clear();
        QCOMPARE(folderBox->setPath(tree.root()), 0);
        f.edit("txtExt")->clear();
        f.search("optSearch_1");
        std::map<QByteArray, Identity> listedAs = identitiesOf(rowPaths(f));

        const int rounds = 1 + random.bounded(MaxRoundsPerTree);
        for (int round = 0; round < rounds; ++round) {
            if (round > 0 && chance(random, 30)) {
                f.search("optSearch_1");
                listedAs = identitiesOf(rowPaths(f));
            }
            const QByteArrayList rows = rowPaths(f);
            if (rows.isEmpty())
                break;
            QByteArray story = "seed " + QByteArray::number(seed) + " (replay with VASHTEM_SEED="
                + QByteArray::number(seed) + "), round " + QByteArray::number(round) + ", "
                + QByteArray::number(rows.size()) + " rows";
            for (int row = 0; row < rows.size(); ++row) {
                struct stat facts;
                const bool plainFile = ::lstat(rows[row].constData(), &facts) == 0 && S_ISREG(facts.st_mode);
                if (chance(random, 12) && plainFile && !tampered.count(rows[row])) {
                    tampered.insert(rows[row]);
                    story += "\n  row " + QByteArray::number(row) + " "
                        + sabotage(f, tree, random, rows[row], rows[random.bounded(rows.size())]);
                    ++sabotaged;
                }
            }

            selection->clearSelection();
            const int density = pick(random, SelectionDensities);
            QList<int> toSelect;
            for (int row = 0; row < rows.size(); ++row) {
                if (chance(random, density))
                    toSelect.append(row);
            }
            f.selectRows(toSelect);
            const int currentRow = chance(random, 50) ? random.bounded(rows.size()) : -1;
            if (currentRow >= 0)
                selection->setCurrentIndex(f.list()->model()->index(currentRow, 0), QItemSelectionModel::NoUpdate);
            const QByteArray command = pick(random, Commands);
            const bool all = command.endsWith("All");
            const bool confirmed = chance(random, 85);
            story += "\n  " + command + " with " + QByteArray::number(toSelect.size()) + " selected, "
                + (confirmed ? "confirmed" : "cancelled");

            // The outcome as documented: from the last chosen row up, until a file cannot go.
            const QList<int> selectedBefore = f.selectedRows();
            QByteArrayList expectedCalls;
            std::set<int> deleted;
            int failedRow = -1;
            QString failure;
            for (int row = rows.size() - 1; confirmed && row >= 0; --row) {
                if (!all && !selectedBefore.contains(row))
                    continue;
                // A file the check finds undeletable is never handed to the removal.
                failure = expectedFailure(f.fake.fileSystem, tree, rows[row], listedAs[rows[row]]);
                if (!failure.isEmpty()) {
                    failedRow = row;
                    break;
                }
                expectedCalls.append(rows[row]);
                deleted.insert(row);
            }
            DiskSnapshot expectedDisk = snapshotOf(tree.root());
            for (const int row : deleted)
                expectedDisk.erase(relativeTo(tree, rows[row]));
            QByteArrayList expectedRows;
            for (int row = 0; row < rows.size(); ++row) {
                if (!deleted.count(row))
                    expectedRows.append(rows[row]);
            }
            QList<int> expectedSelection;
            for (const int row : selectedBefore) {
                if (!confirmed || row <= failedRow)
                    expectedSelection.append(row);
            }

            f.fake.messageBoxes.boxes.clear();
            f.fake.messageBoxes.answers = {confirmed ? MsgAnswer::Ok : MsgAnswer::Cancel};
            f.fake.fileSystem.removeCalls.clear();
            f.run(QString::fromLatin1(command));
            ++commands;
            filesDeleted += int(deleted.size());
            if (failedRow >= 0) {
                ++failuresByReport[failure];
                stoppedAtLinkedFolder += linkOnTheWay(tree, rows[failedRow]) ? 1 : 0;
            }

            QByteArray failures;
            const QList<RecordingMessageBoxes::Box> &boxes = f.fake.messageBoxes.boxes;
            ok(!boxes.isEmpty() && boxes.first().title == DeleteTitle && boxes.first().style == MsgStyle::OkCancel,
               failures, "no confirmation asked first");
            ok(f.fake.fileSystem.removeCalls == expectedCalls, failures,
               "deletions asked for:" + listed(f.fake.fileSystem.removeCalls) + "\n  expected:" + listed(expectedCalls));
            const QByteArray diskChanges = differences(expectedDisk, snapshotOf(tree.root()));
            ok(diskChanges.isEmpty(), failures, "disk differs from what must remain:\n" + diskChanges);
            ok(rowPaths(f) == expectedRows, failures,
               "rows left:" + listed(rowPaths(f)) + "\n  expected:" + listed(expectedRows));
            ok(f.label("lblFileSum")->text() == QString::number(expectedRows.size()), failures,
               "count label says " + f.label("lblFileSum")->text().toUtf8());
            ok(f.selectedRows() == expectedSelection, failures, "selection not kept as it was up to the failure");
            if (currentRow >= 0 && (!confirmed || currentRow <= failedRow))
                ok(selection->currentIndex().row() == currentRow, failures, "current row moved");
            if (failedRow >= 0 && ok(boxes.size() == 2, failures, "no single failure report")) {
                const RecordingMessageBoxes::Box &report = boxes.last();
                ok(report.title == DeleteTitle && report.style == MsgStyle::OkOnly + MsgStyle::Warning, failures,
                   "failure report has the wrong title or style");
                ok(report.text.contains(QString::fromUtf8(rows[failedRow])) && report.text.contains(failure),
                   failures, "failure report does not name the file and the cause: " + report.text.toUtf8());
            } else if (failedRow < 0) {
                ok(boxes.size() == 1, failures, "a report although nothing failed");
            }
            QVERIFY2(failures.isEmpty(), (story + "\n" + failures).constData());
        }
    }

    qInfo("%d commands on %d random trees deleted %d files; %d files changed behind their rows; failures:",
          commands, int(seeds.size()), filesDeleted, sabotaged);
    for (const auto &[report, count] : failuresByReport)
        qInfo("  %s: %d", qPrintable(report), count);
    qInfo("  of these at a folder replaced by a link: %d", stoppedAtLinkedFolder);
    // The generator must keep meeting every failure the program can meet when deleting.
    if (seeds.size() >= size_t(Trees)) {
        QStringList reports;
        for (const int error : {EACCES, EPERM, EROFS, EBUSY, ENOENT})
            reports.append(errorReason(error));
        reports << QStringLiteral("フォルダがあります") << QStringLiteral("シンボリックリンクがあります")
                << QStringLiteral("一覧に表示したファイルではなくなっています")
                << QStringLiteral("一覧に表示したときのフォルダではなくなっています");
        for (const QString &report : reports)
            QVERIFY2(failuresByReport[report] > 0, qPrintable(report));
        QVERIFY(stoppedAtLinkedFolder > 0);
    }
}

QTEST_MAIN(DeletionRandomTest)
#include "tst_deletionrandom.moc"

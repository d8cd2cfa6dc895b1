// SPDX-License-Identifier: GPL-3.0-or-later
// The search command and the two handlers that prepare its inputs.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "ui/BusyCommand.h"
#include "ui/DriveComboBox.h"
#include "ui/FileList.h"
#include "ui/FolderListBox.h"
#include "platform/MessageBoxes.h"
#include "platform/MountTable.h"
#include "platform/TickClock.h"
#include "core/results/ResultModel.h"
#include "core/results/RowBatches.h"
#include "core/results/RowFeed.h"
#include "platform/Paths.h"
#include "core/search/FolderSearch.h"
#include "core/text/ErrorText.h"
#include "core/text/NumberFormat.h"
#include "core/search/SizeLimit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <memory>

namespace vashtem {

namespace {

// What a search's walk works on, all its own, so that a walk stuck on a share that stopped
// answering can be left behind without touching the window again.
struct SearchJob {
    SearchJob(const FileSystem &fileSystem, const SearchCriteria &criteria, const ResultStore &shown)
        : criteria(criteria), batches(shown), search(fileSystem, this->criteria, batches.writing()) {}

    SearchCriteria criteria;
    RowBatches batches;
    FolderSearch search;
};

} // namespace

void frmMain::cmdSearch_Click()
{
    if (chkSize->isChecked() && txtSize->text().isEmpty()) {
        m_platform.messageBoxes.show(this, QStringLiteral("ファイルサイズが入力されていません"),
                                     QStringLiteral("ファイルサイズを入力してください"), MsgStyle::OkOnly);
        txtSize->setFocus();
        return;
    }
    m_results->removeAllRows();
    readCriteria();
    File1->setPattern(m_criteria.pattern);

    // The walk runs on a thread of its own and hands its rows over in batches, which the
    // list takes in a part at a time as they come, while the count shows every row found;
    // Escape ends it with the rows found so far. A walk stuck in a call to a share that
    // stopped answering is left to end on its own, with the rows it had handed over shown.
    BusyCommand busy(this);
    const auto job = std::make_shared<SearchJob>(m_platform.fileSystem, m_criteria, m_results->store());
    RowFeed feed(job->batches, *m_results);
    job->search.setStop(busy.stopToken());
    job->search.setRowsReady([batches = &job->batches] { batches->offer(); });
    const qint64 start = m_platform.clock.milliseconds();
    busy.run([job] {
        job->search.SearchFiles();
        job->batches.finish();
    }, [&] {
        const bool more = feed.showNextPart();
        lblFileSum->setText(QString::number(feed.rowsFound()));
        return more;
    }, BusyCommand::Stuck::LeaveIt);
    const qint64 elapsed = m_platform.clock.milliseconds() - start;

    if (busy.abandoned())
        feed.showRest();
    else
        m_criteria.currentFolder = job->criteria.currentFolder;
    File1->setPath(m_criteria.currentFolder);
    setRowCountText();
    lblTime->setText(formatGrouped(elapsed));
    ListView1->setFocus();
    if (!busy.stopped())
        reportUnread(job->search);
}

// The rows found are shown first; a box then says what could not be read, so that no partial
// list passes for a whole one.
void frmMain::reportUnread(const FolderSearch &search)
{
    const QString title = QStringLiteral("Vashtem");
    const int style = MsgStyle::OkOnly + MsgStyle::Warning;
    const QByteArray &folder = m_criteria.startFolder;
    // With no folder open in the chooser there was nothing to search.
    if (const int error = search.startFolderError(); error != 0 && !folder.isEmpty()) {
        m_platform.messageBoxes.show(this, QStringLiteral("%1 を読み取れません。\n%2")
                                               .arg(QString::fromUtf8(folder), errorReason(error)), title, style);
    } else if (search.incomplete()) {
        m_platform.messageBoxes.show(this, QStringLiteral("開いているファイルが多すぎるか、メモリが足りないため、"
                                                          "読み取れなかったフォルダがあります。"
                                                          "一覧に表示したファイルがすべてではありません。"),
                                     title, style);
    }
}

void frmMain::readCriteria()
{
    m_criteria.sizeFilter = chkSize->isChecked();
    m_criteria.sizeLimit = 0;
    if (m_criteria.sizeFilter) {
        const SizeUnit unit = optByte[0]->isChecked() ? SizeUnit::Megabytes
            : optByte[1]->isChecked()                 ? SizeUnit::Kilobytes
                                                      : SizeUnit::Bytes;
        m_criteria.sizeLimit = sizeLimitFor(txtSize->text(), unit);
    }
    m_criteria.pattern = txtExt->text().isEmpty() ? QStringLiteral("*.*") : txtExt->text();
    m_criteria.startFolder = Dir1->entry(-1);
    m_criteria.currentFolder = Dir1->path();
    // With no folder open (none could be read) there is nothing to search, not the root.
    if (!m_criteria.currentFolder.isEmpty())
        AppendBackslash(m_criteria.currentFolder);
    m_criteria.direction = optUD[0]->isChecked() ? Direction::Larger : Direction::Smaller;
    m_criteria.scope = optSearch[0]->isChecked() ? Scope::OneFolder : Scope::WithSubfolders;
}

void frmMain::chkSize_Click()
{
    const Qt::CheckState state = chkSize->checkState();
    if (state == Qt::PartiallyChecked)
        return;
    const bool visible = state == Qt::Checked;
    txtSize->setVisible(visible);
    fraByte->setVisible(visible);
    fraUD->setVisible(visible);
}

void frmMain::Drive1_Change()
{
    // The volume that holds the open folder keeps that folder, as a drive keeps its own
    // current folder; any other volume opens at its root.
    const QByteArray drive = Drive1->drive();
    const bool sameVolume = !Dir1->path().isEmpty() && Drive1->volumeOf(Dir1->path()) == drive;
    const QByteArray target = sameVolume ? Dir1->path() : drive;
    for (;;) {
        const int error = Dir1->setPath(target);
        if (error == 0)
            return;
        const QString text = QStringLiteral("%1 を読み取れません。\n%2")
                                 .arg(QString::fromUtf8(drive), errorReason(error));
        const int answer = m_platform.messageBoxes.show(this, text, QStringLiteral("Vashtem"),
                                                        MsgStyle::RetryCancel + MsgStyle::Information);
        if (answer != MsgAnswer::Retry)
            break;
    }
    // Choosing the folder chooser's drive again is itself a drive change, which reopens it.
    Drive1->setDriveOf(Dir1->path());
}

} // namespace vashtem

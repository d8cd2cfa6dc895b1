// SPDX-License-Identifier: GPL-3.0-or-later
// Delete selected and delete all: one confirmation, then the files go from the last row up.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "ui/BusyCommand.h"
#include "platform/MessageBoxes.h"
#include "core/results/Deletion.h"
#include "core/results/ResultModel.h"
#include "core/text/ErrorText.h"

#include <QItemSelectionModel>
#include <QLabel>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace vashtem {

namespace {

const QString DeleteTitle = QStringLiteral("ファイルの削除");

// Why a file was not deleted, as the user should read it.
QString reasonText(const DeleteFailure &failure)
{
    using Reason = DeleteFailure::Reason;
    switch (failure.reason) {
    case Reason::OtherFile:
        return QStringLiteral("一覧に表示したファイルではなくなっています。同じ名前の別のファイルに置き換わっています。");
    case Reason::OtherFolder:
        return QStringLiteral("ファイルのあるフォルダが、一覧に表示したときのフォルダではなくなっています。");
    case Reason::Link:
        return QStringLiteral("ファイルのあった場所にシンボリックリンクがあります。");
    case Reason::Folder:
        return QStringLiteral("ファイルのあった場所にフォルダがあります。");
    case Reason::Fifo:
        return QStringLiteral("ファイルのあった場所に名前付きパイプ (FIFO) があります。");
    case Reason::Socket:
        return QStringLiteral("ファイルのあった場所にソケットがあります。");
    case Reason::Device:
        return QStringLiteral("ファイルのあった場所にデバイスファイルがあります。");
    case Reason::None:
    case Reason::SystemError:
        break;
    }
    return errorReason(failure.error);
}

} // namespace

void frmMain::cmdRemoveOne_Click()
{
    if (m_results->rowCount() == 0)
        return;
    if (m_platform.messageBoxes.show(this, QStringLiteral("本当に削除します。よろしいですか？"), DeleteTitle,
                                     MsgStyle::OkCancel) == MsgAnswer::Cancel)
        return;
    deleteRows(selectedRows());
}

void frmMain::cmdRemoveAll_Click()
{
    if (m_results->rowCount() == 0)
        return;
    if (m_platform.messageBoxes.show(this, QStringLiteral("全てのファイルを削除します。よろしいですか？"),
                                     DeleteTitle, MsgStyle::OkCancel) == MsgAnswer::Cancel)
        return;
    deleteRows(std::vector<bool>(size_t(m_results->rowCount()), true));
}

std::vector<bool> frmMain::selectedRows() const
{
    // Read the selection as ranges: asking row by row would cost rows times ranges.
    std::vector<bool> selected(size_t(m_results->rowCount()), false);
    const QItemSelection selection = ListView1->selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            selected[size_t(row)] = true;
    }
    return selected;
}

void frmMain::deleteRows(const std::vector<bool> &chosen)
{
    // The files go on a thread of its own while the list stays as it is, only read; the
    // count shows the rows that remain, and Escape stops after the file in hand. What the
    // work uses is its own, so that a deletion stuck on a share that stopped answering can
    // be left to end on its own, the rows of the files it had deleted by then taken out.
    BusyCommand busy(this);
    const auto progress = std::make_shared<DeletionProgress>(busy.stopToken());
    const auto done = std::make_shared<DeletionOutcome>();
    const qsizetype rowsBefore = m_results->rowCount();
    busy.run([progress, done, rows = m_results->sharedStore(), chosen, fileSystem = &m_platform.fileSystem]() mutable {
        *done = deleteChosenFiles(*rows, chosen, *fileSystem, *progress);
        rows.reset(); // the list changes them in place once no one else reads them
    }, [&] {
        lblFileSum->setText(QString::number(rowsBefore - progress->deleted.load()));
        return false;
    }, BusyCommand::Stuck::LeaveIt);
    DeletionOutcome outcome;
    if (busy.abandoned())
        outcome = {progress->keptSoFar(rowsBefore), -1, {}, rowsBefore - 1};
    else
        outcome = std::move(*done);
    QByteArray failedPath;
    if (outcome.failedRow >= 0)
        failedPath = m_results->fullPath(int(outcome.failedRow));

    // The rows that remain keep their selection, and the current row its place if no file
    // before it in order was gone. The spans are kept as row numbers, moved up past the rows
    // taken out: the model's reset invalidates every index a selection holds.
    QItemSelectionModel *selectionModel = ListView1->selectionModel();
    std::vector<int> keptBefore(outcome.keep.size() + 1, 0); // rows kept above each row
    for (size_t row = 0; row < outcome.keep.size(); ++row)
        keptBefore[row + 1] = keptBefore[row] + (outcome.keep[row] ? 1 : 0);
    std::vector<std::pair<int, int>> keptSpans;
    const QItemSelection selection = selectionModel->selection();
    for (const QItemSelectionRange &range : selection) {
        const int top = keptBefore[size_t(range.top())];
        const int bottom = keptBefore[size_t(range.bottom()) + 1] - 1;
        if (top <= bottom)
            keptSpans.emplace_back(top, bottom);
    }
    const int currentRow = selectionModel->currentIndex().row();
    const bool currentKept = currentRow >= 0 && currentRow <= std::max(outcome.failedRow, outcome.stoppedAt)
        && outcome.keep[size_t(currentRow)];

    m_results->keepRows(outcome.keep);
    if (!keptSpans.empty()) {
        QItemSelection keptSelection;
        for (const auto &[top, bottom] : keptSpans)
            keptSelection.select(m_results->index(top, 0), m_results->index(bottom, ResultModel::ColumnCount - 1));
        selectionModel->select(keptSelection, QItemSelectionModel::Select);
    }
    if (currentKept)
        selectionModel->setCurrentIndex(m_results->index(keptBefore[size_t(currentRow)], 0),
                                        QItemSelectionModel::NoUpdate);
    setRowCountText();

    if (outcome.failedRow >= 0)
        reportDeleteFailure(failedPath, outcome.failure);
}

void frmMain::reportDeleteFailure(const QByteArray &path, const DeleteFailure &failure)
{
    const QString text = QStringLiteral("次のファイルを削除できませんでした。\n%1\n\n%2")
                             .arg(QString::fromUtf8(path), reasonText(failure));
    m_platform.messageBoxes.show(this, text, DeleteTitle, MsgStyle::OkOnly + MsgStyle::Warning);
}

} // namespace vashtem

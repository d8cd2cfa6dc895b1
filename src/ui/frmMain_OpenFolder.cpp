// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the folder of the current row in the file manager.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "core/results/ResultModel.h"
#include "platform/Paths.h"

#include <QItemSelectionModel>

namespace vashtem {

namespace {

const QString FileManager = QStringLiteral("xdg-open");
const QString FileManagerRole = QStringLiteral("ファイルマネージャ");

} // namespace

void frmMain::cmdExplorer_Click()
{
    if (m_results->rowCount() == 0)
        return;
    // The current row is the focused row, and only while it is selected.
    const QModelIndex current = ListView1->selectionModel()->currentIndex();
    if (!current.isValid() || !ListView1->selectionModel()->isRowSelected(current.row()))
        return;
    openWithFileManager(folderOfFile(m_results->fullPath(current.row())));
}

void frmMain::openWithFileManager(const QByteArray &path)
{
    // xdg-open tells by its exit status whether anything opened the path (a missing file, no
    // program for it); nothing else would tell the user.
    const auto notOpened = [this, path] {
        const QString text = QStringLiteral("%1 %2 は次の場所を開けませんでした。\n%3")
                                 .arg(FileManagerRole, FileManager, QString::fromUtf8(path));
        m_platform.messageBoxes.show(this, text, QStringLiteral("Vashtem"), MsgStyle::OkOnly + MsgStyle::Warning);
    };
    if (!m_platform.launcher.start(FileManager, {fileUrl(path)}, this, notOpened))
        reportLaunchFailure(FileManagerRole, FileManager);
}

void frmMain::reportLaunchFailure(const QString &role, const QString &program)
{
    const QString text = QStringLiteral("%1 %2 を起動できませんでした。").arg(role, program);
    m_platform.messageBoxes.show(this, text, QStringLiteral("Vashtem"), MsgStyle::OkOnly + MsgStyle::Warning);
}

} // namespace vashtem

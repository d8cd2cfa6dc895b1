// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the folder of the current row in the file manager.
#include "ui/frmMain.h"

#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "core/results/ResultModel.h"
#include "platform/Paths.h"

#include <QItemSelectionModel>
#include <QTreeView>

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
    openWithFileManager(fileUrl(folderOfFile(m_results->fullPath(current.row()))));
}

void frmMain::openWithFileManager(const QString &argument)
{
    if (!m_platform.launcher.startDetached(FileManager, {argument}))
        reportLaunchFailure(FileManagerRole, FileManager);
}

void frmMain::reportLaunchFailure(const QString &role, const QString &program)
{
    const QString text = QStringLiteral("%1 %2 を起動できませんでした。").arg(role, program);
    m_platform.messageBoxes.show(this, text, QStringLiteral("Vashtem"), MsgStyle::OkOnly + MsgStyle::Warning);
}

} // namespace vashtem

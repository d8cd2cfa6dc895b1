// SPDX-License-Identifier: GPL-3.0-or-later
// Select all and clear selection: the whole list in one step, as one range.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "core/results/ResultModel.h"

#include <QItemSelectionModel>

namespace vashtem {

void frmMain::Command1_Click()
{
    if (m_results->rowCount() == 0)
        return;
    const QItemSelection everyRow(m_results->index(0, 0),
                                  m_results->index(m_results->rowCount() - 1, ResultModel::ColumnCount - 1));
    // Clear first: merging the whole list into a selection of many ranges, or replacing
    // them in one step, costs the square of their number.
    QItemSelectionModel *selection = ListView1->selectionModel();
    selection->clearSelection();
    selection->select(everyRow, QItemSelectionModel::Select);
    ListView1->setFocus();
}

void frmMain::Command2_Click()
{
    if (m_results->rowCount() == 0)
        return;
    ListView1->selectionModel()->clearSelection();
    ListView1->setFocus();
}

} // namespace vashtem

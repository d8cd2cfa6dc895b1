// Select all and clear selection: the whole list in one step, as one range.
#include "app/frmMain.h"

#include "results/ResultModel.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace vashtem {

void frmMain::Command1_Click()
{
    if (m_results->rowCount() == 0)
        return;
    const QItemSelection everyRow(m_results->index(0, 0),
                                  m_results->index(m_results->rowCount() - 1, ResultModel::ColumnCount - 1));
    ListView1->selectionModel()->select(everyRow, QItemSelectionModel::Select);
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

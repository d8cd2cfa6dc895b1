// SPDX-License-Identifier: GPL-3.0-or-later
// The result list's set-up when the main window loads.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "core/results/ResultModel.h"

#include <QHeaderView>
#include <QLabel>

namespace vashtem {

namespace {

// Each column's share of the list's width; the last column gives up RightMargin pixels.
constexpr float ColumnShares[ResultModel::ColumnCount] = {0.25f, 0.4f, 0.15f, 0.2f};
constexpr float RightMargin = 19.0f;

} // namespace

void frmMain::Form_Load()
{
    // Columns and their alignment come from the model; the widths are set once, here.
    for (int column = 0; column < ResultModel::ColumnCount; ++column) {
        float width = float(ListView1->width()) * ColumnShares[column];
        if (column == ResultModel::DateColumn)
            width -= RightMargin;
        ListView1->horizontalHeader()->resizeSection(column, qRound(width));
    }
    lblFileSum->setText(QStringLiteral("0"));
}

void frmMain::setRowCountText()
{
    lblFileSum->setText(QString::number(m_results->rowCount()));
}

} // namespace vashtem

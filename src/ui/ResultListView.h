// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace vashtem {

// The result list in report form. Every row has the first row's height, so a row's place
// is its position times that height: the view keeps nothing per row beside the header's
// few bytes, and no pass over it grows with the rows. It is a table underneath (which
// also gives a screen reader its rows and cells), but looks and answers the keyboard as a
// report-style list: whole rows are painted and selected, the focus frame spans the row,
// a whole row stays on the top line, Tab leaves the list, Home, End and the page keys
// go by rows and the arrows left and right scroll the columns.
class ResultListView final : public QTableView
{
    Q_OBJECT

public:
    explicit ResultListView(QWidget *parent = nullptr);

    void setSelectionModel(QItemSelectionModel *selectionModel) override;
    void doItemsLayout() override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    bool viewportEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

public Q_SLOTS:
    void reset() override;

protected Q_SLOTS:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void paintRow(QPainter &painter, const QStyleOptionViewItem &rowOption, int row) const;
    void updateRow(int row);
    void keepWholeRowOnTop();
    void takeFirstRowsHeight();

    int m_hoveredRow = -1;
    // The rows there were at the last layout, all of them painted since; -1 once rows came
    // among them, when the next layout repaints what is shown.
    int m_rowsLaidOut = -1;
};

} // namespace vashtem

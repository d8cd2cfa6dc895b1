// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ResultListView.h"

#include <QAccessible>
#include <QHeaderView>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <utility>

namespace vashtem {

namespace {

QStyleOptionViewItem::ViewItemPosition positionInRow(int column, int columns)
{
    if (columns == 1)
        return QStyleOptionViewItem::OnlyOne;
    if (column == 0)
        return QStyleOptionViewItem::Beginning;
    return column == columns - 1 ? QStyleOptionViewItem::End : QStyleOptionViewItem::Middle;
}

// Tells a screen reader of the first cell of a change of the selection, as a table does,
// without listing every cell of it.
void announceFirstCell(QAbstractItemView *view, const QItemSelection &change, QAccessible::Event type)
{
    if (change.isEmpty())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    if (!table)
        return;
    const QModelIndex first = change.first().topLeft();
    QAccessibleEvent event(view, type);
    event.setChild(list->indexOfChild(table->cellAt(first.row(), first.column())));
    QAccessible::updateAccessibility(&event);
}

} // namespace

ResultListView::ResultListView(QWidget *parent)
    : QTableView(parent)
{
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *rows = verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *columns = horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setSectionsMovable(false);
    columns->setStretchLastSection(false);
}

void ResultListView::setSelectionModel(QItemSelectionModel *selectionModel)
{
    QTableView::setSelectionModel(selectionModel);
    // A header that shares the rows' selection asks at every paint whether each row of a
    // column is selected: a million questions a column once a million rows are. Its own
    // selection stays empty, as no header click selects.
    auto *none = new QItemSelectionModel(model(), selectionModel);
    horizontalHeader()->setSelectionModel(none);
    verticalHeader()->setSelectionModel(none);
}

QModelIndex ResultListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return QTableView::moveCursor(cursorAction, modifiers);
    if (isRightToLeft() && (cursorAction == MoveLeft || cursorAction == MoveRight))
        cursorAction = cursorAction == MoveLeft ? MoveRight : MoveLeft;
    switch (cursorAction) {
    case MoveHome:
        return model()->index(0, current.column(), rootIndex());
    case MoveEnd:
        return model()->index(model()->rowCount(rootIndex()) - 1, current.column(), rootIndex());
    case MovePageUp:
    case MovePageDown: {
        // A page on from the row's top, counted in whole rows: the page up stops at the first.
        const int rows = model()->rowCount(rootIndex());
        const qint64 height = rowHeight(current.row());
        const qint64 top = current.row() * height
            + (cursorAction == MovePageDown ? 1 : -1) * qint64(viewport()->height());
        const int row = top < 0 ? 0 : int(std::min<qint64>(top / height, rows - 1));
        return model()->index(row, current.column(), rootIndex());
    }
    case MoveNext:
        return QTableView::moveCursor(MoveDown, modifiers);
    case MovePrevious:
        return QTableView::moveCursor(MoveUp, modifiers);
    case MoveLeft:
    case MoveRight: {
        // A row is chosen whole: left and right move the columns into view instead.
        QScrollBar *bar = horizontalScrollBar();
        bar->setValue(bar->value() + (cursorAction == MoveLeft ? -1 : 1) * bar->singleStep());
        return current;
    }
    default:
        return QTableView::moveCursor(cursorAction, modifiers);
    }
}

void ResultListView::paintEvent(QPaintEvent *event)
{
    const int rowCount = model() ? model()->rowCount(rootIndex()) : 0;
    const QRect area = event->rect();
    const int first = rowAt(area.top());
    if (rowCount == 0 || first < 0)
        return;
    const int last = rowAt(area.bottom()) < 0 ? rowCount - 1 : rowAt(area.bottom());
    QStyleOptionViewItem rowOption;
    QAbstractItemView::initViewItemOption(&rowOption); // the table's own would show decorations selected
    QPainter painter(viewport());
    for (int row = first; row <= last; ++row) {
        rowOption.rect = QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row));
        paintRow(painter, rowOption, row);
    }
}

// Every cell of the row on the row's background, then one focus frame around the whole row.
void ResultListView::paintRow(QPainter &painter, const QStyleOptionViewItem &rowOption, int row) const
{
    const bool enabled = rowOption.state & QStyle::State_Enabled;
    const QModelIndex current = currentIndex();
    const int columns = model()->columnCount(rootIndex());
    bool rowHasFocus = false;
    QStyleOptionViewItem option = rowOption;
    option.showDecorationSelected = true; // the selection covers the whole cell, not its text alone
    for (int column = 0; column < columns; ++column) {
        if (isColumnHidden(column))
            continue;
        const QModelIndex index = model()->index(row, column, rootIndex());
        option.state = rowOption.state;
        option.viewItemPosition = positionInRow(column, columns);
        if (selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        rowHasFocus = rowHasFocus || (hasFocus() && index == current);
        option.state.setFlag(QStyle::State_MouseOver, row == m_hoveredRow);
        if (enabled) {
            const bool itemEnabled = model()->flags(index) & Qt::ItemIsEnabled;
            option.state.setFlag(QStyle::State_Enabled, itemEnabled);
            option.palette.setCurrentColorGroup(!itemEnabled ? QPalette::Disabled
                                                : option.state & QStyle::State_Active ? QPalette::Active
                                                                                      : QPalette::Inactive);
        }
        option.rect = QRect(columnViewportPosition(column), rowOption.rect.y(), columnWidth(column),
                            rowOption.rect.height());
        const QStyle::State state = option.state;
        option.state &= ~QStyle::State_Selected; // the row's background; the cell draws its selection
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
        option.state = state;
        itemDelegateForIndex(index)->paint(&painter, option, index);
    }
    if (!rowHasFocus)
        return;
    QStyleOptionFocusRect frame;
    frame.QStyleOption::operator=(rowOption);
    frame.state |= QStyle::State_KeyboardFocusChange;
    const bool selected = selectionModel()->isSelected(model()->index(row, 0, rootIndex()));
    frame.backgroundColor = rowOption.palette.color(enabled ? QPalette::Normal : QPalette::Disabled,
                                                    selected ? QPalette::Highlight : QPalette::Window);
    const QHeaderView *header = horizontalHeader();
    const QRect whole(-header->offset(), rowOption.rect.y(), header->length(), rowOption.rect.height());
    frame.rect = style()->visualRect(layoutDirection(), viewport()->rect(), whole);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter);
}

void ResultListView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    keepWholeRowOnTop();
}

void ResultListView::updateGeometries()
{
    QTableView::updateGeometries();
    keepWholeRowOnTop();
}

// Scrolled a row at a time, the list starts with a whole row on its last page too (a table
// would end with its last row on the bottom line, cutting the top one).
void ResultListView::keepWholeRowOnTop()
{
    if (verticalScrollMode() != ScrollPerItem)
        return;
    QHeaderView *rows = verticalHeader();
    const int wanted = verticalScrollBar()->value() * rows->defaultSectionSize();
    if (rows->offset() == wanted)
        return;
    rows->setOffset(wanted);
    viewport()->update();
}

bool ResultListView::viewportEvent(QEvent *event)
{
    // The view repaints the rows the mouse enters and leaves; this notes which one it is over.
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        m_hoveredRow = indexAt(static_cast<QHoverEvent *>(event)->position().toPoint()).row();
        break;
    case QEvent::HoverLeave:
        m_hoveredRow = -1;
        break;
    default:
        break;
    }
    return QTableView::viewportEvent(event);
}

void ResultListView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    updateRow(currentIndex().row());
}

void ResultListView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    updateRow(currentIndex().row());
}

// A search adds its rows at the end many times a second; once the list is full, rows added
// below its last line change nothing on screen but the scroll bar, and repainting every
// shown row for each part would take a good share of the window's time.
void ResultListView::doItemsLayout()
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    const int laidOut = std::exchange(m_rowsLaidOut, rows);
    const bool addedBelowView = laidOut > 0 && rows > laidOut
        && rowViewportPosition(laidOut) >= viewport()->height();
    if (!addedBelowView) {
        QTableView::doItemsLayout();
        return;
    }
    updateGeometries();
}

void ResultListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QTableView::rowsInserted(parent, start, end);
    // Rows that come among those laid out (above them, or after a reset) move what is shown.
    if (start < m_rowsLaidOut)
        m_rowsLaidOut = -1;
    if (start == 0)
        takeFirstRowsHeight();
}

void ResultListView::reset()
{
    QTableView::reset();
    takeFirstRowsHeight();
}

void ResultListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // The focus frame spans the row, not the cell.
    updateRow(previous.row());
    updateRow(current.row());
}

void ResultListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    // The table's own version lists every cell of the change to name its first one to a
    // screen reader: four million cells when a million rows are selected at once.
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!QAccessible::isActive())
        return;
    announceFirstCell(this, selected, QAccessible::SelectionAdd);
    announceFirstCell(this, deselected, QAccessible::SelectionRemove);
}

void ResultListView::updateRow(int row)
{
    if (row >= 0)
        viewport()->update(QRect(0, rowViewportPosition(row), viewport()->width(), rowHeight(row)));
}

// Every row takes the height the first row's texts ask for.
void ResultListView::takeFirstRowsHeight()
{
    if (!model() || model()->rowCount(rootIndex()) == 0)
        return;
    QStyleOptionViewItem option;
    QAbstractItemView::initViewItemOption(&option);
    option.rect.setWidth(-1);
    int height = 0;
    for (int column = 0; column < model()->columnCount(rootIndex()); ++column) {
        const QModelIndex index = model()->index(0, column, rootIndex());
        height = std::max(height, itemDelegateForIndex(index)->sizeHint(option, index).height());
    }
    QHeaderView *rows = verticalHeader();
    if (height <= 0 || height == rows->defaultSectionSize())
        return;
    {
        // Told row by row, the view would queue an update for each of them.
        const QSignalBlocker quiet(rows);
        rows->setDefaultSectionSize(height);
    }
    updateGeometries();
    viewport()->update();
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/ResultStore.h"
#include "core/text/DateText.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace vashtem {

// The rows of the result list as a table of four columns. The column texts are computed
// only when the view asks for them, so a million rows cost no more than their values.
class ResultModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, PathColumn, SizeColumn, DateColumn, ColumnCount };

    explicit ResultModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const ResultStore &store() const { return *m_store; }
    // The rows as they are now, for work that may outlive a change of the list.
    std::shared_ptr<const ResultStore> sharedStore() const { return m_store; }
    QByteArray fullPath(int position) const { return m_store->fullPath(position); }
    QString text(int position, Column column) const;

    // Rows [first, end) of a batch: a store that continues the list (ResultStore::continuing).
    struct BatchRows {
        ResultStore *batch;
        qsizetype first;
        qsizetype end;
    };
    // Adds the parts at the end, in their order and in one insertion, so that a search can
    // show its rows while it goes on; a batch may be taken in a part at a time (see
    // ResultStore::append).
    void appendRows(const std::vector<BatchRows> &parts);
    // Keeps the rows whose flag is set, in their order; keep has one flag per row.
    void keepRows(const std::vector<bool> &keep);
    void removeAllRows();

private:
    ResultStore &writable();

    std::shared_ptr<ResultStore> m_store = std::make_shared<ResultStore>();
    DateText m_dateText;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/ResultModel.h"

#include "core/text/NumberFormat.h"


namespace vashtem {

namespace {

QString decodeName(QByteArrayView bytes)
{
    // Invalid UTF-8 shows as replacement characters; the row keeps the bytes themselves.
    return QString::fromUtf8(bytes);
}

} // namespace

ResultModel::ResultModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_store->rowCount());
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ResultModel::text(int position, Column column) const
{
    switch (column) {
    case NameColumn:
        return decodeName(m_store->name(position));
    case PathColumn:
        return decodeName(m_store->fullPath(position));
    case SizeColumn:
        return formatGrouped(m_store->row(position).size);
    case DateColumn:
        return m_dateText.formatEpochSeconds(m_store->row(position).modified);
    case ColumnCount:
        break;
    }
    return {};
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_store->rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), Column(index.column()));
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = index.column() == SizeColumn ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
        case NameColumn: return QStringLiteral("ファイル名");
        case PathColumn: return QStringLiteral("フルパス");
        case SizeColumn: return QStringLiteral("サイズ");
        // The column keeps the caption users know, "created", but shows the last
        // modification: the one date every file system keeps and the search reads.
        case DateColumn: return QStringLiteral("作成日");
        default: return {};
        }
    }
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment horizontal = section == SizeColumn ? Qt::AlignRight : Qt::AlignLeft;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    return {};
}

void ResultModel::appendRows(const std::vector<BatchRows> &parts)
{
    qsizetype added = 0;
    for (const BatchRows &part : parts)
        added += part.end - part.first;
    Q_ASSERT(added > 0); // only rows handed over are shown
    const int shown = rowCount();
    beginInsertRows(QModelIndex(), shown, shown + int(added) - 1);
    for (const BatchRows &part : parts)
        writable().append(*part.batch, part.first, part.end);
    endInsertRows();
}

void ResultModel::keepRows(const std::vector<bool> &keep)
{
    // One reset instead of a signal per removed range: removing scattered rows one range
    // at a time would cost time proportional to rows times ranges.
    beginResetModel();
    writable().keepRows(keep);
    endResetModel();
}

ResultStore &ResultModel::writable()
{
    // Still read by a deletion left behind on a share that stopped answering: it keeps the
    // rows as they were, and the list goes on with a copy.
    if (m_store.use_count() > 1)
        m_store = std::make_shared<ResultStore>(m_store->copy());
    return *m_store;
}

void ResultModel::removeAllRows()
{
    beginResetModel();
    if (m_store.use_count() > 1)
        m_store = std::make_shared<ResultStore>();
    else
        m_store->clear();
    endResetModel();
}

} // namespace vashtem

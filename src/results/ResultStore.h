#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <string>
#include <vector>

namespace vashtem {

// One listed file, kept compact so that a million rows stay small: the name lives in a
// shared byte pool and the folder in a table of folders. The texts of the four columns
// are made from these values only when a row is shown.
struct ResultRow {
    quint32 folder = 0;     // index into the folder table
    quint32 nameLength = 0;
    quint64 nameOffset = 0; // into the name pool
    qint64 size = 0;        // bytes
    qint64 modified = 0;    // seconds since the epoch (UTC)
};

// The rows of the result list and the folders they live in. Paths are bytes, exactly as the
// file system gave them, so a row always names the very file it was made from.
class ResultStore
{
public:
    // Adds a folder, given with its trailing separator; returns its index for appendRow.
    quint32 addFolder(QByteArrayView folderWithSeparator);
    void appendRow(quint32 folder, QByteArrayView name, qint64 size, qint64 modified);

    qsizetype rowCount() const { return qsizetype(m_rows.size()); }
    const ResultRow &row(qsizetype position) const { return m_rows[size_t(position)]; }

    QByteArrayView name(qsizetype position) const;
    QByteArrayView folderPath(qsizetype position) const; // ends with the separator
    QByteArray fullPath(qsizetype position) const;

    // Keeps the rows whose flag in keep is true, in their order. keep has one flag per row.
    void keepRows(const std::vector<bool> &keep);
    void clear();

    // Bytes held by rows, names and folders, for the memory figures.
    size_t memoryUsed() const;

private:
    struct Folder {
        quint64 offset;
        quint32 length;
    };
    std::vector<ResultRow> m_rows;
    std::vector<Folder> m_folders;
    std::string m_names;
    std::string m_folderPaths;
};

} // namespace vashtem

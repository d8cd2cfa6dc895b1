// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results/BytePool.h"
#include "platform/ChunkedVector.h"
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

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
    quint64 inode = 0;      // which file it was, as ListedFile::inode: by what its folder's identity keeps
};

// The rows of the result list and the folders they live in. Paths are bytes, exactly as the
// file system gave them, so a row always names the very file it was made from.
class ResultStore
{
public:
    // Adds a folder by its full path, or as a named subfolder of a folder added before,
    // with the folder it was when listed; returns its index for appendRow. Folders are kept
    // as a tree, so deep paths cost one name each.
    quint32 addFolder(QByteArrayView path, FileIdentity identity);
    quint32 addSubfolder(quint32 parent, QByteArrayView name, FileIdentity identity);
    void appendRow(quint32 folder, const ListedFile &file);

    qsizetype rowCount() const { return qsizetype(m_rows.size()); }
    const ResultRow &row(qsizetype position) const { return m_rows[size_t(position)]; }
    quint32 folderCount() const { return quint32(m_folders.size()); }

    QByteArrayView name(qsizetype position) const;
    QByteArray folderPath(quint32 folder) const; // ends with the separator
    QByteArray fullPath(qsizetype position) const;
    FileIdentity folderIdentity(quint32 folder) const { return m_folders[folder - m_firstFolder].identity; }

    // A store that goes on where `earlier` ends: its folders are numbered after earlier's, so
    // its subfolders and rows may name folders of either, and its rows take the places after
    // earlier's. One thread fills it while another reads earlier; append then moves it onto
    // earlier's end. It cannot give paths itself.
    static ResultStore continuing(const ResultStore &earlier);
    // Moves rows [first, end) of a store made by continuing(*this) onto the end of this one,
    // with all its folders when first is 0: a store is taken in a part at a time, the parts
    // in order and covering every row. Whole chunks of rows move as they are, so that a
    // search's rows are not held twice; later's rows before end are read no more.
    void append(ResultStore &later, qsizetype first, qsizetype end);

    // Keeps the rows whose flag in keep is true, in their order. keep has one flag per row.
    void keepRows(const std::vector<bool> &keep);
    void clear();
    // A copy of every row and folder, made in whole blocks.
    ResultStore copy() const;
    // For a batch shown a part at a time: lets go of what only the rows before position
    // need. The rows from position on stay readable, but not the folders' names, which
    // append() reads with the batch's first part alone.
    void releaseBefore(qsizetype position);

    // Bytes held by rows, names and folders, for the memory figures.
    size_t memoryUsed() const;

private:
    static constexpr quint32 NoParent = ~quint32(0);
    struct Folder {
        quint32 parent;
        quint32 nameLength;
        quint64 nameOffset; // into the name pool
        FileIdentity identity;
    };
    void appendFolderPath(quint32 folder, QByteArray &path) const;

    quint32 m_firstFolder = 0; // the index of m_folders[0]: not 0 in a continuation
    quint64 m_firstRow = 0;    // the place of row 0, likewise
    // Chunks of 4,096 rows: the last one, partly used, costs at most 160 KiB.
    using RowChunks = ChunkedVector<ResultRow, 12>;
    RowChunks m_rows;
    std::vector<Folder> m_folders;
    BytePool m_names;
};

} // namespace vashtem

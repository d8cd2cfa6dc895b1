// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/ResultStore.h"

#include "platform/Paths.h"

#include <algorithm>

namespace vashtem {

quint32 ResultStore::addFolder(QByteArrayView path, FileIdentity identity)
{
    return addSubfolder(NoParent, path, identity);
}

quint32 ResultStore::addSubfolder(quint32 parent, QByteArrayView name, FileIdentity identity)
{
    const quint64 nameOffset = m_names.append(name.data(), size_t(name.size()));
    m_folders.push_back({parent, quint32(name.size()), nameOffset, identity});
    return m_firstFolder + quint32(m_folders.size() - 1);
}

void ResultStore::appendFolderPath(quint32 folder, QByteArray &path) const
{
    const Folder &f = m_folders[folder];
    if (f.parent != NoParent)
        appendFolderPath(f.parent, path);
    path.append(m_names.at(f.nameOffset), f.nameLength);
    AppendBackslash(path);
}

QByteArray ResultStore::folderPath(quint32 folder) const
{
    QByteArray path;
    appendFolderPath(folder, path);
    return path;
}

void ResultStore::appendRow(quint32 folder, const ListedFile &file)
{
    const quint64 nameOffset = m_names.append(file.name.data(), size_t(file.name.size()));
    m_rows.push_back({folder, quint32(file.name.size()), nameOffset, file.size, file.modified, file.inode});
}

QByteArrayView ResultStore::name(qsizetype position) const
{
    const ResultRow &r = row(position);
    return QByteArrayView(m_names.at(r.nameOffset), r.nameLength);
}

QByteArray ResultStore::fullPath(qsizetype position) const
{
    QByteArray path;
    appendFolderPath(row(position).folder, path);
    path.append(name(position));
    return path;
}

ResultStore ResultStore::continuing(const ResultStore &earlier)
{
    ResultStore later;
    later.m_firstFolder = earlier.m_firstFolder + earlier.folderCount();
    later.m_firstRow = earlier.m_firstRow + quint64(earlier.rowCount());
    later.m_rows = RowChunks(later.m_firstRow);
    return later;
}

void ResultStore::append(ResultStore &later, qsizetype first, qsizetype end)
{
    Q_ASSERT(later.m_firstRow + quint64(first) == m_firstRow + quint64(rowCount()));
    if (first == 0) {
        Q_ASSERT(later.m_firstFolder == m_firstFolder + folderCount());
        // Folder numbers carry over as they are; only the names move into this pool.
        for (const Folder &folder : later.m_folders) {
            const quint64 nameOffset = m_names.append(later.m_names.at(folder.nameOffset), folder.nameLength);
            m_folders.push_back({folder.parent, folder.nameLength, nameOffset, folder.identity});
        }
    }
    const auto takeName = [&](ResultRow &row) {
        row.nameOffset = m_names.append(later.m_names.at(row.nameOffset), row.nameLength);
    };
    for (size_t position = size_t(first); position < size_t(end);) {
        if (m_rows.atChunkEnd() && later.m_rows.wholeChunkAt(position) && position + RowChunks::ChunkSize <= size_t(end)) {
            std::vector<ResultRow> chunk = later.m_rows.takeChunk(position);
            std::for_each(chunk.begin(), chunk.end(), takeName);
            m_rows.appendChunk(std::move(chunk));
            position += RowChunks::ChunkSize;
            continue;
        }
        ResultRow row = later.m_rows[position++];
        takeName(row);
        m_rows.push_back(row);
    }
}

void ResultStore::keepRows(const std::vector<bool> &keep)
{
    size_t kept = 0;
    for (size_t position = 0; position < m_rows.size(); ++position) {
        if (keep[position])
            m_rows[kept++] = m_rows[position];
    }
    m_rows.shrink(kept);
    // The pools keep the bytes of removed rows until the next clear; they are never reused.
}

void ResultStore::clear()
{
    // Swapping with empty containers releases the memory, which clear() alone would keep.
    m_rows.clear();
    m_firstFolder = 0;
    m_firstRow = 0;
    std::vector<Folder>().swap(m_folders);
    m_names.clear();
}

ResultStore ResultStore::copy() const
{
    ResultStore copy;
    copy.m_firstFolder = m_firstFolder;
    copy.m_firstRow = m_firstRow;
    copy.m_rows = m_rows.copy();
    copy.m_folders = m_folders;
    copy.m_names = m_names.copy();
    return copy;
}

void ResultStore::releaseBefore(qsizetype position)
{
    if (position >= rowCount())
        return;
    // Names go into the pool in the order of the rows; a folder's name before its rows.
    m_names.releaseBefore(m_rows[size_t(position)].nameOffset);
    m_rows.releaseBefore(size_t(position));
}

size_t ResultStore::memoryUsed() const
{
    return m_rows.memoryUsed() + m_folders.capacity() * sizeof(Folder) + m_names.memoryUsed();
}

} // namespace vashtem

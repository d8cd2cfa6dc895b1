#include "results/ResultStore.h"

namespace vashtem {

quint32 ResultStore::addFolder(QByteArrayView folderWithSeparator)
{
    m_folders.push_back({m_folderPaths.size(), quint32(folderWithSeparator.size())});
    m_folderPaths.append(folderWithSeparator.data(), size_t(folderWithSeparator.size()));
    return quint32(m_folders.size() - 1);
}

void ResultStore::appendRow(quint32 folder, QByteArrayView name, qint64 size, qint64 modified)
{
    m_rows.push_back({folder, quint32(name.size()), m_names.size(), size, modified});
    m_names.append(name.data(), size_t(name.size()));
}

QByteArrayView ResultStore::name(qsizetype position) const
{
    const ResultRow &r = row(position);
    return QByteArrayView(m_names.data() + r.nameOffset, r.nameLength);
}

QByteArrayView ResultStore::folderPath(qsizetype position) const
{
    const Folder &f = m_folders[row(position).folder];
    return QByteArrayView(m_folderPaths.data() + f.offset, f.length);
}

QByteArray ResultStore::fullPath(qsizetype position) const
{
    const QByteArrayView folder = folderPath(position);
    const QByteArrayView file = name(position);
    QByteArray path;
    path.reserve(folder.size() + file.size());
    path.append(folder).append(file);
    return path;
}

void ResultStore::keepRows(const std::vector<bool> &keep)
{
    size_t kept = 0;
    for (size_t position = 0; position < m_rows.size(); ++position) {
        if (keep[position])
            m_rows[kept++] = m_rows[position];
    }
    m_rows.resize(kept);
    // The pools keep the bytes of removed rows until the next clear; they are never reused.
}

void ResultStore::clear()
{
    // Swapping with empty containers releases the memory, which clear() alone would keep.
    std::vector<ResultRow>().swap(m_rows);
    std::vector<Folder>().swap(m_folders);
    std::string().swap(m_names);
    std::string().swap(m_folderPaths);
}

size_t ResultStore::memoryUsed() const
{
    return m_rows.capacity() * sizeof(ResultRow) + m_folders.capacity() * sizeof(Folder)
        + m_names.capacity() + m_folderPaths.capacity();
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace vashtem {

// A vector that grows by whole chunks instead of doubling, so a million elements take
// their own size and not up to twice that, and growing never copies what is stored.
template<typename T, size_t ChunkBits = 16>
class ChunkedVector
{
public:
    static constexpr size_t ChunkSize = size_t(1) << ChunkBits;

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T &operator[](size_t index) { return m_chunks[index >> ChunkBits][index & (ChunkSize - 1)]; }
    const T &operator[](size_t index) const { return m_chunks[index >> ChunkBits][index & (ChunkSize - 1)]; }

    void push_back(const T &value)
    {
        if (m_size == m_chunks.size() * ChunkSize)
            m_chunks.push_back(std::unique_ptr<T[]>(new T[ChunkSize]));
        (*this)[m_size++] = value;
    }

    // Drops the elements from newSize on and the chunks they no longer need.
    void shrink(size_t newSize)
    {
        m_size = newSize;
        m_chunks.resize((newSize + ChunkSize - 1) / ChunkSize);
    }

    // A copy made chunk by chunk, not element by element.
    ChunkedVector copy() const
    {
        ChunkedVector copy;
        copy.m_size = m_size;
        copy.m_chunks.reserve(m_chunks.size());
        for (const std::unique_ptr<T[]> &chunk : m_chunks) {
            copy.m_chunks.emplace_back(chunk ? new T[ChunkSize] : nullptr);
            if (chunk)
                std::copy_n(chunk.get(), ChunkSize, copy.m_chunks.back().get());
        }
        return copy;
    }

    // Lets go of the chunks wholly before index, whose elements are read no more.
    void releaseBefore(size_t index)
    {
        for (size_t chunk = 0; chunk < (index >> ChunkBits); ++chunk)
            m_chunks[chunk].reset();
    }

    void clear()
    {
        m_size = 0;
        std::vector<std::unique_ptr<T[]>>().swap(m_chunks);
    }

    size_t memoryUsed() const
    {
        const auto held = std::count_if(m_chunks.begin(), m_chunks.end(), [](const auto &chunk) { return bool(chunk); });
        return size_t(held) * ChunkSize * sizeof(T) + m_chunks.capacity() * sizeof(void *);
    }

private:
    std::vector<std::unique_ptr<T[]>> m_chunks;
    size_t m_size = 0;
};

} // namespace vashtem

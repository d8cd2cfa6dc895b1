// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

namespace vashtem {

// A vector that grows by whole chunks instead of doubling, so a million elements take
// their own size and not up to twice that, and growing never moves what is stored. The
// first chunk grows as a vector does, so that a few elements take little room.
template<typename T, size_t ChunkBits = 16>
class ChunkedVector
{
public:
    static constexpr size_t ChunkSize = size_t(1) << ChunkBits;

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T *;
        using reference = const T &;

        const_iterator() = default;
        const_iterator(const ChunkedVector *vector, size_t index) : m_vector(vector), m_index(index) {}
        const T &operator*() const { return (*m_vector)[m_index]; }
        const T *operator->() const { return &**this; }
        const_iterator &operator++() { ++m_index; return *this; }
        const_iterator operator++(int) { const_iterator before = *this; ++m_index; return before; }
        bool operator==(const const_iterator &other) const { return m_index == other.m_index; }

    private:
        const ChunkedVector *m_vector = nullptr;
        size_t m_index = 0;
    };

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_size}; }

    T &operator[](size_t index) { return m_chunks[index >> ChunkBits][index & (ChunkSize - 1)]; }
    const T &operator[](size_t index) const { return m_chunks[index >> ChunkBits][index & (ChunkSize - 1)]; }

    void push_back(const T &value)
    {
        if (m_size == m_chunks.size() * ChunkSize) {
            m_chunks.emplace_back();
            if (m_chunks.size() > 1)
                m_chunks.back().reserve(ChunkSize);
        }
        m_chunks.back().push_back(value);
        ++m_size;
    }

    // Drops the elements from newSize on and the chunks they no longer need.
    void shrink(size_t newSize)
    {
        m_size = newSize;
        m_chunks.resize((newSize + ChunkSize - 1) / ChunkSize);
        if (!m_chunks.empty())
            m_chunks.back().resize(newSize - (m_chunks.size() - 1) * ChunkSize);
    }

    // A copy made chunk by chunk, not element by element.
    ChunkedVector copy() const { return *this; }

    // Lets go of the chunks wholly before index, whose elements are read no more.
    void releaseBefore(size_t index)
    {
        for (size_t chunk = 0; chunk < (index >> ChunkBits); ++chunk)
            std::vector<T>().swap(m_chunks[chunk]);
    }

    void clear()
    {
        m_size = 0;
        std::vector<std::vector<T>>().swap(m_chunks);
    }

    size_t memoryUsed() const
    {
        size_t bytes = m_chunks.capacity() * sizeof(std::vector<T>);
        for (const std::vector<T> &chunk : m_chunks)
            bytes += chunk.capacity() * sizeof(T);
        return bytes;
    }

private:
    std::vector<std::vector<T>> m_chunks; // each full but the last
    size_t m_size = 0;
};

} // namespace vashtem

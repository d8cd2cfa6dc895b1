// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace vashtem {

// A vector that grows by whole chunks instead of doubling, so a million elements take
// their own size and not up to twice that, and growing never moves what is stored. The
// first chunk grows as a vector does, so that a few elements take little room.
//
// A vector may go on where another ends: made with that one's size, its chunks hold the
// same places as that one's next chunks would, so that a whole chunk of it can be moved
// onto that one's end (takeChunk, appendChunk) instead of copied element by element.
template<typename T, size_t ChunkBits = 16>
class ChunkedVector
{
public:
    static constexpr size_t ChunkSize = size_t(1) << ChunkBits;

    ChunkedVector() = default;
    // Element 0 takes the place after `before` elements: the first chunk holds fewer.
    explicit ChunkedVector(size_t before) : m_start(before & (ChunkSize - 1)) {}

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

    T &operator[](size_t index) { return m_chunks[chunkOf(index)][slotOf(index)]; }
    const T &operator[](size_t index) const { return m_chunks[chunkOf(index)][slotOf(index)]; }

    void push_back(const T &value)
    {
        if (m_chunks.empty() || m_start + m_size == m_chunks.size() * ChunkSize) {
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
        m_chunks.resize(newSize == 0 ? 0 : chunkOf(newSize - 1) + 1);
        if (!m_chunks.empty())
            m_chunks.back().resize(slotOf(newSize - 1) + 1);
    }

    // Whether the elements from index on fill a whole chunk, which takeChunk can move.
    bool wholeChunkAt(size_t index) const
    {
        return ((m_start + index) & (ChunkSize - 1)) == 0 && index + ChunkSize <= m_size;
    }
    // The chunk of wholeChunkAt(index), whose elements are read here no more.
    std::vector<T> takeChunk(size_t index) { return std::move(m_chunks[chunkOf(index)]); }
    // Whether the vector ends where a chunk ends, so that appendChunk may add one.
    bool atChunkEnd() const
    {
        return ((m_start + m_size) & (ChunkSize - 1)) == 0 && (m_size > 0 || m_start == 0);
    }
    void appendChunk(std::vector<T> chunk)
    {
        m_size += chunk.size();
        m_chunks.push_back(std::move(chunk));
    }

    // A copy made chunk by chunk, not element by element.
    ChunkedVector copy() const { return *this; }

    // Lets go of the chunks wholly before index, whose elements are read no more.
    void releaseBefore(size_t index)
    {
        for (size_t chunk = 0; chunk < ((m_start + index) >> ChunkBits); ++chunk)
            std::vector<T>().swap(m_chunks[chunk]);
    }

    void clear()
    {
        m_size = 0;
        m_start = 0;
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
    size_t chunkOf(size_t index) const { return (m_start + index) >> ChunkBits; }
    // The first chunk holds the places from m_start on.
    size_t slotOf(size_t index) const
    {
        const size_t place = m_start + index;
        return (place & (ChunkSize - 1)) - (place < ChunkSize ? m_start : 0);
    }

    std::vector<std::vector<T>> m_chunks; // each full but the last (the first from m_start)
    size_t m_size = 0;
    size_t m_start = 0; // the place of element 0 in the first chunk
};

} // namespace vashtem

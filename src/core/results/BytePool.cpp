// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results/BytePool.h"

#include <algorithm>
#include <cstring>

namespace vashtem {

quint64 BytePool::append(const char *data, size_t length)
{
    if (m_blocks.empty() || m_used + length > BlockSize) {
        // A run longer than a block gets a block of its own size.
        const size_t blockSize = std::max(length, BlockSize);
        m_blocks.push_back(std::unique_ptr<char[]>(new char[blockSize]));
        m_blockSizes.push_back(blockSize);
        m_used = 0;
    }
    const quint64 offset = (quint64(m_blocks.size() - 1) << BlockBits) + m_used;
    if (length > 0) // an empty run may come with no data at all, which memcpy must not see
        std::memcpy(m_blocks.back().get() + m_used, data, length);
    m_used += length;
    return offset;
}

void BytePool::clear()
{
    std::vector<std::unique_ptr<char[]>>().swap(m_blocks);
    std::vector<size_t>().swap(m_blockSizes);
    m_used = BlockSize;
}

BytePool BytePool::copy() const
{
    BytePool copy;
    copy.m_blockSizes = m_blockSizes;
    copy.m_used = m_used;
    copy.m_blocks.reserve(m_blocks.size());
    for (size_t block = 0; block < m_blocks.size(); ++block) {
        copy.m_blocks.emplace_back(m_blocks[block] ? new char[m_blockSizes[block]] : nullptr);
        if (m_blocks[block])
            std::memcpy(copy.m_blocks.back().get(), m_blocks[block].get(), m_blockSizes[block]);
    }
    return copy;
}

size_t BytePool::memoryUsed() const
{
    size_t held = 0;
    for (size_t block = 0; block < m_blocks.size(); ++block)
        held += m_blocks[block] ? m_blockSizes[block] : 0;
    return held + m_blocks.capacity() * sizeof(void *);
}

void BytePool::releaseBefore(quint64 offset)
{
    for (size_t block = 0; block < (offset >> BlockBits); ++block)
        m_blocks[block].reset();
}

} // namespace vashtem

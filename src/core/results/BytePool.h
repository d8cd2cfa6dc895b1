// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

namespace vashtem {

// Bytes kept in large blocks that are never moved or copied as the pool grows. A stored
// run never spans two blocks, so it reads back as one piece from its offset.
class BytePool
{
public:
    static constexpr size_t BlockBits = 20;
    static constexpr size_t BlockSize = size_t(1) << BlockBits;

    // Stores the bytes and returns where they start.
    quint64 append(const char *data, size_t length);
    const char *at(quint64 offset) const { return m_blocks[offset >> BlockBits].get() + (offset & (BlockSize - 1)); }
    void clear();
    // A copy made block by block: every offset reads the same bytes in it.
    BytePool copy() const;
    // Lets go of the blocks wholly before offset, whose bytes are read no more.
    void releaseBefore(quint64 offset);
    size_t memoryUsed() const;

private:
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<size_t> m_blockSizes;
    size_t m_used = BlockSize; // bytes used in the last block: full when there is none
};

} // namespace vashtem

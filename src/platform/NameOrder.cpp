// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NameOrder.h"

#include "platform/SideBySide.h"

#include <QChar>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <string>

namespace vashtem {

namespace {

using Byte = unsigned char;

constexpr char32_t Replacement = 0xFFFD;

inline Byte foldAscii(Byte c)
{
    return Byte(c - 'A') < 26 ? Byte(c + ('a' - 'A')) : c;
}

// Decodes the code point at `i` and steps past it. A byte that does not start a
// well-formed sequence (stray continuation, overlong form, surrogate, above U+10FFFF,
// cut short) reads as one U+FFFD, and decoding resumes at the very next byte.
char32_t decodeAt(const Byte *s, qsizetype size, qsizetype &i)
{
    const Byte lead = s[i];
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    }
    if (length == 0 || size - i < length) {
        ++i;
        return Replacement;
    }
    for (int k = 1; k < length; ++k) {
        const Byte next = s[i + k];
        if ((next & 0xC0) != 0x80) {
            ++i;
            return Replacement;
        }
        code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return Replacement;
    }
    i += length;
    return code;
}

// Folded comparison of what follows `from`, where both names agree up to `from`.
int compareFoldedFrom(const Byte *a, qsizetype sizeA, const Byte *b, qsizetype sizeB,
                      qsizetype from)
{
    qsizetype i = from;
    qsizetype j = from;
    while (i < sizeA && j < sizeB) {
        const char32_t ca = QChar::toCaseFolded(decodeAt(a, sizeA, i));
        const char32_t cb = QChar::toCaseFolded(decodeAt(b, sizeB, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < sizeA)
        return 1;
    return j < sizeB ? -1 : 0;
}

bool bytesLess(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const int order = common ? std::memcmp(a.data(), b.data(), size_t(common)) : 0;
    return order != 0 ? order < 0 : a.size() < b.size();
}

char *writeUtf8(char32_t code, char *out)
{
    if (code < 0x80) {
        *out++ = char(code);
    } else if (code < 0x800) {
        *out++ = char(0xC0 | (code >> 6));
        *out++ = char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *out++ = char(0xE0 | (code >> 12));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    } else {
        *out++ = char(0xF0 | (code >> 18));
        *out++ = char(0x80 | ((code >> 12) & 0x3F));
        *out++ = char(0x80 | ((code >> 6) & 0x3F));
        *out++ = char(0x80 | (code & 0x3F));
    }
    return out;
}

// A key takes at most this many bytes per byte of its name: a stray byte becomes U+FFFD.
constexpr size_t MostKeyBytesPerByte = 3;
// Each part's keys are followed by this many NULs, so that eight bytes can be read from
// anywhere in a key.
constexpr size_t KeyPadding = 8;

// Writes the folded code points of a name in UTF-8, whose bytewise order is their code point
// order and which holds no NUL byte (names have none), then a NUL; returns the end of the
// key. There is room for MostKeyBytesPerByte bytes per byte of the name and the NUL.
char *writeFoldedKey(QByteArrayView name, char *out)
{
    const auto *bytes = reinterpret_cast<const Byte *>(name.data());
    for (qsizetype i = 0; i < name.size();) {
        if (bytes[i] < 0x80)
            *out++ = char(foldAscii(bytes[i++]));
        else
            out = writeUtf8(QChar::toCaseFolded(decodeAt(bytes, name.size(), i)), out);
    }
    *out++ = '\0';
    return out;
}

// Eight key bytes from `at`, big-endian, every byte from the key's closing NUL on zero.
quint64 headAt(const char *at)
{
    const quint64 bytes = qFromBigEndian<quint64>(at);
    constexpr quint64 Low7 = 0x7F7F7F7F7F7F7F7FULL;
    // The high bit of each zero byte, and of no other (no carry crosses a byte).
    const quint64 zeros = ~(((bytes & Low7) + Low7) | bytes | Low7);
    if (zeros == 0)
        return bytes;
    const int kept = qCountLeadingZeroBits(zeros) & ~7;
    return kept == 0 ? 0 : bytes & (~quint64(0) << (64 - kept));
}

// Sixteen bytes, so that the entries of a million names take 16 MB.
struct SortEntry {
    quint64 head;        // eight key bytes from the depth sorted on
    quint32 keyOffset;   // into its part's keys
    quint32 index;
};

// The keys of every part, each a NUL-terminated string in its part's block.
struct SortKeys {
    std::vector<std::string> blocks;
    std::vector<size_t> bounds; // part p made the keys of the names from bounds[p] to bounds[p + 1]

    const char *of(const SortEntry &entry) const
    {
        const size_t part = size_t(std::upper_bound(bounds.begin(), bounds.end(), entry.index) - bounds.begin()) - 1;
        return blocks[part].data() + entry.keyOffset;
    }
};

// Sorts entries whose keys agree before depth, eight key bytes at a time: a plain integer
// sort, then again on the next eight bytes within each run of equal heads. Keys hold no NUL,
// so a head of zero means the key has ended, and names with equal keys go by their bytes.
void sortFrom(SortEntry *first, SortEntry *last, quint32 depth, const SortKeys &keys, const NameAt &names)
{
    std::sort(first, last, [](const SortEntry &a, const SortEntry &b) { return a.head < b.head; });
    for (SortEntry *run = first; run != last;) {
        SortEntry *end = run + 1;
        while (end != last && end->head == run->head)
            ++end;
        if (end - run > 1) {
            if ((run->head & 0xFF) == 0) { // the keys end here, all alike
                std::sort(run, end, [&names](const SortEntry &a, const SortEntry &b) {
                    return bytesLess(names(a.index), names(b.index));
                });
            } else {
                for (SortEntry *entry = run; entry != end; ++entry)
                    entry->head = headAt(keys.of(*entry) + depth + 8);
                sortFrom(run, end, depth + 8, keys, names);
            }
        }
        run = end;
    }
}

// The sorting keys of names from first to end, kept in block.
void makeEntries(const NameAt &names, size_t first, size_t end, std::string &block, SortEntry *entries)
{
    size_t bytes = 0;
    for (size_t index = first; index < end; ++index)
        bytes += size_t(names(quint32(index)).size()) + 1;
    block.resize(bytes + bytes / 8 + KeyPadding); // folding seldom changes the length
    size_t used = 0;
    for (size_t index = first; index < end; ++index) {
        const QByteArrayView name = names(quint32(index));
        const size_t room = MostKeyBytesPerByte * size_t(name.size()) + 1 + KeyPadding;
        if (block.size() - used < room)
            block.resize(std::max(2 * block.size(), used + room));
        const char *key = block.data() + used;
        used = size_t(writeFoldedKey(name, block.data() + used) - block.data());
        entries[index - first] = {headAt(key), quint32(key - block.data()), quint32(index)};
    }
}

// The order of two entries by their whole keys, then their names' bytes.
struct EntryLess {
    const SortKeys &keys;
    const NameAt &names;

    bool operator()(const SortEntry &a, const SortEntry &b) const
    {
        const int order = std::strcmp(keys.of(a), keys.of(b));
        return order != 0 ? order < 0 : bytesLess(names(a.index), names(b.index));
    }
};

// Splitters that cut the keys into as many ranges as there are parts, each with a like
// share of the entries, picked from a sample of every part.
std::vector<SortEntry> splittersFor(const std::vector<SortEntry> &entries, const std::vector<size_t> &bounds,
                                    const EntryLess &less)
{
    const size_t parts = bounds.size() - 1;
    constexpr size_t SamplesPerPart = 64;
    std::vector<SortEntry> sample;
    for (size_t part = 0; part < parts; ++part) {
        const size_t length = bounds[part + 1] - bounds[part];
        for (size_t k = 0; k < SamplesPerPart && length > 0; ++k)
            sample.push_back(entries[bounds[part] + length * (2 * k + 1) / (2 * SamplesPerPart)]);
    }
    std::sort(sample.begin(), sample.end(), less);
    std::vector<SortEntry> splitters;
    for (size_t range = 1; range < parts; ++range)
        splitters.push_back(sample[sample.size() * range / parts]);
    return splitters;
}

// Moves the entries in place so that each key range follows the one before it, one cycle of
// moves at a time (rangeOf[i] is the range of entries[i]); returns where each range starts,
// and where the last one ends.
std::vector<size_t> groupByRange(std::vector<SortEntry> &entries, std::vector<quint8> &rangeOf, size_t ranges)
{
    std::vector<size_t> starts(ranges + 1, 0);
    for (const quint8 range : rangeOf)
        ++starts[range + 1];
    for (size_t range = 0; range < ranges; ++range)
        starts[range + 1] += starts[range];
    std::vector<size_t> next(starts.begin(), starts.end() - 1);
    for (size_t range = 0; range < ranges; ++range) {
        while (next[range] < starts[range + 1]) {
            const size_t at = next[range];
            const quint8 belongs = rangeOf[at];
            if (belongs == range) {
                ++next[range];
                continue;
            }
            const size_t to = next[belongs]++;
            std::swap(entries[at], entries[to]);
            std::swap(rangeOf[at], rangeOf[to]);
        }
    }
    return starts;
}

} // namespace

std::vector<quint32> nameOrder(size_t count, const NameAt &names)
{
    constexpr size_t NamesPerPart = 32768;
    constexpr size_t MostParts = 8;
    size_t parts = 1;
    if (count >= 2 * NamesPerPart) {
        parts = std::min({count / NamesPerPart, Executor::cores(), MostParts});
    }
    std::vector<SortEntry> entries(count);
    SortKeys keys{std::vector<std::string>(parts), {}};
    for (size_t part = 0; part <= parts; ++part)
        keys.bounds.push_back(count * part / parts);
    std::vector<size_t> bounds = keys.bounds;
    runSideBySide(parts, [&](size_t part) {
        makeEntries(names, bounds[part], bounds[part + 1], keys.blocks[part], entries.data() + bounds[part]);
    });
    if (parts > 1) {
        // Each thread then sorts one range of keys, and the sorted ranges follow one another
        // as they are: nothing is merged. The keys are compared with the splitters in the
        // order they were made, which reads them front to back.
        const EntryLess less{keys, names};
        const std::vector<SortEntry> splitters = splittersFor(entries, bounds, less);
        std::vector<quint8> rangeOf(entries.size());
        runSideBySide(parts, [&](size_t part) {
            for (size_t index = bounds[part]; index < bounds[part + 1]; ++index)
                rangeOf[index] = quint8(std::upper_bound(splitters.begin(), splitters.end(), entries[index], less)
                                        - splitters.begin());
        });
        bounds = groupByRange(entries, rangeOf, parts);
    }
    runSideBySide(parts, [&](size_t range) {
        sortFrom(entries.data() + bounds[range], entries.data() + bounds[range + 1], 0, keys, names);
    });
    std::vector<quint32> order;
    order.reserve(entries.size());
    for (const SortEntry &entry : entries)
        order.push_back(entry.index);
    return order;
}

bool nameLess(QByteArrayView a, QByteArrayView b)
{
    const auto *pa = reinterpret_cast<const Byte *>(a.data());
    const auto *pb = reinterpret_cast<const Byte *>(b.data());
    const qsizetype common = std::min(a.size(), b.size());

    // Most names are ASCII: compare folded bytes until the first non-ASCII byte.
    qsizetype i = 0;
    for (; i < common; ++i) {
        const Byte ca = pa[i];
        const Byte cb = pb[i];
        if ((ca | cb) & 0x80)
            break;
        if (ca != cb && foldAscii(ca) != foldAscii(cb))
            return foldAscii(ca) < foldAscii(cb);
    }
    int order = 0;
    if (i < common)
        order = compareFoldedFrom(pa, a.size(), pb, b.size(), i);
    else if (a.size() != b.size())
        order = a.size() < b.size() ? -1 : 1;
    return order != 0 ? order < 0 : bytesLess(a, b);
}

} // namespace vashtem

#include "platform/NameOrder.h"

#include <QChar>

#include <algorithm>
#include <cstring>

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

} // namespace

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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/FilePattern.h"

#include <QVarLengthArray>

#include <string_view>

namespace vashtem {

namespace {

using Byte = unsigned char;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Appends the code points of `text`, each simply case folded.
template <typename Out>
void appendFolded(QStringView text, Out &out)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < size && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        out.push_back(QChar::toCaseFolded(code));
    }
}

// Wildcard match that keeps only the latest "*" to fall back to: a later "*" can
// absorb whatever an earlier one could, so O(name * pattern) at worst.
template <typename Unit>
bool globMatch(std::u32string_view pattern, const Unit *name, qsizetype size)
{
    constexpr size_t NoStar = std::u32string_view::npos;
    size_t p = 0;
    size_t star = NoStar;
    qsizetype n = 0;
    qsizetype starN = 0;
    while (n < size) {
        if (p < pattern.size()) {
            const char32_t wanted = pattern[p];
            if (wanted == U'*') {
                star = p++;
                starN = n;
                continue;
            }
            if (wanted == U'?' || wanted == char32_t(name[n])) {
                ++p;
                ++n;
                continue;
            }
        }
        if (star == NoStar)
            return false;
        p = star + 1;
        n = ++starN;
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

template <typename Unit>
bool anyMatches(const std::vector<std::u32string> &patterns, const Unit *name, qsizetype size)
{
    for (const std::u32string &pattern : patterns) {
        if (globMatch<Unit>(pattern, name, size))
            return true;
    }
    return false;
}

} // namespace

FilePattern::FilePattern(const QString &patterns)
{
    for (QStringView piece : QStringView(patterns).tokenize(u';')) {
        piece = trimBlanks(piece);
        if (piece.isEmpty())
            continue;
        std::u32string folded;
        appendFolded(QStringView(piece.toString().normalized(QString::NormalizationForm_C)),
                     folded);
        if (folded == U"*" || folded == U"*.*")
            m_matchesEverything = true;
        m_patterns.push_back(std::move(folded));
    }
}

bool FilePattern::matches(QByteArrayView name) const
{
    if (m_matchesEverything)
        return true;
    if (m_patterns.empty())
        return false;

    // ASCII names are already NFC and fold by bytes alone: no decoding, no heap.
    const qsizetype size = name.size();
    QVarLengthArray<Byte, 256> ascii(size);
    for (qsizetype i = 0; i < size; ++i) {
        const Byte c = Byte(name[i]);
        if (c & 0x80) {
            QVarLengthArray<char32_t, 256> decoded;
            appendFolded(QStringView(QString::fromUtf8(name).normalized(
                             QString::NormalizationForm_C)),
                         decoded);
            return anyMatches(m_patterns, decoded.constData(), decoded.size());
        }
        ascii[i] = Byte(c - 'A') < 26 ? Byte(c + ('a' - 'A')) : c;
    }
    return anyMatches(m_patterns, ascii.constData(), size);
}

} // namespace vashtem

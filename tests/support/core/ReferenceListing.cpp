// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/ReferenceListing.h"

#include <QChar>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>
#include <tuple>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::reference {

namespace {

using Byte = unsigned char;

// Well-formed UTF-8 as the Unicode standard tabulates it: the lead byte fixes the length
// and the range the second byte must fall in; later bytes are 80..BF.
struct Form {
    Byte leadLow, leadHigh;
    int length;
    Byte secondLow, secondHigh;
};
constexpr Form Forms[] = {
    {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF}, {0xE1, 0xEC, 3, 0x80, 0xBF},
    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x90, 0xBF},
    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

// The length of the well-formed sequence at s[i], or 0.
int sequenceLength(const Byte *s, qsizetype size, qsizetype i)
{
    for (const Form &form : Forms) {
        if (s[i] < form.leadLow || s[i] > form.leadHigh)
            continue;
        if (size - i < form.length || s[i + 1] < form.secondLow || s[i + 1] > form.secondHigh)
            return 0;
        for (int k = 2; k < form.length; ++k) {
            if (s[i + k] < 0x80 || s[i + k] > 0xBF)
                return 0;
        }
        return form.length;
    }
    return 0;
}

std::u32string foldedOnly(std::u32string text)
{
    for (char32_t &c : text)
        c = QChar::toCaseFolded(c);
    return text;
}

// Classic table: reach[p][n] says pattern[0..p) can match name[0..n).
bool globMatches(const std::u32string &pattern, const std::u32string &name)
{
    const size_t columns = name.size() + 1;
    std::vector<char> reach((pattern.size() + 1) * columns, 0);
    auto at = [&](size_t p, size_t n) -> char & { return reach[p * columns + n]; };
    at(0, 0) = 1;
    for (size_t p = 1; p <= pattern.size(); ++p) {
        const char32_t wanted = pattern[p - 1];
        for (size_t n = 0; n <= name.size(); ++n) {
            if (wanted == U'*')
                at(p, n) = at(p - 1, n) || (n > 0 && at(p, n - 1));
            else if (n > 0)
                at(p, n) = at(p - 1, n - 1) && (wanted == U'?' || wanted == name[n - 1]);
        }
    }
    return at(pattern.size(), name.size());
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Folded code points, then the bytes: the documented order of names.
bool inNameOrder(const QByteArray &a, const QByteArray &b)
{
    return std::make_tuple(foldedOnly(decodeName(a)), a) < std::make_tuple(foldedOnly(decodeName(b)), b);
}

bool passes(qint64 size, SizeTest test, qint64 limit)
{
    switch (test) {
    case SizeTest::None:
        return true;
    case SizeTest::Larger:
        return size > limit;
    case SizeTest::Smaller:
        return size < limit;
    }
    return false;
}

// Each folder is opened inside its parent, so trees deeper than one path can name are listed too.
void visit(int parent, const char *name, const QByteArray &folder, bool subfolders, const Pattern &pattern,
           SizeTest sizeTest, qint64 limit, std::vector<Entry> &out)
{
    std::vector<QByteArray> files, folders;
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.'))
            continue;
        struct stat facts;
        if (::fstatat(fd, name.constData(), &facts, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(facts.st_mode))
            files.push_back(name);
        else if (S_ISDIR(facts.st_mode))
            folders.push_back(name);
    }
    std::sort(files.begin(), files.end(), inNameOrder);
    std::sort(folders.begin(), folders.end(), inNameOrder);
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const QByteArray &name : files) {
        struct stat facts;
        if (!pattern.matches(name) || ::fstatat(fd, name.constData(), &facts, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (passes(facts.st_size, sizeTest, limit))
            out.push_back({prefix + name, name, facts.st_size});
    }
    if (subfolders) {
        for (const QByteArray &name : folders)
            visit(fd, name.constData(), prefix + name, true, pattern, sizeTest, limit, out);
    }
    ::closedir(dir);
}

} // namespace

std::u32string decodeName(QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const Byte *>(bytes.data());
    std::u32string out;
    for (qsizetype i = 0; i < bytes.size();) {
        if (s[i] < 0x80) {
            out.push_back(s[i++]);
            continue;
        }
        const int length = sequenceLength(s, bytes.size(), i);
        if (length == 0) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        // The lead keeps 7 - length bits; each later byte gives 6.
        char32_t code = s[i] & (0x7F >> length);
        for (int k = 1; k < length; ++k)
            code = (code << 6) | (s[i + k] & 0x3F);
        out.push_back(code);
        i += length;
    }
    return out;
}

std::u32string folded(const QString &text)
{
    // Code points of the composed form; a lone surrogate stays itself, which no name holds.
    const QString normal = text.normalized(QString::NormalizationForm_C);
    std::u32string out;
    for (qsizetype i = 0; i < normal.size(); ++i) {
        char32_t code = normal[i].unicode();
        if (normal[i].isHighSurrogate() && i + 1 < normal.size() && normal[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(normal[i], normal[i + 1]);
            ++i;
        }
        out.push_back(code);
    }
    return foldedOnly(out);
}

Pattern::Pattern(const QString &patterns)
{
    for (const QString &raw : patterns.split(u';')) {
        QStringView piece(raw);
        while (!piece.isEmpty() && isBlank(piece.front()))
            piece = piece.sliced(1);
        while (!piece.isEmpty() && isBlank(piece.back()))
            piece.chop(1);
        if (piece.isEmpty())
            continue;
        if (piece == u"*.*" || piece == u"*")
            m_everything = true;
        m_pieces.push_back(folded(piece.toString()));
    }
}

bool Pattern::matches(QByteArrayView name) const
{
    if (m_everything)
        return true;
    const std::u32string decoded = decodeName(name);
    const std::u32string key = folded(QString::fromUcs4(decoded.data(), qsizetype(decoded.size())));
    return std::any_of(m_pieces.begin(), m_pieces.end(),
                       [&](const std::u32string &piece) { return globMatches(piece, key); });
}

std::vector<Entry> listing(const QByteArray &start, bool subfolders, const Pattern &pattern,
                           SizeTest sizeTest, qint64 limit)
{
    std::vector<Entry> out;
    visit(AT_FDCWD, start.constData(), start, subfolders, pattern, sizeTest, limit, out);
    return out;
}

qint64 limitInBytes(double number, double bytesPerUnit)
{
    const double product = number * bytesPerUnit;
    if (product >= 9223372036854775808.0)
        return std::numeric_limits<qint64>::max();
    if (product <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    const int mode = std::fegetround();
    std::fesetround(FE_TONEAREST); // ties to even
    const double rounded = std::nearbyint(product);
    std::fesetround(mode);
    return qint64(rounded);
}

QString groupedSize(qint64 size)
{
    if (size == 0)
        return {};
    QString digits = QString::number(size);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

} // namespace vashtem::reference

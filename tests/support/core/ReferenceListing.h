// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A deliberately plain second opinion on what a search must list, written apart from the
// program's walk and matcher so that the two can be checked against each other.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>
#include <vector>

namespace vashtem::reference {

// A name's code points: well-formed UTF-8 decoded, every byte of anything else one U+FFFD.
std::u32string decodeName(QByteArrayView bytes);

// The file-name patterns of the pattern box, matched by a full table over pattern and name
// positions rather than by backtracking.
class Pattern
{
public:
    explicit Pattern(const QString &patterns);
    bool matches(QByteArrayView name) const;

private:
    std::vector<std::u32string> m_pieces; // composed, simply case folded
    bool m_everything = false;
};

// The code points of the composed form, each simply case folded.
std::u32string folded(const QString &text);

struct Entry {
    QByteArray path;
    QByteArray name;
    qint64 size = 0;
};

enum class SizeTest { None, Larger, Smaller };

// What a search from `start` must list: regular files not starting with "." that match,
// depth first with each folder's files before its subfolders, both in name order, never
// through a symbolic link or into a hidden folder.
std::vector<Entry> listing(const QByteArray &start, bool subfolders, const Pattern &pattern,
                           SizeTest sizeTest = SizeTest::None, qint64 limit = 0);

// number x bytesPerUnit rounded half to even, clamped to the 64-bit range.
qint64 limitInBytes(double number, double bytesPerUnit);

// A size as the size column shows it: groups of three joined by ",", nothing for 0.
QString groupedSize(qint64 size);

} // namespace vashtem::reference

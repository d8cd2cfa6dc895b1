// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <string>
#include <vector>

namespace vashtem {

// A file-name pattern as the file list understands it: one or more wildcard patterns
// separated by ";" (blanks around each ignored), "*" any run of characters, "?" any one
// character, letter case ignored (Unicode simple case folding). "*.*" matches every name,
// with or without a dot. Names and patterns are compared in composed Unicode form (NFC).
// A name that is not valid UTF-8 is compared as decoded with replacement characters.
// An empty pattern list (only ";" and blanks) matches nothing.
class FilePattern
{
public:
    explicit FilePattern(const QString &patterns);

    bool matches(QByteArrayView name) const;
    bool matchesEverything() const { return m_matchesEverything; }

private:
    std::vector<std::u32string> m_patterns; // folded, NFC, as code points
    bool m_matchesEverything = false;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Fonts.h"

#include <QStringList>

namespace vashtem {

namespace {

QFont gothic(const QStringList &families, QFont::StyleHint hint, int points)
{
    // The first family installed wins; the style hint lets the toolkit pick a near font
    // when none of them is there, so no caption renders as empty boxes.
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(hint);
    font.setPointSize(points);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace

QFont fixedGothic(int points)
{
    return gothic({QStringLiteral("IPAGothic"), QStringLiteral("MS Gothic"),
                   QStringLiteral("Noto Sans Mono CJK JP")},
                  QFont::TypeWriter, points);
}

QFont proportionalGothic(int points)
{
    return gothic({QStringLiteral("IPAPGothic"), QStringLiteral("MS PGothic"),
                   QStringLiteral("Noto Sans CJK JP")},
                  QFont::SansSerif, points);
}

} // namespace vashtem

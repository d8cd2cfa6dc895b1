// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberFormat.h"

namespace vashtem {

QString formatGrouped(qint64 value, const QLocale &locale)
{
    if (value == 0)
        return {};
    // Work on the magnitude unsigned, so the most negative value has one too.
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    char digits[20];
    int count = 0;
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    const QString separator = locale.groupSeparator();
    const QString sign = value < 0 ? locale.negativeSign() : QString();
    QString out(sign.size() + count + (count - 1) / 3 * separator.size(), Qt::Uninitialized);
    QChar *p = out.data();
    for (const QChar c : sign)
        *p++ = c;
    for (int i = count - 1; i >= 0; --i) {
        *p++ = QLatin1Char(digits[i]);
        if (i > 0 && i % 3 == 0) {
            for (const QChar c : separator)
                *p++ = c;
        }
    }
    return out;
}

} // namespace vashtem

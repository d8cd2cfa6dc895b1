// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace vashtem {

// Formats file dates as the date column shows them: the locale's short date, a blank and
// the time with seconds in the locale's form, without time zone ("2026/12/07 9:05:03" in
// ja_JP); a time of exactly midnight shows the date alone.
// Builds its formats once; reuse one instance for many dates.
class DateText
{
public:
    explicit DateText(const QLocale &locale = QLocale());

    QString format(const QDateTime &localTime) const;
    // A modification time in seconds since the epoch, shown in the local time zone.
    QString formatEpochSeconds(qint64 secondsSinceEpoch) const;

    QString dateFormat() const { return m_dateFormat; }
    QString timeFormat() const { return m_timeFormat; }

private:
    QLocale m_locale;
    QString m_dateFormat;
    QString m_timeFormat;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/DateText.h"

#include <QList>

namespace vashtem {

namespace {

// One piece of a Qt date/time format: a run of one field letter, or literal text
// (quoted or not) kept exactly as written.
struct Piece
{
    QString text;
    char16_t field = 0; // the field letter, or 0 for literal text
};

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The quoted literal starting at 'from', with its quotes; "''" inside stands for a quote.
qsizetype quotedEnd(const QString &format, qsizetype from)
{
    qsizetype i = from + 1;
    while (i < format.size()) {
        if (format.at(i) == u'\'' && (i + 1 >= format.size() || format.at(i + 1) != u'\''))
            return i + 1;
        i += format.at(i) == u'\'' ? 2 : 1;
    }
    return i;
}

QList<Piece> split(const QString &format)
{
    QList<Piece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        const char16_t c = format.at(i).unicode();
        qsizetype end = i + 1;
        if (c == u'\'')
            end = quotedEnd(format, i);
        else if (isAsciiLetter(c))
            while (end < format.size() && format.at(end) == c)
                ++end;
        const char16_t field = isAsciiLetter(c) ? c : 0;
        if (field == 0 && !pieces.isEmpty() && pieces.last().field == 0)
            pieces.last().text += format.mid(i, end - i);
        else
            pieces.append({format.mid(i, end - i), field});
        i = end;
    }
    return pieces;
}

qsizetype findField(const QList<Piece> &pieces, char16_t field, qsizetype from = 0)
{
    for (qsizetype i = from; i < pieces.size(); ++i) {
        if (pieces.at(i).field == field)
            return i;
    }
    return -1;
}

// The separator between hours and minutes, when it is a single mark such as ":" or ".";
// a word between them ("HH 'h' mm") would read oddly repeated, so ":" stands in.
QString secondsSeparator(const QList<Piece> &pieces, qsizetype minutes)
{
    const qsizetype before = minutes - 1;
    const bool afterHour = before >= 1
            && (pieces.at(before - 1).field == u'H' || pieces.at(before - 1).field == u'h');
    if (afterHour && pieces.at(before).field == 0) {
        const QString &text = pieces.at(before).text;
        if (text.size() == 1 && !text.at(0).isLetterOrNumber() && text.at(0) != u'\''
                && !text.at(0).isSpace())
            return text;
    }
    return QStringLiteral(":");
}

void addSeconds(QList<Piece> &pieces)
{
    if (findField(pieces, u's') >= 0)
        return;
    const qsizetype minutes = findField(pieces, u'm');
    if (minutes < 0)
        return;
    const QString separator = secondsSeparator(pieces, minutes);
    pieces.insert(minutes + 1, {QStringLiteral("ss"), u's'});
    pieces.insert(minutes + 1, {separator, 0});
}

bool isBlankPiece(const QList<Piece> &pieces, qsizetype i)
{
    return i >= 0 && i < pieces.size() && pieces.at(i).field == 0
            && pieces.at(i).text.trimmed().isEmpty();
}

// Drops the brackets some locales put round the zone, "(t)" or "[t]".
void removeBrackets(QList<Piece> &pieces, qsizetype zone)
{
    if (zone < 1 || zone >= pieces.size() || pieces.at(zone - 1).field || pieces.at(zone).field)
        return;
    QString &before = pieces[zone - 1].text;
    QString &after = pieces[zone].text;
    const bool round = before.endsWith(u'(') && after.startsWith(u')');
    const bool square = before.endsWith(u'[') && after.startsWith(u']');
    if (round || square) {
        before.chop(1);
        after.remove(0, 1);
    }
}

// Drops each time-zone field with one blank beside it.
void removeTimeZone(QList<Piece> &pieces)
{
    for (qsizetype zone = findField(pieces, u't'); zone >= 0; zone = findField(pieces, u't')) {
        pieces.removeAt(zone);
        removeBrackets(pieces, zone);
        if (isBlankPiece(pieces, zone - 1))
            pieces.removeAt(zone - 1);
        else if (isBlankPiece(pieces, zone))
            pieces.removeAt(zone);
    }
}

QString timeFormatWithSeconds(const QLocale &locale)
{
    QList<Piece> pieces = split(locale.timeFormat(QLocale::ShortFormat));
    removeTimeZone(pieces);
    addSeconds(pieces);
    QString format;
    for (const Piece &piece : pieces)
        format += piece.text;
    return format.trimmed();
}

} // namespace

DateText::DateText(const QLocale &locale)
    : m_locale(locale)
    , m_dateFormat(locale.dateFormat(QLocale::ShortFormat))
    , m_timeFormat(timeFormatWithSeconds(locale))
{
}

QString DateText::format(const QDateTime &localTime) const
{
    if (!localTime.isValid())
        return {};
    const QString date = m_locale.toString(localTime.date(), m_dateFormat);
    // Compared to the second, since that is all the column shows.
    const QTime time = localTime.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + m_locale.toString(time, m_timeFormat);
}

QString DateText::formatEpochSeconds(qint64 secondsSinceEpoch) const
{
    return format(QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime));
}

} // namespace vashtem

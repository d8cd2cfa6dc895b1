// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/DateText.h"

#include <QTest>

#include <ctime>

using namespace vashtem;

namespace {
const QLocale japanese(QLocale::Japanese, QLocale::Japan);
const QDate day(2026, 12, 7);
}

class TestDateText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void localeForms_data();
    void localeForms();
    void midnight_data();
    void midnight();
    void epochSeconds_data();
    void epochSeconds();

private:
    void setZone(const QByteArray &zone);
    QByteArray m_savedZone;
};

void TestDateText::initTestCase()
{
    m_savedZone = qgetenv("TZ");
}

void TestDateText::cleanup()
{
    setZone(m_savedZone);
}

void TestDateText::setZone(const QByteArray &zone)
{
    if (zone.isEmpty())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

void TestDateText::localeForms_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("dateFormat");
    QTest::addColumn<QString>("timeFormat");
    QTest::addColumn<QString>("text");

    QTest::newRow("ja_JP") << japanese << "yyyy/MM/dd" << "H:mm:ss" << "2026/12/07 9:05:03";
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << "M/d/yy" << "h:mm:ss AP" << "12/7/26 9:05:03 AM";
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                           << "dd.MM.yy" << "HH:mm:ss" << "07.12.26 09:05:03";
    QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France)
                           << "dd/MM/yyyy" << "HH:mm:ss" << "07/12/2026 09:05:03";
    QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea)
                           << "yy. M. d." << "AP h:mm:ss"
                           << QStringLiteral("26. 12. 7. 오전 9:05:03");
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China)
                           << "yyyy/M/d" << "HH:mm:ss" << "2026/12/7 09:05:03";
    QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland)
                           << "d.M.yyyy" << "H.mm.ss" << "7.12.2026 9.05.03";
    QTest::newRow("C has seconds") << QLocale::c() << "d MMM yyyy" << "HH:mm:ss"
                                   << "7 Dec 2026 09:05:03";
    QTest::newRow("bg_BG quoted suffix") << QLocale(QLocale::Bulgarian, QLocale::Bulgaria)
                                         << "d.MM.yy 'г'." << "H:mm:ss 'ч'."
                                         << QStringLiteral("7.12.26 г. 9:05:03 ч.");
    // A word between hours and minutes is not repeated before the seconds.
    QTest::newRow("fr_CA word separator") << QLocale(QLocale::French, QLocale::Canada)
                                          << "yyyy-MM-dd" << "HH 'h' mm:ss"
                                          << "2026-12-07 09 h 05:03";
}

void TestDateText::localeForms()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, dateFormat);
    QFETCH(QString, timeFormat);
    QFETCH(QString, text);
    const DateText dates(locale);
    QCOMPARE(dates.dateFormat(), dateFormat);
    QCOMPARE(dates.timeFormat(), timeFormat);
    QCOMPARE(dates.format(QDateTime(day, QTime(9, 5, 3))), text);
}

void TestDateText::midnight_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");

    QTest::newRow("midnight") << QTime(0, 0) << "2026/12/07";
    QTest::newRow("midnight and a fraction") << QTime(0, 0, 0, 500) << "2026/12/07";
    QTest::newRow("one second past") << QTime(0, 0, 1) << "2026/12/07 0:00:01";
    QTest::newRow("last second") << QTime(23, 59, 59) << "2026/12/07 23:59:59";
}

void TestDateText::midnight()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    QCOMPARE(DateText(japanese).format(QDateTime(day, time)), text);
}

void TestDateText::epochSeconds_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QString>("text");

    const QByteArray tokyo("Asia/Tokyo");
    const QByteArray berlin("Europe/Berlin");
    const auto utc = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("epoch in Tokyo") << tokyo << utc(1970, 1, 1, 0, 0, 0) << "1970/01/01 9:00:00";
    QTest::newRow("Tokyo midnight") << tokyo << utc(2026, 12, 6, 15, 0, 0) << "2026/12/07";
    QTest::newRow("Berlin winter midnight") << berlin << utc(2026, 12, 6, 23, 0, 0) << "2026/12/07";
    QTest::newRow("Berlin summer midnight") << berlin << utc(2026, 7, 6, 22, 0, 0) << "2026/07/07";
    QTest::newRow("before spring change") << berlin << utc(2026, 3, 29, 0, 59, 59)
                                          << "2026/03/29 1:59:59";
    QTest::newRow("after spring change") << berlin << utc(2026, 3, 29, 1, 0, 0)
                                         << "2026/03/29 3:00:00";
    QTest::newRow("before autumn change") << berlin << utc(2026, 10, 25, 0, 59, 59)
                                          << "2026/10/25 2:59:59";
    QTest::newRow("after autumn change") << berlin << utc(2026, 10, 25, 1, 0, 0)
                                         << "2026/10/25 2:00:00";
}

void TestDateText::epochSeconds()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDateTime, utc);
    QFETCH(QString, text);
    setZone(zone);
    QCOMPARE(DateText(japanese).formatEpochSeconds(utc.toSecsSinceEpoch()), text);
}

QTEST_APPLESS_MAIN(TestDateText)
#include "tst_datetext.moc"

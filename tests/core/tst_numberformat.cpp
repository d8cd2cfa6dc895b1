// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/NumberFormat.h"

#include <QTest>

#include <limits>

using namespace vashtem;

class TestNumberFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void grouped_data();
    void grouped();
};

void TestNumberFormat::grouped_data()
{
    const QLocale ja(QLocale::Japanese, QLocale::Japan);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero is empty") << qint64(0) << ja << "";
    QTest::newRow("four digits") << qint64(1000) << ja << "1,000";
    QTest::newRow("six digits") << qint64(100000) << ja << "100,000";
    QTest::newRow("seven digits") << qint64(1234567) << ja << "1,234,567";
    QTest::newRow("negative") << qint64(-1234) << ja << "-1,234";
    QTest::newRow("negative three digits") << qint64(-999) << ja << "-999";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << ja
                             << "9,223,372,036,854,775,807";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << ja
                              << "-9,223,372,036,854,775,808";
    QTest::newRow("German point") << qint64(1234567) << de << "1.234.567";
    QTest::newRow("Hindi still threes") << qint64(12345678) << QLocale(QLocale::Hindi, QLocale::India)
                                        << "12,345,678";
    QTest::newRow("French narrow blank") << qint64(1234) << QLocale(QLocale::French, QLocale::France)
                                         << QStringLiteral("1\u202F234");
    QTest::newRow("Finnish minus sign") << qint64(-1234) << QLocale(QLocale::Finnish, QLocale::Finland)
                                        << QStringLiteral("\u22121\u00A0234");
    // Arabic keeps ASCII digits but takes its separator and two-character minus.
    QTest::newRow("Arabic") << qint64(-1234) << QLocale(QLocale::Arabic, QLocale::Egypt)
                            << QStringLiteral("\u061C-1\u066C234");
}

void TestNumberFormat::grouped()
{
    QFETCH(qint64, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    QCOMPARE(formatGrouped(value, locale), expected);
}

QTEST_APPLESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/SizeLimit.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace vashtem;

Q_DECLARE_METATYPE(vashtem::SizeUnit)

namespace {
constexpr qint64 maxSize = std::numeric_limits<qint64>::max();
constexpr qint64 minSize = std::numeric_limits<qint64>::min();
constexpr double twoTo63 = 9223372036854775808.0;
}

class TestSizeLimit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void limit_data();
    void limit();
    void rounding_data();
    void rounding();
};

void TestSizeLimit::limit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<SizeUnit>("unit");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("kilobytes") << "1.5" << SizeUnit::Kilobytes << qint64(1500);
    QTest::newRow("half down to even") << "2.5" << SizeUnit::Bytes << qint64(2);
    QTest::newRow("half up to even") << "3.5" << SizeUnit::Bytes << qint64(4);
    QTest::newRow("negative half") << "-2.5" << SizeUnit::Bytes << qint64(-2);
    QTest::newRow("beyond 32 bits") << "2147" << SizeUnit::Megabytes << qint64(2147000000);
    QTest::newRow("beyond 31 bits") << "9999" << SizeUnit::Megabytes << qint64(9999000000);
    QTest::newRow("half a byte in MB") << "0.0000005" << SizeUnit::Megabytes << qint64(0);
    QTest::newRow("one and a half bytes in MB") << "0.0000015" << SizeUnit::Megabytes << qint64(2);
    QTest::newRow("two and a half bytes in KB") << "0.0025" << SizeUnit::Kilobytes << qint64(2);
    QTest::newRow("no number") << "abc" << SizeUnit::Megabytes << qint64(0);
    QTest::newRow("infinite") << "1E999" << SizeUnit::Megabytes << maxSize;
    QTest::newRow("minus infinite") << "-1E999" << SizeUnit::Bytes << minSize;
    QTest::newRow("product reaches 2^63") << "9223372036854.775807" << SizeUnit::Megabytes
                                          << maxSize;
    QTest::newRow("plus") << "+15" << SizeUnit::Bytes << qint64(15);
    QTest::newRow("two signs") << "+-5" << SizeUnit::Bytes << qint64(0);
    QTest::newRow("double minus") << "--5" << SizeUnit::Bytes << qint64(0);
    QTest::newRow("octal") << "&O377" << SizeUnit::Bytes << qint64(255);
    QTest::newRow("octal without digits") << "&o" << SizeUnit::Bytes << qint64(0);
    QTest::newRow("ampersand alone") << "&" << SizeUnit::Bytes << qint64(0);
    QTest::newRow("unknown base") << "&X1" << SizeUnit::Bytes << qint64(0);
    QTest::newRow("exponent") << "1.6E1" << SizeUnit::Bytes << qint64(16);
    QTest::newRow("D exponent") << "1D1" << SizeUnit::Bytes << qint64(10);
    QTest::newRow("tiny") << "1E-99" << SizeUnit::Megabytes << qint64(0);
    QTest::newRow("finite below 63 bits") << "-1E99" << SizeUnit::Bytes << minSize;
    QTest::newRow("beyond 63 bits") << "1E19" << SizeUnit::Bytes << maxSize;
    QTest::newRow("below 63 bits") << "-1E19" << SizeUnit::Bytes << minSize;
    QTest::newRow("within 63 bits") << "1E18" << SizeUnit::Bytes << qint64(1000000000000000000);
    QTest::newRow("exact kilobytes") << "4.096" << SizeUnit::Kilobytes << qint64(4096);
}

void TestSizeLimit::limit()
{
    QFETCH(QString, text);
    QFETCH(SizeUnit, unit);
    QFETCH(qint64, expected);
    QCOMPARE(sizeLimitFor(text, unit), expected);
}

void TestSizeLimit::rounding_data()
{
    const double belowTwoTo63 = std::nextafter(twoTo63, 0.0);
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("NaN") << std::nan("") << qint64(0);
    QTest::newRow("plus half") << 0.5 << qint64(0);
    QTest::newRow("minus half") << -0.5 << qint64(0);
    QTest::newRow("just over half") << 2.5000000000000004 << qint64(3);
    QTest::newRow("just under half") << 0.49999999999999994 << qint64(0);
    QTest::newRow("odd half near 2^52") << 4503599627370495.5 << qint64(4503599627370496);
    QTest::newRow("even half near 2^52") << 4503599627370494.5 << qint64(4503599627370494);
    QTest::newRow("largest below 2^63") << belowTwoTo63 << qint64(9223372036854774784);
    QTest::newRow("2^63") << twoTo63 << maxSize;
    QTest::newRow("minus 2^63") << -twoTo63 << minSize;
    QTest::newRow("below minus 2^63") << -std::nextafter(twoTo63, 1e300) << minSize;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << maxSize;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << minSize;
}

void TestSizeLimit::rounding()
{
    QFETCH(double, value);
    QFETCH(qint64, expected);
    // The result must not follow whatever rounding mode is in force.
    const int savedMode = std::fegetround();
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const qint64 actual = roundHalfEvenSaturated(value);
        std::fesetround(savedMode);
        QCOMPARE(actual, expected);
    }
}

QTEST_APPLESS_MAIN(TestSizeLimit)
#include "tst_sizelimit.moc"

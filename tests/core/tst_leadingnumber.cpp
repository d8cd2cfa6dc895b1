// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/LeadingNumber.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace vashtem;

class TestLeadingNumber : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
};

void TestLeadingNumber::reads_data()
{
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("blank between digits") << "1 5" << 15.0;
    QTest::newRow("blanks everywhere") << " 1 2 . 5 " << 12.5;
    QTest::newRow("tab and line feed") << "\t\n7" << 7.0;
    QTest::newRow("carriage return inside sign") << "\r\n-\t4" << -4.0;
    QTest::newRow("comma ends") << "1,000" << 1.0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << 0.0;
    QTest::newRow("fraction") << "1.5" << 1.5;
    QTest::newRow("no whole part") << ".5" << 0.5;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("correctly rounded") << "0.1" << 0.1;
    QTest::newRow("minus") << "-3" << -3.0;
    QTest::newRow("sign alone") << "+" << 0.0;
    QTest::newRow("minus alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("exponent") << "1E3" << 1000.0;
    QTest::newRow("lower-case exponent") << "1e5" << 100000.0;
    QTest::newRow("D exponent") << "2D2" << 200.0;
    QTest::newRow("negative exponent") << "1E-2" << 0.01;
    QTest::newRow("blanks in exponent") << "1 E + 2" << 100.0;
    QTest::newRow("exponent without digits") << "12E" << 12.0;
    QTest::newRow("exponent sign without digits") << "1E+" << 1.0;
    QTest::newRow("exponent alone") << "E5" << 0.0;
    QTest::newRow("overflow") << "1E999" << inf;
    QTest::newRow("negative overflow") << "-1E999" << -inf;
    QTest::newRow("overflow by digits") << "100E307" << inf;
    QTest::newRow("huge exponent") << "1E99999999999999999999" << inf;
    QTest::newRow("underflow") << "0.01E-322" << 0.0;
    QTest::newRow("subnormal") << "5E-324" << std::numeric_limits<double>::denorm_min();
    QTest::newRow("hex") << "&H1F" << 31.0;
    QTest::newRow("lower-case hex") << "&h10" << 16.0;
    QTest::newRow("hex not wrapped") << "&HFFFF" << 65535.0;
    QTest::newRow("hex lower-case digits") << "&Hff" << 255.0;
    QTest::newRow("hex stops at G") << "&H1G" << 1.0;
    QTest::newRow("hex blanks") << "& H 1 0" << 16.0;
    QTest::newRow("hex without digits") << "&H" << 0.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&O8" << 0.0;
    QTest::newRow("unknown base") << "&Z" << 0.0;
}

void TestLeadingNumber::reads()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double actual = readLeadingNumber(text);
    // Exact, not fuzzy: a wrongly rounded conversion must fail.
    QVERIFY2(actual == expected && std::signbit(actual) == std::signbit(expected),
             QByteArray::number(actual, 'g', 17).constData());
}

QTEST_APPLESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"

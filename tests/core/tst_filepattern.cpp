// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/FilePattern.h"

#include <QTest>

using vashtem::FilePattern;

class TestFilePattern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matches_data();
    void matches();
    void matchesEverything_data();
    void matchesEverything();
};

void TestFilePattern::matches_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("expected");

    const QByteArray longRun(10000, 'a');

    QTest::newRow("star dot star, no dot") << "*.*" << QByteArray("Makefile") << true;
    QTest::newRow("star dot star later in list") << "*.txt;*.*" << QByteArray("Makefile") << true;
    QTest::newRow("upper pattern, lower name") << "*.TXT" << QByteArray("a.txt") << true;
    QTest::newRow("lower pattern, upper name") << "*.txt" << QByteArray("README.TXT") << true;
    QTest::newRow("suffix must be whole") << "*.txt" << QByteArray("a.txt.bak") << false;
    QTest::newRow("star matches empty") << "a*b" << QByteArray("ab") << true;
    QTest::newRow("literal needs all") << "abc" << QByteArray("abcd") << false;
    QTest::newRow("question is one code point") << "?.txt" << QByteArray("あ.txt") << true;
    QTest::newRow("question is not two") << "?.txt" << QByteArray("ab.txt") << false;
    QTest::newRow("question is not zero") << "a?" << QByteArray("a") << false;
    QTest::newRow("second of two patterns") << "*.txt; *.log" << QByteArray("x.log") << true;
    QTest::newRow("neither of two patterns") << "*.txt; *.log" << QByteArray("x.dat") << false;
    QTest::newRow("blanks around pieces") << " \t*.c \t;\t *.h " << QByteArray("main.h") << true;
    QTest::newRow("inner blank is literal") << "a b*" << QByteArray("ab.txt") << false;
    QTest::newRow("only separators") << " ; ;\t" << QByteArray("a.txt") << false;
    QTest::newRow("empty text") << "" << QByteArray("a") << false;
    QTest::newRow("NFD name, NFC pattern") << "が*" << QByteArray("か\xe3\x82\x99.txt") << true;
    QTest::newRow("NFC name, NFD pattern") << "か\u3099.txt" << QByteArray("が.txt") << true;
    QTest::newRow("latin umlaut folds") << "Ä*" << QByteArray("äpfel") << true;
    QTest::newRow("greek folds") << "ΣΟΦΙΑ.*" << QByteArray("σοφια.doc") << true;
    QTest::newRow("greek final sigma folds") << "*Σ" << QByteArray("λόγος") << true;
    QTest::newRow("cyrillic folds") << "ПРИВЕТ.TXT" << QByteArray("привет.txt") << true;
    QTest::newRow("kelvin sign folds to k") << "k*" << QByteArray("\xe2\x84\xaa" "elvin") << true;
    QTest::newRow("ascii pattern, non-ascii name") << "*.txt" << QByteArray("日本.txt") << true;
    QTest::newRow("invalid byte is one character") << "bad?.txt" << QByteArray("bad\xff.txt") << true;
    QTest::newRow("invalid byte matches star") << "*.txt" << QByteArray("\xfe\xff.txt") << true;
    QTest::newRow("invalid byte is not ascii") << "bad?.txt" << QByteArray("badx\xff.txt") << false;
    QTest::newRow("backtracking stays linear") << "*a*a*a*a*a*a*a*a*b" << longRun << false;
    QTest::newRow("backtracking finds the end") << "*a*a*a*a*a*a*a*a*b" << longRun + 'b' << true;
    QTest::newRow("brackets are literal") << "[abc].txt" << QByteArray("[abc].txt") << true;
    QTest::newRow("brackets are no class") << "[abc].txt" << QByteArray("a.txt") << false;
    QTest::newRow("star in name is literal") << "a*" << QByteArray("a*b") << true;
    QTest::newRow("slash never matches a name") << "sub/*.txt" << QByteArray("a.txt") << false;
    QTest::newRow("backslash never matches a name") << "sub\\*" << QByteArray("sub") << false;
}

void TestFilePattern::matches()
{
    QFETCH(QString, patterns);
    QFETCH(QByteArray, name);
    QFETCH(bool, expected);
    QCOMPARE(FilePattern(patterns).matches(name), expected);
}

void TestFilePattern::matchesEverything_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("expected");

    QTest::newRow("star") << "*" << true;
    QTest::newRow("star dot star among others") << "*.txt ; *.*" << true;
    QTest::newRow("star dot txt") << "*.txt" << false;
    QTest::newRow("star dot question") << "*.?" << false;
    QTest::newRow("nothing") << ";" << false;
}

void TestFilePattern::matchesEverything()
{
    QFETCH(QString, patterns);
    QFETCH(bool, expected);
    const FilePattern pattern(patterns);
    QCOMPARE(pattern.matchesEverything(), expected);
    if (expected)
        QVERIFY(pattern.matches(QByteArray("\xff no dot")));
}

QTEST_GUILESS_MAIN(TestFilePattern)
#include "tst_filepattern.moc"

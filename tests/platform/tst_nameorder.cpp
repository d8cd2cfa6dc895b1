// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NameOrder.h"

#include <QTest>

#include <algorithm>
#include <vector>

using vashtem::nameLess;
using vashtem::nameOrder;
using vashtem::sortByName;

class TestNameOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pairs_data();
    void pairs();
    void sortsMixedNames();
    void sortsLongListAsComparisonDoes_data();
    void sortsLongListAsComparisonDoes();
    void decodesOnlyWithinView();
};

// Each row names a pair in its expected order: first strictly before second.
void TestNameOrder::pairs_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");

    QTest::newRow("case ignored first") << QByteArray("a") << QByteArray("B");
    QTest::newRow("case tie broken by bytes") << QByteArray("A") << QByteArray("a");
    QTest::newRow("tie decided late") << QByteArray("aB") << QByteArray("ab");
    QTest::newRow("plain code points, not numbers") << QByteArray("a10") << QByteArray("a9");
    QTest::newRow("prefix first") << QByteArray("abc") << QByteArray("abcd");
    QTest::newRow("prefix first, folded") << QByteArray("ABC") << QByteArray("abcd");
    QTest::newRow("empty first") << QByteArray() << QByteArray("a");
    QTest::newRow("prefix first, a control byte after it") << QByteArray("x") << QByteArray("X\x01");
    QTest::newRow("letters fold down, after underscore") << QByteArray("_") << QByteArray("Z");
    QTest::newRow("code point order, b before a-umlaut") << QByteArray("b") << QByteArray("ä");
    QTest::newRow("umlaut case tie by bytes") << QByteArray("Ä") << QByteArray("ä");
    QTest::newRow("umlaut folded before next letter") << QByteArray("äa") << QByteArray("Äb");
    QTest::newRow("final sigma folds to sigma") << QByteArray("σa") << QByteArray("ςb");
    QTest::newRow("sigma folds after divergence")
        << QByteArray("x\xcf\x83" "a") << QByteArray("x\xcf\x82" "b");
    QTest::newRow("kelvin sign folds to k") << QByteArray("\xe2\x84\xaa" "a") << QByteArray("kb");
    QTest::newRow("kelvin sign ties k by bytes") << QByteArray("k") << QByteArray("\xe2\x84\xaa");
    QTest::newRow("code points, not UTF-16 units") << QByteArray("ｚ") << QByteArray("😀");
    QTest::newRow("invalid byte after letters") << QByteArray("z") << QByteArray("\xff");
    QTest::newRow("invalid byte after BMP") << QByteArray("ｚ") << QByteArray("\xff");
    QTest::newRow("invalid byte before astral") << QByteArray("\xff") << QByteArray("😀");
    QTest::newRow("invalid ties U+FFFD by bytes") << QByteArray("\xef\xbf\xbd") << QByteArray("\xff");
    QTest::newRow("cut short sequence") << QByteArray("あ") << QByteArray("\xe3\x81");
    QTest::newRow("overlong slash is invalid") << QByteArray("a0") << QByteArray("a\xe0\x80\xaf");
    QTest::newRow("encoded surrogate is invalid")
        << QByteArray("\xef\xbf\xbd") << QByteArray("\xed\xa0\x80");
}

void TestNameOrder::pairs()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QVERIFY(nameLess(first, second));
    QVERIFY(!nameLess(second, first));
    QVERIFY(!nameLess(first, first));
    // The sort on folded keys agrees with the comparison.
    QCOMPARE(nameOrder({second, first}), (std::vector<quint32>{1, 0}));
    QCOMPARE(nameOrder({first, second}), (std::vector<quint32>{0, 1}));
}

void TestNameOrder::sortsMixedNames()
{
    const std::vector<QByteArray> expected = {
        "", "1", "A", "a", "a.txt", "a10", "a9", "Ab", "aB", "ab", "B", "b", "é", "あ", "\xff",
    };
    std::vector<QByteArray> names(expected.rbegin(), expected.rend());
    std::rotate(names.begin(), names.begin() + 5, names.end());
    sortByName(names, [](const QByteArray &name) { return QByteArrayView(name); });
    QCOMPARE(names, expected);
}

// Long enough to be cut into ranges of keys sorted on several threads side by side;
// names differ late, past the first eight key bytes, and in case only. A part may hold only
// low or only high names, or names all alike.
enum class Arrangement { Shuffled, InOrder, Reversed, AllAlike };

void TestNameOrder::sortsLongListAsComparisonDoes_data()
{
    QTest::addColumn<Arrangement>("arrangement");
    QTest::newRow("shuffled") << Arrangement::Shuffled;
    QTest::newRow("in order already") << Arrangement::InOrder;
    QTest::newRow("in reverse order") << Arrangement::Reversed;
    QTest::newRow("all alike") << Arrangement::AllAlike;
}

void TestNameOrder::sortsLongListAsComparisonDoes()
{
    QFETCH(Arrangement, arrangement);
    const std::vector<QByteArray> pieces = {"a", "A", "ä", "Ä", "σ", "ς", "K", "\xe2\x84\xaa", "_", "\xff", "あ", "😀"};
    std::vector<QByteArray> names;
    quint32 bits = 12345;
    for (int index = 0; index < 70000; ++index) {
        QByteArray name = index % 2 ? "common_prefix_" : "";
        for (int length = 1 + index % 4; length > 0 && arrangement != Arrangement::AllAlike; --length) {
            bits = bits * 1103515245 + 12345;
            name += pieces[(bits >> 16) % pieces.size()];
        }
        names.push_back(name);
    }
    const auto less = [](const QByteArray &a, const QByteArray &b) { return nameLess(a, b); };
    std::vector<QByteArray> expected = names;
    std::stable_sort(expected.begin(), expected.end(), less);
    if (arrangement == Arrangement::InOrder)
        names = expected;
    else if (arrangement == Arrangement::Reversed)
        names.assign(expected.rbegin(), expected.rend());
    sortByName(names, [](const QByteArray &name) { return QByteArrayView(name); });
    QVERIFY(names == expected);
}

// A sequence cut by the end of the view must not be completed from the bytes after it.
void TestNameOrder::decodesOnlyWithinView()
{
    const QByteArray hiragana("\xe3\x81\x82");
    const QByteArrayView cut(hiragana.constData(), 2);
    QVERIFY(nameLess(hiragana, cut));
    QVERIFY(!nameLess(cut, hiragana));
}

QTEST_GUILESS_MAIN(TestNameOrder)
#include "tst_nameorder.moc"

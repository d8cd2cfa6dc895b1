// SPDX-License-Identifier: GPL-3.0-or-later
// A bounded fuzz run over the size-box reader and the file-name patterns: first the kept
// corpus of tricky inputs, then many random ones built from the characters that matter.
// A failure prints the input; add it to the corpus. VASHTEM_SEED=n changes the random run.
#include "support/core/FuzzChecks.h"
#include "support/core/ReferenceListing.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

using namespace vashtem::testing;

namespace {

constexpr int RandomTexts = 200000;
constexpr int RandomPairs = 100000;

// Corpus lines: "\\", "\t", "\n", "\r", "\uXXXX" (a UTF-16 unit) and "\xHH" (a byte) escapes;
// lines starting with "# " are comments, an empty line is the empty input.
QList<QByteArray> corpusLines(const QString &file)
{
    QFile corpus(QFINDTESTDATA(QStringLiteral("corpus/") + file));
    if (!corpus.open(QIODevice::ReadOnly))
        qFatal("cannot read the corpus %s", qPrintable(file));
    QList<QByteArray> lines = corpus.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    lines.removeIf([](const QByteArray &line) { return line.startsWith("# ") || line == "#"; });
    return lines;
}

// Unescapes a line; UTF-16 units are collected apart so that lone surrogates survive.
void unescape(const QByteArray &line, const std::function<void(char16_t)> &addUnit,
              const std::function<void(char)> &addByte)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 >= line.size()) {
            addByte(line[i]);
            continue;
        }
        const char kind = line[++i];
        if (kind == 'u' || kind == 'x') {
            const int digits = kind == 'u' ? 4 : 2;
            const uint value = line.mid(i + 1, digits).toUInt(nullptr, 16);
            i += digits;
            if (kind == 'u')
                addUnit(char16_t(value));
            else
                addByte(char(value));
        } else {
            addByte(kind == 't' ? '\t' : kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind);
        }
    }
}

QString textOf(const QByteArray &line)
{
    QString text;
    QByteArray pending; // UTF-8 between escapes
    auto flush = [&] {
        text += QString::fromUtf8(pending);
        pending.clear();
    };
    unescape(line, [&](char16_t unit) { flush(); text.append(QChar(unit)); },
                       [&](char byte) { pending.append(byte); });
    flush();
    return text;
}

QByteArray bytesOf(const QByteArray &line)
{
    QByteArray bytes;
    unescape(line, [&](char16_t unit) { bytes += QString(QChar(unit)).toUtf8(); },
                       [&](char byte) { bytes.append(byte); });
    return bytes;
}

quint32 fuzzSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("VASHTEM_SEED").toUInt(&ok, 0);
    return ok ? seed : 20241207;
}

// Halves of a surrogate pair, which a character literal cannot hold alone.
constexpr char16_t LoneHigh[] = {0xD800, 0};
constexpr char16_t LoneLow[] = {0xDE00, 0};

const char16_t *const NumberStarts[] = {
    u"", u"1", u"9", u"0", u"+", u"-", u".", u" ", u"&H", u"&O", u"&h", u"& H", u"-.", u"\t-", u"12", u"0.",
};

const char16_t *const NumberPieces[] = {
    u"0", u"1", u"2", u"5", u"7", u"8", u"9", u"0", u"1", u"9", u".", u".", u"+", u"-", u"E", u"e",
    u"D", u"d", u"&", u"&H", u"&O", u"H", u"h", u"O", u"o", u"F", u"f", u"a", u"G", u" ", u"\t",
    u"\n", u"\r", u"x", u",", u"１", LoneHigh, u"😀", u"\v", u"E+", u"E-", u"308", u"324", u"999",
};

const char16_t *const PatternPieces[] = {
    u"*", u"*", u"?", u"?", u";", u" ", u"\t", u"a", u"A", u"b", u".", u".txt", u"ß", u"ss", u"σ", u"Σ",
    u"ς", u"か", u"\u3099", u"が", u"😀", LoneHigh, LoneLow, u"\uFFFD", u"\u212A", u"k", u"ǅ", u"ǆ",
    u"İ", u"i", u"ﬀ", u"\\", u"/", u"[a]",
};

const char *const NameBytes[] = {
    "a", "A", "b", ".", ".txt", "ß", "SS", "σ", "Σ", "ς", "か", "\xe3\x82\x99", "が", "😀", "\xef\xbf\xbd",
    "\xe2\x84\xaa", "k", "ǅ", "ǆ", "İ", "i", "ﬀ", " ", "\t", "\\", "*", "?", ";", "\xff", "\x80",
    "\xe3\x81", "\xed\xa0\x80", "\xc0\xaf", "\xf0\x9f\x98", "\xf4\x90\x80\x80",
};

template<typename T, size_t N>
const T &pick(QRandomGenerator &random, const T (&items)[N])
{
    return items[random.bounded(int(N))];
}

QString randomNumberText(QRandomGenerator &random)
{
    QString text = QString::fromUtf16(pick(random, NumberStarts));
    for (int i = random.bounded(12); i > 0; --i)
        text += QString::fromUtf16(pick(random, NumberPieces));
    // Now and then a run of digits long enough to overflow or underflow on its own.
    if (random.bounded(20) == 0)
        text.insert(random.bounded(int(text.size()) + 1), QString(300 + random.bounded(60), u"09"[random.bounded(2)]));
    return text;
}

QString randomPattern(QRandomGenerator &random)
{
    QString text;
    for (int i = random.bounded(8); i > 0; --i)
        text += QString::fromUtf16(pick(random, PatternPieces));
    return text;
}

QByteArray randomName(QRandomGenerator &random)
{
    QByteArray name;
    for (int i = 1 + random.bounded(7); i > 0; --i)
        name += pick(random, NameBytes);
    return name;
}

// A pattern made from a name, some characters turned into "?" or "*", so that it mostly
// matches: random patterns alone would hardly ever do.
QString patternCutFrom(QRandomGenerator &random, const QByteArray &name)
{
    const QString text = QString::fromUtf8(name);
    QString pattern;
    for (const QChar c : text) {
        const int roll = random.bounded(6);
        if (c.isSurrogate() || roll > 1)
            pattern += c;
        else
            pattern += roll == 0 ? u'?' : u'*';
    }
    return pattern;
}

} // namespace

class FuzzInputsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingNumberCorpus();
    void leadingNumberRandom();
    void filePatternCorpus();
    void filePatternRandom();
};

void FuzzInputsTest::leadingNumberCorpus()
{
    const QList<QByteArray> lines = corpusLines(QStringLiteral("leadingnumber.txt"));
    QVERIFY(lines.size() > 50);
    for (const QByteArray &line : lines) {
        const QByteArray fault = leadingNumberFault(textOf(line));
        QVERIFY2(fault.isEmpty(), fault.constData());
    }
}

void FuzzInputsTest::leadingNumberRandom()
{
    QRandomGenerator random(fuzzSeed());
    for (int i = 0; i < RandomTexts; ++i) {
        const QString text = randomNumberText(random);
        const QByteArray fault = leadingNumberFault(text);
        QVERIFY2(fault.isEmpty(), fault.constData());
    }
}

void FuzzInputsTest::filePatternCorpus()
{
    const QList<QByteArray> patterns = corpusLines(QStringLiteral("filepattern-patterns.txt"));
    const QList<QByteArray> names = corpusLines(QStringLiteral("filepattern-names.txt"));
    QVERIFY(patterns.size() > 40 && names.size() > 40);
    for (const QByteArray &pattern : patterns) {
        for (const QByteArray &name : names) {
            const QByteArray fault = patternFault(textOf(pattern), bytesOf(name));
            QVERIFY2(fault.isEmpty(), fault.constData());
        }
    }
}

void FuzzInputsTest::filePatternRandom()
{
    QRandomGenerator random(fuzzSeed());
    int matched = 0;
    for (int i = 0; i < RandomPairs; ++i) {
        const QByteArray name = randomName(random);
        const QString pattern = i % 2 ? randomPattern(random) : patternCutFrom(random, name);
        const QByteArray fault = patternFault(pattern, name);
        QVERIFY2(fault.isEmpty(), fault.constData());
        matched += vashtem::reference::Pattern(pattern).matches(name);
    }
    // Both answers must come up often, or the run proves little.
    QVERIFY2(matched > RandomPairs / 5 && matched < RandomPairs * 4 / 5, QByteArray::number(matched).constData());
}

QTEST_GUILESS_MAIN(FuzzInputsTest)
#include "tst_fuzzinputs.moc"

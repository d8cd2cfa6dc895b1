// SPDX-License-Identifier: GPL-3.0-or-later
// The real search, driven through the main window, against a plain reference listing of the
// same random tree: names, paths, size texts and order must agree row for row.
// VASHTEM_SEED=n replays one tree; VASHTEM_TREES=n runs more of them.
#include "support/ui/MainWindowFixture.h"
#include "support/core/RandomTree.h"
#include "support/core/ReferenceListing.h"

#include "ui/FolderListBox.h"
#include "core/results/ResultModel.h"

#include <QCheckBox>
#include <QTest>

#include <limits>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

constexpr int Trees = 200;
constexpr int SearchesPerTree = 3;
constexpr double Infinity = std::numeric_limits<double>::infinity();

// Texts of at most five characters, the size box's limit, with the number each must read as.
struct SizeText {
    const char16_t *text;
    double number;
};
const SizeText SizeTexts[] = {
    {u"0", 0},        {u"1", 1},         {u"2.5", 2.5},      {u"3.5", 3.5},        {u"1.5", 1.5},
    {u".5", 0.5},     {u"0.001", 0.001}, {u"1E3", 1000},     {u"1e-3", 0.001},     {u"2D2", 200},
    {u"15", 15},      {u"1 5", 15},      {u" 1.5 ", 1.5},    {u"+1", 1},           {u"-1", -1},
    {u"-0", -0.0},    {u"&HFF", 255},    {u"&hff", 255},     {u"&O17", 15},        {u"&H", 0},
    {u"abc", 0},      {u"12abc", 12},    {u"1,000", 1},      {u"1E999", Infinity}, {u"-1E99", -1e99},
    {u"9E18", 9e18},  {u"1E19", 1e19},   {u"１５", 0},       {u"1.2.3", 1.2},      {u"E5", 0},
    {u"1E", 1},       {u"1E+", 1},       {u"4095", 4095},    {u"4.096", 4.096},    {u"1.001", 1.001},
    {u"1.499", 1.499}, {u".0025", 0.0025}, {u"12345", 12345}, {u"0.255", 0.255},   {u"&H1F4", 500},
    {u"5e2", 500},    {u"2.55D", 2.55},  {u"1e6", 1e6},      {u"4.097", 4.097},    {u"1.5e0", 1.5},
};
const double BytesPerUnit[] = {1e6, 1e3, 1};

const char16_t *const PatternPieces[] = {
    u"*", u"*.*", u"*.txt", u"*.TXT", u"*.log", u"?", u"??*", u"a*", u"*a*", u"日本*", u"*.日本",
    u"が*", u"か\u3099*", u"*\\*", u"[a]*", u"* *", u"*.", u"*.tar.gz", u"readme", u"README.TXT",
    u"σ*", u"Σ*", u"ς*", u"k*", u"K*", u"ß*", u"ss*", u"ẞ*", u"?.*", u"*?", u"\uFFFD*", u"*\uFFFD*",
    u"*.?", u"*.??", u"a?b*", u"***", u"ｔｘｔ*", u"*Ä*", u"*😀*", u"?😀*", u"~*", u"%*", u"*9",
    u"1?", u"z9*", u"*.TxT", u"ǆ*", u"*\t*", u"my file*", u"* lead*",
};
// Broad patterns come up more often, so that most searches list something.
const char16_t *const BroadPieces[] = {u"*", u"*.*", u"*.txt", u"*.TXT", u"?*", u"*a*", u"*.?*", u"*\uFFFD*"};
const char16_t *const Blanks[] = {u"", u"", u"", u" ", u"\t", u"  "};

QString randomPatternText(QRandomGenerator &random)
{
    if (chance(random, 8))
        return {};
    if (chance(random, 3))
        return QStringLiteral(" ; ;");
    QStringList pieces;
    for (int i = 1 + random.bounded(3); i > 0; --i) {
        const char16_t *piece = chance(random, 30) ? pick(random, BroadPieces) : pick(random, PatternPieces);
        pieces.append(QString::fromUtf16(pick(random, Blanks)) + QString::fromUtf16(piece)
                      + QString::fromUtf16(pick(random, Blanks)));
        if (chance(random, 10))
            pieces.append(QString());
    }
    return pieces.join(u';');
}

struct Row {
    QByteArray path;
    QByteArray name;
    qint64 size;
    QStringList texts; // name, path and size columns

    bool operator==(const Row &other) const = default;
};

QByteArray describe(const Row &row)
{
    return row.path.toPercentEncoding("/") + " size " + QByteArray::number(row.size) + " texts ["
        + row.texts.join(u'|').toUtf8() + "]";
}

std::vector<Row> expectedRows(const std::vector<reference::Entry> &entries)
{
    std::vector<Row> rows;
    for (const reference::Entry &entry : entries) {
        rows.push_back({entry.path, entry.name, entry.size,
                        {QString::fromUtf8(entry.name), QString::fromUtf8(entry.path),
                         reference::groupedSize(entry.size)}});
    }
    return rows;
}

std::vector<Row> shownRows(const MainWindowFixture &f)
{
    const ResultStore &store = f.window->results().store();
    const QStringList names = f.column(ResultModel::NameColumn);
    const QStringList paths = f.column(ResultModel::PathColumn);
    const QStringList sizes = f.column(ResultModel::SizeColumn);
    std::vector<Row> rows;
    for (qsizetype i = 0; i < store.rowCount(); ++i) {
        rows.push_back({store.fullPath(i), store.name(i).toByteArray(), store.row(i).size,
                        {names.value(i), paths.value(i), sizes.value(i)}});
    }
    return rows;
}

// Where the two lists part, for the failure message.
QByteArray firstDifference(const std::vector<Row> &expected, const std::vector<Row> &actual)
{
    size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
        ++i;
    QByteArray text = "expected " + QByteArray::number(qulonglong(expected.size())) + " rows, got "
        + QByteArray::number(qulonglong(actual.size())) + "; first difference at row " + QByteArray::number(qulonglong(i));
    text += "\n  expected: " + (i < expected.size() ? describe(expected[i]) : QByteArray("(none)"));
    text += "\n  got:      " + (i < actual.size() ? describe(actual[i]) : QByteArray("(none)"));
    return text;
}

} // namespace

class WalkOracleTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchAgreesWithReference();
    void deepTreesAreWalkedAndDeleted_data();
    void deepTreesAreWalkedAndDeleted();
};

void WalkOracleTest::searchAgreesWithReference()
{
    // One window for every tree, as a user searches one folder after another.
    MainWindowFixture f;
    f.open();
    auto *folderBox = f.find<FolderListBox>("Dir1");
    auto *sizeBox = f.find<QCheckBox>("chkSize");
    int searches = 0;
    int searchesWithRows = 0;
    qsizetype rowsCompared = 0;
    for (const quint32 seed : testSeeds(1, Trees)) {
        // Named before the tree is made, so that a crash or a hang names its tree too.
        qInfo("tree of seed %u (replay with VASHTEM_SEED=%u)", seed, seed);
        TempTree tree;
        QRandomGenerator random(seed);
        const std::vector<QByteArray> folders = fillRandomTree(tree, random);

        for (int round = 0; round < SearchesPerTree; ++round) {
            const QByteArray start = tree.path(chance(random, 60) ? QByteArray() : folders[random.bounded(int(folders.size()))]);
            QCOMPARE(folderBox->setPath(start), 0);
            const QString patternText = randomPatternText(random);
            f.edit("txtExt")->setText(patternText);

            const bool sizeFilter = chance(random, 40);
            const SizeText &sizeText = pick(random, SizeTexts);
            const int unit = random.bounded(3);
            const bool larger = chance(random, 50);
            if (sizeBox->isChecked() != sizeFilter)
                sizeBox->click();
            // The text stays in the box while the filter is off and must then count for nothing.
            f.edit("txtSize")->setText(QString::fromUtf16(sizeText.text));
            f.choose(qPrintable(QStringLiteral("optByte_%1").arg(unit)));
            f.choose(larger ? "optUD_0" : "optUD_1");
            const bool subfolders = chance(random, 70);
            f.search(subfolders ? "optSearch_1" : "optSearch_0");
            ++searches;

            const qint64 limit = reference::limitInBytes(sizeText.number, BytesPerUnit[unit]);
            const auto sizeTest = !sizeFilter ? reference::SizeTest::None
                : larger                      ? reference::SizeTest::Larger
                                              : reference::SizeTest::Smaller;
            const reference::Pattern pattern(patternText.isEmpty() ? QStringLiteral("*.*") : patternText);
            const std::vector<Row> expected = expectedRows(reference::listing(start, subfolders, pattern, sizeTest, limit));
            const std::vector<Row> actual = shownRows(f);
            rowsCompared += qsizetype(expected.size());
            searchesWithRows += expected.empty() ? 0 : 1;

            const QByteArray context = "seed " + QByteArray::number(seed) + " (replay with VASHTEM_SEED="
                + QByteArray::number(seed) + "), search " + QByteArray::number(round) + ": start "
                + start.mid(tree.root().size()).toPercentEncoding("/") + ", pattern \""
                + patternText.toUtf8() + "\", " + (subfolders ? "with subfolders" : "one folder")
                + (sizeFilter ? ", size " + (larger ? QByteArray("> ") : QByteArray("< ")) + QByteArray::number(limit)
                                    + " from \"" + QString::fromUtf16(sizeText.text).toUtf8() + "\""
                              : QByteArray(", no size test"));
            if (sizeFilter)
                QVERIFY2(f.window->criteria().sizeLimit == limit,
                         (context + "\n  limit read as " + QByteArray::number(f.window->criteria().sizeLimit)).constData());
            QVERIFY2(actual == expected, (context + "\n  " + firstDifference(expected, actual)).constData());
            QVERIFY2(f.label("lblFileSum")->text() == QString::number(expected.size()), context.constData());
            QVERIFY2(f.fake.messageBoxes.boxes.isEmpty(), context.constData());
        }
    }
    qInfo("%d searches on random trees agreed with the reference, %d of them with rows, %lld rows in all",
          searches, searchesWithRows, qlonglong(rowsCompared));
}

void WalkOracleTest::deepTreesAreWalkedAndDeleted_data()
{
    QTest::addColumn<QByteArray>("shape");
    QTest::newRow("2,100 levels of one-byte names") << QByteArray("chain");
    QTest::newRow("a folder of PATH_MAX - 1 bytes") << QByteArray("4095");
    QTest::newRow("a folder of PATH_MAX bytes") << QByteArray("4096");
    QTest::newRow("100 levels of 200-byte names") << QByteArray("long names");
}

// Folders whose paths reach or pass what one system call takes: every file is listed, and
// Delete all deletes every one.
void WalkOracleTest::deepTreesAreWalkedAndDeleted()
{
    QFETCH(QByteArray, shape);
    MainWindowFixture f;
    f.tree.file("top.txt");
    if (shape == "chain") {
        QVERIFY(!f.tree.chain("", 2100, "d", "f.txt").isEmpty());
    } else if (shape == "long names") {
        QVERIFY(!f.tree.chain("", 100, QByteArray(200, 'n'), "f.txt").isEmpty());
    } else {
        const QByteArray folder = f.tree.folderOfLength(shape.toInt());
        QVERIFY(!folder.isEmpty());
        f.tree.file(folder + "/f.txt");
        f.tree.file(folder.left(folder.lastIndexOf('/')) + "/g.txt");
    }
    f.open();
    f.search("optSearch_1");
    const reference::Pattern everything(QStringLiteral("*"));
    const std::vector<Row> expected = expectedRows(reference::listing(f.tree.root(), true, everything));
    const std::vector<Row> actual = shownRows(f);
    QVERIFY2(actual == expected, firstDifference(expected, actual).constData());

    f.run("cmdRemoveAll");
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1); // the confirmation, no failure
    QCOMPARE(reference::listing(f.tree.root(), true, everything).size(), size_t(0));
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
}

QTEST_MAIN(WalkOracleTest)
#include "tst_walkoracle.moc"

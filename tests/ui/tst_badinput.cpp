// SPDX-License-Identifier: GPL-3.0-or-later
// Awkward input at every entry point of a search: the size box typed, pasted or set past
// its five characters, odd pattern texts, a start folder that goes away after it was
// chosen, and a drive that cannot be read when it is chosen.
#include "support/ui/MainWindowFixture.h"
#include "support/core/ReferenceListing.h"

#include "ui/FolderListBox.h"
#include "platform/MessageBoxes.h"
#include "core/results/ResultModel.h"
#include "core/text/ErrorText.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include <unistd.h>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr qint64 Refused = -1; // stands for "the empty box is refused", which no text reads as

// Puts text into a line edit as a user would: typed key by key, committed by an input
// method (full-width and other non-Latin text), pasted, or set whole.
void enter(QLineEdit *edit, const QString &how, const QString &text)
{
    edit->clear();
    edit->setFocus();
    if (how == QLatin1String("typed")) {
        QTest::keyClicks(edit, text);
    } else if (how == QLatin1String("input method")) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(edit, &commit);
    } else if (how == QLatin1String("pasted")) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else {
        edit->setText(text);
    }
}

QByteArrayList rowNames(const MainWindowFixture &f)
{
    QByteArrayList names;
    for (int row = 0; row < f.window->results().rowCount(); ++row)
        names.append(f.window->results().store().name(row).toByteArray());
    return names;
}

QByteArrayList referenceNames(const TempTree &tree, const QString &pattern, reference::SizeTest test, qint64 limit)
{
    QByteArrayList names;
    for (const reference::Entry &entry : reference::listing(tree.root(), false, reference::Pattern(pattern), test, limit))
        names.append(entry.name);
    return names;
}

QByteArrayList sorted(QByteArrayList names)
{
    std::sort(names.begin(), names.end());
    return names;
}

const QByteArrayList PatternTreeNames{
    "a.txt", "B.TXT", "noext", "\\", "back\\slash.txt", "sp ace.txt", "日本.txt", "😀.txt", "bad\xff.txt",
    "\xed\xa0\x80.txt", "semi;colon.txt", "star*.txt", "q?.txt", QByteArray(200, 'a') + ".txt",
};

QByteArrayList withoutNoExtension(QByteArrayList names)
{
    names.removeAll("noext");
    names.removeAll("\\");
    return names;
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeBox_data();
    void sizeBox();
    void patternBox_data();
    void patternBox();
    void startFolderGoneBeforeTheSearch_data();
    void startFolderGoneBeforeTheSearch();
    void unreadableDrive_data();
    void unreadableDrive();
};

void BadInputTest::sizeBox_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("limit");

    // How a text is read as a number is the size limit's own test; here, what the box does
    // to what is typed, pasted or set, and that the limit reaches the search in every unit.
    QTest::newRow("typed past five") << "typed" << "123456" << 2 << "12345" << qint64(12345);
    QTest::newRow("pasted past five") << "pasted" << "1234567890" << 2 << "12345" << qint64(12345);
    QTest::newRow("set past five") << "set" << "4096000" << 2 << "40960" << qint64(40960);
    QTest::newRow("pasted hex cut short") << "pasted" << "&HFFFFFFFF" << 2 << "&HFFF" << qint64(4095);
    QTest::newRow("pasted exponent cut to overflow") << "pasted" << "1E9999" << 0 << "1E999" << Largest;
    QTest::newRow("pasted blanks cut short") << "pasted" << "  1 000 000" << 2 << "  1 0" << qint64(10);
    QTest::newRow("only blanks") << "typed" << "   " << 2 << "   " << qint64(0);
    QTest::newRow("hex kilobytes") << "typed" << "&h1f" << 1 << "&h1f" << qint64(31000);
    QTest::newRow("full-width digits") << "input method" << "１５" << 2 << "１５" << qint64(0);
    QTest::newRow("full-width after a digit") << "input method" << "1５" << 2 << "1５" << qint64(1);
    QTest::newRow("arabic-indic digit") << "input method" << "٣" << 2 << "٣" << qint64(0);
    QTest::newRow("rounds up to the nearest") << "pasted" << "4.0955" << 1 << "4.095" << qint64(4095);
    QTest::newRow("fraction of a megabyte") << "typed" << ".0125" << 0 << ".0125" << qint64(12500);
    QTest::newRow("lone surrogate pasted") << "pasted" << QString(QChar(0xD800)) + u'5' << 2
                                           << QString(QChar(0xD800)) + u'5' << qint64(0);
    QTest::newRow("emoji pasted") << "pasted" << "😀1" << 2 << "😀1" << qint64(0);
    QTest::newRow("tab inside") << "set" << "1\t5" << 2 << "1\t5" << qint64(15);
    QTest::newRow("typed and erased") << "erased" << "12" << 2 << "" << Refused;
}

void BadInputTest::sizeBox()
{
    QFETCH(QString, how);
    QFETCH(QString, input);
    QFETCH(int, unit);
    QFETCH(QString, shown);
    QFETCH(qint64, limit);
    MainWindowFixture f;
    const qint64 sizes[] = {0, 1, 2, 4, 9, 10, 11, 14, 15, 16, 254, 255, 256, 4094, 4095, 4096, 4097,
                            12344, 12345, 12346, 12499, 12500, 12501, 30999, 31000, 31001, 40960};
    for (const qint64 size : sizes)
        f.tree.file(QByteArray::number(size).rightJustified(5, '0'), size);
    f.open();
    f.find<QCheckBox>("chkSize")->click();
    f.choose(qPrintable(QStringLiteral("optByte_%1").arg(unit)));
    QLineEdit *box = f.edit("txtSize");
    if (how == QLatin1String("erased")) {
        enter(box, "typed", input);
        for (qsizetype i = 0; i < input.size(); ++i)
            QTest::keyClick(box, Qt::Key_Backspace);
    } else {
        enter(box, how, input);
    }
    QCOMPARE(box->text(), shown);

    for (const auto &[button, test] : {std::pair{"optUD_0", reference::SizeTest::Larger},
                                       std::pair{"optUD_1", reference::SizeTest::Smaller}}) {
        f.choose(button);
        f.fake.messageBoxes.boxes.clear();
        f.search("optSearch_0");
        if (limit == Refused) {
            QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
            QCOMPARE(f.fake.messageBoxes.boxes.first().text, QStringLiteral("ファイルサイズが入力されていません"));
            QCOMPARE(f.list()->model()->rowCount(), 0);
            continue;
        }
        QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
        QCOMPARE(f.window->criteria().sizeLimit, limit);
        const QByteArrayList expected = referenceNames(f.tree, "*", test, limit);
        QCOMPARE(rowNames(f), expected);
        QCOMPARE(f.label("lblFileSum")->text(), QString::number(expected.size()));
    }
}

void BadInputTest::patternBox_data()
{
    const QByteArrayList all = PatternTreeNames;
    const QByteArrayList txt = withoutNoExtension(all);
    const QString lone(QChar(0xD800));
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArrayList>("expected");

    // What the pattern means is the pattern's own test; here, what reaches it through the box.
    QTest::newRow("empty") << "set" << "" << all;
    QTest::newRow("only a separator") << "typed" << ";" << QByteArrayList{};
    QTest::newRow("slash") << "typed" << "/" << QByteArrayList{};
    QTest::newRow("backslash") << "typed" << "\\" << QByteArrayList{"\\"};
    QTest::newRow("backslash inside") << "typed" << "*\\*" << QByteArrayList{"\\", "back\\slash.txt"};
    QTest::newRow("very long literal") << "set" << QString(40000, u'a') << QByteArrayList{};
    QTest::newRow("very many stars") << "set" << QString(5000, u'*') + ".TXT" << txt;
    QTest::newRow("stars after a letter") << "set" << "a" + QString(5000, u'*')
                                          << QByteArrayList{"a.txt", QByteArray(200, 'a') + ".txt"};
    QTest::newRow("long name exactly") << "pasted" << QString(200, u'a') + ".TXT"
                                       << QByteArrayList{QByteArray(200, 'a') + ".txt"};
    QTest::newRow("lone surrogate") << "pasted" << lone << QByteArrayList{};
    QTest::newRow("lone surrogate and star") << "pasted" << lone + "*" << QByteArrayList{};
    QTest::newRow("lone low surrogate") << "pasted" << "?" + QString(QChar(0xDC00)) + "*" << QByteArrayList{};
    QTest::newRow("half of an emoji") << "pasted" << QString(QChar(0xD83D)) + "*" << QByteArrayList{};
    QTest::newRow("whole emoji") << "pasted" << "😀*" << QByteArrayList{"😀.txt"};
    QTest::newRow("lone surrogate beside a pattern") << "pasted" << "*" + lone + ";*.TXT" << txt;
    QTest::newRow("three replacement characters") << "input method" << "\uFFFD\uFFFD\uFFFD.txt"
                                                  << QByteArrayList{"\xed\xa0\x80.txt"};
    QTest::newRow("replacement character") << "input method" << "bad\uFFFD.txt" << QByteArrayList{"bad\xff.txt"};
    QTest::newRow("separator inside a name") << "typed" << "semi;colon.txt" << QByteArrayList{};
    QTest::newRow("star reaches a separator") << "typed" << "semi*" << QByteArrayList{"semi;colon.txt"};
    QTest::newRow("question mark in a name") << "typed" << "q?.txt" << QByteArrayList{"q?.txt"};
    QTest::newRow("one character") << "typed" << "?.txt" << QByteArrayList{"a.txt", "B.TXT", "😀.txt"};
    QTest::newRow("blank inside a name") << "typed" << " sp ace.TXT " << QByteArrayList{"sp ace.txt"};
    QTest::newRow("star dot") << "typed" << "*." << QByteArrayList{};
    QTest::newRow("star dot star beside nothing") << "typed" << ";;*.*;;" << all;
}

void BadInputTest::patternBox()
{
    QFETCH(QString, how);
    QFETCH(QString, pattern);
    QFETCH(QByteArrayList, expected);
    MainWindowFixture f;
    for (const QByteArray &name : PatternTreeNames)
        f.tree.file(name, 1);
    f.open();
    QLineEdit *box = f.edit("txtExt");
    enter(box, how, pattern);
    QCOMPARE(box->text(), pattern);
    f.search("optSearch_0");
    QCOMPARE(sorted(rowNames(f)), sorted(expected));
    QCOMPARE(f.label("lblFileSum")->text(), QString::number(expected.size()));
    QVERIFY(f.fake.messageBoxes.boxes.isEmpty());
}

void BadInputTest::startFolderGoneBeforeTheSearch_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("scope");
    for (const char *change : {"removed", "replaced by a file", "renamed"}) {
        QTest::addRow("%s, one folder", change) << change << "optSearch_0";
        QTest::addRow("%s, with subfolders", change) << change << "optSearch_1";
    }
}

void BadInputTest::startFolderGoneBeforeTheSearch()
{
    QFETCH(QString, change);
    QFETCH(QString, scope);
    MainWindowFixture f;
    f.tree.file("chosen/a.txt", 3);
    f.tree.file("chosen/sub/b.txt", 3);
    f.tree.file("other.txt", 3);
    f.open();
    QCOMPARE(f.find<FolderListBox>("Dir1")->setPath(f.tree.path("chosen")), 0);
    f.search(qPrintable(scope));
    QVERIFY(f.window->results().rowCount() > 0);

    const QByteArray chosen = f.tree.path("chosen");
    if (change == QLatin1String("renamed")) {
        QCOMPARE(::rename(chosen.constData(), f.tree.path("moved").constData()), 0);
    } else {
        for (const char *file : {"chosen/sub/b.txt", "chosen/a.txt"})
            QCOMPARE(::unlink(f.tree.path(file).constData()), 0);
        QCOMPARE(::rmdir(f.tree.path("chosen/sub").constData()), 0);
        QCOMPARE(::rmdir(chosen.constData()), 0);
        if (change == QLatin1String("replaced by a file"))
            f.tree.file("chosen", 5);
    }
    f.search(qPrintable(scope));
    QCOMPARE(f.list()->model()->rowCount(), 0);
    QCOMPARE(f.label("lblFileSum")->text(), QStringLiteral("0"));
    // Said, not hidden: the box names the folder that cannot be read.
    QCOMPARE(f.fake.messageBoxes.boxes.size(), 1);
    QVERIFY(f.fake.messageBoxes.boxes.first().text.startsWith(QString::fromUtf8(chosen) + QStringLiteral(" を読み取れません。")));
}

void BadInputTest::unreadableDrive_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("readableOnRetry");
    QTest::newRow("cancel") << QList<int>{MsgAnswer::Cancel} << false;
    QTest::newRow("retry, then cancel") << QList<int>{MsgAnswer::Retry, MsgAnswer::Cancel} << false;
    QTest::newRow("retry after it came back") << QList<int>{MsgAnswer::Retry} << true;
}

void BadInputTest::unreadableDrive()
{
    QFETCH(QList<int>, answers);
    QFETCH(bool, readableOnRetry);
    MainWindowFixture f;
    const QByteArray vanished = f.tree.folder("other volume");
    f.fake.fileSystem.volumeList = {QByteArray("/"), vanished};
    f.open();
    auto *drives = f.find<QComboBox>("Drive1");
    const QString home = drives->currentText();
    const int other = 1;
    const QByteArray folderBefore = f.find<FolderListBox>("Dir1")->path();
    f.fake.fileSystem.listErrors.insert(vanished, ENODEV);
    f.fake.fileSystem.listErrors.insert(folderBefore, ENODEV); // shown, so Cancel need not read it
    f.fake.messageBoxes.answers = answers;
    if (readableOnRetry)
        f.fake.messageBoxes.whileShown = [&] { f.fake.fileSystem.listErrors.clear(); };

    drives->setCurrentIndex(other);

    QCOMPARE(f.fake.messageBoxes.boxes.size(), answers.size());
    for (const RecordingMessageBoxes::Box &box : f.fake.messageBoxes.boxes) {
        QCOMPARE(box.style, MsgStyle::RetryCancel + MsgStyle::Information);
        QCOMPARE(box.text, QString::fromUtf8(vanished) + QStringLiteral(" を読み取れません。\n") + errorReason(ENODEV));
    }
    if (readableOnRetry) {
        QCOMPARE(drives->currentText(), QString::fromUtf8(vanished));
        QCOMPARE(f.find<FolderListBox>("Dir1")->path(), vanished);
    } else {
        QCOMPARE(drives->currentText(), home);
        QCOMPARE(f.find<FolderListBox>("Dir1")->path(), folderBefore);
    }
}

QTEST_MAIN(BadInputTest)
#include "tst_badinput.moc"

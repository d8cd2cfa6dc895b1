// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader hears of the main window: each field by the caption beside it, never
// by its value, no two fields alike, and no control without a name.
#include "support/ui/MainWindowFixture.h"

#include <QAccessible>
#include <QComboBox>
#include <QRadioButton>
#include <QSet>
#include <QTest>

using namespace vashtem;
using namespace vashtem::testing;

namespace {

// A combo box is named by its current text, so it is heard by the label tied to it.
QString heardName(QAccessibleInterface *control)
{
    const auto labels = control->relations(QAccessible::Label);
    if (control->role() == QAccessible::ComboBox && !labels.isEmpty())
        return labels.first().first->text(QAccessible::Name);
    return control->text(QAccessible::Name);
}

// What the field shows: its name must not be taken from it.
QString shownValue(QWidget *field)
{
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        return edit->text();
    if (auto *drive = qobject_cast<QComboBox *>(field))
        return drive->currentText();
    if (auto *number = qobject_cast<QLabel *>(field))
        return number->text();
    if (auto *list = qobject_cast<QAbstractItemView *>(field))
        return list->currentIndex().data().toString();
    for (QRadioButton *option : field->findChildren<QRadioButton *>())
        if (option->isChecked())
            return option->text();
    return {};
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void fieldIsNamedByItsCaption_data();
    void fieldIsNamedByItsCaption();
    void everyControlHasAName();

private:
    std::unique_ptr<MainWindowFixture> m_f;
    QSet<QString> m_heard; // the names of the rows before
};

// Every field holds a value, so that a name taken from it would show.
void AccessibilityTest::init()
{
    if (m_f)
        return;
    m_f = std::make_unique<MainWindowFixture>();
    m_f->tree.file("a.txt");
    m_f->open();
    m_f->find<QWidget>("chkSize")->setProperty("checked", true);
    m_f->edit("txtSize")->setText(QStringLiteral("12"));
    m_f->choose("optUD_1");
    m_f->edit("txtExt")->setText(QStringLiteral("*.txt"));
    m_f->fake.clock.step = 29;
    m_f->search();
    m_f->list()->setCurrentIndex(m_f->list()->model()->index(0, 0));
}

void AccessibilityTest::fieldIsNamedByItsCaption_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Drive1") << "ファイル検索ディレクトリ";
    QTest::newRow("Dir1") << "ドライブのフォルダ";
    QTest::newRow("txtExt") << "検索ファイル指定";
    QTest::newRow("txtSize") << "ファイルサイズ指定";
    QTest::newRow("fraByte") << "ファイルサイズの単位";
    QTest::newRow("fraUD") << "ファイルサイズの範囲";
    QTest::newRow("lblTime") << "検索時間（ミリ秒）";
    QTest::newRow("lblFileSum") << "合計ファイル数";
    QTest::newRow("ListView1") << "検索結果";
}

void AccessibilityTest::fieldIsNamedByItsCaption()
{
    QFETCH(QString, name);
    QWidget *field = m_f->find<QWidget>(QTest::currentDataTag());
    QAccessibleInterface *control = QAccessible::queryAccessibleInterface(field);
    QVERIFY(control);
    QCOMPARE(heardName(control), name);
    QVERIFY2(!m_heard.contains(name), "two fields share one name");
    m_heard.insert(name);
    const QString value = shownValue(field);
    QVERIFY(!value.isEmpty());
    QVERIFY(!name.contains(value));
    // A number is heard as the value beside its name.
    if (qobject_cast<QLabel *>(field))
        QCOMPARE(control->text(QAccessible::Value), value);
}

void AccessibilityTest::everyControlHasAName()
{
    for (QWidget *control : m_f->window->findChildren<QWidget *>()) {
        if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(m_f->window.get()))
            continue;
        QVERIFY2(!heardName(QAccessible::queryAccessibleInterface(control)).isEmpty(),
                 qPrintable(control->objectName()));
    }
}

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"

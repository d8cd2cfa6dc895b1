// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Centring.h"
#include "ui/HomePage.h"
#include "ui/frmVersion.h"
#include "ui/Twips.h"
#include "platform/ProgramLauncher.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace vashtem;

namespace {

// Records each start instead of starting anything.
struct FakeLauncher final : ProgramLauncher {
    bool start(const QString &program, const QStringList &arguments, const QObject *, const Failed &) override
    {
        starts.append(QStringList{program} + arguments);
        return succeeds;
    }
    QList<QStringList> starts;
    bool succeeds = true;
};

} // namespace

class TestFrmVersion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { delete m_window; }
    void controls_data();
    void controls();
    void titleIconAndPlace();
    void focusStartsOnOkAndTabCyclesTheButtons();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void homePageKeepsTheWindowAndReportsFailure();

private:
    QPushButton *button(const char *name) { return m_window->findChild<QPushButton *>(QLatin1String(name)); }

    FakeLauncher m_launcher;
    QPointer<frmVersion> m_window;
};

void TestFrmVersion::init()
{
    m_launcher = FakeLauncher();
    m_window = new frmVersion(m_launcher);
    showCentred(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestFrmVersion::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("points");
    QTest::addColumn<QRect>("designed");

    // Pixels of the twips layout; a width of zero fits the text.
    QTest::newRow("title") << "lblTitle" << "Vashtem" << 36 << QRect(8, 16, 0, 52);
    QTest::newRow("version") << "Label2" << "Ver 1.0" << 12 << QRect(224, 80, 56, 16);
    QTest::newRow("made with 1") << "Label3" << "このプログラムは" << 12 << QRect(8, 112, 128, 16);
    QTest::newRow("tool") << "Label4" << "C++ と Qt 6" << 12 << QRect(80, 144, 0, 16);
    QTest::newRow("made with 2") << "Label5" << "で、作られました" << 12 << QRect(144, 176, 128, 16);
    QTest::newRow("home page") << "Command2" << "ホームページ" << 12 << QRect(8, 208, 129, 41);
    QTest::newRow("ok") << "Command1" << "OK！" << 12 << QRect(152, 208, 129, 41);
    QTest::newRow("copyright") << "Label6" << "(C) 2026 Vashtem developers" << 12 << QRect(64, 264, 0, 16);
}

void TestFrmVersion::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, points);
    QFETCH(QRect, designed);

    auto *widget = m_window->findChild<QWidget *>(name);
    QVERIFY(widget);
    const auto *label = qobject_cast<QLabel *>(widget);
    const auto *pushButton = qobject_cast<QPushButton *>(widget);
    QCOMPARE(label ? label->text() : pushButton->text(), text);
    QCOMPARE(widget->font().pointSize(), points);
    QCOMPARE(widget->pos(), designed.topLeft());
    // Never smaller than the layout, nor than the text needs in the font really used,
    // and still inside the window.
    QCOMPARE(widget->size(), designed.size().expandedTo(widget->sizeHint()));
    QVERIFY(m_window->rect().contains(widget->geometry()));
    QCOMPARE(widget->focusPolicy() != Qt::NoFocus, pushButton != nullptr);
}

void TestFrmVersion::titleIconAndPlace()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Vashtem バージョン情報"));
    const QList<QSize> sizes = m_window->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
    QCOMPARE(m_window->frameGeometry().center(), m_window->screen()->availableGeometry().center());
}

void TestFrmVersion::focusStartsOnOkAndTabCyclesTheButtons()
{
    QCOMPARE(QApplication::focusWidget(), button("Command1"));
    QTest::keyClick(button("Command1"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button("Command2"));
    QTest::keyClick(button("Command2"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button("Command1"));
}

void TestFrmVersion::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void TestFrmVersion::enterPressesTheFocusedButton()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    for (const char *name : {"Command1", "Command2"})
        QVERIFY(!button(name)->isDefault() && !button(name)->autoDefault());

    button("Command2")->setFocus();
    QTest::keyClick(button("Command2"), Qt::Key(key), modifiers);
    QCOMPARE(m_launcher.starts.size(), 1);

    button("Command1")->setFocus();
    QTest::keyClick(button("Command1"), Qt::Key(key), modifiers);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_window.isNull());
    QCOMPARE(m_launcher.starts.size(), 1);
}

void TestFrmVersion::homePageKeepsTheWindowAndReportsFailure()
{
    QSignalSpy failures(m_window.data(), &frmVersion::launchFailed);
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    m_launcher.succeeds = false;
    QTest::mouseClick(button("Command2"), Qt::LeftButton);
    const QStringList start{QStringLiteral("xdg-open"), QString::fromLatin1(HomePageAddress)};
    QCOMPARE(m_launcher.starts, (QList<QStringList>{start, start}));
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.at(0).at(0).toString(), QStringLiteral("xdg-open"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_window && m_window->isVisible());
}

QTEST_MAIN(TestFrmVersion)
#include "tst_frmversion.moc"

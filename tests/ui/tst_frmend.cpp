// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Centring.h"
#include "ui/Twips.h"
#include "ui/frmEnd.h"

#include <QLabel>
#include <QScreen>
#include <QTest>

using namespace vashtem;

class TestFrmEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheWholeMessage();
    void fixedCentredToolWindow();
};

void TestFrmEnd::showsTheWholeMessage()
{
    frmEnd window;
    QCOMPARE(window.windowTitle(), QStringLiteral("終了中・・・"));
    const auto *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Vashtemを終了中です。少々お待ちください・・・"));
    QCOMPARE(label->font().pointSize(), 9);
    QCOMPARE(label->pos(), QPoint(16, 16));
    QVERIFY(label->width() >= label->sizeHint().width());
    // As wide a margin at the right as at the left.
    QVERIFY(window.width() - label->x() - label->width() >= label->x());
    QVERIFY(window.rect().contains(label->geometry()));
    QVERIFY(window.width() >= pixels(4845) && window.height() >= pixels(690));
}

void TestFrmEnd::fixedCentredToolWindow()
{
    frmEnd window;
    QCOMPARE(window.windowType(), Qt::Tool);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)));
    QVERIFY(window.windowIcon().isNull());

    showCentred(&window);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.minimumSize(), window.size());
    QCOMPARE(window.maximumSize(), window.size());
    QCOMPARE(window.frameGeometry().center(), window.screen()->availableGeometry().center());
}

QTEST_MAIN(TestFrmEnd)
#include "tst_frmend.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ApplicationSetup.h"

#include <QApplication>
#include <QTest>

using namespace vashtem;

class ApplicationSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesTheProgramAndItsVersion();
    void standardButtonsReadInJapanese_data();
    void standardButtonsReadInJapanese();
};

void ApplicationSetupTest::namesTheProgramAndItsVersion()
{
    setUpApplication(*qApp);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("io.github.vashtem.Vashtem"));
    QCOMPARE(QGuiApplication::desktopFileName(), QApplication::applicationName());
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.00"));
}

void ApplicationSetupTest::standardButtonsReadInJapanese_data()
{
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("japanese");
    QTest::newRow("Cancel") << "Cancel" << "キャンセル";
    QTest::newRow("Retry") << "Retry" << "再試行";
}

void ApplicationSetupTest::standardButtonsReadInJapanese()
{
    QFETCH(QString, english);
    QFETCH(QString, japanese);
    setUpApplication(*qApp);
    // The texts Qt's message boxes give their standard buttons.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", qPrintable(english)), japanese);
}

QTEST_MAIN(ApplicationSetupTest)
#include "tst_applicationsetup.moc"

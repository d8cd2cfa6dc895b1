// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ErrorText.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <cerrno>

using namespace vashtem;

class TestErrorText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reason_data();
    void reason();

private:
    QSet<QString> m_seen; // the reasons of the rows before
};

void TestErrorText::reason_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("known");
    for (const int error : {EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, EBUSY, EIO, ELOOP, ENAMETOOLONG,
                            EMFILE, ENFILE, ENOMEM, ETXTBSY, ENXIO, ESTALE, ETIMEDOUT, ENOSPC, EEXIST, EINVAL,
                            ENODEV, ECANCELED, EAGAIN, EDQUOT, ENOTEMPTY, EXDEV, EFAULT, ENOMEDIUM, ENOTCONN})
        QTest::addRow("errno %d", error) << error << true;
    QTest::newRow("unknown") << 4095 << false;
    QTest::newRow("negative") << -1 << false;
}

// A known reason is Japanese text alone, never the C library's English; another number is named.
void TestErrorText::reason()
{
    QFETCH(int, error);
    QFETCH(bool, known);
    const QString text = errorReason(error);
    QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}"))), qPrintable(text));
    QCOMPARE(text.contains(QString::number(error)), !known);
    QVERIFY(text.size() > 5);
    if (known) {
        QVERIFY2(!m_seen.contains(text), "two errors share one reason");
        m_seen.insert(text);
    }
}

QTEST_GUILESS_MAIN(TestErrorText)
#include "tst_errortext.moc"

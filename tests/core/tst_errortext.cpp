// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/ErrorText.h"

#include <QTest>

#include <algorithm>
#include <cerrno>

class TestErrorText : public QObject
{
    Q_OBJECT
    QStringList m_seen; // the reasons of the rows before

private Q_SLOTS:
    void reason_data()
    {
        QTest::addColumn<int>("error");
        for (const int error : {EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, EBUSY, EIO, ELOOP, ENAMETOOLONG, EMFILE,
                                ENFILE, ENOMEM, ETXTBSY, ENXIO, ESTALE, ETIMEDOUT, ENOSPC, EEXIST, EINVAL, ENODEV,
                                ECANCELED, EAGAIN, EDQUOT, ENOTEMPTY, EXDEV, EFAULT, ENOMEDIUM, ENOTCONN, 4095, -1})
            QTest::addRow("%d", error) << error;
    }

    // Japanese alone, never the C library's English, and no two errors alike; a number that
    // has no reason of its own is named.
    void reason()
    {
        QFETCH(int, error);
        const QString text = vashtem::errorReason(error);
        QVERIFY2(std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter() && c.unicode() < 128; }),
                 qPrintable(text));
        QCOMPARE(text.contains(QString::number(error)), error == 4095 || error == -1);
        QVERIFY2(!m_seen.contains(text), "two errors share one reason");
        m_seen.append(text);
    }
};

QTEST_GUILESS_MAIN(TestErrorText)
#include "tst_errortext.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ManualLocation.h"

#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace vashtem {

QByteArray manualPath(const QByteArray &workingFolder)
{
    const QByteArray name = QStringLiteral("説明書.html").toUtf8();
    QByteArray beside = workingFolder;
    AppendBackslash(beside);
    beside += name;
    struct stat facts {};
    if (::stat(beside.constData(), &facts) == 0 && S_ISREG(facts.st_mode))
        return beside;
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                                              + QLatin1String(VASHTEM_DATA_FROM_BINARY));
    return QFile::encodeName(installed) + '/' + name;
}

} // namespace vashtem

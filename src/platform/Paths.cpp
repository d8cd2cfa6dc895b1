// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Paths.h"

namespace vashtem {

void AppendBackslash(QByteArray &path)
{
    if (!path.endsWith(PathSeparator))
        path.append(PathSeparator);
}

void AppendBackslash(QString &path)
{
    if (!path.endsWith(QLatin1Char(PathSeparator)))
        path.append(QLatin1Char(PathSeparator));
}

QByteArray joinPath(const QByteArray &folder, QByteArrayView name)
{
    QByteArray path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    AppendBackslash(path);
    path.append(name);
    return path;
}

QByteArray withoutTrailingSeparator(const QByteArray &folder)
{
    QByteArray trimmed = folder;
    while (trimmed.size() > 1 && trimmed.endsWith(PathSeparator))
        trimmed.chop(1);
    return trimmed;
}

QByteArray parentFolder(const QByteArray &folder)
{
    const QByteArray trimmed = withoutTrailingSeparator(folder);
    const qsizetype cut = trimmed.lastIndexOf(PathSeparator);
    if (cut <= 0)
        return QByteArray(1, PathSeparator);
    return trimmed.left(cut);
}

QByteArray folderOfFile(const QByteArray &path)
{
    return path.left(path.lastIndexOf(PathSeparator) + 1);
}

QByteArrayView lastComponent(QByteArrayView path)
{
    return path.sliced(path.lastIndexOf(PathSeparator) + 1);
}

QString fileUrl(const QByteArray &path)
{
    return QStringLiteral("file://") + QString::fromLatin1(path.toPercentEncoding("/"));
}

} // namespace vashtem

#include "search/AppendBackslash.h"

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

QByteArray joinPath(const QByteArray &folder, const QByteArray &name)
{
    QByteArray path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    AppendBackslash(path);
    path.append(name);
    return path;
}

} // namespace vashtem

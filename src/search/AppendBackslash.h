#pragma once

#include <QByteArray>
#include <QString>

namespace vashtem {

// The platform's folder separator.
#ifdef Q_OS_WIN
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif

// Appends the separator unless the path already ends with one; an empty path becomes the separator.
void AppendBackslash(QByteArray &path);
void AppendBackslash(QString &path);

// The folder path joined with one name, with exactly one separator between them.
QByteArray joinPath(const QByteArray &folder, const QByteArray &name);

} // namespace vashtem

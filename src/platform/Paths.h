// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vashtem {

// Path arithmetic on the byte paths the program keeps. Nothing here touches the disk.

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
QByteArray joinPath(const QByteArray &folder, QByteArrayView name);

// A folder path without trailing separators, the root excepted.
QByteArray withoutTrailingSeparator(const QByteArray &folder);

// The parent of a folder path: "/a/b" -> "/a", "/a" -> "/", "/" -> "/".
QByteArray parentFolder(const QByteArray &folder);

// The folder part of a file path, with its trailing separator: "/a/b.txt" -> "/a/".
// Empty when the path holds no separator.
QByteArray folderOfFile(const QByteArray &path);

// The last component of a path: "/a/b.txt" -> "b.txt".
QByteArrayView lastComponent(QByteArrayView path);

// A file:// URL naming an absolute path, its bytes percent-encoded, so a name that is not
// UTF-8 reaches another program as the very bytes: "/a b/\xff" -> "file:///a%20b/%FF".
QString fileUrl(const QByteArray &path);

} // namespace vashtem

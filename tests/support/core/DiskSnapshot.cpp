// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/core/DiskSnapshot.h"

#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vashtem::testing {

namespace {

// Sparse giants are told apart by their size and first bytes; reading them whole would crawl.
constexpr qint64 ContentLimit = 2 << 20;

QByteArray fileContent(const QByteArray &path, qint64 size)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "(unreadable)";
    char chunk[65536];
    ssize_t got;
    while (content.size() < ContentLimit && (got = ::read(fd, chunk, sizeof chunk)) > 0)
        content.append(chunk, got);
    ::close(fd);
    if (size > ContentLimit)
        content = "size " + QByteArray::number(size) + ": " + content.left(4096);
    return content;
}

void collect(const QByteArray &root, const QByteArray &relative, DiskSnapshot &out)
{
    const QByteArray folder = relative.isEmpty() ? root : root + '/' + relative;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray child = relative.isEmpty() ? name : relative + '/' + name;
        const QByteArray path = root + '/' + child;
        struct stat facts;
        if (::lstat(path.constData(), &facts) != 0)
            continue;
        DiskEntry item;
        item.mode = facts.st_mode & 07777;
        if (S_ISREG(facts.st_mode)) {
            item.kind = 'f';
            item.content = fileContent(path, facts.st_size);
        } else if (S_ISDIR(facts.st_mode)) {
            item.kind = 'd';
            collect(root, child, out);
        } else if (S_ISLNK(facts.st_mode)) {
            item.kind = 'l';
            char target[4096];
            const ssize_t length = ::readlink(path.constData(), target, sizeof target);
            item.content = QByteArray(target, length > 0 ? length : 0);
        } else {
            item.kind = S_ISFIFO(facts.st_mode) ? 'p' : '?';
        }
        out[child] = item;
    }
    ::closedir(dir);
}

QByteArray describe(const DiskSnapshot &snapshot, const QByteArray &path)
{
    const auto found = snapshot.find(path);
    if (found == snapshot.end())
        return "(absent)";
    const DiskEntry &entry = found->second;
    return QByteArray(1, entry.kind) + " mode " + QByteArray::number(entry.mode, 8) + ", "
        + QByteArray::number(entry.content.size()) + " bytes";
}

} // namespace

DiskSnapshot snapshotOf(const QByteArray &root)
{
    DiskSnapshot snapshot;
    collect(root, QByteArray(), snapshot);
    return snapshot;
}

QByteArray differences(const DiskSnapshot &expected, const DiskSnapshot &actual)
{
    std::set<QByteArray> paths;
    for (const auto &[path, entry] : expected)
        paths.insert(path);
    for (const auto &[path, entry] : actual)
        paths.insert(path);
    QByteArray text;
    for (const QByteArray &path : paths) {
        const auto a = expected.find(path);
        const auto b = actual.find(path);
        if (a != expected.end() && b != actual.end() && a->second == b->second)
            continue;
        text += path.toPercentEncoding("/ ") + ": expected " + describe(expected, path) + ", found "
            + describe(actual, path) + '\n';
    }
    return text;
}

} // namespace vashtem::testing

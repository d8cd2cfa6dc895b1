// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/platform/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 PatternBytes = 1 << 20;

void fail(const char *what, const QByteArray &path)
{
    const QByteArray message = QByteArray(what) + " " + path + ": " + std::strerror(errno);
    QTest::qFail(message.constData(), __FILE__, __LINE__);
}

// Opens the folder that holds `relative` below the root, one component at a time so that
// paths beyond the system's limit for one call work too; with `create`, makes the folders
// on the way. Returns the descriptor (or -1) and sets `last` to the final component.
int openFolderOf(const QByteArray &root, QByteArrayView relative, bool create, QByteArray &last)
{
    QList<QByteArray> components = relative.toByteArray().split('/');
    last = components.takeLast();
    int fd = ::open(root.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray &component : components) {
        if (fd < 0)
            break;
        if (create && ::mkdirat(fd, component.constData(), 0755) != 0 && errno != EEXIST) {
            ::close(fd);
            return -1;
        }
        const int next = ::openat(fd, component.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return fd;
}

bool writeContent(int fd, qint64 size)
{
    char chunk[4096];
    for (size_t i = 0; i < sizeof chunk; ++i)
        chunk[i] = char('a' + i % 26);
    for (qint64 written = 0; written < std::min(size, PatternBytes);) {
        const qint64 part = std::min<qint64>(sizeof chunk, std::min(size, PatternBytes) - written);
        const ssize_t done = ::write(fd, chunk, size_t(part));
        if (done <= 0)
            return false;
        written += done;
    }
    return size <= PatternBytes || ::ftruncate(fd, off_t(size)) == 0;
}

// Removes what a folder holds, by bytes (QDir cannot name entries that are not valid UTF-8)
// and by handle, so trees deeper than one path can name go too. Folders are opened up
// first, so a test that locked one does not leave it behind; links are never followed and
// nothing on another device (a mount a test left behind) is entered.
void removeContents(int folder, dev_t device)
{
    DIR *dir = ::fdopendir(folder);
    if (!dir) {
        ::close(folder);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat facts;
        if (::fstatat(::dirfd(dir), name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(facts.st_mode)) {
            if (facts.st_dev != device)
                continue;
            ::fchmodat(::dirfd(dir), name, 0700, 0);
            const int child = ::openat(::dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child >= 0)
                removeContents(child, device);
            ::unlinkat(::dirfd(dir), name, AT_REMOVEDIR);
        } else {
            ::unlinkat(::dirfd(dir), name, 0);
        }
    }
    ::closedir(dir);
}

void removeTree(const QByteArray &folder)
{
    ::chmod(folder.constData(), 0700);
    struct stat facts;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0 && ::fstat(fd, &facts) == 0)
        removeContents(fd, facts.st_dev);
    else if (fd >= 0)
        ::close(fd);
    ::rmdir(folder.constData());
}

} // namespace

namespace {

QString templateFor(TempTree::Storage storage)
{
    const QString memory = QStringLiteral("/dev/shm");
    const QString base = storage == TempTree::Storage::Memory && QFileInfo(memory).isWritable() ? memory
                                                                                             : QDir::tempPath();
    return base + QStringLiteral("/vashtem-test-XXXXXX");
}

} // namespace

TempTree::TempTree(Storage storage)
    : m_dir(templateFor(storage))
{
    m_dir.setAutoRemove(false);
}

TempTree::~TempTree()
{
    if (isValid())
        removeTree(root());
}

bool TempTree::isValid() const
{
    return m_dir.isValid();
}

QByteArray TempTree::root() const
{
    QByteArray root = QFile::encodeName(m_dir.path());
    while (root.size() > 1 && root.endsWith('/'))
        root.chop(1);
    return root;
}

QByteArray TempTree::path(QByteArrayView relative) const
{
    return relative.isEmpty() ? root() : root() + '/' + relative.toByteArray();
}

QByteArray TempTree::file(QByteArrayView relative, qint64 size, qint64 mtimeSecs)
{
    const QByteArray target = path(relative);
    QByteArray name;
    const int folder = openFolderOf(root(), relative, true, name);
    if (folder < 0) {
        fail("mkdir", target);
        return {};
    }
    const int fd = ::openat(folder, name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::close(folder);
    if (fd < 0) {
        fail("open", target);
        return {};
    }
    bool ok = writeContent(fd, size);
    if (ok && mtimeSecs >= 0) {
        const timespec times[2] = {{time_t(mtimeSecs), 0}, {time_t(mtimeSecs), 0}};
        ok = ::futimens(fd, times) == 0;
    }
    if (!ok)
        fail("write", target);
    ::close(fd);
    return ok ? target : QByteArray();
}

QByteArray TempTree::folder(QByteArrayView relative)
{
    const QByteArray target = path(relative);
    QByteArray name;
    const int folder = openFolderOf(root(), relative, true, name);
    const bool made = folder >= 0 && (::mkdirat(folder, name.constData(), 0755) == 0 || errno == EEXIST);
    if (folder >= 0)
        ::close(folder);
    if (!made) {
        fail("mkdir", target);
        return {};
    }
    return target;
}

QByteArray TempTree::symlink(QByteArrayView relative, QByteArrayView target)
{
    const QByteArray link = path(relative);
    QByteArray name;
    const int folder = openFolderOf(root(), relative, true, name);
    const bool made = folder >= 0 && ::symlinkat(target.toByteArray().constData(), folder, name.constData()) == 0;
    if (folder >= 0)
        ::close(folder);
    if (!made) {
        fail("symlink", link);
        return {};
    }
    return link;
}

QByteArray TempTree::chain(QByteArrayView relative, int depth, QByteArrayView name, QByteArrayView fileName)
{
    QByteArray deepest = path(relative);
    const QByteArray folderName = name.toByteArray();
    const QByteArray file = fileName.toByteArray();
    int fd = ::open(deepest.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; level < depth && fd >= 0; ++level) {
        const bool made = ::mkdirat(fd, folderName.constData(), 0755) == 0;
        const int next = made ? ::openat(fd, folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
        const int created = next >= 0 ? ::openat(next, file.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644) : -1;
        if (created >= 0)
            ::close(created);
        else if (next >= 0)
            ::close(next);
        ::close(fd);
        fd = created >= 0 ? next : -1;
        deepest += '/' + folderName;
    }
    if (fd < 0) {
        fail("chain", deepest);
        return {};
    }
    ::close(fd);
    return deepest;
}

QByteArray TempTree::folderOfLength(int length)
{
    QByteArray relative;
    qsizetype left = length - root().size();
    while (left > 0) {
        // Each step takes a separator and a name; never leave a last step of a bare separator.
        const qsizetype piece = left > NAME_MAX + 1 ? std::min<qsizetype>(NAME_MAX, left - 3) : left - 1;
        relative += (relative.isEmpty() ? "" : "/") + QByteArray(piece, 'n');
        left -= piece + 1;
    }
    return folder(relative).isEmpty() ? QByteArray() : relative;
}

bool TempTree::exists(QByteArrayView relative) const
{
    QByteArray name;
    const int folder = openFolderOf(root(), relative, false, name);
    struct stat facts;
    const bool found = folder >= 0 && ::fstatat(folder, name.constData(), &facts, AT_SYMLINK_NOFOLLOW) == 0;
    if (folder >= 0)
        ::close(folder);
    return found;
}

QByteArray TempTree::readAll(QByteArrayView relative) const
{
    QByteArray content;
    const int fd = ::open(path(relative).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return content;
    char chunk[4096];
    ssize_t got;
    while ((got = ::read(fd, chunk, sizeof chunk)) > 0)
        content.append(chunk, got);
    ::close(fd);
    return content;
}

void TempTree::makeReadOnly(QByteArrayView relative)
{
    const QByteArray target = path(relative);
    struct stat facts;
    if (::lstat(target.constData(), &facts) != 0
        || ::chmod(target.constData(), facts.st_mode & 07777 & ~mode_t(0222)) != 0)
        fail("chmod", target);
}

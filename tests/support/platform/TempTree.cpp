#include "support/platform/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <cerrno>
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

// Makes the folders between the tree's root and the path.
bool makeParents(const QByteArray &root, const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', root.size() + 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
        if (::mkdir(path.left(slash).constData(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
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

// Removes a tree by bytes: QDir cannot name entries that are not valid UTF-8.
// Folders are opened up first, so a test that locked one does not leave it behind.
void removeTree(const QByteArray &folder)
{
    ::chmod(folder.constData(), 0700);
    if (DIR *dir = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            const QByteArray child = folder + '/' + name;
            struct stat facts;
            if (::lstat(child.constData(), &facts) == 0 && S_ISDIR(facts.st_mode))
                removeTree(child);
            else
                ::unlink(child.constData());
        }
        ::closedir(dir);
    }
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
    if (!makeParents(root(), target)) {
        fail("mkdir", target);
        return {};
    }
    const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
    if (!makeParents(root(), target) || (::mkdir(target.constData(), 0755) != 0 && errno != EEXIST)) {
        fail("mkdir", target);
        return {};
    }
    return target;
}

QByteArray TempTree::symlink(QByteArrayView relative, QByteArrayView target)
{
    const QByteArray link = path(relative);
    if (!makeParents(root(), link) || ::symlink(target.toByteArray().constData(), link.constData()) != 0) {
        fail("symlink", link);
        return {};
    }
    return link;
}

bool TempTree::exists(QByteArrayView relative) const
{
    struct stat facts;
    return ::lstat(path(relative).constData(), &facts) == 0;
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

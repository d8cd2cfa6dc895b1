// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountTable.h"

#include "platform/PseudoFileSystems.h"

#include <QFile>

#include <algorithm>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>

namespace vashtem {

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The mounts file writes space, tab, newline and backslash in a path as "\ooo".
QByteArray decodeOctalEscapes(QByteArrayView field)
{
    QByteArray decoded;
    decoded.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1])
            && isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            decoded.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3)
                                | (field[i + 3] - '0')));
            i += 3;
        } else {
            decoded.append(field[i]);
        }
    }
    return decoded;
}

// The first `count` space-separated fields of a line (fewer if the line is shorter).
std::vector<QByteArrayView> fields(QByteArrayView line, size_t count)
{
    std::vector<QByteArrayView> found;
    qsizetype i = 0;
    while (found.size() < count) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (start == i)
            break;
        found.push_back(line.sliced(start, i - start));
    }
    return found;
}

// Mount point -> type of the last mount there, the one that is visible.
std::map<QByteArray, QByteArray> visibleMounts(const std::vector<MountedVolume> &mounts)
{
    std::map<QByteArray, QByteArray> visible;
    for (const MountedVolume &mount : mounts) {
        if (mount.mountPoint.startsWith('/'))
            visible[mount.mountPoint] = mount.fileSystemType;
    }
    return visible;
}

bool isWithin(const QByteArray &path, const QByteArray &folder)
{
    if (!path.startsWith(folder))
        return false;
    return path.size() == folder.size() || folder.endsWith('/') || path[folder.size()] == '/';
}

} // namespace

std::vector<MountedVolume> readMounts(const QByteArray &mountsFile)
{
    std::vector<MountedVolume> mounts;
    QFile file(QFile::decodeName(mountsFile));
    if (!file.open(QIODevice::ReadOnly))
        return mounts;
    // /proc files report size 0, so read to the end rather than by size.
    const QByteArray text = file.readAll();
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const auto parts = fields(QByteArrayView(text).sliced(start, end - start), 3);
        if (parts.size() == 3)
            mounts.push_back({decodeOctalEscapes(parts[1]), decodeOctalEscapes(parts[2])});
        start = end + 1;
    }
    return mounts;
}

std::vector<QByteArray> pseudoMountPoints(const std::vector<MountedVolume> &mounts)
{
    std::vector<QByteArray> points;
    for (const auto &[point, type] : visibleMounts(mounts)) {
        if (isPseudoFileSystem(type))
            points.push_back(point);
    }
    return points; // the map kept them in byte order
}

std::vector<QByteArray> userVolumes(const std::vector<MountedVolume> &mounts, const IsFolder &isFolder)
{
    const std::vector<QByteArray> pseudo = pseudoMountPoints(mounts);
    const auto beneathPseudo = [&pseudo](const QByteArray &point) {
        return std::any_of(pseudo.begin(), pseudo.end(),
                           [&point](const QByteArray &p) { return isWithin(point, p); });
    };
    std::vector<QByteArray> volumes;
    for (const auto &[point, type] : visibleMounts(mounts)) {
        if (!isPseudoFileSystem(type) && !beneathPseudo(point) && isFolder(point))
            volumes.push_back(point);
    }
    return volumes;
}

bool isMountedFolder(const QByteArray &mountPoint)
{
    struct statx facts {};
    const int flags = AT_NO_AUTOMOUNT | AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC;
    return ::statx(AT_FDCWD, mountPoint.constData(), flags, STATX_TYPE, &facts) == 0
        && S_ISDIR(facts.stx_mode);
}

QByteArray volumeContaining(const std::vector<QByteArray> &volumes, const QByteArray &path)
{
    QByteArray best;
    for (const QByteArray &volume : volumes) {
        if (volume.size() > best.size() && isWithin(path, volume))
            best = volume;
    }
    return best;
}

} // namespace vashtem

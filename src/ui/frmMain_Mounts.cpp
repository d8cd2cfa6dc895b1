// SPDX-License-Identifier: GPL-3.0-or-later
// The drive list follows the volumes mounted and unmounted while the program runs.
#include "ui/frmMain.h"

#include "ui/DriveComboBox.h"
#include "ui/FolderListBox.h"
#include "platform/FileSystem.h"
#include "platform/MountTable.h"
#include "platform/Paths.h"

#include <QTimer>

#include <algorithm>

namespace vashtem {

namespace {

constexpr int LookAgainMs = 50;

bool lists(const std::vector<QByteArray> &volumes, const QByteArray &volume)
{
    return std::find(volumes.begin(), volumes.end(), volume) != volumes.end();
}

// Whether a volume that came or went lies on the folder, above it or right beneath it: then
// the folder's lines, or what it holds, may be another volume's now.
bool changesWhatShows(const std::vector<QByteArray> &before, const std::vector<QByteArray> &after,
                      const QByteArray &folder)
{
    const auto touches = [&folder](const QByteArray &volume) {
        return volumeContaining({volume}, folder) == volume || parentFolder(volume) == folder;
    };
    const auto changedAndTouches = [&](const std::vector<QByteArray> &from, const std::vector<QByteArray> &to) {
        return std::any_of(from.begin(), from.end(),
                           [&](const QByteArray &volume) { return !lists(to, volume) && touches(volume); });
    };
    return changedAndTouches(before, after) || changedAndTouches(after, before);
}

} // namespace

void frmMain::followMounts()
{
    // The folder chooser's cursor belongs to the thread that reads a folder until it is read.
    if (Dir1->isReading()) {
        QTimer::singleShot(LookAgainMs, this, &frmMain::followMounts);
        return;
    }
    const std::vector<QByteArray> before = Drive1->volumes();
    Drive1->setVolumes(m_platform.fileSystem.volumes());
    const QByteArray folder = Dir1->path();
    if (!folder.isEmpty() && changesWhatShows(before, Drive1->volumes(), folder))
        Dir1->reopenNearest(folder);
    // The chosen drive went: the drive of the folder shown takes its place, so the Down key
    // goes on from there.
    if (Drive1->currentIndex() < 0)
        Drive1->setDriveOf(Dir1->path());
}

} // namespace vashtem

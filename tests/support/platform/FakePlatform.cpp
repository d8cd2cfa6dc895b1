// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/platform/FakePlatform.h"

#include "platform/Paths.h"

#include <QScopeGuard>
#include <QTest>

namespace vashtem::testing {

int RecordingMessageBoxes::show(QWidget *, const QString &text, const QString &title, int style)
{
    boxes.append({text, title, style});
    if (whileShown)
        whileShown();
    return answers.isEmpty() ? MsgAnswer::Ok : answers.takeFirst();
}

bool RecordingLauncher::start(const QString &program, const QStringList &arguments, const QObject *,
                              const Failed &failed)
{
    starts.append({program, arguments, failed});
    return succeeds;
}

FolderListing FaultyFileSystem::listFolder(const QByteArray &folder, const NameFilter &accept,
                                          std::stop_token stop) const
{
    return list(folder, accept, stop, [&](const NameFilter &filter) { return m_real.listFolder(folder, filter, stop); });
}

FolderListing FaultyFileSystem::listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                              const NameFilter &accept, std::stop_token stop) const
{
    return list(folder, accept, stop,
                [&](const NameFilter &filter) { return m_real.listSubfolder(parent, folder, filter, stop); });
}

FolderListing FaultyFileSystem::list(const QByteArray &folder, const NameFilter &accept, const std::stop_token &stop,
                                     const std::function<FolderListing(const NameFilter &)> &real) const
{
    ++listing;
    const auto ended = qScopeGuard([this] { --listing; });
    holdIfHeld(folder, stop);
    int error = listErrors.value(withoutTrailingSeparator(folder));
    if (error == 0 && firstListingError != 0) {
        const std::lock_guard lock(m_mutex);
        if (!m_listedOnce.contains(withoutTrailingSeparator(folder))) {
            m_listedOnce.insert(withoutTrailingSeparator(folder));
            error = firstListingError;
        }
    }
    if (error != 0) {
        FolderListing failed;
        failed.error = error;
        return failed;
    }
    if (beforeListing)
        beforeListing(folder);
    if (!whileFiltering)
        return real(accept);
    const NameFilter watched = [&](QByteArrayView name) {
        const bool accepted = !accept || accept(name);
        whileFiltering(folder, name);
        return accepted;
    };
    return real(watched);
}

int FaultyFileSystem::checkFolder(const QByteArray &folder) const
{
    const int error = listErrors.value(withoutTrailingSeparator(folder));
    return error != 0 ? error : m_real.checkFolder(folder);
}

void FaultyFileSystem::holdIfHeld(const QByteArray &folder, const std::stop_token &stop) const
{
    if (heldFolder.isEmpty() || withoutTrailingSeparator(folder) != heldFolder)
        return;
    ++held;
    if (whileHeld)
        whileHeld();
    std::unique_lock lock(m_mutex);
    if (holdPastStop)
        m_releasedChanged.wait(lock, [this] { return m_released; });
    else
        m_releasedChanged.wait(lock, stop, [this] { return m_released; });
    --held;
}

void FaultyFileSystem::hang(const QByteArray &folder, std::function<void()> whileHung)
{
    heldFolder = folder;
    holdPastStop = true;
    whileHeld = std::move(whileHung);
}

bool FaultyFileSystem::letGo()
{
    heldFolder.clear();
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_releasedChanged.notify_all();
    }
    return QTest::qWaitFor([this] { return listing == 0; });
}

OpenedFolder FaultyFileSystem::openListedFolder(const QByteArray &folder, FileIdentity identity) const
{
    ++listing;
    const auto ended = qScopeGuard([this] { --listing; });
    if (beforeOpening)
        beforeOpening(folder);
    holdIfHeld(folder, {});
    OpenedFolder opened = m_real.openListedFolder(folder, identity);
    if (opened.handle) {
        const std::lock_guard lock(m_mutex);
        m_openedPaths.insert(opened.handle.get(), withoutTrailingSeparator(folder));
    }
    return opened;
}

QByteArray FaultyFileSystem::pathOf(const OpenedFolder &folder, const FileToDelete &file) const
{
    const std::lock_guard lock(m_mutex);
    return joinPath(m_openedPaths.value(folder.handle.get()), file.name);
}

DeleteFailure FaultyFileSystem::checkFile(const OpenedFolder &folder, const FileToDelete &file) const
{
    const DeleteFailure real = m_real.checkFile(folder, file);
    if (real.failed())
        return real;
    const int planted = removeErrors.value(pathOf(folder, file));
    return planted != 0 ? DeleteFailure::system(planted) : DeleteFailure{};
}

DeleteFailure FaultyFileSystem::removeFile(const OpenedFolder &folder, const FileToDelete &file) const
{
    const QByteArray path = pathOf(folder, file);
    if (beforeRemoving)
        beforeRemoving(path);
    {
        const std::lock_guard lock(m_mutex);
        removeCalls.append(path);
    }
    const int planted = removeErrors.value(path);
    return planted != 0 ? DeleteFailure::system(planted) : m_real.removeFile(folder, file);
}

std::vector<QByteArray> FaultyFileSystem::volumes() const
{
    return volumeList.empty() ? m_real.volumes() : volumeList;
}

QByteArray FaultyFileSystem::currentDirectory() const
{
    return workingFolder.isEmpty() ? m_real.currentDirectory() : workingFolder;
}

} // namespace vashtem::testing

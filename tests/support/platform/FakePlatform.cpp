// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/platform/FakePlatform.h"

#include "platform/Paths.h"

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

FolderListing FaultyFileSystem::listFolder(const QByteArray &folder, const NameFilter &accept) const
{
    return list(folder, accept, [&](const NameFilter &filter) { return m_real.listFolder(folder, filter); });
}

FolderListing FaultyFileSystem::listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                              const NameFilter &accept) const
{
    return list(folder, accept,
                [&](const NameFilter &filter) { return m_real.listSubfolder(parent, folder, filter); });
}

FolderListing FaultyFileSystem::list(const QByteArray &folder, const NameFilter &accept,
                                     const std::function<FolderListing(const NameFilter &)> &real) const
{
    const int error = listErrors.value(withoutTrailingSeparator(folder));
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

size_t FaultyFileSystem::removeFiles(const QByteArray &folder, FileIdentity folderIdentity,
                                     const std::vector<FileToDelete> &files, DeleteFailure &failure,
                                     const BeforeEachFile &beforeEach, const OnceChecked &onceChecked) const
{
    // The caller is asked before each file; the hook runs once the file is in hand.
    const BeforeEachFile watched = [&](size_t next) {
        if (beforeEach && !beforeEach(next))
            return false;
        if (beforeRemoving)
            beforeRemoving(joinPath(folder, files[next].name));
        return true;
    };
    // The files before the first with a planted error go through the real deletion.
    size_t reached = 0;
    while (reached < files.size() && !removeErrors.contains(joinPath(folder, files[reached].name)))
        ++reached;
    const std::vector<FileToDelete> real(files.begin(), files.begin() + std::ptrdiff_t(reached));
    // The check sees the planted error as the real one would see a file it cannot delete.
    bool allowed = true;
    const OnceChecked checked = [&](size_t deletable) { return allowed = onceChecked(deletable); };
    const size_t deleted = m_real.removeFiles(folder, folderIdentity, real, failure, watched,
                                              onceChecked ? checked : OnceChecked{});
    if (onceChecked && real.empty())
        allowed = onceChecked(0); // the real one checks nothing when given nothing
    if (allowed && !failure.failed() && deleted == reached && reached < files.size() && watched(reached))
        failure = DeleteFailure::system(removeErrors.value(joinPath(folder, files[reached].name)));
    const std::lock_guard lock(m_removeCallsMutex); // deletions may run on several threads
    for (size_t index = 0; index < deleted + (failure.failed() ? 1 : 0); ++index)
        removeCalls.append(joinPath(folder, files[index].name));
    return deleted;
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

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

bool RecordingLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    starts.append({program, arguments});
    return succeeds;
}

FolderListing FaultyFileSystem::listFolder(const QByteArray &folder, const NameFilter &accept) const
{
    const int error = listErrors.value(withoutTrailingSeparator(folder));
    if (error != 0) {
        FolderListing failed;
        failed.error = error;
        return failed;
    }
    if (!whileFiltering)
        return m_real.listFolder(folder, accept);
    const NameFilter watched = [&](QByteArrayView name) {
        const bool accepted = !accept || accept(name);
        whileFiltering(folder, name);
        return accepted;
    };
    return m_real.listFolder(folder, watched);
}

int FaultyFileSystem::checkFolder(const QByteArray &folder) const
{
    const int error = listErrors.value(withoutTrailingSeparator(folder));
    return error != 0 ? error : m_real.checkFolder(folder);
}

int FaultyFileSystem::removeFile(const QByteArray &path) const
{
    removeCalls.append(path);
    const int error = removeErrors.value(path);
    return error != 0 ? error : m_real.removeFile(path);
}

size_t FaultyFileSystem::removeFiles(const QByteArray &folder, const std::vector<QByteArrayView> &names,
                                     int &error) const
{
    if (beforeRemoving && names.size() > 1) {
        // One file at a time, so that the hook comes before each.
        for (size_t index = 0; index < names.size(); ++index) {
            if (removeFiles(folder, {names[index]}, error) == 0)
                return index;
        }
        return names.size();
    }
    if (beforeRemoving && !names.empty())
        beforeRemoving(joinPath(folder, names.front()));
    // The files before the first with a planted error go through the real deletion.
    size_t reached = 0;
    while (reached < names.size() && !removeErrors.contains(joinPath(folder, names[reached])))
        ++reached;
    const std::vector<QByteArrayView> real(names.begin(), names.begin() + std::ptrdiff_t(reached));
    const size_t deleted = m_real.removeFiles(folder, real, error);
    if (error == 0 && reached < names.size())
        error = removeErrors.value(joinPath(folder, names[reached]));
    for (size_t index = 0; index < deleted + (error != 0 ? 1 : 0); ++index)
        removeCalls.append(joinPath(folder, names[index]));
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

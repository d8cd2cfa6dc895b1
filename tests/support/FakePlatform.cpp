#include "FakePlatform.h"

#include "search/FolderCursor.h"

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

qint64 SteppingClock::milliseconds() const
{
    ++readings;
    now += step;
    return now;
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

QByteArray FaultyFileSystem::currentDirectory() const
{
    return workingFolder.isEmpty() ? m_real.currentDirectory() : workingFolder;
}

} // namespace vashtem::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/MountTable.h"
#include "platform/MountWatch.h"
#include "platform/Platform.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProgramExit.h"
#include "platform/ProgramLauncher.h"
#include "support/platform/SteppingClock.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace vashtem::testing {

// Records every box and answers from a script; Ok once the script runs out.
class RecordingMessageBoxes final : public MessageBoxes
{
public:
    struct Box {
        QString text;
        QString title;
        int style;
    };
    QList<Box> boxes;
    QList<int> answers;
    std::function<void()> whileShown; // runs while a box is up, to look at the window then

    int show(QWidget *parent, const QString &text, const QString &title, int style) override;
};

class RecordingLauncher final : public ProgramLauncher
{
public:
    struct Start {
        QString program;
        QStringList arguments;
        Failed failed; // a test calls it to have the program report a failure
    };
    QList<Start> starts;
    bool succeeds = true;

    bool start(const QString &program, const QStringList &arguments, const QObject *context,
               const Failed &failed) override;
};

class RecordingExit final : public ProgramExit
{
public:
    int calls = 0;
    void endNow() override { ++calls; }
};

// Tells the last window that watches of a change of the mount table when the test calls tellChange.
struct ToldMountWatch final : MountWatch {
    std::function<void()> tellChange;
    void watch(QObject *, std::function<void()> changed) override { tellChange = std::move(changed); }
};

// The real file system with faults that a test can plant by path, a working folder of
// the test's choosing, and a log of every removal asked for.
class FaultyFileSystem final : public FileSystem
{
public:
    // With a file system type (FileSystemTypes), every folder is taken to lie on one of it.
    explicit FaultyFileSystem(unsigned long fileSystemType = 0)
        : m_real(pseudoMountPoints(readMounts()), fileSystemType) {}
    QByteArray workingFolder;
    std::vector<QByteArray> volumeList; // the volumes to offer; the real ones when empty
    QHash<QByteArray, int> listErrors;   // folder -> errno
    int firstListingError = 0;           // each folder's first listing fails with it, if set
    // A folder whose listing, or opening for a deletion, hangs before it starts, as on a share
    // that stopped answering: until the stop, or with holdPastStop until letGo().
    // whileHeld runs on the held thread as the hold begins.
    QByteArray heldFolder;
    bool holdPastStop = false;
    std::function<void()> whileHeld;
    mutable std::atomic<int> held{0};    // listings held now
    mutable std::atomic<int> listing{0}; // listings and openings under way now
    // The folder hangs past the stop, as on a share whose server is gone; whileHung runs on
    // the hung thread first. letGo() releases it and answers once every call has ended.
    void hang(const QByteArray &folder, std::function<void()> whileHung);
    bool letGo();
    QHash<QByteArray, int> removeErrors; // file -> errno, found by the check and the removal alike
    mutable QList<QByteArray> removeCalls; // the files whose removal was asked for, in order
    // Runs each time a listing asks the name filter about a file, after the filter answered
    // and before the file's facts are read: a test can change the file in between. Listings
    // may run on other threads.
    std::function<void(const QByteArray &folder, QByteArrayView name)> whileFiltering;
    // Runs before each folder is opened for listing, on whichever thread lists it: a test
    // can replace the folder in between.
    std::function<void(const QByteArray &folder)> beforeListing;
    // Runs on the deleting thread with each folder it opens, before it is opened.
    std::function<void(const QByteArray &folder)> beforeOpening;
    // Runs on the deleting thread with the path of each file the deletion has taken in hand.
    std::function<void(const QByteArray &path)> beforeRemoving;

    FolderListing listFolder(const QByteArray &folder, const NameFilter &accept,
                             std::stop_token stop = {}) const override;
    FolderListing listSubfolder(const FolderHandle &parent, const QByteArray &folder, const NameFilter &accept,
                                std::stop_token stop = {}) const override;
    int checkFolder(const QByteArray &folder) const override;
    OpenedFolder openListedFolder(const QByteArray &folder, FileIdentity identity) const override;
    DeleteFailure checkFile(const OpenedFolder &folder, const FileToDelete &file) const override;
    DeleteFailure removeFile(const OpenedFolder &folder, const FileToDelete &file) const override;
    std::vector<QByteArray> volumes() const override;
    QByteArray currentDirectory() const override;

private:
    // The planted error of the folder, or the real listing with the filter watched.
    FolderListing list(const QByteArray &folder, const NameFilter &accept, const std::stop_token &stop,
                       const std::function<FolderListing(const NameFilter &)> &real) const;
    QByteArray pathOf(const OpenedFolder &folder, const FileToDelete &file) const;
    void holdIfHeld(const QByteArray &folder, const std::stop_token &stop) const;

    PosixFileSystem m_real;
    mutable std::mutex m_mutex; // deletions may run on several threads
    mutable QHash<const FolderHandle *, QByteArray> m_openedPaths;
    mutable QSet<QByteArray> m_listedOnce;
    mutable std::condition_variable_any m_releasedChanged;
    bool m_released = false; // guarded by m_mutex
};

// Every service a window needs, each one a stand-in a test can watch.
struct FakePlatform {
    FaultyFileSystem fileSystem;
    RecordingMessageBoxes messageBoxes;
    RecordingLauncher launcher;
    SteppingClock clock;
    RecordingExit exit;
    ToldMountWatch mountWatch;
    Platform platform{fileSystem, messageBoxes, launcher, clock, exit, mountWatch};
};

} // namespace vashtem::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProgramExit.h"
#include "platform/ProgramLauncher.h"
#include "support/platform/SteppingClock.h"

#include <QHash>
#include <QList>
#include <QStringList>

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

// The real file system with faults that a test can plant by path, a working folder of
// the test's choosing, and a log of every deletion asked for.
class FaultyFileSystem final : public FileSystem
{
public:
    QByteArray workingFolder;
    std::vector<QByteArray> volumeList; // the volumes to offer; the real ones when empty
    QHash<QByteArray, int> listErrors;   // folder -> errno
    QHash<QByteArray, int> removeErrors; // file -> errno
    mutable QList<QByteArray> removeCalls;
    // Runs each time a listing asks the name filter about a file, after the filter answered
    // and before the file's facts are read: a test can change the file in between. Listings
    // may run on other threads.
    std::function<void(const QByteArray &folder, QByteArrayView name)> whileFiltering;
    // Runs before each folder is opened for listing, on whichever thread lists it: a test
    // can replace the folder in between.
    std::function<void(const QByteArray &folder)> beforeListing;
    // Runs on the deleting thread with the path of each file the deletion has taken in hand.
    std::function<void(const QByteArray &path)> beforeRemoving;

    FolderListing listFolder(const QByteArray &folder, const NameFilter &accept) const override;
    FolderListing listSubfolder(const FolderHandle &parent, const QByteArray &folder,
                                const NameFilter &accept) const override;
    int checkFolder(const QByteArray &folder) const override;
    // The real deletion, the program's own path, up to the first file with a planted error;
    // that file then fails with it.
    size_t removeFiles(const QByteArray &folder, FileIdentity folderIdentity,
                       const std::vector<FileToDelete> &files, DeleteFailure &failure,
                       const BeforeEachFile &beforeEach = {}, const OnceChecked &onceChecked = {}) const override;
    std::vector<QByteArray> volumes() const override;
    QByteArray currentDirectory() const override;

private:
    // The planted error of the folder, or the real listing with the filter watched.
    FolderListing list(const QByteArray &folder, const NameFilter &accept,
                       const std::function<FolderListing(const NameFilter &)> &real) const;

    PosixFileSystem m_real;
    mutable std::mutex m_removeCallsMutex;
};

// Every service a window needs, each one a stand-in a test can watch.
struct FakePlatform {
    FaultyFileSystem fileSystem;
    RecordingMessageBoxes messageBoxes;
    RecordingLauncher launcher;
    SteppingClock clock;
    RecordingExit exit;
    Platform platform{fileSystem, messageBoxes, launcher, clock, exit};
};

} // namespace vashtem::testing

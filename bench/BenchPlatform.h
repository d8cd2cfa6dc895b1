// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"
#include "platform/MountsFileWatch.h"
#include "platform/Platform.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProgramExit.h"
#include "platform/ProgramLauncher.h"

#include "support/platform/SteppingClock.h"

namespace vashtem::bench {

// Every box answers OK at once, as a user confirming each deletion would.
class OkMessageBoxes final : public MessageBoxes
{
public:
    int show(QWidget *, const QString &, const QString &, int) override { return MsgAnswer::Ok; }
};

// The bench never opens the file manager or the manual.
class NoLauncher final : public ProgramLauncher
{
public:
    bool start(const QString &, const QStringList &, const QObject *, const Failed &) override { return false; }
};

// The window stays after its farewell, to be measured and then closed by the bench.
class StayingExit final : public ProgramExit
{
public:
    void endNow() override {}
};

// The real file system and stand-ins for the rest. The folder chooser opens on the working
// folder, so the bench works in the tree's root.
struct BenchPlatform {
    PosixFileSystem fileSystem;
    OkMessageBoxes messageBoxes;
    NoLauncher launcher;
    testing::SteppingClock clock{10, 0}; // the farewell's paint wait ends after one pass
    StayingExit exit;
    MountsFileWatch mountWatch;
    Platform platform{fileSystem, messageBoxes, launcher, clock, exit, mountWatch};
};

} // namespace vashtem::bench

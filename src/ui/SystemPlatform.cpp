// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SystemPlatform.h"

#include "ui/ApplicationExit.h"
#include "platform/MountsFileWatch.h"
#include "platform/PosixFileSystem.h"
#include "platform/ProcessLauncher.h"
#include "ui/QtMessageBoxes.h"
#include "platform/SteadyClock.h"

namespace vashtem {

Platform &systemPlatform()
{
    static PosixFileSystem fileSystem;
    static QtMessageBoxes messageBoxes;
    static ProcessLauncher launcher;
    static SteadyClock clock;
    static ApplicationExit exit;
    static MountsFileWatch mountWatch;
    static Platform platform{fileSystem, messageBoxes, launcher, clock, exit, mountWatch};
    return platform;
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

class FileSystem;
class MessageBoxes;
class MountWatch;
class ProgramExit;
class ProgramLauncher;
class TickClock;

// The platform services the windows use; tests hand in stand-ins.
struct Platform {
    FileSystem &fileSystem;
    MessageBoxes &messageBoxes;
    ProgramLauncher &launcher;
    TickClock &clock;
    ProgramExit &exit;
    MountWatch &mountWatch;
};

} // namespace vashtem

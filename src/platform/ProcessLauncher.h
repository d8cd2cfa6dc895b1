// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLauncher.h"

namespace vashtem {

// Starts programs as detached processes; they outlive the program.
class ProcessLauncher final : public ProgramLauncher
{
public:
    bool startDetached(const QString &program, const QStringList &arguments) override;
};

} // namespace vashtem

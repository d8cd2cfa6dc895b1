// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramLauncher.h"

namespace vashtem {

// Starts programs as processes that outlive the program.
class ProcessLauncher final : public ProgramLauncher
{
public:
    bool start(const QString &program, const QStringList &arguments, const QObject *context,
               const Failed &failed) override;
};

} // namespace vashtem

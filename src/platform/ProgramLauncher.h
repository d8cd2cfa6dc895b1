// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace vashtem {

// Starts another program by name, found through PATH, without waiting for it.
class ProgramLauncher
{
public:
    virtual ~ProgramLauncher() = default;
    // Each argument reaches the program whole. False when the program could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments) = 0;
};

} // namespace vashtem

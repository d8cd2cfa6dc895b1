// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessLauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace vashtem {

bool ProcessLauncher::startDetached(const QString &program, const QStringList &arguments)
{
    // Look the program up first so that a missing one is reported rather than guessed at.
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return false;
    return QProcess::startDetached(executable, arguments);
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ProcessLauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace vashtem {

bool ProcessLauncher::start(const QString &program, const QStringList &arguments, const QObject *context,
                            const Failed &failed)
{
    // Look the program up first so that a missing one is reported rather than guessed at.
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty())
        return false;
    if (!failed)
        return QProcess::startDetached(executable, arguments);
    // Watched for its exit status, the process is still never killed: the object is deleted
    // only once the process has ended, and is left behind when the program ends first, since
    // a viewer that xdg-open runs in the foreground may well outlive this program.
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::finished, context, [failed](int exitCode, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || exitCode != 0)
            failed();
    });
    process->start(executable, arguments);
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace vashtem {

// Starts another program by name, found through PATH, without waiting for it.
class ProgramLauncher
{
public:
    // Runs when a started program ends reporting a failure: an exit status other than 0, or a crash.
    using Failed = std::function<void()>;

    virtual ~ProgramLauncher() = default;
    // Each argument reaches the program whole. False when the program could not be started.
    bool startDetached(const QString &program, const QStringList &arguments)
    {
        return start(program, arguments, nullptr, {});
    }
    // As startDetached, and the program is watched to its end, without ever being stopped:
    // `failed` runs later on this thread if it ends reporting a failure while `context` exists.
    virtual bool start(const QString &program, const QStringList &arguments, const QObject *context,
                       const Failed &failed) = 0;
};

} // namespace vashtem

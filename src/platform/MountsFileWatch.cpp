// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountsFileWatch.h"

#include <QFile>
#include <QSocketNotifier>

namespace vashtem {

void MountsFileWatch::watch(QObject *owner, std::function<void()> changed)
{
    auto *mounts = new QFile(QStringLiteral("/proc/self/mounts"));
    if (!mounts->open(QIODevice::ReadOnly)) {
        delete mounts; // without /proc the list stays as it was read at the start
        return;
    }
    auto *notifier = new QSocketNotifier(mounts->handle(), QSocketNotifier::Exception, owner);
    mounts->setParent(notifier); // closed once the notifier has let go of it
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [changed = std::move(changed)] { changed(); });
}

} // namespace vashtem

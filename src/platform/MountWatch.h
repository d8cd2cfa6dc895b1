// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QObject;

namespace vashtem {

// Tells when a volume is mounted or unmounted, so that the drive list can follow.
class MountWatch
{
public:
    virtual ~MountWatch() = default;
    // Runs `changed` on the owner's thread after each change of the mount table, for as long
    // as the owner lives.
    virtual void watch(QObject *owner, std::function<void()> changed) = 0;
};

} // namespace vashtem

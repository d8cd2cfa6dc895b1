// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MountWatch.h"

namespace vashtem {

// Watches /proc/self/mounts, which the kernel marks with an exceptional condition
// whenever the mount table changes.
class MountsFileWatch final : public MountWatch
{
public:
    void watch(QObject *owner, std::function<void()> changed) override;
};

} // namespace vashtem

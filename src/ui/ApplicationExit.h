// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProgramExit.h"

namespace vashtem {

// Leaves the application's event loop; main() then returns and every window goes with it.
class ApplicationExit final : public ProgramExit
{
public:
    void endNow() override;
};

} // namespace vashtem

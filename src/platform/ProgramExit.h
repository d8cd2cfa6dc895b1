// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vashtem {

// Ends the program at once: every window goes, and none is asked whether it may close.
class ProgramExit
{
public:
    virtual ~ProgramExit() = default;
    virtual void endNow() = 0;
};

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

namespace vashtem {

// The real services of this machine, alive for the whole program.
Platform &systemPlatform();

} // namespace vashtem

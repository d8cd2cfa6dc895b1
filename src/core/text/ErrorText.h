// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vashtem {

// Why a system call failed, in Japanese, for an errno value. The C library's texts follow
// the system's locales and are English where no Japanese locale is installed, so the
// reasons a user can meet here are the program's own; any other number is named as such.
QString errorReason(int error);

} // namespace vashtem

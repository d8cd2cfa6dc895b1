// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace vashtem {

// The manual "説明書.html": the one in the working folder when there is such a file, else
// the one installed with the program, found from the executable's own folder so that an
// installation moved elsewhere still finds its manual.
QByteArray manualPath(const QByteArray &workingFolder);

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

namespace vashtem {

// Names the application by its desktop entry, gives its version, and installs Qt's own
// Japanese texts, so that the standard buttons (OK, Cancel, Retry) read in Japanese like
// the rest of the program.
void setUpApplication(QApplication &application);

} // namespace vashtem

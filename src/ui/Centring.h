// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace vashtem {

// Places a window in the middle of the available area of its screen.
void centreOnScreen(QWidget *window);

// Shows a window in the middle of its screen.
void showCentred(QWidget *window);

} // namespace vashtem

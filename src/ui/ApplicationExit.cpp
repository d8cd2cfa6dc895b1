// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ApplicationExit.h"

#include <QApplication>
#include <QWidget>

namespace vashtem {

void ApplicationExit::endNow()
{
    // Hide every window first so nothing lingers on screen while the event loop unwinds;
    // hiding sends no close request, so no window runs its closing code.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QApplication::exit(0);
}

} // namespace vashtem

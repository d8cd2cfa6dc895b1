// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Centring.h"

#include <QScreen>
#include <QWidget>

namespace vashtem {

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void showCentred(QWidget *window)
{
    // The frame's size is known only once the window is on screen, so it is centred again
    // then; placing it first keeps it from showing up somewhere else.
    centreOnScreen(window);
    window->show();
    centreOnScreen(window);
}

} // namespace vashtem

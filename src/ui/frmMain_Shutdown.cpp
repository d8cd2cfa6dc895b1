// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways out: the Exit button and the close box say farewell, the File menu's
// exit ends the program at once.
#include "ui/frmMain.h"

#include "ui/Centring.h"
#include "ui/frmEnd.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramExit.h"
#include "platform/TickClock.h"
#include "core/results/ResultModel.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace vashtem {

namespace {

// How long the farewell window stays before the list is emptied, so that it gets painted.
constexpr qint64 FarewellPaintWaitMs = 10;

} // namespace

void frmMain::cmdEnd_Click()
{
    if (m_farewell != Farewell::NotStarted)
        return;
    runFarewell();
    m_platform.exit.endNow();
}

void frmMain::mnuEnd_Click()
{
    m_platform.exit.endNow();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A second close while the farewell runs adds nothing to the ending under way; accepted,
    // it would hide the window halfway, and with the last window gone the event loops would
    // end before the goodbye box could be answered.
    if (m_farewell == Farewell::Running) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept(); // the close is never refused
}

void frmMain::Form_Unload()
{
    if (m_farewell == Farewell::NotStarted)
        runFarewell();
}

void frmMain::runFarewell()
{
    m_farewell = Farewell::Running;
    const qint64 start = m_platform.clock.milliseconds();
    auto *farewell = new frmEnd;
    showCentred(farewell);
    // Input to the main window waits while the farewell runs, so no second command starts.
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } while (m_platform.clock.milliseconds() - start < FarewellPaintWaitMs);
    m_results->removeAllRows();
    delete farewell;
    m_platform.messageBoxes.show(this, QStringLiteral("終了します"), QStringLiteral("Vashtem"), MsgStyle::OkOnly);
    m_farewell = Farewell::Over;
}

} // namespace vashtem

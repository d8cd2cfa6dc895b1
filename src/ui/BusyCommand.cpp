// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BusyCommand.h"

#include "platform/Executor.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>


namespace vashtem {

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

BusyCommand::BusyCommand(QWidget *window)
    : m_window(window)
{
}

BusyCommand::~BusyCommand()
{
    // Closed any sooner, the window would say farewell before the command had finished.
    if (m_closeAsked && m_window)
        QTimer::singleShot(0, m_window, [window = m_window] { window->close(); });
}

// What the work's thread and the window share; it outlives the command when the work is
// left behind.
struct BusyCommand::WorkState {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false; // guarded by mutex
    // The window's side only:
    QTimer *ticks = nullptr;
    bool shownEnded = false; // the window has heard that the work ended
};

void BusyCommand::run(const std::function<void()> &work, const std::function<bool()> &showProgress, Stuck stuck)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::instance()->installEventFilter(this);
    const auto state = std::make_shared<WorkState>();
    QEventLoop loop;
    QTimer ticks;
    ticks.setSingleShot(true);
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        const bool more = showProgress();
        if (state->shownEnded && !more)
            loop.quit();
        else
            ticks.start(more || state->shownEnded ? 0 : TickMs);
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, [&] {
        m_abandoned = true;
        loop.quit();
    });
    m_giveUp = stuck == Stuck::LeaveIt ? &giveUp : nullptr;
    state->ticks = &ticks;
    ticks.start(TickMs);
    const bool onAnotherThread = Executor::shared().tryStart([work, state] {
        work();
        {
            const std::lock_guard lock(state->mutex);
            state->done = true;
        }
        state->ended.notify_all();
        QMetaObject::invokeMethod(qApp, [state] {
            if (state->ticks) {
                state->shownEnded = true;
                state->ticks->start(0);
            }
        }, Qt::QueuedConnection);
    });
    if (onAnotherThread) {
        loop.exec();
        // The loop also ends early when the application is told to exit: the work is told
        // to stop before it is waited for.
        if (!state->shownEnded && !m_abandoned)
            waitAfterExit(*state, stuck);
    } else {
        work(); // no thread to be had: the window waits, as it would with one thread
    }
    state->ticks = nullptr;
    m_giveUp = nullptr;
    if (!state->shownEnded && !m_abandoned) {
        while (showProgress()) {
        }
    }
    QCoreApplication::instance()->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
}

void BusyCommand::waitAfterExit(WorkState &state, Stuck stuck)
{
    m_stop.request_stop();
    std::unique_lock lock(state.mutex);
    if (stuck == Stuck::WaitForIt)
        state.ended.wait(lock, [&] { return state.done; });
    else if (!state.ended.wait_for(lock, std::chrono::milliseconds(GiveUpMs), [&] { return state.done; }))
        m_abandoned = true;
}

void BusyCommand::requestStop()
{
    m_stop.request_stop();
    if (m_giveUp && !m_giveUp->isActive())
        m_giveUp->start(GiveUpMs);
}

bool BusyCommand::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == m_window) {
        requestStop();
        m_closeAsked = true;
        event->ignore();
        return true;
    }
    if (!isUserInput(event->type()))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        requestStop();
    return true;
}

} // namespace vashtem

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BusyCommand.h"

#include "platform/Executor.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>


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

void BusyCommand::run(const std::function<void()> &work, const std::function<bool()> &showProgress)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::instance()->installEventFilter(this);
    QEventLoop loop;
    QTimer ticks;
    ticks.setSingleShot(true);
    bool workEnded = false;
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        const bool more = showProgress();
        if (workEnded && !more)
            loop.quit();
        else
            ticks.start(more || workEnded ? 0 : TickMs);
    });
    ticks.start(TickMs);
    TaskGroup worker;
    const bool onAnotherThread = worker.tryRun([&] {
        work();
        QMetaObject::invokeMethod(&loop, [&] {
            workEnded = true;
            ticks.start(0);
        }, Qt::QueuedConnection);
    });
    if (onAnotherThread) {
        loop.exec();
        // The loop ends early when the application is told to exit: the work is told to
        // stop before it is waited for.
        if (!workEnded)
            m_stop.request_stop();
        worker.wait();
    } else {
        work();
    }
    if (!workEnded) {
        while (showProgress()) {
        }
    }
    QCoreApplication::instance()->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
}

bool BusyCommand::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && watched == m_window) {
        m_stop.request_stop();
        m_closeAsked = true;
        event->ignore();
        return true;
    }
    if (!isUserInput(event->type()))
        return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        m_stop.request_stop();
    return true;
}

} // namespace vashtem

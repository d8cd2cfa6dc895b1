// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <QWidget>

#include <functional>
#include <stop_token>

class QTimer;

namespace vashtem {

// Runs the long work of a command on a thread of the executor's while the window stays alive:
// it repaints, moves and resizes, timers run and the wait cursor shows. User input to the
// program's windows is dropped, as when the work held the only thread, so the command ends
// before another starts; Escape asks the work to stop. A request to close the window stops
// the work too and is carried out after this object has gone, once the command has returned:
// let it live as long as the command. Where no thread can be had, the work runs on the
// window's own thread, which then waits for it as it would with one thread.
class BusyCommand final : public QObject
{
public:
    // How often the work's progress is shown.
    static constexpr int TickMs = 50;

    explicit BusyCommand(QWidget *window);
    ~BusyCommand() override;

    // Requested by Escape, a close request or the application's exit; the work reads it to
    // stop early, and every wait of the work wakes on it.
    std::stop_token stopToken() const { return m_stop.get_token(); }
    bool stopped() const { return m_stop.stop_requested(); }

    // Once the stop is asked for, how long work that may be left behind gets to end.
    static constexpr int GiveUpMs = 50;

    // What becomes of work that does not end soon after the stop (a call to a share that
    // stopped answering): waited for, or left to end on its own. Work that may be left
    // behind owns everything it uses (held by what it captures), and touches nothing the
    // command shows.
    enum class Stuck { WaitForIt, LeaveIt };

    // Runs work on another thread and returns when it has ended and shown everything, or
    // when it was left behind (see abandoned()). Meanwhile showProgress runs here every
    // TickMs, to show what the work has done so far; when it answers true (it showed a
    // part, and more may be waiting) it runs again as soon as the window's pending events
    // have run. After the work, it runs until it answers false.
    void run(const std::function<void()> &work, const std::function<bool()> &showProgress,
             Stuck stuck = Stuck::WaitForIt);
    // Whether run() returned with the work still under way, left to end on its own.
    bool abandoned() const { return m_abandoned; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct WorkState;

    void requestStop();
    void waitAfterExit(WorkState &state, Stuck stuck);

    QPointer<QWidget> m_window;
    std::stop_source m_stop;
    QTimer *m_giveUp = nullptr; // while work that may be left behind runs
    bool m_abandoned = false;
    bool m_closeAsked = false;
};

} // namespace vashtem

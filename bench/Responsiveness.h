// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ProgramDriver.h"
#include "Stopwatch.h"

#include <QTimer>

#include <memory>

namespace vashtem::bench {

// The longest time the event loop went without a pass while a click ran: a 1 ms timer
// notes every pass, from the click's start to its return.
class LoopGapWatch final : public ProgramDriver::ClickWatch
{
public:
    void started(QWidget &window) override;
    void ended() override;
    double longestMs() const { return m_longest; }

private:
    void pass();

    std::unique_ptr<QTimer> m_ticks;
    Stopwatch m_watch;
    double m_last = 0;
    double m_longest = 0;
};

// Presses Escape a given time into the click and measures from the press to the click's
// return; no figure when the command ended before the press.
class EscapeWatch final : public ProgramDriver::ClickWatch
{
public:
    explicit EscapeWatch(double pressAfterMs) : m_pressAfter(pressAfterMs) {}

    void started(QWidget &window) override;
    void ended() override;
    // Milliseconds from the press to the return, or -1 when it was not pressed.
    double latencyMs() const { return m_latency; }

private:
    double m_pressAfter;
    std::unique_ptr<QTimer> m_press;
    Stopwatch m_watch;
    double m_pressedAt = -1;
    double m_latency = -1;
};

class Report;
struct Samples;

// The longest event-loop gaps, against one frame (the folder chooser's against 100 ms), and
// the times from Escape to return, against 100 ms.
void reportResponsiveness(Report &report, const Samples &samples);

} // namespace vashtem::bench

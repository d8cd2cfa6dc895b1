// SPDX-License-Identifier: GPL-3.0-or-later
#include "Responsiveness.h"

#include "Report.h"
#include "Session.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <string>

namespace vashtem::bench {

void LoopGapWatch::started(QWidget &)
{
    m_ticks = std::make_unique<QTimer>();
    m_ticks->setTimerType(Qt::PreciseTimer);
    m_ticks->setInterval(1);
    QObject::connect(m_ticks.get(), &QTimer::timeout, [this] { pass(); });
    m_watch = Stopwatch();
    m_last = 0;
    m_longest = 0;
    m_ticks->start();
}

void LoopGapWatch::pass()
{
    const double now = m_watch.ms();
    m_longest = std::max(m_longest, now - m_last);
    m_last = now;
}

void LoopGapWatch::ended()
{
    pass();
    m_ticks.reset();
}

void EscapeWatch::started(QWidget &window)
{
    m_press = std::make_unique<QTimer>();
    m_press->setSingleShot(true);
    m_press->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_press.get(), &QTimer::timeout, [this, &window] {
        m_pressedAt = m_watch.ms();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &press);
    });
    m_watch = Stopwatch();
    m_pressedAt = -1;
    m_press->start(int(m_pressAfter));
}

void EscapeWatch::ended()
{
    m_latency = m_pressedAt < 0 ? -1 : m_watch.ms() - m_pressedAt;
    m_press.reset();
}

namespace {

constexpr double GoalMs = 100;
constexpr double FrameMs = 16; // one frame at 60 Hz: the list itself drops none

void reportLatency(Report &report, const std::string &label, const std::vector<double> &samples)
{
    std::vector<double> pressed;
    std::copy_if(samples.begin(), samples.end(), std::back_inserter(pressed), [](double ms) { return ms >= 0; });
    if (pressed.empty())
        report.note(label, "not measured: the command ended before Escape came");
    else
        report.limit(label, median(pressed), "ms", GoalMs);
}

} // namespace

void reportResponsiveness(Report &report, const Samples &samples)
{
    report.limit("event-loop gap, search *.*", median(samples.searchGap), "ms", FrameMs);
    report.limit("event-loop gap, select all", median(samples.selectAllGap), "ms", FrameMs);
    report.limit("event-loop gap, clear selection", median(samples.clearSelectionGap), "ms", FrameMs);
    reportLatency(report, "Escape to return, search *.*", samples.searchEscape);
    const int opening = int(median(samples.openFolder) + 0.5);
    report.note("folder chooser opens the tree", "median " + std::to_string(opening) + " ms");
    report.limit("event-loop gap, folder chooser opens the tree", median(samples.openFolderGap), "ms", GoalMs);
    if (samples.deleteAllGap.empty())
        return; // a session of searches only
    report.limit("event-loop gap, delete all", median(samples.deleteAllGap), "ms", FrameMs);
    reportLatency(report, "Escape to return, delete all", samples.deleteAllEscape);
}

} // namespace vashtem::bench

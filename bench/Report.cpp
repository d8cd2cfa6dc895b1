// SPDX-License-Identifier: GPL-3.0-or-later
#include "Report.h"

#include <algorithm>
#include <cstdio>

namespace vashtem::bench {

namespace {

// A decimal below 100, where the digit still means something next to a goal.
std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, value < 100 ? "%.1f" : "%.0f", value);
    return text;
}

} // namespace

double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

void Report::ratio(const std::string &label, const std::vector<double> &program, const std::string &tool,
                   const std::vector<double> &reference, std::optional<double> goal)
{
    const double mine = median(program);
    const double theirs = median(reference);
    const double quotient = theirs > 0 ? mine / theirs : 0;
    char text[160];
    std::snprintf(text, sizeof text, "median %s ms | %s %s ms | ratio %.2f", number(mine).c_str(), tool.c_str(),
                  number(theirs).c_str(), quotient);
    if (!goal) {
        note(label, text);
        return;
    }
    char goalText[32];
    std::snprintf(goalText, sizeof goalText, " (goal <= %.2f)", *goal);
    line(label, text + std::string(goalText), quotient <= *goal);
}

void Report::limit(const std::string &label, double value, const std::string &unit, double goal)
{
    char goalText[32];
    std::snprintf(goalText, sizeof goalText, "%g", goal);
    line(label, number(value) + ' ' + unit + " (goal <= " + goalText + ' ' + unit + ')', value <= goal);
}

void Report::note(const std::string &label, const std::string &text)
{
    line(label, text, true);
}

void Report::line(const std::string &label, const std::string &text, bool met)
{
    if (!met)
        ++m_missed;
    std::printf("%-30s: %s%s\n", label.c_str(), text.c_str(), met ? "" : "  MISSED");
    std::fflush(stdout);
}

} // namespace vashtem::bench

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vashtem::bench {

double median(std::vector<double> samples);

// Prints one line per figure and keeps count of the goals missed.
class Report
{
public:
    // "label : median P ms | tool R ms | ratio P/R (goal <= G)"; without a goal, a note.
    void ratio(const std::string &label, const std::vector<double> &program, const std::string &tool,
               const std::vector<double> &reference, std::optional<double> goal);
    // "label : V unit (goal <= G)"
    void limit(const std::string &label, double value, const std::string &unit, double goal);
    // "label : text", no goal.
    void note(const std::string &label, const std::string &text);

    int missed() const { return m_missed; }

private:
    void line(const std::string &label, const std::string &text, bool met);

    int m_missed = 0;
};

} // namespace vashtem::bench

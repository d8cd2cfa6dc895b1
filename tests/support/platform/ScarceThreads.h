// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Executor.h"

#include <atomic>

namespace vashtem::testing {

// An executor that gets at most `allowed` threads from the system and is refused every one
// after, as on a system that has no more to give; the process's work runs on it meanwhile.
class ScarceThreads
{
public:
    explicit ScarceThreads(size_t allowed, size_t mostThreads = Executor::ThreadsPerCore * Executor::cores())
        : m_starter(allowed), m_executor(mostThreads, &m_starter), m_substitute(m_executor) {}

    size_t refusals() const { return m_starter.refused; }

private:
    struct Starter final : ThreadStarter {
        explicit Starter(size_t allowed) : left(allowed) {}
        std::optional<std::jthread> start(std::function<void(std::stop_token)> body) override
        {
            if (left == 0) {
                ++refused;
                return std::nullopt;
            }
            --left;
            return system.start(std::move(body));
        }
        SystemThreadStarter system;
        size_t left;
        std::atomic<size_t> refused{0};
    };

    Starter m_starter;
    Executor m_executor;
    Executor::Substitute m_substitute;
};

} // namespace vashtem::testing

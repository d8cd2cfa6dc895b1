// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Executor.h"

#include <cstdint>

namespace vashtem::testing {

// An executor that gets at most `allowed` threads from the system (any number for -1) and is
// refused every one after, as on a system that has no more to give; the process's work runs
// on it meanwhile.
class ScarceThreads
{
public:
    explicit ScarceThreads(int allowed)
        : m_starter(allowed < 0 ? SIZE_MAX : size_t(allowed))
        , m_executor(Executor::ThreadsPerCore * Executor::cores(), &m_starter)
        , m_substitute(m_executor)
    {
    }

private:
    struct Starter final : ThreadStarter {
        explicit Starter(size_t allowed) : left(allowed) {}
        std::optional<std::jthread> start(std::function<void(std::stop_token)> body) override
        {
            if (left == 0)
                return std::nullopt;
            --left;
            return system.start(std::move(body));
        }
        SystemThreadStarter system;
        size_t left;
    };

    Starter m_starter;
    Executor m_executor;
    Executor::Substitute m_substitute;
};

} // namespace vashtem::testing

#pragma once

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

// A size field of /proc/self/status ("VmRSS:", "VmHWM:"), in KiB; -1 when absent.
inline long statusFieldKiB(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(field.size()));
    }
    return -1;
}

// Current resident set size of this process, in KiB.
inline long residentKiB()
{
    return statusFieldKiB("VmRSS:");
}

// Peak resident set size of this process, in KiB.
inline long peakResidentKiB()
{
    return statusFieldKiB("VmHWM:");
}

template <typename Action> double millisecondsOf(Action&& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace bench

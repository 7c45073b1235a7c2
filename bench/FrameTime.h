// SPDX-License-Identifier: GPL-3.0-or-later
// Each benchmark's cost per stereo frame, reported as the counter "ns/frame": a plain number
// of nanoseconds of processor time per frame. (The library's rate counters would print it
// with a unit of seconds or per second.)
#pragma once

#include <benchmark/benchmark.h>

#include <ctime>

class FrameTime {
public:
    // Start right before the benchmark's loop, so that its setup is not counted.
    FrameTime() noexcept : startNs(threadNs()) {}

    // After the loop: the processor time since the start over the frames processed.
    void report(benchmark::State& state, double framesPerIteration) const {
        const double frames = static_cast<double>(state.iterations()) * framesPerIteration;
        if (frames > 0.0) state.counters["ns/frame"] = (threadNs() - startNs) / frames;
    }

private:
    static double threadNs() noexcept {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
    }
    double startNs;
};

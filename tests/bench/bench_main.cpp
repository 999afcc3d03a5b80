// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how the program keeps up with the link: live status reports, a program send against
// the link's own floor, a long stream of Modbus frames, start-up, and CPU while idle. Prints
// Google Benchmark's table, then one line per goal with the figure, its ratio, the goal and
// whether it was met. scripts/bench.sh builds and runs it; docs/PERFORMANCE.md has the figures.
// The goals of single handlings (a status report, the frame log) are judged on CPU time, the work
// the program does; wall time, printed beside it, also holds whatever else ran on the machine.
//
//   QT_QPA_PLATFORM=offscreen build-bench/tests/bench/bench [--idle-seconds=N] [benchmark flags]

#include "Bench.h"

#include <QApplication>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Keeps the median of each repeated benchmark (Google Benchmark's own aggregate) as figures: its
// CPU time, the work done, and its wall time, which on a loaded machine also holds the time other
// processes had the core.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            const double toNs = benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                                benchmark::GetTimeUnitMultiplier(run.time_unit);
            bench::figures()[run.run_name.function_name + "_median_ns"] = run.GetAdjustedCPUTime() * toNs;
            bench::figures()[run.run_name.function_name + "_median_wall_ns"] =
                run.GetAdjustedRealTime() * toNs;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

const char* verdict(bool met) {
    return met ? "met" : "missed";
}

bool has(const char* name) {
    return bench::figures().count(name) > 0;
}
double figure(const char* name) {
    return bench::figures().at(name);
}

void printGoals() {
    std::printf("\n");
    if (has("liveStatusReport_median_ns")) {
        const double us = figure("liveStatusReport_median_ns") * 1e-3;
        const double ratio = us / 1000;
        std::printf("goal 1  live status report (97) through the dispatch: median %.1f us CPU (%.1f us wall) "
                    "= %.3f x "
                    "the 1 ms USB frame; goal <= 0.05: %s\n",
                    us, figure("liveStatusReport_median_wall_ns") * 1e-3, ratio, verdict(ratio <= 0.05));
    } else {
        std::printf("goal 1  live status report: not measured\n");
    }
    if (has("send_1ms_window_ms")) {
        const double ratio = figure("send_1ms_window_ms") / figure("send_1ms_floor_ms");
        std::printf("goal 2  300-command program send, 1 ms each way: %.0f ms = %.3f x the floor (do-nothing "
                    "host %.0f ms; UI thread CPU %.1f ms against %.1f ms); goal <= 1.05: %s\n",
                    figure("send_1ms_window_ms"), ratio, figure("send_1ms_floor_ms"),
                    figure("send_1ms_window_ui_cpu_ms"), figure("send_1ms_floor_ui_cpu_ms"),
                    verdict(ratio <= 1.05));
    } else {
        std::printf("goal 2  program send with 1 ms delay: not measured\n");
    }
    if (has("send_0_window_ms")) {
        // How fast this machine wakes a thread sets both figures, so the send is judged against
        // the do-nothing host measured in the same run; the rate is printed beside it.
        const double rate = figure("send_0_commands_per_s");
        const double ratio = figure("send_0_window_ms") / figure("send_0_floor_ms");
        std::printf("goal 2b 300-command program send, no delay: %.1f ms = %.2f x the floor (do-nothing host "
                    "%.1f ms); %.0f commands/s; goal <= 1.5 x: %s\n",
                    figure("send_0_window_ms"), ratio, figure("send_0_floor_ms"), rate, verdict(ratio <= 1.5));
    } else {
        std::printf("goal 2b program send without delay: not measured\n");
    }
    if (has("modbus_log_s")) {
        const double cpu = figure("modbus_log_cpu_s");
        const double repaint = figure("modbus_first_repaint_ms");
        std::printf("goal 3  100000 Modbus frames into the frame log: %.2f s CPU (%.2f s wall) = %.2f x 2 s; "
                    "then the "
                    "window repaints in %.1f ms = %.2f x 50 ms (median of 11: %.1f ms); goal <= 2 s and < 50 "
                    "ms: %s\n",
                    cpu, figure("modbus_log_s"), cpu / 2, repaint, repaint / 50, figure("modbus_repaint_ms"),
                    verdict(cpu <= 2 && repaint < 50));
    } else {
        std::printf("goal 3  Modbus frame log: not measured\n");
    }
    if (has("modbus_log_s") && has("modbus_decoded_log_s")) {
        const double plain = figure("modbus_log_cpu_s");
        const double decoded = figure("modbus_decoded_log_cpu_s");
        std::printf("goal 3b 100000 Modbus frames into the decoded frame log: %.2f s CPU (%.2f s wall) = %.2f x "
                    "the plain log's %.2f s; goal <= 1.5: %s\n",
                    decoded, figure("modbus_decoded_log_s"), decoded / plain, plain, verdict(decoded <= 1.5 * plain));
    } else {
        std::printf("goal 3b decoded Modbus frame log: not measured\n");
    }
    if (has("startup_program_ms")) {
        const double ratio = figure("startup_program_ms") / figure("startup_bare_ms");
        std::printf(
            "goal 4  start-up to the first painted main window: %.0f ms = %.2f x a bare Qt window with a "
            "line of text (%.0f ms; %.2f x an empty one, %.0f ms), medians of 15; goal <= 1.5: %s\n",
            figure("startup_program_ms"), ratio, figure("startup_bare_ms"),
            figure("startup_program_ms") / figure("startup_empty_ms"), figure("startup_empty_ms"),
            verdict(ratio <= 1.5));
    } else {
        std::printf("goal 4  start-up: not measured\n");
    }
    if (has("idle_cpu_percent")) {
        const double percent = figure("idle_cpu_percent");
        const bool full = figure("idle_seconds") >= 59.5;
        std::printf(
            "goal 5  CPU connected and idle-polling over %.0f s: %.2f %% of one core = %.2f x 1 %%; goal "
            "<= 1 %%: %s%s\n",
            figure("idle_seconds"), percent, percent, verdict(percent <= 1),
            full ? "" : " (a quick run: the reported figure is the 60 s one)");
    } else {
        std::printf("goal 5  idle CPU: not measured\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Options of this program, taken out before the benchmark library sees the rest.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--idle-seconds=", 15) == 0)
            bench::idleSeconds() = std::max(1, std::atoi(argv[i] + 15));
        else
            rest.push_back(argv[i]);
    }
    int count = int(rest.size());
    QApplication app(count, rest.data());
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data()))
        return 2;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bench::dropRig();
    printGoals();
    benchmark::Shutdown();
    return 0;
}

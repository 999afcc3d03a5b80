// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the program to its first painted main window, against a bare Qt window started the
// same way. Both are separate processes on the offscreen platform; each prints the monotonic clock
// (shared by all processes) at its first paint and ends.

#include "Bench.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

// Started in turn, so a change in the machine's load reaches all three alike.
constexpr int Runs = 15;

qint64 monotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Milliseconds from starting `program` to the first paint it reports; -1 when it reports none.
double firstPaintMs(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("KVT_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const qint64 started = monotonicNs();
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("FIRST_PAINT "))
            return double(line.mid(12).toLongLong() - started) * 1e-6;
    }
    return -1;
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Goal 4: both started in turn, `Runs` times each; the medians.
void startUp(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<double> bare;
        std::vector<double> empty;
        std::vector<double> program;
        for (int run = 0; run < Runs; ++run) {
            bare.push_back(firstPaintMs(QStringLiteral(KVT_BARE_WINDOW), {}));
            empty.push_back(firstPaintMs(QStringLiteral(KVT_BARE_WINDOW), {QStringLiteral("--empty")}));
            program.push_back(firstPaintMs(QStringLiteral(KVT_PROGRAM), {QStringLiteral("--simulate")}));
        }
        if (*std::min_element(bare.begin(), bare.end()) < 0 ||
            *std::min_element(empty.begin(), empty.end()) < 0 ||
            *std::min_element(program.begin(), program.end()) < 0) {
            state.SkipWithError("a process reported no first paint");
            return;
        }
        state.SetIterationTime(medianOf(program) * 1e-3);
        state.counters["program_ms"] = medianOf(program);
        state.counters["bare_ms"] = medianOf(bare);
        state.counters["empty_ms"] = medianOf(empty);
        bench::figures()["startup_program_ms"] = medianOf(program);
        bench::figures()["startup_bare_ms"] = medianOf(bare);
        bench::figures()["startup_empty_ms"] = medianOf(empty);
    }
}

} // namespace

BENCHMARK(startUp)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

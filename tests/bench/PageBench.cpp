// SPDX-License-Identifier: GPL-3.0-or-later
// The RS485 page's frame log under a long stream of Modbus frames, and the whole window idling
// while connected with the poll running.

#include "AppRig.h"
#include "Bench.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/OpCode.h"
#include "modbus/core/Crc.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

using namespace kvt;

namespace {

constexpr int ControlPage = 0;
constexpr int Rs485Page = 2;
constexpr int FrameCount = 100000;
// Frames handed to the simulated device at a time, well within what its input queue holds.
constexpr int Burst = 500;

// Response 87: a Modbus request the controller received, for its own address 1 or another one,
// with its CRC; every 50th CRC is wrong, as on a noisy line.
QByteArray modbusFrame(int n) {
    static const quint8 functions[] = {3, 6, 16, 1, 2, 5, 4};
    QByteArray frame;
    frame.append(char(n % 17 == 0 ? 2 : 1));
    frame.append(char(functions[n % 7]));
    for (int i = 0; i < 4; ++i)
        frame.append(char((n >> (i * 3)) & 0xFF));
    frame = modbus::withCrc(frame);
    if (n % 50 == 0)
        frame[frame.size() - 1] = char(frame[frame.size() - 1] ^ 0x5A);
    QByteArray b;
    b.append(char(op::ModbusFrame));
    b.append(char(frame.size()));
    return b + frame;
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Goal 3: 100 000 frames reach the RS485 page's log as a controller reports them, in bursts of
// 500 through the simulated device's input queue, the reader thread and the dispatch; then the
// whole window is repainted. Goal 3b: the same with the decoded view on.
void modbusFrameLog(benchmark::State& state, bool decoded) {
    const std::string prefix = decoded ? "modbus_decoded_" : "modbus_";
    for (auto _ : state) {
        rig::AppRig& rig = bench::freshRig(Rs485Page);
        // The view is kept between runs: set as this measurement needs, and put back after.
        const bool wasDecoding = rig.checked(QStringLiteral("cb_ModbusDecode"));
        if (wasDecoding != decoded)
            rig.click(QStringLiteral("cb_ModbusDecode"));
        const int id = rig.sim().pluggedIds().constFirst();
        auto* log = rig.program().mainWindow->findChild<QPlainTextEdit*>(QStringLiteral("MemoMbusTrans"));
        std::vector<QByteArray> frames;
        for (int n = 0; n < FrameCount; ++n)
            frames.push_back(modbusFrame(n));
        QElapsedTimer t;
        const double cpuBefore = bench::cpuSeconds();
        t.start();
        for (int n = 0; n < FrameCount; n += Burst) {
            for (int i = n; i < std::min(n + Burst, FrameCount); ++i)
                rig.sim().inject(id, frames[std::size_t(i)]);
            bench::drainLink(rig);
        }
        const double seconds = double(t.nsecsElapsed()) * 1e-9;
        const double cpu = bench::cpuSeconds() - cpuBefore;
        if (rig.text(QStringLiteral("EditMbusFrameCnt")) != QString::number(FrameCount) ||
            log->document()->blockCount() < FrameCount) {
            state.SkipWithError("frames were lost on the way");
            if (wasDecoding != decoded)
                rig.click(QStringLiteral("cb_ModbusDecode"));
            return;
        }
        // The first repaint after the stream is the one the user waits for; later ones for
        // comparison.
        QWidget* window = rig.program().mainWindow;
        std::vector<double> repaints;
        for (int i = 0; i < 11; ++i) {
            QElapsedTimer r;
            r.start();
            window->repaint();
            repaints.push_back(double(r.nsecsElapsed()) * 1e-6);
        }
        state.SetIterationTime(seconds);
        state.counters["seconds"] = seconds;
        state.counters["cpu_seconds"] = cpu;
        state.counters["first_repaint_ms"] = repaints.front();
        state.counters["repaint_ms"] = medianOf(repaints);
        bench::figures()[prefix + "log_s"] = seconds;
        bench::figures()[prefix + "log_cpu_s"] = cpu;
        bench::figures()[prefix + "first_repaint_ms"] = repaints.front();
        bench::figures()[prefix + "repaint_ms"] = medianOf(repaints);
        if (wasDecoding != decoded)
            rig.click(QStringLiteral("cb_ModbusDecode"));
    }
    bench::dropRig();
}

// Goal 5: CPU of the whole program while a controller is connected and nothing happens but the
// 200 ms poll of the Control page, over --idle-seconds of real time. The simulated controller
// runs in the same process on its real-time clock, so its share is counted too.
void idleCpu(benchmark::State& state) {
    for (auto _ : state) {
        rig::AppRig& rig = bench::freshRig(ControlPage);
        rig.sim().setManualClock(false);
        QElapsedTimer wall;
        const double before = bench::cpuSeconds();
        wall.start();
        QTimer::singleShot(bench::idleSeconds() * 1000, [] { QCoreApplication::exit(0); });
        QApplication::exec();
        const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
        const double share = (bench::cpuSeconds() - before) / elapsed;
        state.SetIterationTime(elapsed);
        state.counters["cpu_percent"] = 100 * share;
        state.counters["seconds"] = elapsed;
        bench::figures()["idle_cpu_percent"] = 100 * share;
        bench::figures()["idle_seconds"] = elapsed;
    }
    bench::dropRig();
}

} // namespace

BENCHMARK_CAPTURE(modbusFrameLog, plain, false)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(modbusFrameLog, decoded, true)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(idleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

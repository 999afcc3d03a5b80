// SPDX-License-Identifier: GPL-3.0-or-later
// The link's two busiest exchanges as the window handles them: a live status report (response 97)
// and a program send (229, then a 230 request and answer per record), the latter against the
// link's own floor, the same exchange answered by a host without a user interface.

#include "AppRig.h"
#include "Bench.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/Bytes.h"
#include "link/Connection.h"
#include "link/HidDeviceManager.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "program/ProgramTransfer.h"
#include "shell/Poller.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

using namespace kvt;

namespace {

constexpr int ControlPage = 0;
constexpr int ProgramPage = 3;
// Sends of each kind per measurement, in turn: a send without delay takes milliseconds, and a
// thread that waits for a core now and then shows in single ones.
constexpr int SendRounds = 5;
constexpr int QuickSendRounds = 21;
const QString FullProgram = QStringLiteral(KVT_PROGRAM_DATA "/full_300.txp");

// CPU time of the calling thread (the UI thread here), milliseconds.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}
double lastUiCpuMs = 0; // of the last send measured

// A live status report of a drive moving back and forth: every field changes from one report to
// the next, as while a move runs.
QByteArray statusReport(int n) {
    const double t = n * 0.2;
    QByteArray b(65, '\0');
    bytes::putU8(b, 0, op::LiveStatus);
    bytes::putF32le(b, 1, float(50 * std::sin(t / 7)));
    bytes::putF32le(b, 5, float(50.0 / 7 * std::cos(t / 7)));
    bytes::putU8(b, 9, quint8((n / 4) & 0x41));
    bytes::putU8(b, 10, quint8(n % 6));
    bytes::putI32le(b, 15, 60 + n % 40);
    bytes::putU32le(b, 19, quint32(5000 + n % 4000));
    bytes::putU32le(b, 23, 24000 + quint32(n % 13));
    bytes::putI32le(b, 27, qint32(n * 37));
    bytes::putF32le(b, 31, float(n % 2 ? 50 : -50));
    bytes::putF32le(b, 35, float(n % 100) * 0.01f);
    bytes::putF32le(b, 39, float(n % 50) * 0.01f);
    bytes::putF32le(b, 43, float(n % 70) * 0.1f);
    return b;
}

// A thousand different live status reports, handed in one after another.
std::vector<QByteArray> statusReports() {
    std::vector<QByteArray> reports;
    for (int n = 0; n < 1000; ++n)
        reports.push_back(statusReport(n));
    return reports;
}

// Goal 1: one live status report through the link's dispatch to the Control page, as the poll's
// answers arrive while the page is shown: decoded, formatted and written into every field.
void liveStatusReport(benchmark::State& state) {
    rig::AppRig& rig = bench::connectedRig(ControlPage);
    Transport& link = rig.program().mainWindow->link();
    const std::vector<QByteArray> reports = statusReports();
    std::size_t next = 0;
    for (auto _ : state) {
        link.receive(reports[next]);
        next = (next + 1) % reports.size();
    }
    // What piled up for later (repaints, layout) is done outside the timing.
    QCoreApplication::processEvents();
}

// The same with what the report leaves for the event loop handled too: the repaint of the fields
// that changed. Not a goal; it shows what the display costs on top.
void liveStatusReportPainted(benchmark::State& state) {
    rig::AppRig& rig = bench::connectedRig(ControlPage);
    Transport& link = rig.program().mainWindow->link();
    const std::vector<QByteArray> reports = statusReports();
    std::size_t next = 0;
    for (auto _ : state) {
        link.receive(reports[next]);
        QCoreApplication::processEvents();
        next = (next + 1) % reports.size();
    }
}

// The records of a program file's address 0 (11-byte records: address, 10-byte command).
std::vector<QByteArray> programRecords(const QString& path) {
    QFile file(path);
    std::vector<QByteArray> records;
    if (!file.open(QIODevice::ReadOnly))
        return records;
    const QByteArray all = file.readAll();
    for (qsizetype at = 0; at + 11 <= all.size(); at += 11) {
        if (all[at] == 0)
            records.push_back(all.mid(at + 1, 10));
    }
    return records;
}

// The do-nothing host: the link (simulated device, device layer with its reader and writer
// threads, framing and dispatch) with a handler that answers each request 230 at once with the
// record asked for, and nothing else: no pages, no progress window, no poll.
class FloorHost {
public:
    FloorHost(std::chrono::microseconds latency, std::vector<QByteArray> records)
        : records_(std::move(records)) {
        backend_.setManualClock(true);
        backend_.plugController(QStringLiteral("KVT318"));
        link_.subscribe(op::ProgramRecord, &receiver_, [this](const Response& r) { answer(r); });
        // The first scan, the connection and the greeting's answers.
        QElapsedTimer wait;
        wait.start();
        while ((!link_.activeDevice() || wait.elapsed() < 300) && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        backend_.setLatency(latency);
    }

    bool connected() const { return link_.activeDevice() != nullptr; }

    // Sends the whole program and returns the milliseconds until the controller asked past its
    // last record.
    double sendMs() {
        const auto length = quint16(records_.size());
        QElapsedTimer t;
        QTimer::singleShot(0, &receiver_, [&] {
            t.start();
            link_.send(ByteWriter().u8(op::ProgramBegin).u16be(length).data());
        });
        QTimer::singleShot(60000, &receiver_, [] { QCoreApplication::exit(1); });
        const double cpu = threadCpuMs();
        const int result = QApplication::exec();
        const double ms = double(t.nsecsElapsed()) * 1e-6;
        lastUiCpuMs = threadCpuMs() - cpu;
        return result == 0 ? ms : -1;
    }

private:
    void answer(const Response& response) {
        const quint16 index = response.bytes().u16be(1);
        if (index < records_.size())
            link_.send(ByteWriter().u8(op::ProgramRecord).u16be(index).data() + records_[index]);
        else if (index == records_.size())
            QCoreApplication::exit(0);
    }

    std::vector<QByteArray> records_;
    sim::SimBackend backend_;
    HidDeviceManager manager_{&backend_};
    Transport link_;
    Connection connection_{manager_, link_};
    QObject receiver_;
};

// The window's program send: "Wyslij program" on the Program page with the 300-command file
// open, until the controller has asked for the index past the last record; then the progress
// window is closed with its OK button. Milliseconds, or -1 when the send did not complete.
double windowSendMs(rig::AppRig& rig) {
    ProgramTransfer* transfer = &rig.program().mainWindow->programTransfer();
    rig.clearWritten();
    QElapsedTimer t;
    QObject guard;
    QObject::connect(transfer, &ProgramTransfer::sent, &guard, [] { QCoreApplication::exit(0); });
    QTimer::singleShot(0, &guard, [&] {
        t.start();
        rig.click(QStringLiteral("btn_SendProg"));
    });
    QTimer::singleShot(60000, &guard, [] { QCoreApplication::exit(1); });
    const double cpu = threadCpuMs();
    const int result = QApplication::exec();
    const double ms = double(t.nsecsElapsed()) * 1e-6;
    lastUiCpuMs = threadCpuMs() - cpu;
    rig.click(QStringLiteral("BtnOK"));
    rig.settle();
    return result == 0 ? ms : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Goal 2: the window's send and the floor, in turn, `SendRounds` times each (`QuickSendRounds`
// without delay), with the given delay each way; the medians go to the figures under `prefix`.
void programSend(benchmark::State& state, const std::string& prefix, std::chrono::microseconds latency) {
    const std::vector<QByteArray> records = programRecords(FullProgram);
    if (records.size() != 300) {
        state.SkipWithError("the 300-command sample program is missing");
        return;
    }
    for (auto _ : state) {
        rig::AppRig& rig = bench::freshRig(ProgramPage);
        rig.answerFile(FullProgram);
        rig.click(QStringLiteral("btn_ProgOpen"));
        rig.settle();
        rig.sim().setLatency(latency);
        QTimer* poll = rig.program().mainWindow->findChild<Poller*>()->timer();
        FloorHost floor(latency, records);
        if (!floor.connected()) {
            state.SkipWithError("the floor host did not connect");
            return;
        }
        std::vector<double> windowMs;
        std::vector<double> floorMs;
        std::vector<double> windowCpuMs;
        std::vector<double> floorCpuMs;
        const int rounds = latency.count() > 0 ? SendRounds : QuickSendRounds;
        for (int round = 0; round < rounds; ++round) {
            // The window's poll runs during its own send, as it does for a user, and rests while
            // the floor host has the machine.
            poll->stop();
            floorMs.push_back(floor.sendMs());
            floorCpuMs.push_back(lastUiCpuMs);
            poll->start();
            windowMs.push_back(windowSendMs(rig));
            windowCpuMs.push_back(lastUiCpuMs);
        }
        if (*std::min_element(floorMs.begin(), floorMs.end()) < 0 ||
            *std::min_element(windowMs.begin(), windowMs.end()) < 0) {
            state.SkipWithError("a send did not complete");
            return;
        }
        const double window = median(windowMs);
        const double base = median(floorMs);
        state.SetIterationTime(window * 1e-3);
        state.counters["window_ms"] = window;
        state.counters["floor_ms"] = base;
        state.counters["ratio"] = window / base;
        state.counters["commands_per_s"] = double(records.size()) / (window * 1e-3);
        state.counters["window_ui_cpu_ms"] = median(windowCpuMs);
        state.counters["floor_ui_cpu_ms"] = median(floorCpuMs);
        bench::figures()[prefix + "window_ms"] = window;
        bench::figures()[prefix + "floor_ms"] = base;
        bench::figures()[prefix + "commands_per_s"] = double(records.size()) / (window * 1e-3);
        bench::figures()[prefix + "window_ui_cpu_ms"] = median(windowCpuMs);
        bench::figures()[prefix + "floor_ui_cpu_ms"] = median(floorCpuMs);
    }
    bench::dropRig();
}

} // namespace

BENCHMARK(liveStatusReport)->Repetitions(15)->ReportAggregatesOnly(true)->MinTime(0.05);
BENCHMARK(liveStatusReportPainted)->Repetitions(5)->ReportAggregatesOnly(true)->MinTime(0.05);
BENCHMARK_CAPTURE(programSend, delay_1ms, std::string("send_1ms_"), std::chrono::microseconds(1000))
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(programSend, no_delay, std::string("send_0_"), std::chrono::microseconds(0))
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

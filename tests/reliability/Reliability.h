// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared steps of the fault-injection tests: the whole application on simulated controllers that
// vanish, fall silent or misbehave, and the checks that it came through.

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/ScriptedDialogService.h"
#include "link/HidDeviceManager.h"
#include "shell/Poller.h"
#include "sim/SimBackend.h"
#include "sim/SimController.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

// Runs a helper that checks with QCOMPARE/QVERIFY and leaves the test when it failed.
#define CHECKED(call)                                                                                        \
    do {                                                                                                     \
        call;                                                                                                \
        if (QTest::currentTestFailed())                                                                      \
            return;                                                                                          \
    } while (false)

namespace testing {

constexpr int ControlPage = 0;
constexpr int ConfigPage = 1;
constexpr int ProgramPage = 3;
const QString Disconnected = QStringLiteral("Rozłączony");
const QString NoDevice = QStringLiteral("Brak urządzenia");
const QString ConnectedTo = QStringLiteral("Połączony z ");

inline QTimer* pollTimer(rig::AppRig& rig) {
    return rig.program().mainWindow->findChild<kvt::Poller*>()->timer();
}

// Stops the 200 ms poll until the next connection restarts it, so that the commands a
// controller handles are only those a test causes.
inline void holdPoll(rig::AppRig& rig) {
    pollTimer(rig)->stop();
}

// Threads of the whole process: the reader and writer of a released device must be gone.
inline int threadCount() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The records of address 0 of a program file, as the controller stores them.
inline QList<QByteArray> programOf(const QByteArray& file) {
    QList<QByteArray> records;
    for (qsizetype at = 0; at + 11 <= file.size(); at += 11)
        if (file[at] == 0)
            records << file.mid(at + 1, 10);
    return records;
}

inline int failedWrites(rig::AppRig& rig) {
    int failed = 0;
    for (const auto& w : rig.sim().written())
        failed += w.ok ? 0 : 1;
    return failed;
}

// Processes events until `done()` holds, at most `ms` of real time; true when it held. For what
// other threads finish on their own (a reader noticing its device gone, threads ending).
template <typename F> bool waitFor(F done, int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(200);
    }
    return true;
}

// After device `id` vanished: the not-connected display, the poll stopped, no handle of the
// device left open and no reader or writer thread of it left running (`threads`: the count
// with no device connected).
inline void expectReleased(rig::AppRig& rig, int id, int threads) {
    // A device that vanishes in the middle of a write is noticed by its reader's failed read,
    // which asks for the rescan from the reader's thread: wait for it in real time.
    QVERIFY(waitFor([&] { return rig.statusPanel(1) == Disconnected; }));
    rig.settle();
    QCOMPARE(rig.text("TextStatus"), NoDevice);
    QVERIFY(!pollTimer(rig)->isActive());
    // The threads end on their own once their handles fail; wait for that in real time.
    QVERIFY(waitFor([&] { return rig.sim().openHandles(id) == 0; }));
    QVERIFY2(waitFor([&] { return threadCount() <= threads; }),
             qPrintable(QStringLiteral("%1 threads, %2 before").arg(threadCount()).arg(threads)));
}

// Connected to `model` again, and the poll runs: a 97 goes out on the Control page.
inline void expectWorking(rig::AppRig& rig, const QString& model = QStringLiteral("KVT318")) {
    QCOMPARE(rig.statusPanel(1), ConnectedTo + model);
    QVERIFY(pollTimer(rig)->isActive());
    const int page = rig.page();
    QVERIFY(rig.showPage(ControlPage));
    rig.clearWritten();
    rig.settle(250);
    QVERIFY(codes(rig.written()).contains(97));
    QVERIFY(rig.showPage(page));
    rig.settle();
}

} // namespace testing

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the running application holds, counted so that a long run can show that nothing piles up:
// the objects of every window, the process's threads, the open simulated device handles, the
// dispatcher's subscriptions and the running timers.

#include "AppRig.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/Transport.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace testing {

struct LiveObjects {
    int objects = 0;       // every top-level widget and all objects below it
    int threads = 0;       // threads of this process
    int handles = 0;       // device handles open on the simulated backend
    int subscriptions = 0; // dispatcher subscriptions whose receiver lives
    int timers = 0;        // running QTimers among `objects`

    int total() const { return objects + threads + handles + subscriptions + timers; }
    bool operator==(const LiveObjects&) const = default;
    QString describe() const {
        return QStringLiteral("objects %1, threads %2, handles %3, subscriptions %4, timers %5")
            .arg(objects)
            .arg(threads)
            .arg(handles)
            .arg(subscriptions)
            .arg(timers);
    }
};

inline int processThreads() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Resident memory of this process in KiB (VmRSS), 0 when it cannot be read.
inline qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

inline LiveObjects countLiveObjects(rig::AppRig& rig) {
    LiveObjects live;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QList<QObject*> below = window->findChildren<QObject*>();
        live.objects += 1 + int(below.size());
        for (QObject* o : below) {
            if (auto* timer = qobject_cast<QTimer*>(o); timer && timer->isActive())
                ++live.timers;
        }
    }
    live.threads = processThreads();
    live.handles = rig.sim().openHandles();
    const kvt::Dispatcher& dispatcher = rig.program().mainWindow->link().dispatcher();
    live.subscriptions = dispatcher.subscriptionCount(); // a dead receiver's handlers count too
    return live;
}

// The count once the device layer has let go of what it stopped: a released device's reader and
// writer end on their own threads, shortly after the user-interface thread has moved on, so this
// waits (in real time, at most `ms`) until the count equals `expected`, or, without one, until it
// has stayed the same for 50 ms.
inline LiveObjects settledLiveObjects(rig::AppRig& rig, const LiveObjects* expected = nullptr,
                                      int ms = 3000) {
    QElapsedTimer clock;
    clock.start();
    rig.settle();
    LiveObjects live = countLiveObjects(rig);
    qint64 stableSince = clock.elapsed();
    while (clock.elapsed() < ms) {
        if (expected && live == *expected)
            break;
        if (!expected && clock.elapsed() - stableSince >= 50)
            break;
        QThread::msleep(2);
        QCoreApplication::processEvents();
        const LiveObjects now = countLiveObjects(rig);
        if (!(now == live))
            stableSince = clock.elapsed();
        live = now;
    }
    return live;
}

} // namespace testing

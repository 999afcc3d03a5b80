// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace kvt {

// For start-up measurements: once `window` has been painted for the first time, prints
// "FIRST_PAINT <ns>" (the monotonic clock, which every process on the machine shares) on standard
// output and ends the event loop. The program does this only with KVT_REPORT_FIRST_PAINT set.
inline void reportFirstPaint(QWidget* window) {
    class Watcher : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && watched == parent()) {
                watched->removeEventFilter(this);
                // The whole window is painted by the time queued calls run again.
                QMetaObject::invokeMethod(
                    this,
                    [] {
                        const auto now = std::chrono::steady_clock::now().time_since_epoch();
                        std::printf("FIRST_PAINT %lld\n",
                                    static_cast<long long>(
                                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                        std::fflush(stdout);
                        QCoreApplication::exit(0);
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }
    };
    window->installEventFilter(new Watcher(window));
}

} // namespace kvt

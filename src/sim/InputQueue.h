// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace kvt::sim {

// The input reports waiting for one open handle, as a hidraw node keeps them per open file:
// every report the device sends is appended to the queue of each of its open handles. Thread-safe;
// read() is where the handle's reader thread blocks.
class InputQueue {
public:
    // Reports beyond this many unread ones are dropped, so a handle that is never read (one used
    // only for writing) does not grow without bound.
    static constexpr std::size_t Capacity = 1024;

    void push(const QByteArray& report); // ignored once cancelled or gone, or when full
    // A report pushed from now on becomes readable `latency` after its push (real time), as a
    // report crossing the bus would; 0 (the default) makes it readable at once.
    void setLatency(std::chrono::microseconds latency);
    void markGone(); // the device vanished: reads return -1 from now on
    void cancel();   // reads return 0 from now on; the queue is dropped

    // Waits up to `timeoutMs` (forever when negative) for a report and copies it into `buffer`,
    // cut to `capacity`. Returns its length, 0 on time-out or after cancel(), -1 when gone.
    int read(unsigned char* buffer, int capacity, int timeoutMs);

    // Reports not yet passed on by a reader: the queued ones plus the one the last read()
    // returned, until read() is called again. A cancelled handle has none, so a handle that only
    // writes cancels itself.
    int pending() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Queued {
        QByteArray report;
        Clock::time_point due; // readable from then on
    };

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Queued> reports_;
    std::chrono::microseconds latency_{0};
    bool cancelled_ = false;
    bool gone_ = false;
    bool holding_ = false; // the last read() returned a report
};

} // namespace kvt::sim

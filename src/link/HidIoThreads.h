// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace kvt {

class HidBackend;
class HidHandle;

// Counts I/O still on its way: writes queued and not yet written, and reports read and not yet
// handled on the user-interface thread. Shared by a device manager and its threads.
using IoCounter = std::shared_ptr<std::atomic<int>>;

// Opens once a device's reader holds its handle (or has given up). Writes wait for it, so the
// answer to a command sent right after the reader starts is not lost before the reader listens.
class ReadyGate {
public:
    void open();
    bool wait(int ms);

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ready_ = false;
};

// The reports one reader has handed to the user-interface thread and that are not yet handled.
// Once MaxPending are waiting the reader stops reading until the user-interface thread has
// caught up: nothing is dropped or reordered on our side, and a flooding device fills its own
// buffer in the kernel instead of this program's memory.
class ReportBacklog {
public:
    static constexpr int MaxPending = 256;

    // Reader side: waits while the backlog is full; false when `stop` was raised meanwhile.
    bool waitForRoom(const std::atomic<bool>& stop);
    void add();
    // User-interface side: one report handled (or dropped).
    void remove();
    // Wakes a waiting reader so it sees its stop request.
    void wake();
    int pending() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable room_;
    int pending_ = 0;
};

// Ends a thread's life: set once its work is over, waited for without polling.
class FinishFlag {
public:
    void set();
    bool isSet() const { return set_; }
    bool wait(int ms);

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<bool> set_{false};
};

// Background reader of one device. It owns its own handle, opened (for the one device instance it
// was started for) and closed on its own thread, and only reads: in slices of ReadSliceMs, so that
// a stop request is seen within one slice even where a read cannot be interrupted. Every report is
// passed to `deliver` from the reader's thread; `failed` is called (also from the reader's thread)
// when the device cannot be opened or a read fails.
class HidReader {
public:
    static constexpr int ReadSliceMs = 100;

    struct Callbacks {
        std::function<void(QByteArray report)> deliver;
        std::function<void()> failed;
    };
    struct Target {
        QString path;
        quint32 instance = 0;
        int inputReportLength = 65;
    };

    HidReader(HidBackend* backend, Target target, Callbacks callbacks, std::shared_ptr<ReadyGate> ready,
              std::shared_ptr<ReportBacklog> backlog);
    ~HidReader(); // requests a stop; joins only when the thread has finished

    // Asks the thread to stop without waiting for it.
    void requestStop();
    bool finished() const { return state_->finished.isSet(); }
    // Waits at most `ms` for the thread to end; true when it has.
    bool waitFinished(int ms) { return state_->finished.wait(ms); }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::atomic<bool> stop{false};
        FinishFlag finished;
        HidHandle* handle = nullptr; // guarded by mutex; cancelled on stop
        std::shared_ptr<ReportBacklog> backlog;
    };
    static void run(const std::shared_ptr<State>& state, HidBackend* backend, const Target& target,
                    const Callbacks& callbacks, const std::shared_ptr<ReadyGate>& ready);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

// Background writer of one device: owns a second handle (for the same device instance) and writes
// the queued output reports in order, each as soon as it is queued, so that no write waits for a
// read time-out. When the handle cannot be opened for that instance, everything queued is dropped.
class HidWriter {
public:
    HidWriter(HidBackend* backend, QString path, quint32 instance, IoCounter pending);
    ~HidWriter();

    // `ready`, when given, is waited for (at most a second) before the report is written.
    void queue(QByteArray report, std::shared_ptr<ReadyGate> ready = {});
    // Drops what is still queued and asks the thread to stop, without waiting.
    void requestStop();
    bool finished() const { return state_->finished.isSet(); }
    bool waitFinished(int ms) { return state_->finished.wait(ms); }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::pair<QByteArray, std::shared_ptr<ReadyGate>>> queue;
        bool stop = false;
        bool noDevice = false; // the handle could not be opened: writes are dropped
        FinishFlag finished;
        IoCounter pending;
    };
    static void run(const std::shared_ptr<State>& state, HidBackend* backend, const QString& path,
                    quint32 instance);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace kvt

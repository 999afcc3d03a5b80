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
// handled on the user-interface thread. Shared by a controller and its threads.
using IoCounter = std::shared_ptr<std::atomic<int>>;

// Opens once a device's reader holds its handle (or has given up). Writes wait for it, so the
// answer to a command sent right after the reader starts is not lost before the reader listens.
class ReadyGate {
public:
    void open() {
        std::lock_guard lock(mutex_);
        ready_ = true;
        wake_.notify_all();
    }
    bool wait(int ms) {
        std::unique_lock lock(mutex_);
        return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return ready_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ready_ = false;
};

// Background reader of one device. It owns its own handle, opened and closed on its own
// thread, and only reads: in slices of the thread sleep time, so that a stop request is seen
// within one slice even where a read cannot be interrupted. Every report is passed to `deliver`
// from the reader's thread; `failed` is called (also from the reader's thread) when the device
// cannot be opened or a read fails.
class TJvHidDeviceReadThread {
public:
    struct Callbacks {
        std::function<void(QByteArray report)> deliver;
        std::function<void()> failed;
    };

    TJvHidDeviceReadThread(HidBackend* backend, QString path, int inputReportLength, int sleepMs,
                           Callbacks callbacks, std::shared_ptr<ReadyGate> ready);
    ~TJvHidDeviceReadThread(); // requests a stop; joins only when the thread has finished

    // Asks the thread to stop without waiting for it.
    void requestStop();
    bool finished() const { return state_->finished; }
    // Waits at most `ms` for the thread to end; true when it has.
    bool waitFinished(int ms);

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::atomic<bool> stop{false};
        std::atomic<bool> finished{false};
        HidHandle* handle = nullptr; // guarded by mutex; cancelled on stop
    };
    static void run(std::shared_ptr<State> state, HidBackend* backend, QString path, int length, int sleepMs,
                    Callbacks callbacks, std::shared_ptr<ReadyGate> ready);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

// Background writer of one device: owns a second handle and writes the queued output reports
// in order, each as soon as it is queued, so that no write waits for a read time-out.
class HidWriteThread {
public:
    HidWriteThread(HidBackend* backend, QString path, IoCounter pending);
    ~HidWriteThread();

    // `ready`, when given, is waited for (at most a second) before the report is written.
    void queue(QByteArray report, std::shared_ptr<ReadyGate> ready = {});
    // Drops what is still queued and asks the thread to stop, without waiting.
    void requestStop();
    bool finished() const { return state_->finished; }
    bool waitFinished(int ms);

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::pair<QByteArray, std::shared_ptr<ReadyGate>>> queue;
        bool stop = false;
        std::atomic<bool> finished{false};
        IoCounter pending;
    };
    static void run(std::shared_ptr<State> state, HidBackend* backend, QString path);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace kvt

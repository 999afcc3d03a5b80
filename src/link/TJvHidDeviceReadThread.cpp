#include "link/TJvHidDeviceReadThread.h"

#include "link/HidBackend.h"

#include <algorithm>
#include <chrono>
#include <tuple>

namespace kvt {

// Every report handed on is at least this long, so no handler reads past what arrived.
constexpr int MinimumReportLength = 65;

TJvHidDeviceReadThread::TJvHidDeviceReadThread(HidBackend* backend, QString path, int inputReportLength,
                                               int sleepMs, Callbacks callbacks,
                                               std::shared_ptr<ReadyGate> ready)
    : state_(std::make_shared<State>()) {
    thread_ = std::thread(&TJvHidDeviceReadThread::run, state_, backend, std::move(path),
                          std::max(inputReportLength, MinimumReportLength), sleepMs, std::move(callbacks),
                          std::move(ready));
}

TJvHidDeviceReadThread::~TJvHidDeviceReadThread() {
    requestStop();
    if (state_->finished)
        thread_.join();
    else
        thread_.detach(); // it ends by itself within one slice; it holds its own state
}

void TJvHidDeviceReadThread::requestStop() {
    std::lock_guard lock(state_->mutex);
    state_->stop = true;
    if (state_->handle)
        state_->handle->cancel();
    state_->wake.notify_all();
}

bool TJvHidDeviceReadThread::waitFinished(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!state_->finished && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return state_->finished;
}

void TJvHidDeviceReadThread::run(std::shared_ptr<State> state, HidBackend* backend, QString path, int length,
                                 int sleepMs, Callbacks callbacks, std::shared_ptr<ReadyGate> ready) {
    std::unique_ptr<HidHandle> handle = backend->open(path);
    ready->open();
    if (!handle) {
        if (!state->stop)
            callbacks.failed();
        state->finished = true;
        return;
    }
    {
        std::lock_guard lock(state->mutex);
        state->handle = handle.get();
        if (state->stop)
            handle->cancel();
    }
    QByteArray buffer(length, '\0');
    while (!state->stop) {
        buffer.fill('\0');
        const int n = handle->read(reinterpret_cast<quint8*>(buffer.data()), length, sleepMs);
        if (state->stop)
            break;
        if (n < 0) {
            // The device failed or is gone: ask for a rescan, and wait a slice before trying
            // again rather than spinning until the rescan releases this device.
            callbacks.failed();
            std::unique_lock lock(state->mutex);
            state->wake.wait_for(lock, std::chrono::milliseconds(sleepMs),
                                 [&] { return state->stop.load(); });
            continue;
        }
        if (n == 0)
            continue;
        callbacks.deliver(buffer); // zero-filled beyond what arrived
    }
    {
        std::lock_guard lock(state->mutex);
        state->handle = nullptr;
    }
    handle.reset(); // closed by the thread that owns it
    state->finished = true;
}

HidWriteThread::HidWriteThread(HidBackend* backend, QString path, IoCounter pending)
    : state_(std::make_shared<State>()) {
    state_->pending = std::move(pending);
    thread_ = std::thread(&HidWriteThread::run, state_, backend, std::move(path));
}

HidWriteThread::~HidWriteThread() {
    requestStop();
    if (state_->finished)
        thread_.join();
    else
        thread_.detach(); // a write may block for seconds; the thread ends after it
}

void HidWriteThread::queue(QByteArray report, std::shared_ptr<ReadyGate> ready) {
    std::lock_guard lock(state_->mutex);
    if (state_->stop)
        return;
    ++*state_->pending;
    state_->queue.emplace_back(std::move(report), std::move(ready));
    state_->wake.notify_one();
}

void HidWriteThread::requestStop() {
    std::lock_guard lock(state_->mutex);
    if (!state_->stop) {
        *state_->pending -= int(state_->queue.size());
        state_->queue.clear();
        state_->stop = true;
    }
    state_->wake.notify_all();
}

bool HidWriteThread::waitFinished(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!state_->finished && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return state_->finished;
}

void HidWriteThread::run(std::shared_ptr<State> state, HidBackend* backend, QString path) {
    std::unique_ptr<HidHandle> handle = backend->open(path);
    // This handle only writes: it takes no copies of the input reports.
    if (handle)
        handle->cancel();
    for (;;) {
        QByteArray report;
        std::shared_ptr<ReadyGate> ready;
        {
            std::unique_lock lock(state->mutex);
            state->wake.wait(lock, [&] { return state->stop || !state->queue.empty(); });
            if (state->stop)
                break;
            std::tie(report, ready) = std::move(state->queue.front());
            state->queue.pop_front();
        }
        if (ready)
            ready->wait(1000);
        // A failed write is not reported: that command is lost, as on the wire.
        if (handle)
            handle->write(reinterpret_cast<const quint8*>(report.constData()), int(report.size()));
        --*state->pending;
    }
    handle.reset();
    state->finished = true;
}

} // namespace kvt

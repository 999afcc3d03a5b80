// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/HidIoThreads.h"

#include "link/HidBackend.h"

#include <algorithm>
#include <pthread.h>
#include <tuple>

namespace kvt {

// Every report handed on is at least this long, so no handler reads past what arrived.
constexpr int MinimumReportLength = 65;

void ReadyGate::open() {
    std::lock_guard lock(mutex_);
    ready_ = true;
    wake_.notify_all();
}

bool ReadyGate::wait(int ms) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return ready_; });
}

bool ReportBacklog::waitForRoom(const std::atomic<bool>& stop) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return stop || pending_ < MaxPending; });
    return !stop;
}

void ReportBacklog::add() {
    std::lock_guard lock(mutex_);
    ++pending_;
}

void ReportBacklog::remove() {
    std::lock_guard lock(mutex_);
    --pending_;
    room_.notify_all();
}

void ReportBacklog::wake() {
    std::lock_guard lock(mutex_);
    room_.notify_all();
}

int ReportBacklog::pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

void FinishFlag::set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    wake_.notify_all();
}

bool FinishFlag::wait(int ms) {
    std::unique_lock lock(mutex_);
    return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_.load(); });
}

HidReader::HidReader(HidBackend* backend, Target target, Callbacks callbacks,
                     std::shared_ptr<ReadyGate> ready, std::shared_ptr<ReportBacklog> backlog)
    : state_(std::make_shared<State>()) {
    state_->backlog = std::move(backlog);
    target.inputReportLength = std::max(target.inputReportLength, MinimumReportLength);
    thread_ = std::thread(&HidReader::run, state_, backend, std::move(target), std::move(callbacks),
                          std::move(ready));
}

HidReader::~HidReader() {
    requestStop();
    if (finished())
        thread_.join();
    else
        thread_.detach(); // it ends by itself within one slice; it holds its own state
}

void HidReader::requestStop() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stop = true;
        if (state_->handle)
            state_->handle->cancel();
        state_->wake.notify_all();
    }
    state_->backlog->wake();
}

void HidReader::run(const std::shared_ptr<State>& state, HidBackend* backend, const Target& target,
                    const Callbacks& callbacks, const std::shared_ptr<ReadyGate>& ready) {
    pthread_setname_np(pthread_self(), "kvt-hid-reader"); // as seen in a debugger or top
    std::unique_ptr<HidHandle> handle = backend->open(target.path, target.instance);
    ready->open();
    if (!handle) {
        if (!state->stop)
            callbacks.failed();
        state->finished.set();
        return;
    }
    {
        std::lock_guard lock(state->mutex);
        state->handle = handle.get();
        if (state->stop)
            handle->cancel();
    }
    const int length = target.inputReportLength;
    QByteArray buffer(length, '\0');
    while (!state->stop) {
        if (!state->backlog->waitForRoom(state->stop))
            break;
        buffer.fill('\0');
        const int n = handle->read(reinterpret_cast<quint8*>(buffer.data()), length, ReadSliceMs);
        if (state->stop)
            break;
        if (n < 0) {
            // The device failed or is gone: ask for a rescan, and wait a slice before trying
            // again rather than spinning until the rescan releases this device.
            callbacks.failed();
            std::unique_lock lock(state->mutex);
            state->wake.wait_for(lock, std::chrono::milliseconds(ReadSliceMs),
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
    state->finished.set();
}

HidWriter::HidWriter(HidBackend* backend, QString path, quint32 instance, IoCounter pending)
    : state_(std::make_shared<State>()) {
    state_->pending = std::move(pending);
    thread_ = std::thread(&HidWriter::run, state_, backend, std::move(path), instance);
}

HidWriter::~HidWriter() {
    requestStop();
    if (finished())
        thread_.join();
    else
        thread_.detach(); // a write may block for seconds; the thread ends after it
}

void HidWriter::queue(QByteArray report, std::shared_ptr<ReadyGate> ready) {
    std::lock_guard lock(state_->mutex);
    if (state_->stop || state_->noDevice)
        return;
    ++*state_->pending;
    state_->queue.emplace_back(std::move(report), std::move(ready));
    state_->wake.notify_one();
}

void HidWriter::requestStop() {
    std::lock_guard lock(state_->mutex);
    if (!state_->stop) {
        *state_->pending -= int(state_->queue.size());
        state_->queue.clear();
        state_->stop = true;
    }
    state_->wake.notify_all();
}

void HidWriter::run(const std::shared_ptr<State>& state, HidBackend* backend, const QString& path,
                    quint32 instance) {
    pthread_setname_np(pthread_self(), "kvt-hid-writer");
    std::unique_ptr<HidHandle> handle = backend->open(path, instance);
    if (handle) {
        handle->cancel(); // this handle only writes: it takes no copies of the input reports
    } else {
        // Not the device these commands were meant for (or none at all): drop them.
        std::lock_guard lock(state->mutex);
        state->noDevice = true;
        *state->pending -= int(state->queue.size());
        state->queue.clear();
    }
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
        handle->write(reinterpret_cast<const quint8*>(report.constData()), int(report.size()));
        --*state->pending;
    }
    handle.reset();
    state->finished.set();
}

} // namespace kvt

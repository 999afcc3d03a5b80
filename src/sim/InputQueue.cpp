// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/InputQueue.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace kvt::sim {

void InputQueue::push(const QByteArray& report) {
    {
        const std::lock_guard lock(mutex_);
        if (cancelled_ || gone_ || reports_.size() >= Capacity)
            return;
        reports_.push_back({report, Clock::now() + latency_});
    }
    arrived_.notify_all();
}

void InputQueue::setLatency(std::chrono::microseconds latency) {
    const std::lock_guard lock(mutex_);
    latency_ = latency;
}

void InputQueue::markGone() {
    {
        const std::lock_guard lock(mutex_);
        gone_ = true;
        reports_.clear();
    }
    arrived_.notify_all();
}

void InputQueue::cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        reports_.clear();
    }
    arrived_.notify_all();
}

int InputQueue::read(unsigned char* buffer, int capacity, int timeoutMs) {
    std::unique_lock lock(mutex_);
    holding_ = false;
    const bool waitForever = timeoutMs < 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (cancelled_)
            return 0;
        if (gone_)
            return -1;
        const Clock::time_point now = Clock::now();
        if (!reports_.empty() && reports_.front().due <= now)
            break;
        if (!waitForever && now >= deadline)
            return 0;
        if (reports_.empty() && waitForever)
            arrived_.wait(lock);
        else if (reports_.empty())
            arrived_.wait_until(lock, deadline);
        else
            arrived_.wait_until(lock, waitForever ? reports_.front().due
                                                  : std::min(reports_.front().due, deadline));
    }
    const QByteArray report = reports_.front().report;
    reports_.pop_front();
    const int length = std::clamp(static_cast<int>(report.size()), 0, std::max(capacity, 0));
    if (length > 0)
        std::memcpy(buffer, report.constData(), static_cast<std::size_t>(length));
    holding_ = true;
    return length;
}

int InputQueue::pending() const {
    const std::lock_guard lock(mutex_);
    if (cancelled_ || gone_)
        return 0;
    return static_cast<int>(reports_.size()) + (holding_ ? 1 : 0);
}

} // namespace kvt::sim

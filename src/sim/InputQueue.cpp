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
        reports_.push_back(report);
    }
    arrived_.notify_all();
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
    const auto ready = [this] { return cancelled_ || gone_ || !reports_.empty(); };
    if (timeoutMs < 0)
        arrived_.wait(lock, ready);
    else
        arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    if (cancelled_)
        return 0;
    if (gone_)
        return -1;
    if (reports_.empty())
        return 0;
    const QByteArray report = reports_.front();
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

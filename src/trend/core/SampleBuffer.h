// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/Sample.h"

#include <deque>
#include <memory>

namespace kvt::trend {

// The smallest and largest value of a channel over some samples; empty when min > max.
struct ValueRange {
    float min = 1.0f;
    float max = -1.0f;

    bool isEmpty() const { return min > max; }
    void include(float value);
    void include(const ValueRange& other);
};

// The samples of one run, oldest first, with a bound on how many are kept.
//
// Samples live in chunks of ChunkSize. Past the capacity the oldest whole chunk is dropped, so
// the buffer holds at least `capacity` of the newest samples and fewer than capacity + ChunkSize.
// Each chunk keeps, per channel, the minimum and maximum of aligned blocks of 16, 256 and 4096
// samples, so the range of a channel over any stretch costs a few dozen steps however long the
// stretch is: a view of a whole shift draws as fast as one of ten seconds.
class SampleBuffer {
public:
    static constexpr qsizetype ChunkSize = 4096;
    // Eight hours at 20 samples a second.
    static constexpr qsizetype DefaultCapacity = qsizetype(8) * 3600 * 20;

    explicit SampleBuffer(qsizetype capacity = DefaultCapacity);
    ~SampleBuffer();
    SampleBuffer(const SampleBuffer&) = delete;
    SampleBuffer& operator=(const SampleBuffer&) = delete;

    // Adds the newest sample. Times never go backwards: a time before the last sample's is
    // taken as the last sample's.
    void append(const Sample& sample);
    void clear();

    qsizetype size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    qsizetype capacity() const { return capacity_; }
    // How many samples were dropped from the front since the last clear().
    qint64 droppedCount() const { return dropped_; }

    const Sample& at(qsizetype index) const;
    const Sample& last() const { return at(size_ - 1); }
    float value(qsizetype index, Channel channel) const;

    // The first sample at or after `timeNs`, and the first after it (size() when none).
    qsizetype lowerBound(qint64 timeNs) const;
    qsizetype upperBound(qint64 timeNs) const;

    // The range of `channel` over the samples [from, to).
    ValueRange range(Channel channel, qsizetype from, qsizetype to) const;

    // Bytes held, for the memory figures.
    qint64 memoryBytes() const;

private:
    struct Chunk;
    Chunk& appendTarget();

    std::deque<std::unique_ptr<Chunk>> chunks_;
    qsizetype size_ = 0;
    qsizetype capacity_;
    qint64 dropped_ = 0;
};

} // namespace kvt::trend

// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/SampleBuffer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kvt::trend {

namespace {

// Block sizes of the three summary levels, as powers of two: 16, 256 and 4096 samples.
constexpr std::array<int, 3> LevelShift{4, 8, 12};
constexpr int blocksPerChunk(int level) {
    return int(SampleBuffer::ChunkSize >> LevelShift[level]);
}

} // namespace

void ValueRange::include(float v) {
    // A reading that is not a finite number (a garbled report) has no place on a scale.
    if (!std::isfinite(v))
        return;
    if (isEmpty()) {
        min = max = v;
        return;
    }
    min = std::min(min, v);
    max = std::max(max, v);
}

void ValueRange::include(const ValueRange& other) {
    if (other.isEmpty())
        return;
    include(other.min);
    include(other.max);
}

struct SampleBuffer::Chunk {
    std::array<Sample, ChunkSize> samples;
    qsizetype count = 0;
    // summary[level][channel * blocksPerChunk(level) + block]
    std::array<std::vector<ValueRange>, 3> summary;

    Chunk() {
        for (int level = 0; level < 3; ++level)
            summary[level].resize(size_t(ChannelCount) * blocksPerChunk(level));
    }
    ValueRange& block(int level, int channel, qsizetype index) {
        return summary[level][size_t(channel) * blocksPerChunk(level) + (index >> LevelShift[level])];
    }
    const ValueRange& block(int level, int channel, qsizetype index) const {
        return summary[level][size_t(channel) * blocksPerChunk(level) + (index >> LevelShift[level])];
    }
};

SampleBuffer::SampleBuffer(qsizetype capacity) : capacity_(std::max<qsizetype>(capacity, 1)) {}

SampleBuffer::~SampleBuffer() = default;

void SampleBuffer::clear() {
    chunks_.clear();
    size_ = 0;
    dropped_ = 0;
}

SampleBuffer::Chunk& SampleBuffer::appendTarget() {
    if (chunks_.empty() || chunks_.back()->count == ChunkSize)
        chunks_.push_back(std::make_unique<Chunk>());
    return *chunks_.back();
}

void SampleBuffer::append(const Sample& sample) {
    Sample s = sample;
    if (size_ > 0)
        s.timeNs = std::max(s.timeNs, last().timeNs);
    Chunk& chunk = appendTarget();
    const qsizetype index = chunk.count++;
    chunk.samples[size_t(index)] = s;
    for (int c = 0; c < ChannelCount; ++c) {
        const auto v = float(channelValue(s.status, channelAt(c)));
        for (int level = 0; level < 3; ++level)
            chunk.block(level, c, index).include(v);
    }
    ++size_;
    // Whole chunks go, so every chunk keeps its alignment to the summary blocks.
    while (size_ - ChunkSize >= capacity_ && chunks_.size() > 1) {
        chunks_.pop_front();
        size_ -= ChunkSize;
        dropped_ += ChunkSize;
    }
}

const Sample& SampleBuffer::at(qsizetype index) const {
    Q_ASSERT(index >= 0 && index < size_);
    return chunks_[size_t(index / ChunkSize)]->samples[size_t(index % ChunkSize)];
}

float SampleBuffer::value(qsizetype index, Channel channel) const {
    return float(channelValue(at(index).status, channel));
}

qsizetype SampleBuffer::lowerBound(qint64 timeNs) const {
    qsizetype low = 0;
    qsizetype high = size_;
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (at(mid).timeNs < timeNs)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

qsizetype SampleBuffer::upperBound(qint64 timeNs) const {
    qsizetype low = 0;
    qsizetype high = size_;
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (at(mid).timeNs <= timeNs)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

ValueRange SampleBuffer::range(Channel channel, qsizetype from, qsizetype to) const {
    ValueRange result;
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, size_);
    const int c = channelIndex(channel);
    qsizetype i = from;
    while (i < to) {
        const Chunk& chunk = *chunks_[size_t(i / ChunkSize)];
        const qsizetype inChunk = i % ChunkSize;
        // The largest summary block that starts here and ends before `to`.
        int level = 2;
        for (; level >= 0; --level) {
            const qsizetype block = qsizetype(1) << LevelShift[level];
            if (inChunk % block == 0 && i + block <= to)
                break;
        }
        if (level >= 0) {
            result.include(chunk.block(level, c, inChunk));
            i += qsizetype(1) << LevelShift[level];
        } else {
            result.include(float(channelValue(chunk.samples[size_t(inChunk)].status, channel)));
            ++i;
        }
    }
    return result;
}

qint64 SampleBuffer::memoryBytes() const {
    qint64 perChunk = sizeof(Chunk);
    for (int level = 0; level < 3; ++level)
        perChunk += qint64(ChannelCount) * blocksPerChunk(level) * qint64(sizeof(ValueRange));
    return perChunk * qint64(chunks_.size());
}

} // namespace kvt::trend

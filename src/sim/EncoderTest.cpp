// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/EncoderTest.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

#include <algorithm>

namespace kvt::sim {

void EncoderTest::start(qint32 pulses, quint8 verdict) {
    running_ = true;
    elapsed_ = 0;
    nextReport_ = ReportPeriodMs;
    verdict_ = verdict;
    // Swapped channels count backwards; without a signal nothing is counted.
    pulses_ = verdict == NoSignal ? 0 : verdict == ChannelsSwapped ? -pulses : pulses;
}

qint32 EncoderTest::countAt(int ms) const {
    return static_cast<qint32>(static_cast<qint64>(pulses_) * std::min(ms, DurationMs) / DurationMs);
}

QList<QByteArray> EncoderTest::advance(int ms) {
    QList<QByteArray> out;
    if (!running_)
        return out;
    elapsed_ += ms;
    for (; nextReport_ < DurationMs && nextReport_ <= elapsed_; nextReport_ += ReportPeriodMs) {
        QByteArray b(5, '\0');
        bytes::putU8(b, 0, op::EncoderCount);
        bytes::putI32le(b, 1, countAt(nextReport_));
        out.append(b);
    }
    if (elapsed_ >= DurationMs) {
        QByteArray b(6, '\0');
        bytes::putU8(b, 0, op::EncoderResult);
        bytes::putI32le(b, 1, countAt(DurationMs));
        bytes::putU8(b, 5, verdict_);
        out.append(b);
        running_ = false;
    }
    return out;
}

} // namespace kvt::sim

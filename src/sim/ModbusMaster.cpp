// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ModbusMaster.h"

#include <initializer_list>

namespace kvt::sim {

namespace {

QByteArray bytesOf(std::initializer_list<quint8> values) {
    QByteArray b;
    for (const quint8 v : values)
        b.append(char(v));
    return b;
}

} // namespace

QByteArray ModbusMaster::frame(int step, quint8 ownAddress, quint16 writtenValue) {
    const quint8 own = ownAddress;
    const quint8 hi = quint8(writtenValue >> 8);
    const quint8 lo = quint8(writtenValue);
    switch (step % RoundLength) {
    case 0: // read holding registers 50..59
        return withCrc(bytesOf({own, 0x03, 0x00, 0x32, 0x00, 0x0A}));
    case 1: // write register 60
        return withCrc(bytesOf({own, 0x06, 0x00, 0x3C, hi, lo}));
    case 2: // read holding registers 80..99
        return withCrc(bytesOf({own, 0x03, 0x00, 0x50, 0x00, 0x14}));
    case 3: // write registers 62 and 63
        return withCrc(bytesOf({own, 0x10, 0x00, 0x3E, 0x00, 0x02, 0x04, hi, lo, 0x00, 0x00}));
    default: // a read meant for the next slave on the bus
        return withCrc(bytesOf({quint8(ownAddress % 32 + 1), 0x03, 0x00, 0x32, 0x00, 0x02}));
    }
}

QList<QByteArray> ModbusMaster::advance(int ms, quint8 ownAddress) {
    QList<QByteArray> frames;
    for (elapsed_ += ms; elapsed_ >= FramePeriodMs; elapsed_ -= FramePeriodMs) {
        frames.append(frame(step_, ownAddress, writtenValue_));
        if (step_ % RoundLength == 3)
            ++writtenValue_;
        step_ = (step_ + 1) % RoundLength;
    }
    return frames;
}

} // namespace kvt::sim

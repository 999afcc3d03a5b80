// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ProgramMemory.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

#include <algorithm>

namespace kvt::sim {

namespace {

QByteArray request(int index) {
    QByteArray b(3, '\0');
    bytes::putU8(b, 0, op::ProgramRecord);
    bytes::putU16be(b, 1, static_cast<quint16>(index));
    return b;
}

} // namespace

QList<QByteArray> ProgramMemory::begin(const QByteArray& command) {
    const int length = bytes::u16be(command, 1);
    if (length > Capacity)
        return {};
    incoming_.clear();
    incomingLength_ = length;
    expected_ = 0;
    if (length == 0) {
        records_.clear();
        length_ = 0;
        incomingLength_ = -1;
    }
    return {request(0)};
}

QList<QByteArray> ProgramMemory::receive(const QByteArray& command) {
    if (!receiving() || bytes::u16be(command, 1) != expected_)
        return {};
    incoming_.append(command.mid(3, RecordSize).leftJustified(RecordSize, '\0'));
    ++expected_;
    if (expected_ == incomingLength_) {
        records_ = incoming_;
        length_ = incomingLength_;
        incoming_.clear();
        incomingLength_ = -1;
    }
    return {request(expected_)};
}

QByteArray ProgramMemory::readLength() {
    readIndex_ = 0;
    QByteArray b(3, '\0');
    bytes::putU8(b, 0, op::ProgramReadLength);
    bytes::putU16be(b, 1, static_cast<quint16>(length_));
    return b;
}

QByteArray ProgramMemory::readNext() {
    // The host asks until it gets the index equal to the length; later asks repeat that one.
    const int index = std::min(readIndex_, length_);
    readIndex_ = index + 1;
    QByteArray b(3, '\0');
    bytes::putU8(b, 0, op::ProgramReadNext);
    bytes::putU16be(b, 1, static_cast<quint16>(index));
    b.append(record(index));
    return b;
}

QByteArray ProgramMemory::runStateReport() const {
    QByteArray b(2, '\0');
    bytes::putU8(b, 0, op::ProgramRunState);
    bytes::putU8(b, 1, run_);
    return b;
}

QByteArray ProgramMemory::record(int index) const {
    return index >= 0 && index < length_ ? records_.at(index) : QByteArray(RecordSize, '\0');
}

void ProgramMemory::store(const QList<QByteArray>& records) {
    records_.clear();
    for (const QByteArray& record : records.mid(0, Capacity))
        records_.append(record.left(RecordSize).leftJustified(RecordSize, '\0'));
    length_ = int(records_.size());
}

void ProgramMemory::powerCycle() {
    run_ = Off;
    incoming_.clear();
    incomingLength_ = -1;
    expected_ = 0;
    readIndex_ = 0;
}

} // namespace kvt::sim

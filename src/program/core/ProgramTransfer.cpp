// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/core/ProgramTransfer.h"

#include "link/OpCode.h"

#include <algorithm>

namespace kvt::program {

namespace {

quint16 indexOf(const ByteReader& response) {
    return response.u16be(1);
}

} // namespace

QByteArray beginSend(ProgramStore& store) {
    store.position = 0;
    return ByteWriter().u8(op::ProgramBegin).u16be(quint16(store.length)).data();
}

QByteArray encodeProgramRecord(quint16 index, const CommandRecord& record) {
    ByteWriter w;
    w.u8(op::ProgramRecord).u16be(index);
    for (const quint8 byte : record)
        w.u8(byte);
    return w.data();
}

SendStep answerRequest(ProgramStore& store, const ByteReader& response) {
    SendStep step;
    step.index = indexOf(response);
    store.position = step.index;
    if (step.index > ProgramCapacity)
        return step;
    if (step.index < store.length) {
        step.kind = SendStep::Answered;
        step.command = encodeProgramRecord(step.index, store.commands[step.index]);
    } else {
        step.kind = SendStep::Complete;
    }
    return step;
}

ReadBackStart ReadBack::start(ProgramStore& store, const ByteReader& response) {
    next_ = 0;
    ReadBackStart start;
    start.reportedLength = indexOf(response);
    store.length = std::min<quint32>(start.reportedLength, ProgramCapacity);
    start.fetch = start.reportedLength > 2;
    // The store holds none of the controller's commands yet.
    store.received = 0;
    return start;
}

ReadBackStep ReadBack::take(ProgramStore& store, const ByteReader& response) {
    ReadBackStep step;
    step.index = indexOf(response);
    store.position = step.index;
    step.sizeText = QString::number(step.index);
    step.memoryText = memoryShare(step.index);
    if (step.index < ProgramCapacity) {
        CommandRecord& record = store.commands[step.index];
        for (int i = 0; i < int(record.size()); ++i)
            record[i] = response.u8(3 + i);
        if (step.index == store.received)
            store.received = quint32(step.index) + 1; // counted only without a gap
    }
    step.complete = step.index >= store.length;
    step.askNext = !step.complete && step.index >= next_;
    next_ = quint32(step.index) + 1;
    return step;
}

} // namespace kvt::program

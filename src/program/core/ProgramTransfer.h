// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"
#include "program/core/ProgramStore.h"

#include <QByteArray>
#include <QString>

// The two program exchanges with the controller. Indices and lengths travel as 16-bit unsigned
// numbers, high byte first.
//
// Sending: command 229 tells the controller the program length; the controller then asks for
// each command by index (response 230) and every request is answered with command 230 carrying
// that index and its record; a request for the index equal to the length ends the exchange.
//
// Reading back: command 103 asks for the stored length (response 103); each command 104 asks for
// the next record, answered by response 104 with its index; the record whose index equals the
// length ends the exchange.
namespace kvt::program {

// Command 229 for the store's program; the transfer position goes back to 0.
QByteArray beginSend(ProgramStore& store);

// Command 230: one record and its index.
QByteArray encodeProgramRecord(quint16 index, const CommandRecord& record);

// The answer to one request of the controller (response 230).
struct SendStep {
    enum Kind {
        Ignored,  // an index above the program memory
        Answered, // `command` carries the record asked for
        Complete, // the controller asked past the last command: the program is sent
    };
    Kind kind = Ignored;
    quint16 index = 0; // the index asked for, which is also the progress
    QByteArray command;
};
// Answers a request whether or not a send was started here: the controller drives the exchange.
SendStep answerRequest(ProgramStore& store, const ByteReader& response);

// Response 103: the controller's program length goes into the store.
struct ReadBackStart {
    quint16 reportedLength = 0;
    bool fetch = false; // more than two commands: show progress and ask for the first record
};

// Response 104: one record of the read-back.
struct ReadBackStep {
    quint16 index = 0;
    bool complete = false; // the index reached the length
    bool askNext = false;  // not complete, and the controller moved on: ask for the next record
    QString sizeText;      // the index, shown as the command count while reading
    QString memoryText;    // the index as a share of the program memory
};

// The read-back of the controller's program into the store. The controller answers each request
// with the next record and its index. A reply that does not move past the last one (a controller
// holding fewer commands than it reported, or a reply nobody asked for) is taken but not followed
// by another request, so a read-back never turns into an endless exchange.
class ReadBack {
public:
    // A reported length above the capacity is stored as the capacity: the store never claims
    // more commands than it holds, and the read-back ends when it is full. Until every command
    // has come in, in order, the store is not complete.
    ReadBackStart start(ProgramStore& store, const ByteReader& response);
    ReadBackStep take(ProgramStore& store, const ByteReader& response);

private:
    quint32 next_ = 0; // the index the next reply should carry
};

} // namespace kvt::program

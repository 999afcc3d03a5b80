// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace kvt::sim {

// The controller's program memory and the run state of its program interpreter. A transfer to
// the controller is driven from here: after the length (command 229) the memory asks for each
// record by index with response 230, and a request for the index equal to the length tells the
// host the transfer is complete. A read-back answers each command 104 with the next record.
// ProgramInterpreter runs the stored program while the run state says so.
class ProgramMemory {
public:
    static constexpr int Capacity = 300;
    static constexpr int RecordSize = 10;
    enum RunState : quint8 { Off = 0, Running = 1, Paused = 3 };

    // Command 229; returns the first request, or nothing for a length above the capacity.
    QList<QByteArray> begin(const QByteArray& command);
    // Command 230 carrying the record asked for; returns the next request. Records that were not
    // asked for are ignored. The new program replaces the stored one once it is complete.
    QList<QByteArray> receive(const QByteArray& command);
    QByteArray readLength(); // command 103: response 103, restarts the read-back
    QByteArray readNext();   // command 104: response 104 with the next index and its record

    void start() { run_ = length_ > 0 ? Running : Off; }
    void pause() { run_ = run_ == Running ? Paused : run_; }
    void stop() { run_ = Off; }
    RunState runState() const { return run_; }
    QByteArray runStateReport() const; // response 31

    int length() const { return length_; }
    QByteArray record(int index) const; // zeros beyond the stored program
    QList<QByteArray> records() const { return records_.mid(0, length_); }
    // Replaces the stored program (records cut or zero-filled to RecordSize, at most Capacity).
    void store(const QList<QByteArray>& records);
    bool receiving() const { return incomingLength_ >= 0; }

    // Power-on: interpreter stopped, unfinished transfers forgotten; the stored program stays.
    void powerCycle();

private:
    QList<QByteArray> records_;
    int length_ = 0;
    QList<QByteArray> incoming_;
    int incomingLength_ = -1; // -1: no transfer under way
    int expected_ = 0;
    int readIndex_ = 0;
    RunState run_ = Off;
};

} // namespace kvt::sim

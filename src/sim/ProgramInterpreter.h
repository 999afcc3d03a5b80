// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/ProgramMemory.h"

#include <QByteArray>
#include <optional>

namespace kvt::sim {

// What a running program acts on and reads: the controller around the interpreter.
class ProgramMachine {
public:
    virtual ~ProgramMachine() = default;
    virtual void switchDriveOn() = 0;
    virtual void runAtSpeed(double speed) = 0; // signed, in the configured unit per second
    virtual void stopMotor() = 0;
    // The state of program input `number` (1 In1, 2 In2, 3 Home1, 4 Home2, 5 Stop); none for a
    // number the controller does not have.
    virtual std::optional<bool> programInput(int number) const = 0;
    // The speed the analog input gives now (the configured scaling of 0..10 V).
    virtual double analogInputSpeed() const = 0;
};

// The controller's program interpreter. It follows the run state of the program memory: a start
// from "off" runs the program from its first record, a pause stops the motor and keeps the place,
// a resume repeats the last speed command. The program ends, and the run state returns to "off",
// after its last record or at a record it does not know.
//
// Records understood (byte 0, operands little-endian):
//   4  first record: switches the drive on
//   6  run at the speed in bytes 1..4 (IEEE-754 single) when byte 9 is 0; at the analog-input
//      speed in the positive (byte 9 = 254) or negative (253) direction
//   10 stop the motor
//   15 label, number in bytes 1..4
//   16 jump to the label numbered in bytes 6..9
//   17 jump to the label numbered in bytes 6..9 if input byte 1 is active (byte 2 = 1) or not
//      active (byte 2 = 2)
//   19 pause for bytes 1..4 milliseconds
//   21 wait until input byte 1 is active (byte 2 = 1) or not active (byte 2 = 0)
class ProgramInterpreter {
public:
    // Records executed at most per millisecond, so a loop without a pause cannot hang the model.
    static constexpr int RecordsPerMs = 100;

    void advance(int ms, ProgramMemory& memory, ProgramMachine& machine);

    int current() const { return current_; } // index of the record being executed

private:
    enum class Step { Next, Wait, End };
    bool runMillisecond(const ProgramMemory& memory, ProgramMachine& machine);
    Step execute(const QByteArray& record, const ProgramMemory& memory, ProgramMachine& machine);
    Step runAt(const QByteArray& record, ProgramMachine& machine);
    std::optional<int> labelIndex(const ProgramMemory& memory, qint32 label) const;

    ProgramMemory::RunState seen_ = ProgramMemory::Off;
    int current_ = 0;
    int pauseLeft_ = 0;
    QByteArray lastSpeedRecord_; // repeated when a paused program resumes
};

} // namespace kvt::sim

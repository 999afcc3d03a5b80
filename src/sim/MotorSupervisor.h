// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/Axis.h"

#include <QtGlobal>
#include <optional>

namespace kvt::sim {

// Faults the drive can be put into (by a test, or by the bench through the simulator's API).
enum class DriveFault { None, Overload, PositionError };

// What the drive's firmware does around the motion generator: it holds a fault until the
// drive is switched on or off again, checks the position with the encoder after each
// positioning move, follows the 0-10 V input in analog speed mode, and reports the motor
// state code that results.
class MotorSupervisor {
public:
    // A fault stops the motor at once; motion commands are refused while it lasts.
    void injectFault(DriveFault fault, Axis& axis);
    void clearFault() { fault_ = DriveFault::None; }
    DriveFault fault() const { return fault_; }
    bool refusesMotion() const { return fault_ != DriveFault::None; }

    // A motion command takes the motor over from the analog input.
    void commanded() { analogDriven_ = false; }

    // Before a step of time: with `analogSpeed` set (analog speed mode active) an idle motor, or
    // one already following the input, runs at that speed; when it is no longer set, a motor
    // that followed the input brakes.
    void beforeStep(Axis& axis, std::optional<double> analogSpeed);
    // After a step of `ms`: a positioning move that has just ended is checked against the
    // encoder when one is configured (the position correction).
    void afterStep(int ms, const Axis& axis, bool encoder);
    // True while the motor is driven by the analog input (the steps must then be short).
    bool analogDriven() const { return analogDriven_; }

    // Motor state code 0..9 of the live status.
    quint8 stateCode(bool driveOn, const Axis& axis) const;

    // Power-on: no fault, nothing pending.
    void reset() { *this = MotorSupervisor(); }

private:
    DriveFault fault_ = DriveFault::None;
    bool analogDriven_ = false;
    double analogTarget_ = 0;
    bool wasPositioning_ = false;
    int correctionMs_ = 0;
};

} // namespace kvt::sim

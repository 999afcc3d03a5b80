// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/MotorSupervisor.h"

#include "sim/LiveStatus.h"

#include <algorithm>

namespace kvt::sim {

namespace {
constexpr int CorrectionMs = 80; // how long the position check after a move takes
} // namespace

void MotorSupervisor::injectFault(DriveFault fault, Axis& axis) {
    fault_ = fault;
    if (fault != DriveFault::None) {
        axis.stop();
        analogDriven_ = false;
        correctionMs_ = 0;
    }
}

void MotorSupervisor::beforeStep(Axis& axis, std::optional<double> analogSpeed) {
    wasPositioning_ = axis.mode() == Axis::Mode::Positioning;
    if (analogSpeed && fault_ == DriveFault::None) {
        const bool follows = analogDriven_ && axis.mode() == Axis::Mode::Speed;
        if (!axis.moving() || follows) {
            if (!follows || *analogSpeed != analogTarget_)
                axis.runAt(*analogSpeed);
            analogDriven_ = true;
            analogTarget_ = *analogSpeed;
        }
    } else if (analogDriven_) {
        analogDriven_ = false;
        axis.brake();
    }
}

void MotorSupervisor::afterStep(int ms, const Axis& axis, bool encoder) {
    if (correctionMs_ > 0)
        correctionMs_ = std::max(0, correctionMs_ - ms);
    if (wasPositioning_ && !axis.moving() && axis.reached() && encoder)
        correctionMs_ = CorrectionMs;
    if (axis.moving())
        correctionMs_ = 0;
}

quint8 MotorSupervisor::stateCode(bool driveOn, const Axis& axis) const {
    if (fault_ == DriveFault::Overload)
        return motor::Overload;
    if (fault_ == DriveFault::PositionError)
        return motor::PositionError;
    if (!driveOn)
        return motor::Off;
    if (analogDriven_)
        return motor::AnalogSpeed;
    Axis::Mode mode = axis.mode();
    if (mode == Axis::Mode::Braking)
        mode = axis.brakingFrom();
    switch (mode) {
    case Axis::Mode::Speed:
        return motor::SpeedMode;
    case Axis::Mode::Positioning:
        return motor::Positioning;
    case Axis::Mode::Homing:
        return motor::Homing;
    case Axis::Mode::Idle:
    case Axis::Mode::Braking:
        break;
    }
    if (correctionMs_ > 0)
        return motor::PositionCorrection;
    return axis.reached() ? motor::PositionReached : motor::On;
}

} // namespace kvt::sim

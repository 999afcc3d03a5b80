// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kvt::sim {

// The motion generator of the controller: position, speed and the current move of the motor
// shaft. Positions are in the configured unit, speeds in unit/s, accelerations in unit/s².
// Every move starts and ends at the minimum (start/stop) speed: the motor jumps between
// standstill and that speed and ramps with the working acceleration above it, as a stepper
// drive does. Time moves only through advance(), in steps of one millisecond.
class Axis {
public:
    // Braking is the decelerating stop that follows a stop command.
    enum class Mode { Idle, Speed, Positioning, Homing, Braking };

    // Working maximum speed and acceleration of the following moves (and of the one under way).
    void setLimits(double maxSpeed, double acceleration);
    double maxSpeed() const { return maxSpeed_; }
    double acceleration() const { return acc_; }
    // The start/stop speed; never above the maximum speed.
    void setMinSpeed(double minSpeed);
    double minSpeed() const;

    // Trapezoid move to an absolute position, or by a distance from the current destination
    // when a positioning move is under way, else from the current position.
    void moveTo(double destination);
    void moveBy(double distance);
    // Speed mode: ramps to `speed` (limited to the maximum speed); 0 ramps down and ends it.
    void runAt(double speed);
    // Homing: runs at `speed` until homeSwitchReached(), or gives up, braking, once
    // `searchDistance` has been travelled without finding the switch.
    void home(double speed, double searchDistance);
    // The switch was found: the motor stops there and that point becomes position 0.
    void homeSwitchReached();
    // Decelerating stop from whatever the motor does; the destination becomes the point where
    // it will stand.
    void brake();
    // Immediate stop (power stage off, fault): speed 0, the destination becomes the position.
    void stop();
    // The current position becomes `position`; so does the destination, except that a
    // positioning move under way keeps its remaining distance.
    void place(double position);

    // Moves the time on by `ms` milliseconds; returns the distance travelled (signed).
    double advance(int ms);

    Mode mode() const { return mode_; }
    // While braking: what the motor was doing when the stop came.
    Mode brakingFrom() const { return brakingFrom_; }
    bool moving() const { return mode_ != Mode::Idle; }
    bool reached() const { return reached_; } // the last positioning or homing ended at its target
    double position() const { return position_; }
    // Where the shaft really is, counted from power-on: neither zeroing nor homing moves it.
    double travel() const { return travel_; }
    void setTravel(double travel) { travel_ = travel; }
    double speed() const { return speed_; }
    double destination() const { return destination_; }
    double moveTime() const { return moveTime_; }
    double accTime() const { return accTime_; }
    double accDistance() const { return accDistance_; }

private:
    void planTimes(double distance);
    void stepPositioning(double dt);
    void stepSpeed(double dt);
    void stepHoming(double dt);
    void stepBraking(double dt);
    void rampTowards(double target, double dt);
    double stepLength(double previousSpeed, double dt) const;
    void moveOn(double previousSpeed, double dt);

    Mode mode_ = Mode::Idle;
    Mode brakingFrom_ = Mode::Idle;
    bool reached_ = false;
    double maxSpeed_ = 5;
    double acc_ = 10;
    double minSpeed_ = 0;
    double position_ = 0;
    double travel_ = 0;
    double speed_ = 0;
    double destination_ = 0;
    double targetSpeed_ = 0;
    double homeTravelled_ = 0;
    double homeSearchDistance_ = 0;
    double moveTime_ = 0;
    double accTime_ = 0;
    double accDistance_ = 0;
};

} // namespace kvt::sim

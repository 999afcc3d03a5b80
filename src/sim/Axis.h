#pragma once

namespace kvt::sim {

// The motion generator of the controller: position, speed and the current move of the motor
// shaft. Positions are in the configured unit, speeds in unit/s, accelerations in unit/s².
// Time moves only through advance(), in steps of one millisecond.
class Axis {
public:
    enum class Mode { Idle, Speed, Positioning, Homing };

    // Working maximum speed and acceleration of the following moves (and of the one under way).
    void setLimits(double maxSpeed, double acceleration);
    double maxSpeed() const { return maxSpeed_; }
    double acceleration() const { return acc_; }

    // Trapezoid move to an absolute position, or by a distance from the current destination
    // when a positioning move is under way, else from the current position.
    void moveTo(double destination);
    void moveBy(double distance);
    // Speed mode: ramps to `speed` (limited to the maximum speed); 0 ramps down and ends it.
    void runAt(double speed);
    // Homing: runs at `speed` until the home switch is found or `switchDistance` has been
    // travelled; the switch position becomes position 0.
    void home(double speed, double switchDistance);
    void homeSwitchReached();
    // Immediate stop: speed 0, the destination becomes the position.
    void stop();
    // The current position becomes `position`; so does the destination, except that a
    // positioning move under way keeps its remaining distance.
    void place(double position);

    // Moves the time on by `ms` milliseconds; returns the distance travelled (signed).
    double advance(int ms);

    Mode mode() const { return mode_; }
    bool moving() const { return mode_ != Mode::Idle; }
    bool reached() const { return reached_; } // the last positioning or homing ended at its target
    double position() const { return position_; }
    double speed() const { return speed_; }
    double destination() const { return destination_; }
    double moveTime() const { return moveTime_; }
    double accTime() const { return accTime_; }
    double accDistance() const { return accDistance_; }

private:
    void stepPositioning(double dt);
    void stepSpeed(double dt);
    void stepHoming(double dt);
    void rampTowards(double target, double dt);

    Mode mode_ = Mode::Idle;
    bool reached_ = false;
    double maxSpeed_ = 5;
    double acc_ = 10;
    double position_ = 0;
    double speed_ = 0;
    double destination_ = 0;
    double targetSpeed_ = 0;
    double homeTravelled_ = 0;
    double homeSwitchDistance_ = 0;
    double moveTime_ = 0;
    double accTime_ = 0;
    double accDistance_ = 0;
};

} // namespace kvt::sim

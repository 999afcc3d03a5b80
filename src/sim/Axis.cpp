#include "sim/Axis.h"

#include <algorithm>
#include <cmath>

namespace kvt::sim {

namespace {
constexpr double Step = 0.001;    // seconds per integration step
constexpr double MinLimit = 1e-4; // smallest working speed and acceleration
} // namespace

void Axis::setLimits(double maxSpeed, double acceleration) {
    maxSpeed_ = std::max(std::abs(maxSpeed), MinLimit);
    acc_ = std::max(std::abs(acceleration), MinLimit);
}

void Axis::moveTo(double destination) {
    destination_ = destination;
    reached_ = false;
    // Timing of the profile from standstill: a trapezoid, or a triangle when the distance is
    // too short to reach the maximum speed.
    const double distance = std::abs(destination - position_);
    accTime_ = maxSpeed_ / acc_;
    accDistance_ = maxSpeed_ * maxSpeed_ / (2 * acc_);
    if (2 * accDistance_ > distance) {
        accTime_ = std::sqrt(distance / acc_);
        accDistance_ = distance / 2;
        moveTime_ = 2 * accTime_;
    } else {
        moveTime_ = 2 * accTime_ + (distance - 2 * accDistance_) / maxSpeed_;
    }
    mode_ = Mode::Positioning;
}

void Axis::moveBy(double distance) {
    moveTo((mode_ == Mode::Positioning ? destination_ : position_) + distance);
}

void Axis::runAt(double speed) {
    targetSpeed_ = std::clamp(speed, -maxSpeed_, maxSpeed_);
    reached_ = false;
    accTime_ = std::abs(targetSpeed_ - speed_) / acc_;
    accDistance_ = std::abs(targetSpeed_ * targetSpeed_ - speed_ * speed_) / (2 * acc_);
    moveTime_ = 0;
    if (targetSpeed_ == 0 && speed_ == 0) {
        mode_ = Mode::Idle;
        return;
    }
    mode_ = Mode::Speed;
}

void Axis::home(double speed, double switchDistance) {
    reached_ = false;
    homeTravelled_ = 0;
    homeSwitchDistance_ = switchDistance;
    targetSpeed_ = std::clamp(speed, -maxSpeed_, maxSpeed_);
    moveTime_ = accTime_ = accDistance_ = 0;
    mode_ = Mode::Homing;
    if (targetSpeed_ == 0)
        homeSwitchReached();
}

void Axis::homeSwitchReached() {
    position_ = destination_ = speed_ = 0;
    mode_ = Mode::Idle;
    reached_ = true;
}

void Axis::stop() {
    speed_ = 0;
    destination_ = position_;
    mode_ = Mode::Idle;
}

void Axis::place(double position) {
    // A move under way keeps its distance to go.
    destination_ = mode_ == Mode::Positioning ? destination_ + (position - position_) : position;
    position_ = position;
}

double Axis::advance(int ms) {
    const double start = position_;
    for (int i = 0; i < ms && mode_ != Mode::Idle; ++i) {
        switch (mode_) {
        case Mode::Positioning:
            stepPositioning(Step);
            break;
        case Mode::Speed:
            stepSpeed(Step);
            break;
        case Mode::Homing:
            stepHoming(Step);
            break;
        case Mode::Idle:
            break;
        }
    }
    return position_ - start;
}

void Axis::rampTowards(double target, double dt) {
    speed_ += std::clamp(target - speed_, -acc_ * dt, acc_ * dt);
}

void Axis::stepPositioning(double dt) {
    const double remaining = destination_ - position_;
    // The fastest speed from which the motor can still stop at the destination.
    const double direction = remaining >= 0 ? 1.0 : -1.0;
    rampTowards(direction * std::min(maxSpeed_, std::sqrt(2 * acc_ * std::abs(remaining))), dt);
    const double step = speed_ * dt;
    const bool arrives = remaining >= 0 ? step >= remaining : step <= remaining;
    if (arrives || std::abs(remaining) < 1e-9) {
        position_ = destination_;
        speed_ = 0;
        mode_ = Mode::Idle;
        reached_ = true;
        return;
    }
    position_ += step;
}

void Axis::stepSpeed(double dt) {
    rampTowards(targetSpeed_, dt);
    position_ += speed_ * dt;
    if (targetSpeed_ == 0 && speed_ == 0)
        mode_ = Mode::Idle;
}

void Axis::stepHoming(double dt) {
    rampTowards(targetSpeed_, dt);
    const double step = speed_ * dt;
    position_ += step;
    homeTravelled_ += std::abs(step);
    if (homeTravelled_ >= homeSwitchDistance_)
        homeSwitchReached();
}

} // namespace kvt::sim

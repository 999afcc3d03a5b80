// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/Axis.h"

#include <algorithm>
#include <cmath>

namespace kvt::sim {

namespace {
constexpr double Step = 0.001;    // seconds per integration step
constexpr double MinLimit = 1e-4; // smallest working speed and acceleration

double sign(double v) {
    return v < 0 ? -1.0 : 1.0;
}
} // namespace

void Axis::setLimits(double maxSpeed, double acceleration) {
    maxSpeed_ = std::max(std::abs(maxSpeed), MinLimit);
    acc_ = std::max(std::abs(acceleration), MinLimit);
}

void Axis::setMinSpeed(double minSpeed) {
    minSpeed_ = std::isfinite(minSpeed) ? std::abs(minSpeed) : 0.0;
}

double Axis::minSpeed() const {
    return std::min(minSpeed_, maxSpeed_);
}

void Axis::planTimes(double distance) {
    // The profile from standstill: start/stop speed, ramp, flat top, symmetric ramp; a triangle
    // when the distance is too short to reach the maximum speed.
    const double d = std::abs(distance);
    const double vmin = minSpeed();
    accTime_ = (maxSpeed_ - vmin) / acc_;
    accDistance_ = (maxSpeed_ * maxSpeed_ - vmin * vmin) / (2 * acc_);
    if (d == 0) {
        moveTime_ = accTime_ = accDistance_ = 0;
    } else if (2 * accDistance_ > d) {
        const double peak = std::sqrt(vmin * vmin + acc_ * d);
        accTime_ = (peak - vmin) / acc_;
        accDistance_ = d / 2;
        moveTime_ = 2 * accTime_;
    } else {
        moveTime_ = 2 * accTime_ + (d - 2 * accDistance_) / maxSpeed_;
    }
}

void Axis::moveTo(double destination) {
    destination_ = destination;
    reached_ = false;
    planTimes(destination - position_);
    mode_ = Mode::Positioning;
}

void Axis::moveBy(double distance) {
    moveTo((mode_ == Mode::Positioning ? destination_ : position_) + distance);
}

void Axis::runAt(double speed) {
    targetSpeed_ = std::clamp(speed, -maxSpeed_, maxSpeed_);
    reached_ = false;
    const double from = targetSpeed_ == 0 ? std::abs(speed_) : std::max(std::abs(speed_), minSpeed());
    const double to = std::abs(targetSpeed_);
    accTime_ = std::abs(to - from) / acc_;
    accDistance_ = std::abs(to * to - from * from) / (2 * acc_);
    moveTime_ = 0;
    if (targetSpeed_ == 0 && speed_ == 0) {
        mode_ = Mode::Idle;
        return;
    }
    mode_ = Mode::Speed;
}

void Axis::home(double speed, double searchDistance) {
    reached_ = false;
    homeTravelled_ = 0;
    homeSearchDistance_ = searchDistance;
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

void Axis::brake() {
    if (mode_ == Mode::Idle || mode_ == Mode::Braking)
        return;
    reached_ = false;
    const double v = std::abs(speed_);
    const double vmin = minSpeed();
    if (v <= vmin) {
        stop();
        return;
    }
    brakingFrom_ = mode_;
    accTime_ = moveTime_ = (v - vmin) / acc_;
    accDistance_ = (v * v - vmin * vmin) / (2 * acc_);
    destination_ = position_ + sign(speed_) * accDistance_;
    mode_ = Mode::Braking;
}

void Axis::stop() {
    speed_ = 0;
    destination_ = position_;
    mode_ = Mode::Idle;
    reached_ = false;
}

void Axis::place(double position) {
    // A move under way keeps its distance to go.
    const bool keepsDistance = mode_ == Mode::Positioning || mode_ == Mode::Braking;
    destination_ = keepsDistance ? destination_ + (position - position_) : position;
    position_ = position;
}

double Axis::advance(int ms) {
    const double start = travel_;
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
        case Mode::Braking:
            stepBraking(Step);
            break;
        case Mode::Idle:
            break;
        }
    }
    return travel_ - start;
}

void Axis::rampTowards(double target, double dt) {
    const double vmin = minSpeed();
    const bool belowStartSpeed = std::abs(speed_) <= vmin;
    if (target == 0 && belowStartSpeed) {
        speed_ = 0; // from the start/stop speed the motor stops at once
    } else if (target != 0 && belowStartSpeed && (speed_ == 0 || sign(speed_) != sign(target))) {
        speed_ = sign(target) * std::min(vmin, std::abs(target)); // and starts at once
        if (speed_ == 0)
            speed_ += std::clamp(target, -acc_ * dt, acc_ * dt);
    } else {
        speed_ += std::clamp(target - speed_, -acc_ * dt, acc_ * dt);
    }
}

double Axis::stepLength(double previousSpeed, double dt) const {
    // A jump to or from the start/stop speed runs the whole step at the new speed; a ramp runs
    // it at the mean speed.
    const bool jumped = std::abs(speed_ - previousSpeed) > acc_ * dt * (1 + 1e-9);
    return (jumped ? speed_ : (previousSpeed + speed_) / 2) * dt;
}

void Axis::moveOn(double previousSpeed, double dt) {
    const double step = stepLength(previousSpeed, dt);
    position_ += step;
    travel_ += step;
}

void Axis::stepPositioning(double dt) {
    const double remaining = destination_ - position_;
    const double direction = sign(remaining);
    const double vmin = minSpeed();
    // The fastest speed at the end of this step from which the motor can still slow down to the
    // start/stop speed at the destination: v² = vmin² + 2a (|remaining| - step), with the step
    // run at the mean of the speeds at its start and end.
    const double ad = acc_ * dt;
    const double along = direction * speed_;
    const double reserve = vmin * vmin + 2 * acc_ * std::abs(remaining) - ad * along;
    const double reachable = reserve > 0 ? (-ad + std::sqrt(ad * ad + 4 * reserve)) / 2 : 0.0;
    const double previous = speed_;
    rampTowards(direction * std::min(maxSpeed_, std::max(reachable, vmin)), dt);
    const double step = stepLength(previous, dt);
    const bool arrives = remaining >= 0 ? step >= remaining : step <= remaining;
    if (arrives || std::abs(remaining) < 1e-9) {
        travel_ += remaining;
        position_ = destination_;
        speed_ = 0;
        mode_ = Mode::Idle;
        reached_ = true;
        return;
    }
    position_ += step;
    travel_ += step;
}

void Axis::stepSpeed(double dt) {
    const double previous = speed_;
    rampTowards(targetSpeed_, dt);
    moveOn(previous, dt);
    if (targetSpeed_ == 0 && speed_ == 0)
        mode_ = Mode::Idle;
}

void Axis::stepHoming(double dt) {
    const double previous = speed_;
    rampTowards(targetSpeed_, dt);
    const double before = travel_;
    moveOn(previous, dt);
    homeTravelled_ += std::abs(travel_ - before);
    if (homeTravelled_ >= homeSearchDistance_)
        brake(); // no switch within reach: give up
}

void Axis::stepBraking(double dt) {
    const double previous = speed_;
    rampTowards(0, dt);
    moveOn(previous, dt);
    if (speed_ == 0) {
        destination_ = position_;
        mode_ = Mode::Idle;
    }
}

} // namespace kvt::sim

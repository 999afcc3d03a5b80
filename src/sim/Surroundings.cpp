// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/Surroundings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvt::sim {

namespace {
constexpr double IdleCelsius = 35.0;
constexpr double DriveOnHeat = 6.0; // degrees the drive gains while it is on
constexpr double HeatTimeConstantS = 120.0;
constexpr double TemperatureWander = 0.6; // degrees
constexpr double TemperaturePeriodS = 17.0;
constexpr double NominalSupplyMv = 24000.0;
constexpr double RippleMv = 120.0;
constexpr double RipplePeriodS = 7.0;
constexpr double FullLoadSagMv = 250.0;

double wave(qint64 ms, double periodS) {
    return std::sin(2 * std::numbers::pi * double(ms) / (periodS * 1000.0));
}
} // namespace

void Surroundings::advance(int ms, bool driveOn, double load) {
    elapsedMs_ += ms;
    const double target = driveOn ? DriveOnHeat : 0.0;
    heat_ += (target - heat_) * (1.0 - std::exp(-ms / (HeatTimeConstantS * 1000.0)));
    load_ = std::clamp(load, 0.0, 1.0);
}

qint32 Surroundings::temperatureRaw() const {
    if (temperature_)
        return *temperature_ + 25;
    return qint32(
               std::lround(IdleCelsius + heat_ + TemperatureWander * wave(elapsedMs_, TemperaturePeriodS))) +
           25;
}

quint32 Surroundings::supplyMv() const {
    if (supply_)
        return *supply_;
    return quint32(
        std::lround(NominalSupplyMv + RippleMv * wave(elapsedMs_, RipplePeriodS) - FullLoadSagMv * load_));
}

} // namespace kvt::sim

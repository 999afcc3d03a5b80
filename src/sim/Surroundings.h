// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <optional>

namespace kvt::sim {

// What the controller senses around the motor: the Home1 switch along the shaft's travel, the
// drive's temperature and its supply voltage.
//
// A reading set explicitly stays exactly at that value, so a test sees what it set. A reading
// never set drifts a little as time passes, as on a bench: the supply ripples around 24 V and
// sags while the motor runs fast; the temperature wanders around 35 °C and rises a few degrees
// while the drive is on.
class Surroundings {
public:
    void setTemperature(int celsius) { temperature_ = celsius; }
    void setSupplyMv(quint32 millivolts) { supply_ = millivolts; }

    // `load` is the motor's speed as a fraction of its working maximum (0..1).
    void advance(int ms, bool driveOn, double load);

    qint32 temperatureRaw() const; // degrees Celsius plus 25
    quint32 supplyMv() const;

    // The Home1 switch is active while the shaft stands below `travel` (Axis::travel()); the
    // default puts it one unit below the power-on position.
    void setHome1At(double travel) { home1At_ = travel; }
    double home1At() const { return home1At_; }
    bool home1Active(double travel) const { return travel < home1At_; }
    // Whether a step from `from` to `to` passed the switch's edge, in either direction.
    bool home1Crossed(double from, double to) const { return home1Active(from) != home1Active(to); }

private:
    std::optional<int> temperature_;
    std::optional<quint32> supply_;
    qint64 elapsedMs_ = 0;
    double heat_ = 0; // degrees above the idle temperature
    double load_ = 0;
    double home1At_ = -1.0;
};

} // namespace kvt::sim

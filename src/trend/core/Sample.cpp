// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/Sample.h"

namespace kvt::trend {

double channelValue(const control::LiveStatus& s, Channel channel) {
    switch (channel) {
    case Channel::Position:
        return s.position;
    case Channel::Speed:
        return s.speed;
    case Channel::Destination:
        return s.destination;
    case Channel::MotorState:
        return s.motorState;
    case Channel::Temperature:
        return double(s.temperatureRaw) - 25.0;
    case Channel::SupplyVoltage:
        return s.supplyMv * 0.001;
    case Channel::AnalogInput:
        return s.analogMv * 0.001;
    case Channel::EncoderCount:
        return s.encoderCount;
    default:
        return (s.ioFlags >> bitOf(channel)) & 1;
    }
}

QString channelId(Channel channel) {
    static const std::array<const char*, ChannelCount> Ids{
        "position", "speed",    "destination", "state", "temperature", "supply", "analog_input", "encoder",
        "run",      "stop_in3", "in1",         "in2",   "home1",       "home2",  "out1",         "out2"};
    return QString::fromLatin1(Ids[channelIndex(channel)]);
}

} // namespace kvt::trend

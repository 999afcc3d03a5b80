// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control/core/LiveStatus.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace kvt::trend {

// One live status as it arrived: the host's monotonic time of arrival, in nanoseconds from the
// start of the run, and what the controller reported.
struct Sample {
    qint64 timeNs = 0;
    control::LiveStatus status;
};

// The quantities a trend can show, each a number per sample.
enum class Channel {
    Position,
    Speed,
    Destination,
    MotorState,
    Temperature,   // degrees Celsius (the reported value less 25)
    SupplyVoltage, // volts
    AnalogInput,   // volts
    EncoderCount,  // pulses
    Run,           // the eight input/output bits, 0 or 1
    StopIn3,
    In1,
    In2,
    Home1,
    Home2,
    Out1,
    Out2,
};
inline constexpr int ChannelCount = 16;

constexpr int channelIndex(Channel c) {
    return static_cast<int>(c);
}
constexpr Channel channelAt(int index) {
    return static_cast<Channel>(index);
}
constexpr bool isBit(Channel c) {
    return channelIndex(c) >= channelIndex(Channel::Run);
}
// The bit of the live status' input/output byte that a logic channel shows (0 Run .. 7 Out2).
constexpr int bitOf(Channel c) {
    return channelIndex(c) - channelIndex(Channel::Run);
}

// The value of `channel` in one live status.
double channelValue(const control::LiveStatus& status, Channel channel);

// Stable English identifier of a channel ("position", "out2"), used in files and settings.
QString channelId(Channel channel);

} // namespace kvt::trend

// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/ChannelStyle.h"

#include <array>

namespace kvt::trend {

const ChannelStyle& styleOf(Channel channel) {
    static const std::array<ChannelStyle, ChannelCount> Styles{{
        {"TREND_CH_POSITION", nullptr, QColor(0x1F, 0x5F, 0xB4), Scale::Position, false, true},
        {"TREND_CH_SPEED", nullptr, QColor(0xE8, 0x6A, 0x0A), Scale::Speed, false, true},
        {"TREND_CH_DESTINATION", nullptr, QColor(0x2C, 0xA0, 0x2C), Scale::Position, false, true},
        {"TREND_CH_STATE", nullptr, QColor(0x94, 0x67, 0xBD), Scale::Own, true, true},
        {"TREND_CH_TEMPERATURE", nullptr, QColor(0xD6, 0x27, 0x28), Scale::Own, false, false},
        {"TREND_CH_SUPPLY", nullptr, QColor(0x8C, 0x56, 0x4B), Scale::Own, false, false},
        {"TREND_CH_ANALOG", nullptr, QColor(0xE3, 0x77, 0xC2), Scale::Own, false, false},
        {"TREND_CH_ENCODER", nullptr, QColor(0x7F, 0x7F, 0x7F), Scale::Own, false, false},
        {nullptr, "Run", QColor(0x17, 0xBE, 0xCF), Scale::Logic, true, false},
        {nullptr, "Stop/In3", QColor(0xBC, 0xBD, 0x22), Scale::Logic, true, false},
        {nullptr, "In1", QColor(0x00, 0x80, 0x80), Scale::Logic, true, false},
        {nullptr, "In2", QColor(0x80, 0x80, 0x00), Scale::Logic, true, false},
        {nullptr, "Home1", QColor(0x6B, 0x8E, 0x23), Scale::Logic, true, false},
        {nullptr, "Home2", QColor(0x46, 0x82, 0xB4), Scale::Logic, true, false},
        {nullptr, "Out1", QColor(0xC7, 0x15, 0x85), Scale::Logic, true, false},
        {nullptr, "Out2", QColor(0x8B, 0x45, 0x13), Scale::Logic, true, false},
    }};
    return Styles[size_t(channelIndex(channel))];
}

} // namespace kvt::trend

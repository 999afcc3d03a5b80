// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/Sample.h"

#include <QColor>
#include <QString>

namespace kvt::trend {

// Where a channel is drawn against: the position scale on the left, the speed scale on the
// right, a scale of its own fitted to the plot's height (its values read with the cursor), or a
// lane of the logic traces along the bottom.
enum class Scale { Position, Speed, Own, Logic };

// How the trend window shows one channel.
struct ChannelStyle {
    const char* textKey;   // key of its name in the main window's texts; null: `fixedName`
    const char* fixedName; // names that read the same in both languages (input and output names)
    QColor color;
    Scale scale;
    bool steps;          // a value holds until the next (motor state, logic traces)
    bool shownByDefault; // shown when no choice has been saved
};

const ChannelStyle& styleOf(Channel channel);

} // namespace kvt::trend

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kvt::uhid {

// The report descriptor a controller presents: one vendor-defined application collection with
// report ID 1, an input report of `inputBytes` and an output report of `outputBytes` data bytes
// (the report-ID byte not counted). A real controller has 64 of each, which the host sees as
// 65-byte reports.
QByteArray controllerDescriptor(int inputBytes = 64, int outputBytes = 64);

// One line of the control input of the virtual controller ("unplug 1", "plug 2", "mute 1",
// "unmute 1", "count 1", "quit"): the verb and the device number (1 for the first model named on
// the command line). Nothing for a line that is not one of them.
struct ControlLine {
    enum class Verb { Unplug, Plug, Mute, Unmute, Count, Quit };
    Verb verb = Verb::Quit;
    int device = 0; // 0: every device (for quit, or a verb given without a number)
};
std::optional<ControlLine> parseControlLine(const QString& line);

} // namespace kvt::uhid

#pragma once

#include <QtGlobal>
#include <array>

namespace kvt::program {

// One command of a motion program: byte 0 is the command code, bytes 1..9 its operands.
using CommandRecord = std::array<quint8, 10>;

} // namespace kvt::program

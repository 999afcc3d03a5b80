// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Running the controller's program and setting its user registers R50..R96.
namespace kvt::program {

// Run state reported by response 31.
enum class RunState : quint8 { Off = 0, Running = 1, Paused = 3 };
// The run state in byte 1, or nothing for a value the display does not know.
std::optional<RunState> decodeRunState(const ByteReader& response);

// Commands 31 (ask for the run state), 156 (start), 157 (stop), 158 (pause).
QByteArray encodeRunStateRequest();
QByteArray encodeStart();
QByteArray encodeStop();
QByteArray encodePause();

// Highest register a value can be sent to.
constexpr int LastSettableRegister = 98;

// The single a typed register value is sent as; none for a value a single cannot hold (it would
// go out as an infinity).
std::optional<float> registerValue(double typed);

// Command 234: `value` into the register pair n, n+1, in the register wire order (low half
// first, each half high byte first) with the byte offset (n - 50) * 2 taken modulo 256. Nothing
// for a register above LastSettableRegister.
std::optional<QByteArray> encodeSetRegister(int n, float value);

// Command 235: keep the user registers in non-volatile memory.
QByteArray encodeSaveRegisters();

} // namespace kvt::program

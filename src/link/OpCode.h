// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Operation codes of the controller's HID protocol: the first data byte of every command and
// response. Where the controller answers a command with a response of the same code, one name
// serves both directions.
namespace kvt::op {

// One enumeration of every code; unscoped so that a code is written by name and still reads and
// writes as the byte it is.
enum Code : quint8 {

    // Queries
    ProgramRunState = 31, // command: ask for the run state; response: the run state
    LiveStatus = 97,
    Configuration = 99,
    Identity = 100,

    // Motion
    GoTo = 131,
    RunAtSpeed = 132,
    MoveBy = 135,
    SetOutputs = 149,
    SimulateInputs = 150,
    DriveOn = 151,
    DriveOff = 152,
    Stop = 157,
    Home = 162,
    ZeroPosition = 217,
    SetMotionParams = 224,

    // Configuration
    FactoryReset = 221,
    SetModbusLink = 222,
    WriteConfiguration = 236,

    // Program transfer and execution
    ProgramReadLength = 103, // command: start a read-back; response: stored length
    ProgramReadNext = 104,   // command: next record; response: index and record
    ProgramStart = 156,
    ProgramPause = 158,
    ProgramBegin = 229,  // command: program length, starts a transfer
    ProgramRecord = 230, // command: one record; response: request for an index

    // Registers and Modbus preview
    ReadRegisters = 106,
    ModbusPreview = 216,
    SetRegister = 234,
    SaveRegisters = 235,

    // Encoder test
    EncoderTest = 219,

    // Responses the controller sends without a command of the same code
    EncoderModeReport = 35,
    HomingOptionsReport = 86,
    ModbusFrame = 87,
    EncoderCount = 90,
    EncoderResult = 91,
    Stopped = 153, // the Stop input halted the motor
    MotionConfigSaved = 214,
    EncoderSettingsSaved = 220,
    DefaultsSaved = 223,
    DriveParamsSaved = 226,

};

// True for every code the host's dispatcher handles as a response.
constexpr bool isResponseCode(quint8 code) {
    switch (code) {
    case ProgramRunState:
    case EncoderModeReport:
    case HomingOptionsReport:
    case ModbusFrame:
    case EncoderCount:
    case EncoderResult:
    case LiveStatus:
    case Configuration:
    case Identity:
    case ProgramReadLength:
    case ProgramReadNext:
    case ReadRegisters:
    case ProgramRecord:
    case DriveOn:
    case DriveOff:
    case Stopped:
    case Home:
    case MotionConfigSaved:
    case EncoderSettingsSaved:
    case FactoryReset:
    case SetModbusLink:
    case DefaultsSaved:
    case SetMotionParams:
    case DriveParamsSaved:
    case SetRegister:
    case SaveRegisters:
    case WriteConfiguration:
        return true;
    default:
        return false;
    }
}

} // namespace kvt::op

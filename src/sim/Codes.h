#pragma once

#include <QtGlobal>

// Operation codes of the controller's HID protocol: the first data byte of every command and
// response. Where the controller answers a command with a response of the same code, one name
// serves both directions.
namespace kvt::sim::op {

// Queries
constexpr quint8 ProgramRunState = 31; // command: ask for the run state; response: the run state
constexpr quint8 LiveStatus = 97;
constexpr quint8 Configuration = 99;
constexpr quint8 Identity = 100;

// Motion
constexpr quint8 GoTo = 131;
constexpr quint8 RunAtSpeed = 132;
constexpr quint8 MoveBy = 135;
constexpr quint8 SetOutputs = 149;
constexpr quint8 SimulateInputs = 150;
constexpr quint8 DriveOn = 151;
constexpr quint8 DriveOff = 152;
constexpr quint8 Stop = 157;
constexpr quint8 Home = 162;
constexpr quint8 ZeroPosition = 217;
constexpr quint8 SetMotionParams = 224;

// Configuration
constexpr quint8 FactoryReset = 221;
constexpr quint8 SetModbusLink = 222;
constexpr quint8 WriteConfiguration = 236;

// Program transfer and execution
constexpr quint8 ProgramReadLength = 103; // command: start a read-back; response: stored length
constexpr quint8 ProgramReadNext = 104;   // command: next record; response: index and record
constexpr quint8 ProgramStart = 156;
constexpr quint8 ProgramPause = 158;
constexpr quint8 ProgramBegin = 229;  // command: program length, starts a transfer
constexpr quint8 ProgramRecord = 230; // command: one record; response: request for an index

// Registers and Modbus preview
constexpr quint8 ReadRegisters = 106;
constexpr quint8 ModbusPreview = 216;
constexpr quint8 SetRegister = 234;
constexpr quint8 SaveRegisters = 235;

// Encoder test
constexpr quint8 EncoderTest = 219;

// Responses the controller sends without a command of the same code
constexpr quint8 EncoderModeReport = 35;
constexpr quint8 HomingOptionsReport = 86;
constexpr quint8 ModbusFrame = 87;
constexpr quint8 EncoderCount = 90;
constexpr quint8 EncoderResult = 91;
constexpr quint8 Stopped = 153; // the Stop input halted the motor
constexpr quint8 MotionConfigSaved = 214;
constexpr quint8 EncoderSettingsSaved = 220;
constexpr quint8 DefaultsSaved = 223;
constexpr quint8 DriveParamsSaved = 226;

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

} // namespace kvt::sim::op

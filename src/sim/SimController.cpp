// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimController.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvt::sim {

namespace {

constexpr double HomingSearchDistance = 100.0; // homing gives up after this travel without the switch
constexpr int RegisterPreviewPeriodMs = 1000;
constexpr int MaxFrameBytes = 62; // what fits into one input report after the code and count

QByteArray ack(quint8 code) {
    return QByteArray(1, static_cast<char>(code));
}

} // namespace

SimController::SimController(const QString& model, float firmware, const QString& deviceText)
    : model_(model), deviceText_(deviceText), config_(factoryConfig(model, firmware)) {
    resetMotionLimits();
}

std::unique_lock<std::recursive_mutex> SimController::guard() const {
    return lock_ ? std::unique_lock<std::recursive_mutex>(*lock_) : std::unique_lock<std::recursive_mutex>();
}

QList<QByteArray> SimController::handle(const QByteArray& c) {
    const auto lock = guard();
    if (c.isEmpty())
        return {};
    const quint8 code = bytes::u8(c, 0);
    switch (code) {
    case op::Identity:
        return {encodeIdentity(config_.firmware, deviceText_)};
    case op::Configuration:
        return {encodeConfigReport(config_)};
    case op::LiveStatus:
        return {encodeLiveStatus(liveState())};
    case op::WriteConfiguration:
        applyConfigWrite(config_, c, model_);
        resetMotionLimits();
        return {ack(code)};
    case op::FactoryReset:
        config_ = factoryConfig(model_, config_.firmware);
        resetMotionLimits();
        return {ack(code)};
    case op::SetModbusLink:
        applyModbusLink(config_, c);
        return {ack(code)};
    case op::SetMotionParams: {
        const float speed = bytes::f32le(c, 5);
        const float acc = bytes::f32le(c, 9);
        axis_.setLimits(std::isnan(speed) ? axis_.maxSpeed() : std::clamp(speed, 1e-4f, 1e6f),
                        std::isnan(acc) ? axis_.acceleration() : std::clamp(acc, 1e-4f, 1e6f));
        return {ack(code)};
    }
    case op::DriveOn:
        driveOn_ = true;
        supervisor_.clearFault();
        return {ack(code)};
    case op::DriveOff:
        driveOn_ = false;
        supervisor_.clearFault();
        supervisor_.commanded();
        axis_.stop();
        return {ack(code)};
    case op::Stop:
        supervisor_.commanded();
        axis_.brake();
        program_.stop();
        return {};
    case op::ZeroPosition:
        axis_.place(0);
        return {};
    case op::GoTo:
    case op::MoveBy:
    case op::RunAtSpeed:
    case op::Home:
        return motion(code, bytes::f32le(c, 1));
    case op::SetOutputs:
        env_.outputs = bytes::u8(c, 1) & io::OutputMask;
        return {};
    case op::SimulateInputs:
        return applyInputs(bytes::u8(c, 1));
    case op::ProgramBegin:
        return program_.begin(c);
    case op::ProgramRecord:
        return program_.receive(c);
    case op::ProgramReadLength:
        return {program_.readLength()};
    case op::ProgramReadNext:
        return {program_.readNext()};
    case op::ProgramStart:
        // A KVT318 set to start its program by the START input ignores the command.
        if (!(model_ == QLatin1String("KVT318") && config_.startStopMode))
            program_.start();
        return {};
    case op::ProgramPause:
        program_.pause();
        return {};
    case op::ProgramRunState:
        return {program_.runStateReport()};
    case op::SetRegister:
        return registers_.set(c) ? QList<QByteArray>{ack(code)} : QList<QByteArray>{};
    case op::SaveRegisters:
        registers_.save();
        return {ack(code)};
    case op::ReadRegisters:
        return registers_.report();
    case op::ModbusPreview:
        if (bytes::u8(c, 1) <= 2) {
            previewMode_ = bytes::u8(c, 1);
            previewElapsed_ = 0;
        }
        return {};
    case op::EncoderTest:
        if (config_.encoderMode == 0)
            encoderTest_.start(0, EncoderTest::NoSignal);
        else
            encoderTest_.start(encoderPulses_ > 0 ? encoderPulses_ : config_.encoderResol, encoderWiring_);
        return {};
    default:
        return {};
    }
}

QList<QByteArray> SimController::motion(quint8 code, float value) {
    if (!driveOn_ || supervisor_.refusesMotion() || !std::isfinite(value))
        return {};
    supervisor_.commanded();
    switch (code) {
    case op::GoTo:
        axis_.moveTo(value);
        return {};
    case op::MoveBy:
        axis_.moveBy(value);
        return {};
    case op::RunAtSpeed:
        axis_.runAt(value);
        return {};
    case op::Home:
        axis_.home(value, HomingSearchDistance);
        return {ack(code)};
    default:
        return {};
    }
}

QList<QByteArray> SimController::applyInputs(quint8 inputs) {
    QList<QByteArray> out;
    const quint8 now = inputs & io::InputMask;
    const quint8 rising = now & ~env_.inputs;
    const quint8 falling = env_.inputs & ~now;
    env_.inputs = now;
    // The Stop input halts the motor and the program (on the PXA-KVT that input is In3).
    if ((rising & io::StopIn) && model_ != QLatin1String("PXA-KVT")) {
        supervisor_.commanded();
        axis_.brake();
        program_.stop();
        out.append(ack(op::Stopped));
    }
    if (config_.startStopMode) {
        if (rising & io::Run)
            program_.start();
        if (falling & io::Run)
            program_.stop();
    }
    return out;
}

void SimController::advance(int ms) {
    const auto lock = guard();
    // While the motor moves or a program runs, time goes in 1 ms steps so the inputs are seen in
    // time.
    while (ms > 0) {
        const bool running = program_.runState() == ProgramMemory::Running;
        const int step = axis_.moving() || analogSpeed() || running ? 1 : ms;
        tick(step);
        ms -= step;
    }
}

void SimController::tick(int ms) {
    interpreter_.advance(ms, program_, *this);
    if (axis_.mode() == Axis::Mode::Homing && (env_.inputs & (io::Home1 | io::Home2)))
        axis_.homeSwitchReached();
    supervisor_.beforeStep(axis_, analogSpeed());
    const bool homing = axis_.mode() == Axis::Mode::Homing;
    const double from = axis_.travel();
    encoderTurns_ += axis_.advance(ms) / unitsPerRevolution();
    if (homing && axis_.mode() == Axis::Mode::Homing && surroundings_.home1Crossed(from, axis_.travel())) {
        // The switch's edge is the home position.
        encoderTurns_ += (surroundings_.home1At() - axis_.travel()) / unitsPerRevolution();
        axis_.setTravel(surroundings_.home1At());
        axis_.homeSwitchReached();
    }
    supervisor_.afterStep(ms, axis_, config_.encoderMode != 0);
    surroundings_.advance(ms, driveOn_, std::abs(axis_.speed()) / axis_.maxSpeed());
    outbox_.append(encoderTest_.advance(ms));
    for (const QByteArray& frame : busMaster_.advance(ms, config_.address))
        receiveModbusFrame(frame);
    if (previewMode_ == 2) {
        for (previewElapsed_ += ms; previewElapsed_ >= RegisterPreviewPeriodMs;
             previewElapsed_ -= RegisterPreviewPeriodMs)
            outbox_.append(registers_.report());
    }
}

QList<QByteArray> SimController::takeUnsolicited() {
    const auto lock = guard();
    return std::exchange(outbox_, {});
}

void SimController::powerCycle() {
    const auto lock = guard();
    const double position = config_.positionMem ? axis_.position() : 0.0;
    const double travel = axis_.travel();
    axis_ = Axis();
    axis_.place(position);
    axis_.setTravel(travel); // the shaft stays where it is
    supervisor_.reset();
    resetMotionLimits();
    driveOn_ = false;
    env_.inputs = 0;
    env_.outputs = 0;
    encoderTurns_ = 0;
    encoderTest_.cancel();
    program_.powerCycle();
    registers_.restore();
    previewMode_ = 0;
    previewElapsed_ = 0;
    outbox_.clear();
}

void SimController::resetMotionLimits() {
    axis_.setLimits(config_.defMaxVel, config_.defAcc);
    axis_.setMinSpeed(config_.defMinVel);
}

// In analog speed mode (analog input set to speed) the Run input lets the motor follow the
// 0-10 V input: 0 V gives the analog minimum, 10 V the analog maximum.
std::optional<double> SimController::analogSpeed() const {
    if (config_.ainMode != 1 || !driveOn_ || !(env_.inputs & io::Run))
        return std::nullopt;
    return analogInputValue();
}

double SimController::analogInputValue() const {
    const double fraction = std::min(env_.analogMv, 10000u) / 10000.0;
    const double speed = config_.ainMinVal + fraction * (config_.ainMaxVal - config_.ainMinVal);
    return std::isfinite(speed) ? speed : 0.0;
}

double SimController::unitsPerRevolution() const {
    const double coef = config_.revToLinCoef;
    return config_.units == 0 || coef == 0 || !std::isfinite(coef) ? 1.0 : coef;
}

LiveState SimController::liveState() const {
    const auto lock = guard();
    LiveState s = env_;
    s.position = static_cast<float>(axis_.position());
    s.speed = static_cast<float>(axis_.speed());
    s.destination = static_cast<float>(axis_.destination());
    s.moveTime = static_cast<float>(axis_.moveTime());
    s.accTime = static_cast<float>(axis_.accTime());
    s.accDistance = static_cast<float>(axis_.accDistance());
    s.motorState = supervisor_.stateCode(driveOn_, axis_);
    s.temperatureRaw = surroundings_.temperatureRaw();
    s.supplyMv = surroundings_.supplyMv();
    s.inputs = inputs();
    if (config_.encoderMode != 0) {
        constexpr double Lowest = std::numeric_limits<qint32>::min();
        constexpr double Highest = std::numeric_limits<qint32>::max();
        s.encoderCount = static_cast<qint32>(
            std::clamp(std::round(encoderTurns_ * config_.encoderResol), Lowest, Highest));
    }
    return s;
}

QString SimController::model() const {
    return model_;
}

ConfigRecord SimController::config() const {
    const auto lock = guard();
    return config_;
}

bool SimController::driveOn() const {
    const auto lock = guard();
    return driveOn_;
}

double SimController::maxSpeed() const {
    const auto lock = guard();
    return axis_.maxSpeed();
}

double SimController::acceleration() const {
    const auto lock = guard();
    return axis_.acceleration();
}

ProgramMemory::RunState SimController::programRunState() const {
    const auto lock = guard();
    return program_.runState();
}

int SimController::programLength() const {
    const auto lock = guard();
    return program_.length();
}

QByteArray SimController::programRecord(int index) const {
    const auto lock = guard();
    return program_.record(index);
}

quint32 SimController::registerPair(int n) const {
    const auto lock = guard();
    return registers_.pair(n);
}

int SimController::modbusPreviewMode() const {
    const auto lock = guard();
    return previewMode_;
}

void SimController::setTemperature(int celsius) {
    const auto lock = guard();
    surroundings_.setTemperature(celsius);
}

void SimController::setSupplyMv(quint32 millivolts) {
    const auto lock = guard();
    surroundings_.setSupplyMv(millivolts);
}

void SimController::setHome1Position(double position) {
    const auto lock = guard();
    surroundings_.setHome1At(position);
}

void SimController::injectFault(DriveFault fault) {
    const auto lock = guard();
    supervisor_.injectFault(fault, axis_);
}

DriveFault SimController::fault() const {
    const auto lock = guard();
    return supervisor_.fault();
}

void SimController::setAnalogMv(quint32 millivolts) {
    const auto lock = guard();
    env_.analogMv = millivolts;
}

void SimController::setEncoderWiring(quint8 verdict) {
    const auto lock = guard();
    encoderWiring_ = verdict;
}

void SimController::setEncoderResolution(qint32 pulses) {
    const auto lock = guard();
    encoderPulses_ = std::max(pulses, 0);
}

void SimController::setEndSensors(const EndSensors& sensors) {
    const auto lock = guard();
    sensors_ = sensors;
    if (sensors.fitted)
        surroundings_.setHome1At(sensors.home1);
}

quint8 SimController::inputs() const {
    const auto lock = guard();
    quint8 bits = env_.inputs;
    if (surroundings_.home1Active(axis_.travel()))
        bits |= io::Home1;
    if (sensors_.home2Active(axis_.travel()))
        bits |= io::Home2;
    return bits;
}

void SimController::switchDriveOn() {
    if (!driveOn_)
        supervisor_.clearFault();
    driveOn_ = true;
}

void SimController::runAtSpeed(double speed) {
    if (!driveOn_ || supervisor_.refusesMotion() || !std::isfinite(speed))
        return;
    supervisor_.commanded();
    axis_.runAt(speed);
}

void SimController::stopMotor() {
    if (axis_.moving())
        axis_.brake();
}

std::optional<bool> SimController::programInput(int number) const {
    static constexpr quint8 Bits[] = {io::In1, io::In2, io::Home1, io::Home2, io::StopIn};
    if (number < 1 || number > 5)
        return std::nullopt;
    return (inputs() & Bits[number - 1]) != 0;
}

double SimController::analogInputSpeed() const {
    return analogInputValue();
}

void SimController::receiveModbusFrame(const QByteArray& frame) {
    const auto lock = guard();
    if (previewMode_ != 1)
        return;
    const QByteArray bytesSeen = frame.left(MaxFrameBytes);
    QByteArray b(2, '\0');
    bytes::putU8(b, 0, op::ModbusFrame);
    bytes::putU8(b, 1, static_cast<quint8>(bytesSeen.size()));
    b.append(bytesSeen);
    outbox_.append(b);
}

void SimController::setConfig(const ConfigRecord& record) {
    const auto lock = guard();
    ConfigRecord next = record;
    next.address = config_.address;
    next.baudrate = config_.baudrate;
    next.firmware = config_.firmware;
    config_ = next;
    resetMotionLimits();
}

void SimController::reportEncoderMode() {
    const auto lock = guard();
    outbox_.append(encodeEncoderModeReport(config_));
}

void SimController::reportHomingOptions() {
    const auto lock = guard();
    outbox_.append(encodeHomingOptionsReport(config_));
}

} // namespace kvt::sim

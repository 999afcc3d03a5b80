// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/ConfigRecord.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kvt::sim {

namespace {

constexpr std::array CodesTo128 = {2, 8, 10, 16, 20, 32, 40, 64, 128};
constexpr std::array CodesTo64 = {2, 8, 10, 16, 20, 32, 40, 64};

// The highest step rate of the drive's power stage, in steps per second.
constexpr double MaxStepRate = 500000.0;
constexpr std::array MotorStepsPerRevolution = {400, 300, 200, 100, 48, 24};

// Motor steps per revolution times the step division of `code` (on the KVT317 codes 40 and 64
// stand for 1/64 and 1/128).
double stepsPerRevolution(const ConfigRecord& r, const QString& model) {
    int division = r.microstep;
    if (model == QLatin1String("KVT317") && (division == 40 || division == 64))
        division = division == 40 ? 64 : 128;
    return double(MotorStepsPerRevolution[std::min<std::size_t>(r.motorResol, 5)]) * division;
}

int maxCurrentLimit(const QString& model) {
    return model == QLatin1String("PXA-KVT") ? 80 : 100;
}

float clampedFloat(float value, float lo, float hi, float previous) {
    if (std::isnan(value))
        return previous;
    return std::clamp(value, lo, hi);
}

float finiteOr(float value, float previous) {
    return std::isfinite(value) ? value : previous;
}

quint8 flag(const QByteArray& command, int at) {
    return bytes::u8(command, at) != 0 ? 1 : 0;
}

} // namespace

bool isMicrostepCode(const QString& model, int code) {
    // The KVT317 and the PXA-KVT stop at code 64 (on the KVT317 codes 40 and 64 stand for the
    // 1/64 and 1/128 steps); the KVT318 also takes 128.
    if (model == QLatin1String("KVT317") || model == QLatin1String("PXA-KVT"))
        return std::find(CodesTo64.begin(), CodesTo64.end(), code) != CodesTo64.end();
    return std::find(CodesTo128.begin(), CodesTo128.end(), code) != CodesTo128.end();
}

ConfigRecord factoryConfig(const QString& model, float firmware) {
    ConfigRecord r;
    r.firmware = firmware;
    if (model == QLatin1String("PXA-KVT"))
        r.units = 1; // linear actuator: millimetres
    return r;
}

QByteArray encodeConfigReport(const ConfigRecord& r) {
    using namespace bytes;
    QByteArray b(51, '\0');
    putU8(b, 0, op::Configuration);
    putF32le(b, 1, r.defMinVel);
    putF32le(b, 5, r.defMaxVel);
    putF32le(b, 9, r.defAcc);
    putI32le(b, 13, r.encoderResol);
    putU8(b, 17, r.encoderMode);
    putF32le(b, 18, r.firmware);
    putU8(b, 22, r.microstep);
    putU8(b, 23, r.maxCurrent);
    putU8(b, 24, r.redCurrent);
    putU8(b, 25, r.homingMode);
    putU8(b, 26, r.address);
    putU8(b, 27, r.baudrate);
    putU8(b, 28, r.motorResol);
    putU8(b, 29, r.offAfterError);
    putU8(b, 30, r.positionMem);
    putU8(b, 31, r.homeAsLimitSw);
    putU8(b, 32, r.startStopMode);
    putU8(b, 33, r.ainMode);
    putF32le(b, 34, r.ainMinVal);
    putF32le(b, 38, r.ainMaxVal);
    putF32le(b, 42, r.revToLinCoef);
    putU8(b, 46, r.units);
    putI32le(b, 47, r.kp);
    return b;
}

QByteArray encodeEncoderModeReport(const ConfigRecord& r) {
    QByteArray b(2, '\0');
    bytes::putU8(b, 0, op::EncoderModeReport);
    bytes::putU8(b, 1, r.encoderMode);
    return b;
}

QByteArray encodeHomingOptionsReport(const ConfigRecord& r) {
    QByteArray b(5, '\0');
    bytes::putU8(b, 0, op::HomingOptionsReport);
    bytes::putU8(b, 1, r.homingMode);
    bytes::putU8(b, 2, r.offAfterError);
    bytes::putU8(b, 3, r.positionMem);
    bytes::putU8(b, 4, r.homeAsLimitSw);
    return b;
}

void applyConfigWrite(ConfigRecord& r, const QByteArray& c, const QString& model) {
    using namespace bytes;
    r.maxCurrent = static_cast<quint8>(std::clamp<int>(u8(c, 1), 5, maxCurrentLimit(model)));
    const int red = u8(c, 2);
    r.redCurrent = red == 0 ? 0 : static_cast<quint8>(std::clamp<int>(red, 5, r.maxCurrent));
    if (isMicrostepCode(model, u8(c, 3)))
        r.microstep = u8(c, 3);
    if (u8(c, 4) <= 5)
        r.motorResol = u8(c, 4);
    r.defMinVel = clampedFloat(f32le(c, 5), 0.001f, 1500.0f, r.defMinVel);
    r.defMaxVel = clampedFloat(f32le(c, 9), 0.001f, 9999.0f, r.defMaxVel);
    r.defAcc = clampedFloat(f32le(c, 13), 0.001f, 9999.0f, r.defAcc);

    // Without an encoder the resolution bytes carry nothing; the stored one is kept.
    const int mode = u8(c, 21);
    const qint32 resol = i32le(c, 17);
    if (mode == 1) {
        r.encoderMode = 1;
        r.encoderResol = std::clamp<qint32>(resol, 10, 10000);
    } else if (mode == 2) {
        r.encoderMode = 2;
        r.encoderResol = (resol == 256 || resol == 1024 || resol == 4096) ? resol : 256;
    } else if (mode == 0) {
        r.encoderMode = 0;
    }

    r.homingMode = u8(c, 22) <= 2 ? u8(c, 22) : 0;
    r.offAfterError = flag(c, 23);
    r.positionMem = flag(c, 24);
    r.homeAsLimitSw = flag(c, 25);
    r.startStopMode = flag(c, 26);
    if (u8(c, 27) <= 2)
        r.ainMode = u8(c, 27);
    r.ainMinVal = finiteOr(f32le(c, 28), r.ainMinVal);
    r.ainMaxVal = finiteOr(f32le(c, 32), r.ainMaxVal);
    r.revToLinCoef = finiteOr(f32le(c, 36), r.revToLinCoef);
    if (u8(c, 40) <= 3)
        r.units = u8(c, 40);
    r.kp = std::clamp<qint32>(i32le(c, 41), 1, 100);

    // The default maximum speed is held to what the highest step rate gives with the step
    // division and motor now stored, in the configured unit.
    const double coef = std::fabs(double(r.revToLinCoef));
    const double unitsPerRevolution = r.units == 0 || coef == 0 || !std::isfinite(coef) ? 1.0 : coef;
    const double fastest = MaxStepRate / stepsPerRevolution(r, model) * unitsPerRevolution;
    if (double(r.defMaxVel) > fastest)
        r.defMaxVel = std::max(0.001f, float(fastest));
}

void applyModbusLink(ConfigRecord& r, const QByteArray& c) {
    const int rate = bytes::u8(c, 1);
    const int address = bytes::u8(c, 2);
    if (rate <= 4)
        r.baudrate = static_cast<quint8>(rate);
    if (address >= 1 && address <= 32)
        r.address = static_cast<quint8>(address);
}

} // namespace kvt::sim

// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/ConfigRecord.h"

#include "link/ByteReader.h"
#include "link/OpCode.h"

#include <algorithm>

namespace kvt::config {

ConfigReport decodeConfigReport(const QByteArray& response) {
    const ByteReader b(response);
    ConfigReport r;
    r.DefMinVel = b.f32le(1);
    r.DefMaxVel = b.f32le(5);
    r.DefAcc = b.f32le(9);
    r.EncoderResol = b.i32le(13);
    r.EncoderMode = b.u8(17);
    r.FirmwareVersion = b.f32le(18);
    r.Microstep = b.u8(22);
    r.MaxCurrent = b.i8(23);
    r.RedCurrent = b.i8(24);
    r.HomingMode = b.u8(25);
    r.Address = b.i8(26);
    r.Baudrate = b.i8(27);
    r.MotorResol = b.i8(28);
    r.OffAfterError = b.u8(29);
    r.PositionMem = b.u8(30);
    r.HomieAsLimitSw = b.u8(31);
    r.StartStopMode = b.u8(32);
    r.AinMode = b.i8(33);
    r.AinMinVal = b.f32le(34);
    r.AinMaxVal = b.f32le(38);
    r.RevToLinCoef = b.f32le(42);
    r.Units = b.i8(46);
    r.Kp = b.i32le(47);
    return r;
}

EncoderModeReport decodeEncoderModeReport(const QByteArray& response) {
    return {ByteReader(response).u8(1)};
}

HomingOptionsReport decodeHomingOptionsReport(const QByteArray& response) {
    const ByteReader b(response);
    return {b.u8(1), b.u8(2), b.u8(3), b.u8(4)};
}

QByteArray encodeConfigWrite(const ConfigWrite& w) {
    ByteWriter b;
    b.u8(op::WriteConfiguration)
        .u8(w.MaxCurrent)
        .u8(w.RedCurrent)
        .u8(w.Microstep)
        .u8(w.MotorResol)
        .f32le(w.DefMinVel)
        .f32le(w.DefMaxVel)
        .f32le(w.DefAcc)
        .i32le(w.EncoderResol)
        .u8(w.EncoderMode)
        .u8(w.HomingMode)
        .u8(w.OffAfterError)
        .u8(w.PositionMem)
        .u8(w.HomieAsLimitSw)
        .u8(w.StartStopMode)
        .u8(w.AinMode)
        .f32le(w.AinMinVal)
        .f32le(w.AinMaxVal)
        .f32le(w.RevToLinCoef)
        .u8(w.Units)
        .i32le(w.Kp);
    b.zeros(ConfigWriteLength - b.size());
    return b.data();
}

QByteArray factoryResetCommand() {
    return QByteArray(1, char(op::FactoryReset));
}

QByteArray readConfigCommand() {
    return QByteArray(1, char(op::Configuration));
}

std::optional<quint8> microstepCode(int position) {
    if (position < 0 || position >= int(MicrostepCodes.size()))
        return std::nullopt;
    return MicrostepCodes[std::size_t(position)];
}

std::optional<int> microstepPosition(quint8 code) {
    const auto it = std::find(MicrostepCodes.begin(), MicrostepCodes.end(), code);
    if (it == MicrostepCodes.end())
        return std::nullopt;
    return int(it - MicrostepCodes.begin());
}

QStringList stepDivisionItems(std::optional<Model> model) {
    QStringList items = {"1/2", "1/8", "1/10", "1/16", "1/20", "1/32", "1/40", "1/64"};
    if (model == Model::Kvt318) {
        items.append(QStringLiteral("1/128"));
    } else if (model == Model::Kvt317) {
        items.removeAt(6); // no "1/40"
        items.append(QStringLiteral("1/128"));
    }
    return items;
}

QStringList motorResolutionItems() {
    QStringList items;
    for (const MotorResolution& resolution : MotorResolutions)
        items << QString::fromUtf8(resolution.item);
    return items;
}

int ssiIndexForResolution(qint32 resolution) {
    if (resolution == SsiResolutions[1])
        return 1;
    if (resolution == SsiResolutions[2])
        return 2;
    return 0;
}

QStringList analogModeItems() {
    return {QStringLiteral("Off "), QStringLiteral("Prędkosc"), QStringLiteral("Pozycja")};
}

} // namespace kvt::config

// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/LiveStatus.h"

#include "link/ByteReader.h"

namespace kvt::control {

namespace {
constexpr int HotCelsius = 70;
constexpr quint32 SupplyMinMv = 12000;
constexpr quint32 SupplyMaxMv = 36000;
constexpr int TemperatureOffset = 25;
} // namespace

LiveStatus decodeLiveStatus(const QByteArray& response) {
    const ByteReader r(response);
    LiveStatus s;
    s.position = r.f32le(1);
    s.speed = r.f32le(5);
    s.ioFlags = r.u8(9);
    s.motorState = r.u8(10);
    s.temperatureRaw = r.i32le(15);
    s.analogMv = r.u32le(19);
    s.supplyMv = r.u32le(23);
    s.encoderCount = r.i32le(27);
    s.destination = r.f32le(31);
    s.moveTime = r.f32le(35);
    s.accTime = r.f32le(39);
    s.accDistance = r.f32le(47);
    return s;
}

std::optional<MotorStateLook> motorStateLook(quint8 code) {
    const auto keyed = [](const char* key, Shade shade, bool blinks = false) {
        return MotorStateLook{QString::fromLatin1(key), QString(), shade, blinks};
    };
    switch (code) {
    case 0:
        return keyed("IDS_44", Shade::Off);
    case 1:
        return keyed("IDS_45", Shade::Warning);
    case 2:
        return keyed("IDS_46", Shade::Active);
    case 3:
        return keyed("IDS_47", Shade::Active);
    case 4:
        return keyed("IDS_48", Shade::Info);
    case 5:
        return keyed("IDS_51", Shade::Warning, true);
    case 6:
        return keyed("IDS_49", Shade::Active);
    case 7:
        return keyed("IDS_52", Shade::Alarm, true);
    case 8:
        return keyed("IDS_50", Shade::Warning);
    case 9:
        return MotorStateLook{QString(), QStringLiteral("Prędkosc we. 0-10V"), Shade::Active, false};
    default:
        return std::nullopt;
    }
}

Shade MotorStateBlinker::next(const MotorStateLook& look, Shade current) {
    if (!look.blinks)
        return look.shade;
    if (++counter_ < 2)
        return current;
    counter_ = 0;
    return current == look.shade ? Shade::Normal : look.shade;
}

int temperatureCelsius(qint32 raw) {
    const qint64 t = qint64(raw) - TemperatureOffset; // no overflow for the lowest raw values
    return t < 0 ? 0 : int(t);
}

bool temperatureHigh(int celsius) {
    return celsius > HotCelsius;
}

bool supplyOutOfRange(quint32 millivolts) {
    return millivolts < SupplyMinMv || millivolts > SupplyMaxMv;
}

QString positionText(double value, int decimals, fmt::Separators separators) {
    return fmt::grouped(value, 5, decimals, separators);
}

LiveStatusView viewOf(const LiveStatus& s, int decimals, const QString& unit, fmt::Separators sep) {
    LiveStatusView v;
    v.position = positionText(s.position, decimals, sep);
    v.speed = positionText(s.speed, decimals, sep);
    v.destination = positionText(s.destination, decimals, sep);
    const int celsius = temperatureCelsius(s.temperatureRaw);
    v.temperature = QString::number(celsius) + QStringLiteral(" [C]");
    v.temperatureHigh = temperatureHigh(celsius);
    v.analog = fmt::fixed(s.analogMv * 0.001, 3, 1, sep) + QStringLiteral(" [V]");
    v.supply = fmt::fixed(s.supplyMv * 0.001, 2, 0, sep) + QStringLiteral(" [V]");
    v.supplyOutOfRange = supplyOutOfRange(s.supplyMv);
    v.encoder = QString::number(s.encoderCount) + QStringLiteral(" [imp]");
    v.moveTime = fmt::grouped(s.moveTime, 4, 2, sep) + QStringLiteral(" [s]");
    v.accTime = fmt::grouped(s.accTime, 4, 2, sep) + QStringLiteral(" [s]");
    v.accDistance =
        positionText(s.accDistance, decimals, sep) + QStringLiteral(" [") + unit + QStringLiteral("]");
    return v;
}

} // namespace kvt::control

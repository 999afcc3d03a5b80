// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/CsvFormat.h"

#include <array>
#include <charconv>
#include <cmath>

namespace kvt::trend::csv {

namespace {

constexpr int ValueColumns = 19; // between the two time columns and the event column

QByteArray row(const QStringList& fields) {
    QByteArray line = fields.join(QLatin1Char(',')).toUtf8();
    line.append("\r\n");
    return line;
}

QString secondsText(double seconds) {
    return QString::number(seconds, 'f', 3); // QString::number ignores the locale
}

} // namespace

QDateTime TimeBase::wallTime(qint64 timeNs) const {
    return startWall.addMSecs((timeNs - startNs) / 1000000);
}

QString field(const QString& text) {
    static const QString Special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : text)
        quote = quote || Special.contains(c);
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QStringList columnNames(const QString& unit) {
    return {QStringLiteral("wall_time"),
            QStringLiteral("seconds [s]"),
            QStringLiteral("position [%1]").arg(unit),
            QStringLiteral("speed [%1/s]").arg(unit),
            QStringLiteral("destination [%1]").arg(unit),
            QStringLiteral("state"),
            QStringLiteral("temperature [C]"),
            QStringLiteral("analog_input [V]"),
            QStringLiteral("supply [V]"),
            QStringLiteral("encoder [imp]"),
            QStringLiteral("move_time [s]"),
            QStringLiteral("acc_time [s]"),
            QStringLiteral("acc_distance [%1]").arg(unit),
            QStringLiteral("run"),
            QStringLiteral("stop_in3"),
            QStringLiteral("in1"),
            QStringLiteral("in2"),
            QStringLiteral("home1"),
            QStringLiteral("home2"),
            QStringLiteral("out1"),
            QStringLiteral("out2"),
            QStringLiteral("event")};
}

QByteArray header(const QString& unit) {
    QStringList fields;
    for (const QString& name : columnNames(unit))
        fields << field(name);
    return row(fields);
}

QString floatText(float value) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return QString::fromLatin1(text.data(), result.ptr - text.data());
}

QString millivoltText(quint32 mv) {
    return QStringLiteral("%1.%2").arg(mv / 1000).arg(mv % 1000, 3, 10, QLatin1Char('0'));
}

QString wallTimeText(const QDateTime& time) {
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QByteArray sampleRow(const Sample& sample, const TimeBase& base) {
    const control::LiveStatus& s = sample.status;
    QStringList fields{wallTimeText(base.wallTime(sample.timeNs)),
                       secondsText(base.seconds(sample.timeNs)),
                       floatText(s.position),
                       floatText(s.speed),
                       floatText(s.destination),
                       QString::number(s.motorState),
                       QString::number(qint64(s.temperatureRaw) - 25),
                       millivoltText(s.analogMv),
                       millivoltText(s.supplyMv),
                       QString::number(s.encoderCount),
                       floatText(s.moveTime),
                       floatText(s.accTime),
                       floatText(s.accDistance)};
    for (int bit = 0; bit < 8; ++bit)
        fields << QString::number((s.ioFlags >> bit) & 1);
    fields << QString();
    return row(fields);
}

QByteArray eventRow(const Event& event, const TimeBase& base) {
    QStringList fields{wallTimeText(base.wallTime(event.timeNs)), secondsText(base.seconds(event.timeNs))};
    for (int i = 0; i < ValueColumns; ++i)
        fields << QString();
    fields << field(eventText(event));
    return row(fields);
}

} // namespace kvt::trend::csv

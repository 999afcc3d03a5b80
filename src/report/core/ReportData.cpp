// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/core/ReportData.h"

#include "config/core/ModbusLink.h"
#include "control/core/LiveStatus.h"
#include "control/core/Units.h"
#include "encoder/core/EncoderVerdict.h"
#include "format/core/FloatText.h"
#include "trend/core/Run.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <algorithm>
#include <charconv>

namespace kvt::report {

QList<ConfigValue> configValues(const config::ConfigReport& r) {
    // The byte fields as the controller holds them (the write command's unsigned bytes), so the
    // values match what kvtctl config get shows field for field.
    const auto byte = [](qint8 v) { return double(quint8(v)); };
    return {
        {QStringLiteral("MaxCurrent"), byte(r.MaxCurrent), false},
        {QStringLiteral("RedCurrent"), byte(r.RedCurrent), false},
        {QStringLiteral("Microstep"), double(r.Microstep), false},
        {QStringLiteral("MotorResol"), byte(r.MotorResol), false},
        {QStringLiteral("DefMinVel"), double(r.DefMinVel), true},
        {QStringLiteral("DefMaxVel"), double(r.DefMaxVel), true},
        {QStringLiteral("DefAcc"), double(r.DefAcc), true},
        {QStringLiteral("EncoderResol"), double(r.EncoderResol), false},
        {QStringLiteral("EncoderMode"), double(r.EncoderMode), false},
        {QStringLiteral("HomingMode"), double(r.HomingMode), false},
        {QStringLiteral("OffAfterError"), double(r.OffAfterError), false},
        {QStringLiteral("PositionMem"), double(r.PositionMem), false},
        {QStringLiteral("HomieAsLimitSw"), double(r.HomieAsLimitSw), false},
        {QStringLiteral("StartStopMode"), double(r.StartStopMode), false},
        {QStringLiteral("AinMode"), byte(r.AinMode), false},
        {QStringLiteral("AinMinVal"), double(r.AinMinVal), true},
        {QStringLiteral("AinMaxVal"), double(r.AinMaxVal), true},
        {QStringLiteral("RevToLinCoef"), double(r.RevToLinCoef), true},
        {QStringLiteral("Units"), byte(r.Units), false},
        {QStringLiteral("Kp"), double(r.Kp), false},
        {QStringLiteral("Address"), byte(r.Address), false},
        {QStringLiteral("Baudrate"), byte(r.Baudrate), false},
    };
}

QString exactFloatText(float value, Language language) {
    char buffer[64];
    const std::to_chars_result end = std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, int(end.ptr - buffer));
    if (language == Language::Polish)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString exactText(const ConfigValue& value, Language language) {
    if (value.isFloat)
        return exactFloatText(float(value.value), language);
    return QString::number(qint64(value.value));
}

QString deviceTextOf(const QByteArray& deviceText) {
    QString text = QString::fromLatin1(deviceText);
    while (!text.isEmpty() && (text.back() == QLatin1Char(' ') || text.back() == QChar(0)))
        text.chop(1);
    return text;
}

QString unitText(int unitCode) {
    if (control::isUnitIndex(unitCode))
        return control::unitItems().at(unitCode);
    return QString::number(unitCode);
}

std::optional<ModbusSummary> modbusSummary(const config::ConfigReport& report) {
    const std::optional<int> address = config::modbusAddressIndexFromReport(report.Address);
    const std::optional<int> rate = config::modbusRateIndexFromReport(report.Baudrate);
    if (!address || !rate)
        return std::nullopt;
    return ModbusSummary{*address + 1, config::modbusRateItems().at(*rate).toInt()};
}

ProgramSummary summarizeProgram(const program::ProgramStore& store) {
    ProgramSummary summary;
    summary.length = std::min<quint32>(store.length, quint32(program::ProgramCapacity));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (quint32 i = 0; i < summary.length; ++i) {
        const program::CommandRecord& r = store.commands[i];
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(r.data()), qsizetype(r.size())));
    }
    summary.sha256 = hash.result();
    if (summary.length > 0) {
        summary.firstLine = program::listingLine(store.commands[0]).trimmed();
        summary.lastLine = program::listingLine(store.commands[summary.length - 1]).trimmed();
    }
    return summary;
}

namespace {

// A float in its shortest digits that read back as the same single, as kvtctl prints it.
QJsonValue single(float value) {
    return fmt::floatJson(value);
}

QJsonValue optionalText(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

} // namespace

QJsonObject reportJson(const ReportData& d) {
    QJsonObject o;
    o.insert(QStringLiteral("report"), QStringLiteral("commissioning"));
    o.insert(QStringLiteral("programVersion"), d.programVersion);
    o.insert(QStringLiteral("createdAt"), d.createdAt.toOffsetFromUtc(d.createdAt.offsetFromUtc())
                                               .toString(Qt::ISODate));
    o.insert(QStringLiteral("operator"), optionalText(d.operatorName));
    o.insert(QStringLiteral("site"), optionalText(d.site));
    o.insert(QStringLiteral("notes"), optionalText(d.notes));

    QJsonObject controller;
    controller.insert(QStringLiteral("model"), d.model ? QJsonValue(productString(*d.model)) : QJsonValue());
    controller.insert(QStringLiteral("path"), optionalText(d.devicePath));
    controller.insert(QStringLiteral("serialNumber"), optionalText(d.serialNumber));
    controller.insert(QStringLiteral("firmware"), single(d.firmware));
    controller.insert(QStringLiteral("deviceText"), deviceTextOf(d.deviceText));
    o.insert(QStringLiteral("controller"), controller);

    if (d.sections.configuration && d.configuration) {
        QJsonObject record;
        for (const ConfigValue& v : configValues(*d.configuration))
            record.insert(v.name, v.isFloat ? single(float(v.value)) : QJsonValue(qint64(v.value)));
        o.insert(QStringLiteral("configuration"),
                 QJsonObject{{QStringLiteral("record"), record},
                             {QStringLiteral("unit"), unitText(quint8(d.configuration->Units))}});
    }
    if (d.sections.modbus && d.configuration) {
        const std::optional<ModbusSummary> modbus = modbusSummary(*d.configuration);
        o.insert(QStringLiteral("modbus"),
                 modbus ? QJsonValue(QJsonObject{{QStringLiteral("address"), modbus->address},
                                                 {QStringLiteral("baudRate"), modbus->baudRate}})
                        : QJsonValue());
    }
    if (d.sections.status && d.status) {
        const control::LiveStatus& s = *d.status;
        o.insert(QStringLiteral("status"),
                 QJsonObject{{QStringLiteral("position"), single(s.position)},
                             {QStringLiteral("speed"), single(s.speed)},
                             {QStringLiteral("inputs"), int(s.inputMask())},
                             {QStringLiteral("outputs"), int(s.outputMask())},
                             {QStringLiteral("motorState"), int(s.motorState)},
                             {QStringLiteral("temperatureC"), control::temperatureCelsius(s.temperatureRaw)},
                             {QStringLiteral("supplyMv"), qint64(s.supplyMv)},
                             {QStringLiteral("analogMv"), qint64(s.analogMv)},
                             {QStringLiteral("encoderCount"), qint64(s.encoderCount)}});
    }
    if (d.sections.program && d.program) {
        const ProgramSummary& p = *d.program;
        o.insert(QStringLiteral("storedProgram"),
                 QJsonObject{{QStringLiteral("commands"), qint64(p.length)},
                             {QStringLiteral("sha256"), QString::fromLatin1(p.sha256.toHex())},
                             {QStringLiteral("firstLine"), optionalText(p.firstLine)},
                             {QStringLiteral("lastLine"), optionalText(p.lastLine)}});
    }
    if (d.sections.encoder) {
        QJsonValue encoder;
        if (d.encoder) {
            const EncoderSummary& e = *d.encoder;
            encoder = QJsonObject{{QStringLiteral("measured"), e.measured},
                                  {QStringLiteral("expected"), e.expected ? QJsonValue(*e.expected) : QJsonValue()},
                                  {QStringLiteral("tolerance"), e.tolerance},
                                  {QStringLiteral("wiring"), int(e.wiring)},
                                  {QStringLiteral("passed"), e.passed}};
        }
        o.insert(QStringLiteral("encoderTest"), encoder);
    }
    if (d.sections.trend) {
        QJsonValue trend;
        if (d.trend) {
            QJsonArray points;
            for (const TrendPoint& p : d.trend->points)
                points.append(QJsonArray{p.timeS, p.position, p.speed});
            QJsonArray marks;
            for (const TrendMark& m : d.trend->marks)
                marks.append(QJsonObject{{QStringLiteral("time"), m.timeS}, {QStringLiteral("command"), m.name}});
            trend = QJsonObject{{QStringLiteral("columns"), QJsonArray{QStringLiteral("time"), QStringLiteral("position"),
                                                                        QStringLiteral("speed")}},
                                {QStringLiteral("points"), points},
                                {QStringLiteral("marks"), marks}};
        }
        o.insert(QStringLiteral("trend"), trend);
    }
    return o;
}

EncoderSummary summarizeEncoder(const encoder::EncoderResult& result, const config::ConfigReport& stored) {
    using Kind = encoder::EncoderSettings::Kind;
    encoder::EncoderSettings settings;
    if (stored.EncoderMode == 1) {
        settings.kind = Kind::Incremental;
        settings.resolution = stored.EncoderResol;
    } else if (stored.EncoderMode == 2) {
        settings.kind = Kind::Absolute;
        static constexpr int Bits[] = {8, 10, 12};
        settings.ssiBits = Bits[config::ssiIndexForResolution(stored.EncoderResol)];
    }
    EncoderSummary summary;
    summary.measured = result.count;
    summary.wiring = result.verdict;
    if (const std::optional<encoder::Expectation> expected = encoder::expectedCount(settings)) {
        summary.expected = expected->count;
        summary.tolerance = expected->tolerance;
        summary.passed = result.verdict == encoder::WiringCorrect &&
                         qAbs(qint64(result.count) - qint64(expected->count)) <= expected->tolerance;
    }
    return summary;
}

std::optional<TrendSummary> summarizeTrend(const trend::Run& run, int maxPoints) {
    const trend::SampleBuffer& samples = run.samples();
    if (samples.isEmpty())
        return std::nullopt;
    TrendSummary summary;
    const qint64 start = samples.at(0).timeNs;
    const qsizetype stride = std::max<qsizetype>(1, (samples.size() + maxPoints - 1) / std::max(1, maxPoints));
    for (qsizetype i = 0; i < samples.size(); i += stride) {
        const trend::Sample& s = samples.at(i);
        summary.points.append({double(s.timeNs - start) / 1e9, double(s.status.position), double(s.status.speed)});
    }
    if ((samples.size() - 1) % stride != 0) { // the last sample always ends the plot
        const trend::Sample& s = samples.last();
        summary.points.append({double(s.timeNs - start) / 1e9, double(s.status.position), double(s.status.speed)});
    }
    const trend::EventList& events = run.events();
    for (qsizetype i = 0; i < events.size(); ++i) {
        const trend::Event& e = events.at(i);
        if (e.kind == trend::Event::Kind::Command && e.timeNs >= start)
            summary.marks.append({double(e.timeNs - start) / 1e9, trend::commandName(e.code)});
    }
    return summary;
}

} // namespace kvt::report

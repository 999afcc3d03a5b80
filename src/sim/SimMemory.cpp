// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimMemory.h"

#include "sim/SimController.h"

#include <QJsonArray>
#include <QJsonValue>
#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>

namespace kvt::sim {

namespace {

// Every configuration field with its JSON name: read and written through the same table.
struct ConfigField {
    const char* name;
    std::variant<quint8 ConfigRecord::*, qint32 ConfigRecord::*, float ConfigRecord::*> member;
};

const ConfigField ConfigFields[] = {
    {"maxCurrent", &ConfigRecord::maxCurrent},
    {"redCurrent", &ConfigRecord::redCurrent},
    {"microstep", &ConfigRecord::microstep},
    {"motorResol", &ConfigRecord::motorResol},
    {"defMinVel", &ConfigRecord::defMinVel},
    {"defMaxVel", &ConfigRecord::defMaxVel},
    {"defAcc", &ConfigRecord::defAcc},
    {"encoderResol", &ConfigRecord::encoderResol},
    {"encoderMode", &ConfigRecord::encoderMode},
    {"homingMode", &ConfigRecord::homingMode},
    {"offAfterError", &ConfigRecord::offAfterError},
    {"positionMem", &ConfigRecord::positionMem},
    {"homeAsLimitSw", &ConfigRecord::homeAsLimitSw},
    {"startStopMode", &ConfigRecord::startStopMode},
    {"ainMode", &ConfigRecord::ainMode},
    {"ainMinVal", &ConfigRecord::ainMinVal},
    {"ainMaxVal", &ConfigRecord::ainMaxVal},
    {"revToLinCoef", &ConfigRecord::revToLinCoef},
    {"units", &ConfigRecord::units},
    {"kp", &ConfigRecord::kp},
    {"address", &ConfigRecord::address},
    {"baudrate", &ConfigRecord::baudrate},
};

QJsonObject configToJson(const ConfigRecord& r) {
    QJsonObject o;
    for (const ConfigField& f : ConfigFields)
        std::visit([&](auto member) { o.insert(QLatin1String(f.name), double(r.*member)); }, f.member);
    return o;
}

// A number of the member's type; anything else keeps the member as it is.
template <typename T> void readNumber(const QJsonValue& value, T& out) {
    if (!value.isDouble())
        return;
    const double v = value.toDouble();
    if constexpr (std::is_floating_point_v<T>) {
        out = T(v);
    } else {
        if (std::isfinite(v) && v == std::floor(v) && v >= double(std::numeric_limits<T>::min()) &&
            v <= double(std::numeric_limits<T>::max()))
            out = T(v);
    }
}

void configFromJson(const QJsonObject& o, ConfigRecord& r) {
    for (const ConfigField& f : ConfigFields)
        std::visit([&](auto member) { readNumber(o.value(QLatin1String(f.name)), r.*member); }, f.member);
}

QByteArray hexBytes(const QJsonValue& value, const QByteArray& fallback) {
    if (!value.isString())
        return fallback;
    const QByteArray text = value.toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(text);
    return bytes.size() * 2 == text.size() ? bytes : fallback;
}

} // namespace

QJsonObject toJson(const SimMemory& m) {
    QJsonArray program;
    for (const QByteArray& record : m.program)
        program.append(QString::fromLatin1(record.toHex()));
    QJsonObject o;
    o.insert(QStringLiteral("model"), m.model);
    o.insert(QStringLiteral("config"), configToJson(m.config));
    o.insert(QStringLiteral("program"), program);
    o.insert(QStringLiteral("registers"), QString::fromLatin1(m.registers.toHex()));
    o.insert(QStringLiteral("savedRegisters"), QString::fromLatin1(m.savedRegisters.toHex()));
    o.insert(QStringLiteral("driveOn"), m.driveOn);
    o.insert(QStringLiteral("position"), m.position);
    o.insert(QStringLiteral("outputs"), int(m.outputs));
    return o;
}

std::optional<SimMemory> memoryFromJson(const QJsonObject& o, const SimMemory& fallback) {
    SimMemory m = fallback;
    const QString model = o.value(QStringLiteral("model")).toString();
    if (model != QLatin1String("KVT318") && model != QLatin1String("KVT317") &&
        model != QLatin1String("PXA-KVT"))
        return std::nullopt;
    m.model = model;
    configFromJson(o.value(QStringLiteral("config")).toObject(), m.config);
    if (const QJsonValue program = o.value(QStringLiteral("program")); program.isArray()) {
        m.program.clear();
        for (const QJsonValue& record : program.toArray())
            m.program.append(hexBytes(record, QByteArray()));
    }
    m.registers = hexBytes(o.value(QStringLiteral("registers")), m.registers);
    m.savedRegisters = hexBytes(o.value(QStringLiteral("savedRegisters")), m.savedRegisters);
    if (const QJsonValue drive = o.value(QStringLiteral("driveOn")); drive.isBool())
        m.driveOn = drive.toBool();
    readNumber(o.value(QStringLiteral("position")), m.position);
    if (!std::isfinite(m.position))
        m.position = fallback.position;
    readNumber(o.value(QStringLiteral("outputs")), m.outputs);
    m.outputs &= io::OutputMask;
    return m;
}

// The controller's side, kept beside the format so SimController.cpp stays about the firmware.
SimMemory SimController::memory() const {
    const auto lock = guard();
    SimMemory m;
    m.model = model_;
    m.config = config_;
    m.program = program_.records();
    m.registers = registers_.liveBytes();
    m.savedRegisters = registers_.savedBytes();
    m.driveOn = driveOn_;
    m.position = axis_.position();
    m.outputs = env_.outputs;
    return m;
}

void SimController::restoreMemory(const SimMemory& m) {
    const auto lock = guard();
    const float firmware = config_.firmware;
    config_ = m.config;
    config_.firmware = firmware;
    resetMotionLimits();
    program_.store(m.program);
    registers_.load(m.registers, m.savedRegisters);
    driveOn_ = m.driveOn;
    axis_.place(m.position);
    env_.outputs = m.outputs & io::OutputMask;
}

} // namespace kvt::sim

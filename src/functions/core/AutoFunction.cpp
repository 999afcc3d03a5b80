// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/core/AutoFunction.h"

#include "program/core/Composers.h"

#include <bit>
#include <cmath>

namespace kvt::functions {

namespace {

constexpr qint32 FirstLabel = 1;
constexpr qint32 ReturnLabel = 7; // the negative phase of the analog variant
constexpr qint32 AnalogPeriodMs = 20;
constexpr quint32 SignBit = 0x80000000u;

using program::CommandRecord;

CommandRecord record(auto compose) {
    CommandRecord r{};
    compose(r);
    return r;
}

} // namespace

float limitSpeed(double speed) {
    if (std::isnan(speed))
        return MinSpeed;
    if (speed > MaxSpeed)
        speed = MaxSpeed;
    const auto single = static_cast<float>(speed);
    return single < MinSpeed ? MinSpeed : single;
}

qint32 limitWait(qint32 milliseconds) {
    if (milliseconds > MaxWait)
        return MaxWait;
    return milliseconds < 0 ? 0 : milliseconds;
}

std::optional<float> readSpeed(const QString& text, fmt::Separators separators) {
    const std::optional<double> value = fmt::readDecimal(text, separators);
    if (!value)
        return std::nullopt;
    return limitSpeed(*value);
}

std::optional<qint32> readWait(const QString& text) {
    const std::optional<qint32> value = fmt::readInteger(text);
    if (!value)
        return std::nullopt;
    return limitWait(*value);
}

QString speedText(float speed, fmt::Separators separators) {
    return fmt::general(speed, 5, 5, separators);
}

QString waitText(qint32 milliseconds) {
    return QString::number(milliseconds);
}

QList<CommandRecord> generateProgram(const AutoFunctionSettings& s) {
    using namespace program;
    const auto label = [](qint32 l) { return record([l](CommandRecord& r) { composeLabel(r, l); }); };
    const auto pause = [](qint32 ms) { return record([ms](CommandRecord& r) { composePause(r, ms); }); };
    const auto jump = [](qint32 l) { return record([l](CommandRecord& r) { composeJump(r, l); }); };
    const CommandRecord start = record(composeProgramStart);
    const CommandRecord stop = record(composeStopMotor);

    if (!s.analogSpeed) {
        const quint32 forward = std::bit_cast<quint32>(s.speed);
        const quint32 backward = forward | SignBit; // -S: S with its sign bit set
        const auto waitFor = [](quint8 input) {
            return record([input](CommandRecord& r) { composeWaitForInput(r, input, StateActive); });
        };
        return {start,
                label(FirstLabel),
                record([forward](CommandRecord& r) { composeRunAtSpeed(r, forward); }),
                waitFor(InputHome2),
                stop,
                pause(s.wait1),
                record([backward](CommandRecord& r) { composeRunAtSpeed(r, backward); }),
                waitFor(InputHome1),
                stop,
                pause(s.wait2),
                jump(FirstLabel)};
    }

    const auto analog = [](bool negative) {
        return record([negative](CommandRecord& r) { composeRunAtAnalogSpeed(r, negative); });
    };
    const auto repeatUntil = [](quint8 input, qint32 l) {
        return record(
            [input, l](CommandRecord& r) { composeConditionalJump(r, input, ConditionNotActive, l); });
    };
    return {start,
            label(FirstLabel),
            analog(false),
            pause(AnalogPeriodMs),
            repeatUntil(InputHome2, FirstLabel),
            stop,
            pause(s.wait1),
            label(ReturnLabel),
            analog(true),
            pause(AnalogPeriodMs),
            repeatUntil(InputHome1, ReturnLabel),
            stop,
            pause(s.wait2),
            jump(FirstLabel)};
}

} // namespace kvt::functions

// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/core/FloatText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace kvt::fmt {

namespace {

// The shortest round-trip digits of a finite, non-zero single and its decimal exponent:
// 2.04f gives "204" and 0 (2.04 = 2.04e0).
struct Digits {
    bool negative = false;
    QString digits;
    int exponent = 0;
};

Digits shortestDigits(float value) {
    std::array<char, 32> buffer{};
    const auto written =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific);
    const std::string_view text(buffer.data(), std::size_t(written.ptr - buffer.data()));
    Digits d;
    std::size_t i = 0;
    if (text[i] == '-') {
        d.negative = true;
        ++i;
    }
    const std::size_t e = text.find('e');
    for (; i < e; ++i) {
        if (text[i] != '.')
            d.digits.append(QLatin1Char(text[i]));
    }
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    d.exponent);
    return d;
}

} // namespace

QString shortestFloat(float value, Separators s) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0.0f)
        return QStringLiteral("0");

    const Digits d = shortestDigits(value);
    const int count = int(d.digits.size());
    QString text = d.negative ? QStringLiteral("-") : QString();
    if (d.exponent >= -5 && d.exponent < 16) {
        if (d.exponent < 0) {
            text += QStringLiteral("0") + s.decimal + QString(-d.exponent - 1, QLatin1Char('0')) + d.digits;
        } else if (count <= d.exponent + 1) {
            text += d.digits + QString(d.exponent + 1 - count, QLatin1Char('0'));
        } else {
            text += d.digits.left(d.exponent + 1) + s.decimal + d.digits.mid(d.exponent + 1);
        }
        return text;
    }
    text += d.digits.left(1);
    if (count > 1)
        text += s.decimal + d.digits.mid(1);
    const int magnitude = std::abs(d.exponent);
    text += (d.exponent < 0 ? QStringLiteral("e-") : QStringLiteral("e+")) +
            QStringLiteral("%1").arg(magnitude, 2, 10, QLatin1Char('0'));
    return text;
}

QJsonValue floatJson(float value) {
    if (!std::isfinite(value))
        return QJsonValue(QJsonValue::Null);
    // The double nearest the shortest decimal of the single: a JSON writer's own shortest form of
    // that double is those same digits.
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    double shortest = 0;
    std::from_chars(buffer.data(), written.ptr, shortest);
    return shortest == 0 ? 0.0 : shortest;
}

} // namespace kvt::fmt

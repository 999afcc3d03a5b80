// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace kvt::fmt {

// The locale's decimal and digit-group separators. Every function below takes them as an
// argument so it stays a pure function; `current()` reads them from the default QLocale at the
// moment a number is formatted or read.
struct Separators {
    QChar decimal = QLatin1Char('.');
    QChar group = QLatin1Char(',');

    static Separators current();
};

// general(p, e): p significant digits, plain or scientific ("1.2346E0008"), exponent padded to at
// least e digits (e above 4 counts as 0).
QString general(double value, int p, int e, Separators s);
// fixed(p, d): rounded to p significant digits, then written with exactly d decimals; values of
// more than p integer digits fall back to general(p, d).
QString fixed(double value, int p, int d, Separators s);
// grouped(p, d): fixed(p, d) with the group separator between groups of three integer digits.
QString grouped(double value, int p, int d, Separators s);

// Decimal entry: a point and a comma are both taken as the decimal mark; optional sign and
// exponent; no digit-group separators. Empty or malformed text gives no value.
std::optional<double> readDecimal(const QString& text, Separators s);
// Integer entry: a signed 32-bit decimal integer, nothing else.
std::optional<qint32> readInteger(const QString& text);

// Shorthands with the default locale's separators.
inline QString general(double value, int p, int e = 0) {
    return general(value, p, e, Separators::current());
}
inline QString fixed(double value, int p, int d) {
    return fixed(value, p, d, Separators::current());
}
inline QString grouped(double value, int p, int d) {
    return grouped(value, p, d, Separators::current());
}
inline std::optional<double> readDecimal(const QString& text) {
    return readDecimal(text, Separators::current());
}

} // namespace kvt::fmt

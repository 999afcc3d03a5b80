// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/core/NumberFormat.h"

#include <QByteArray>
#include <QLocale>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace kvt::fmt {

namespace {

constexpr int MaxPrecision = 18;
constexpr int MaxDecimals = 18;
constexpr int MaxExponentDigits = 4;

// Enough digits after the first one for the exact decimal expansion of any double (the longest,
// a subnormal, has 767 significant digits), so the digits printed are never rounded by printf.
constexpr int ExactDigits = 770;

// A finite value rounded to a number of significant digits: 0.d1d2...dn x 10^k.
struct Decimal {
    bool negative = false;
    QByteArray digits; // ASCII digits, all '0' for the value 0
    int k = 1;         // decimal exponent: the number of digits before the decimal separator

    bool isZero() const { return digits.count('0') == digits.size(); }
};

// Keeps the first n digits of `digits`, rounding halfway cases away from zero. Returns n digits,
// or n + 1 digits ("100...") when the rounding carries into a new leading digit.
QByteArray keepDigits(const QByteArray& digits, int n) {
    QByteArray kept = digits.left(n);
    while (kept.size() < n)
        kept.append('0');
    if (n >= digits.size() || digits.at(n) < '5')
        return kept;
    for (int i = n - 1; i >= 0; --i) {
        if (kept[i] != '9') {
            kept[i] = static_cast<char>(kept[i] + 1);
            return kept;
        }
        kept[i] = '0';
    }
    return kept.prepend('1');
}

// How many digits after the first one printf needs to write the exact decimal expansion of a finite
// `magnitude` (at least 0): a double is an odd integer m times 2^e, and its expansion has as many
// significant digits as m x 2^e when e >= 0, or m x 5^-e when e < 0. A bound, with a margin;
// printing more digits than the expansion has only adds zeros, printing fewer would round.
int exactDigitsAfterFirst(double magnitude) {
    if (magnitude == 0)
        return 0;
    int exponent = 0;
    const double mantissa = std::frexp(magnitude, &exponent); // in [0.5, 1)
    auto m = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    int e = exponent - 53;
    const int zeroBits = std::countr_zero(m);
    m >>= zeroBits;
    e += zeroBits;
    const double bits = std::bit_width(m);
    const double digits = e >= 0 ? (bits + e) * 0.30103 : bits * 0.30103 + double(-e) * 0.69898;
    return std::min(ExactDigits, static_cast<int>(digits) + 2);
}

// Rounds a finite value to p significant digits. The digits come from the exact decimal expansion
// of the binary value, so a value lying exactly halfway rounds away from zero, and one a hair
// below halfway does not. The expansion is printed only as long as it is: its full worst-case
// length made each number cost some 60 000 instructions.
Decimal roundSignificant(double value, int p) {
    char buffer[ExactDigits + 16];
    std::snprintf(buffer, sizeof buffer, "%.*e", exactDigitsAfterFirst(std::fabs(value)), std::fabs(value));
    const QByteArray text(buffer);
    const qsizetype ePos = text.indexOf('e');
    QByteArray all = text.left(ePos);
    all.remove(1, 1); // the '.' after the first digit

    Decimal result;
    result.negative = std::signbit(value);
    result.k = text.mid(ePos + 1).toInt() + 1;
    result.digits = keepDigits(all, p);
    if (result.digits.size() > p) {
        result.digits.chop(1);
        ++result.k;
    }
    return result;
}

QString nonFinite(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString zeros(int count) {
    return QString(qMax(count, 0), QLatin1Char('0'));
}

QString scientific(const Decimal& r, const QString& significant, int e, QChar decimal) {
    if (e < 0 || e > MaxExponentDigits)
        e = 0;
    QString text = r.negative ? QStringLiteral("-") : QString();
    text += significant.at(0);
    if (significant.size() > 1)
        text += decimal + significant.mid(1);
    text += QLatin1Char('E');
    const int exponent = r.k - 1;
    if (exponent < 0)
        text += QLatin1Char('-');
    return text + QString::number(std::abs(exponent)).rightJustified(e, QLatin1Char('0'));
}

// general(p, e) of an already rounded value.
QString generalOf(const Decimal& r, int p, int e, QChar decimal) {
    if (r.isZero())
        return QStringLiteral("0");
    QString significant = QString::fromLatin1(r.digits);
    while (significant.endsWith(QLatin1Char('0')))
        significant.chop(1);
    if (r.k > p || r.k < -3)
        return scientific(r, significant, e, decimal);

    QString text = r.negative ? QStringLiteral("-") : QString();
    if (r.k <= 0)
        return text + QLatin1Char('0') + decimal + zeros(-r.k) + significant;
    if (r.k >= significant.size())
        return text + significant + zeros(r.k - significant.size());
    return text + significant.left(r.k) + decimal + significant.mid(r.k);
}

// A value rounded to d decimals, split into the parts a fixed or grouped text is built from.
struct FixedParts {
    bool negative = false;
    QString integer;  // at least one digit
    QString fraction; // exactly d digits
};

FixedParts fixedParts(const Decimal& r, int d) {
    // The digits of value x 10^d, rounded to an integer.
    const int n = r.k + d;
    QByteArray scaled;
    if (n >= r.digits.size())
        scaled = r.digits + QByteArray(n - r.digits.size(), '0');
    else if (n >= 0)
        scaled = keepDigits(r.digits, n);

    while (scaled.size() > 1 && scaled.at(0) == '0')
        scaled.remove(0, 1);
    while (scaled.size() < d + 1)
        scaled.prepend('0');

    FixedParts parts;
    // A value that rounds to zero is written without a minus sign: "-0.000" would only suggest a
    // difference that the shown digits cannot carry.
    parts.negative = r.negative && scaled.count('0') != scaled.size();
    parts.integer = QString::fromLatin1(scaled.left(scaled.size() - d));
    parts.fraction = QString::fromLatin1(scaled.right(d));
    return parts;
}

QString groupDigits(const QString& integer, QChar group) {
    QString text;
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            text += group;
        text += integer.at(i);
    }
    return text;
}

QString fixedText(double value, int p, int d, Separators s, bool withGroups) {
    if (!std::isfinite(value))
        return nonFinite(value);
    p = qBound(1, p, MaxPrecision);
    d = qBound(0, d, MaxDecimals);
    const Decimal r = roundSignificant(value, p);
    if (r.k > p)
        return generalOf(r, p, d, s.decimal);

    const FixedParts parts = fixedParts(r, d);
    QString text = parts.negative ? QStringLiteral("-") : QString();
    text += withGroups ? groupDigits(parts.integer, s.group) : parts.integer;
    if (d > 0)
        text += s.decimal + parts.fraction;
    return text;
}

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a run of ASCII digits starting at `pos`; returns them and moves `pos` past them.
QByteArray takeDigits(const QString& text, qsizetype& pos) {
    QByteArray digits;
    while (pos < text.size() && isAsciiDigit(text.at(pos)))
        digits.append(static_cast<char>(text.at(pos++).unicode()));
    return digits;
}

bool takeSign(const QString& text, qsizetype& pos) {
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+')))
        return text.at(pos++) == QLatin1Char('-');
    return false;
}

// Order of magnitude of a parsed mantissa and exponent, only used to tell an overflow from an
// underflow; it saturates instead of wrapping.
qint64 magnitude(const QByteArray& integer, const QByteArray& fraction, const QByteArray& exponent,
                 bool exponentNegative) {
    qint64 exp = 0;
    for (char c : exponent)
        exp = qMin<qint64>(exp * 10 + (c - '0'), 1'000'000'000);
    if (exponentNegative)
        exp = -exp;
    qsizetype integerZeros = 0;
    while (integerZeros < integer.size() && integer.at(integerZeros) == '0')
        ++integerZeros;
    if (integerZeros < integer.size())
        return exp + (integer.size() - integerZeros);
    qsizetype leadingZeros = 0;
    while (leadingZeros < fraction.size() && fraction.at(leadingZeros) == '0')
        ++leadingZeros;
    return exp - leadingZeros;
}

} // namespace

Separators Separators::current() {
    const QLocale locale;
    Separators s;
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (!decimal.isEmpty())
        s.decimal = decimal.at(0);
    if (!group.isEmpty())
        s.group = group.at(0);
    return s;
}

// Values that are not finite give "NAN", "INF" or "-INF" in every format.
QString general(double value, int p, int e, Separators s) {
    if (!std::isfinite(value))
        return nonFinite(value);
    p = qBound(1, p, MaxPrecision);
    return generalOf(roundSignificant(value, p), p, e, s.decimal);
}

QString fixed(double value, int p, int d, Separators s) {
    return fixedText(value, p, d, s, false);
}

QString grouped(double value, int p, int d, Separators s) {
    return fixedText(value, p, d, s, true);
}

// Blanks around the number are ignored, since a stray space pasted with a value is no reason to
// refuse it. Values too large for a double are invalid; values too small for one read as zero.
std::optional<double> readDecimal(const QString& text, Separators s) {
    QString normal = text.trimmed();
    if (s.decimal == QLatin1Char('.'))
        normal.replace(QLatin1Char(','), QLatin1Char('.'));
    else
        normal.replace(QLatin1Char('.'), s.decimal);

    qsizetype pos = 0;
    const bool negative = takeSign(normal, pos);
    const QByteArray integer = takeDigits(normal, pos);
    QByteArray fraction;
    if (pos < normal.size() && normal.at(pos) == s.decimal)
        fraction = takeDigits(normal, ++pos);
    if (integer.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    QByteArray exponent;
    bool exponentNegative = false;
    if (pos < normal.size() && (normal.at(pos) == QLatin1Char('e') || normal.at(pos) == QLatin1Char('E'))) {
        exponentNegative = takeSign(normal, ++pos);
        exponent = takeDigits(normal, pos);
        if (exponent.isEmpty())
            return std::nullopt;
    }
    if (pos != normal.size())
        return std::nullopt;

    // from_chars is independent of the C library's locale and rounds correctly.
    QByteArray canonical = (integer.isEmpty() ? QByteArray("0") : integer) + '.' +
                           (fraction.isEmpty() ? QByteArray("0") : fraction);
    if (!exponent.isEmpty())
        canonical += QByteArray(exponentNegative ? "e-" : "e") + exponent;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(canonical.constData(), canonical.constData() + canonical.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude(integer, fraction, exponent, exponentNegative) > 0)
            return std::nullopt;
        value = 0.0;
    } else if (error != std::errc() || end != canonical.constData() + canonical.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// Blanks around the number are ignored, as for decimal entries.
std::optional<qint32> readInteger(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype pos = 0;
    const bool negative = takeSign(trimmed, pos);
    const QByteArray digits = takeDigits(trimmed, pos);
    if (digits.isEmpty() || pos != trimmed.size())
        return std::nullopt;

    const qint64 limit = negative ? -static_cast<qint64>(std::numeric_limits<qint32>::min())
                                  : static_cast<qint64>(std::numeric_limits<qint32>::max());
    qint64 value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<qint32>(negative ? -value : value);
}

} // namespace kvt::fmt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder/core/EncoderVerdict.h"

#include "link/ByteReader.h"

#include <cstdlib>

namespace kvt::encoder {

namespace {

constexpr qint32 AbsoluteTolerance = 2;
constexpr qint32 IncrementalTolerance = 5;

} // namespace

EncoderCount decodeEncoderCount(const QByteArray& response) {
    return {ByteReader(response).i32le(1)};
}

EncoderResult decodeEncoderResult(const QByteArray& response) {
    const ByteReader r(response);
    return {r.i32le(1), r.u8(5)};
}

std::optional<Expectation> expectedCount(const EncoderSettings& s) {
    switch (s.kind) {
    case EncoderSettings::Kind::Absolute:
        return Expectation{s.ssiBits == 12 ? 4096 : s.ssiBits == 10 ? 1024 : 256, AbsoluteTolerance};
    case EncoderSettings::Kind::Incremental:
        if (!s.resolution)
            return std::nullopt;
        return Expectation{*s.resolution, IncrementalTolerance};
    case EncoderSettings::Kind::None:
        break;
    }
    return Expectation{0, IncrementalTolerance};
}

QString widthHint(qint32 count) {
    if (count >= 255 && count <= 257)
        return QStringLiteral(" (8 bit)");
    if (count >= 1020 && count <= 1028)
        return QStringLiteral(" (10 bit)");
    if (count >= 4080 && count <= 4102)
        return QStringLiteral(" (12 bit)");
    return {};
}

std::optional<VerdictView> judge(const EncoderResult& result, const EncoderSettings& settings) {
    const QString count = QString::number(result.count);
    switch (result.verdict) {
    case ChannelsSwapped:
        return VerdictView{{{QStringLiteral("IDS_90"), {}}, {QStringLiteral("IDS_91"), {}}},
                           VerdictColour::Failed};
    case NoSignal:
        return VerdictView{{{QStringLiteral("IDS_92"), {}}, {QStringLiteral("IDS_93"), {}}},
                           VerdictColour::Failed};
    case WiringCorrect:
        break;
    default:
        return std::nullopt;
    }

    const std::optional<Expectation> expected = expectedCount(settings);
    // In 64 bits, so that counts near the ends of the 32-bit range cannot overflow.
    const bool within =
        expected && std::llabs(qint64(result.count) - qint64(expected->count)) <= qint64(expected->tolerance);
    const VerdictLine correct{QStringLiteral("IDS_85"), {}};
    const VerdictLine check{QStringLiteral("IDS_87"), {}};
    if (settings.kind == EncoderSettings::Kind::Absolute) {
        if (within)
            return VerdictView{{correct, {QStringLiteral("IDS_86"), count + widthHint(result.count)}},
                               VerdictColour::Correct};
        return VerdictView{{{QStringLiteral("IDS_86"), count}, check}, VerdictColour::Doubtful};
    }
    if (within)
        return VerdictView{{correct, {QStringLiteral("IDS_86"), count}}, VerdictColour::Correct};
    // The wiring is correct; only the resolution is in doubt (or cannot be checked at all).
    return VerdictView{{correct, {QStringLiteral("IDS_86"), count}, check}, VerdictColour::Doubtful};
}

} // namespace kvt::encoder

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kvt::encoder {

// Response 90: the running pulse count while the motor turns.
struct EncoderCount {
    qint32 count = 0;
};
// Response 91: the pulse count of one revolution and the controller's wiring verdict.
struct EncoderResult {
    qint32 count = 0;
    quint8 verdict = 0;
};

// Wiring verdicts of response 91; other values are not judged.
enum Wiring : quint8 { WiringCorrect = 0, ChannelsSwapped = 1, NoSignal = 2 };

// Both decoders take the response with its operation code in byte 0.
EncoderCount decodeEncoderCount(const QByteArray& response);
EncoderResult decodeEncoderResult(const QByteArray& response);

// The encoder settings of the Configuration page at the moment a result arrives.
struct EncoderSettings {
    enum class Kind { None, Incremental, Absolute };
    Kind kind = Kind::None;
    int ssiBits = 8; // absolute: 8, 10 or 12
    // Incremental: the integer in the resolution field; none when the field holds no integer.
    std::optional<qint32> resolution;
};

// The count one revolution should give, and how far off it may be.
struct Expectation {
    qint32 count = 0;
    qint32 tolerance = 0;
};
// None when the count cannot be judged (incremental encoder, resolution field not an integer).
std::optional<Expectation> expectedCount(const EncoderSettings& settings);

// The width an absolute encoder's count suggests: " (8 bit)", " (10 bit)", " (12 bit)" or empty.
QString widthHint(qint32 count);

// How the window shows a verdict: the first line replaces the memo's text, the others are added
// below it. Each line is a keyed text of the main window's store followed by `suffix`.
struct VerdictLine {
    QString key;
    QString suffix;
};
enum class VerdictColour { Correct, Doubtful, Failed }; // green, orange, red
struct VerdictView {
    QList<VerdictLine> lines;
    VerdictColour colour = VerdictColour::Correct;
};

// The verdict on a result; none for a verdict byte the window does not know (nothing changes).
// When the incremental resolution field holds no integer the count is shown with the resolution
// warning on orange instead of being judged.
std::optional<VerdictView> judge(const EncoderResult& result, const EncoderSettings& settings);

} // namespace kvt::encoder

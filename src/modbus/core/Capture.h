// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modbus/core/FrameDecoder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Captures of the frames the preview showed, in three formats: text as the log shows it, CSV
// (RFC 4180) with the decoded fields, and pcap, which Wireshark and tshark read: every frame is
// one packet of the user link type 147 (DLT_USER0), the link type serial-line sniffers use for
// Modbus RTU, CRC included. A capture of any of them can be read back.
namespace kvt::modbus {

struct CapturedFrame {
    qint64 msecs = 0; // when it was seen: milliseconds since 1970-01-01 UTC
    QByteArray bytes; // the frame as seen, CRC included

    bool operator==(const CapturedFrame&) const = default;
};

enum class CaptureFormat { Text, Csv, Pcap };

constexpr quint32 PcapLinkTypeUser0 = 147;

// The format a file name asks for by its extension (.csv, .pcap); text otherwise.
CaptureFormat captureFormatForPath(const QString& path);

// One line a frame: its time, a tab, then `shownLines[i]` (the line as the log shows it, the
// frame's bytes first). Lines end with a line feed.
QByteArray textCapture(const QList<CapturedFrame>& frames, const QStringList& shownLines);
// A header row, then a row a frame: time, kind, slave, function, function name, start, count,
// byte count, values, exception, CRC ("ok", "bad" or empty when too short), length ("ok" or
// "bad"), bytes in hexadecimal, and the decoded text as shown. `decoded[i]` and `texts[i]`
// belong to frames[i]; the names come from `names`.
QByteArray csvCapture(const QList<CapturedFrame>& frames, const QList<DecodedFrame>& decoded,
                      const QStringList& texts, const DecodeTexts& names);
QByteArray pcapCapture(const QList<CapturedFrame>& frames);

// The frames of a capture in any of the three formats, told apart by their content; none when
// the bytes are not a capture or are damaged.
std::optional<QList<CapturedFrame>> readCapture(const QByteArray& file);

// Times as the text and CSV captures write them: "2026-12-09T13:02:36.123Z".
QString captureTime(qint64 msecs);
std::optional<qint64> parseCaptureTime(const QString& text);

} // namespace kvt::modbus

// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/core/Capture.h"

#include <QDateTime>

namespace kvt::modbus {

namespace {

constexpr quint32 PcapMagicMicro = 0xA1B2C3D4;
constexpr quint32 PcapMagicNano = 0xA1B23C4D;
constexpr quint32 PcapSnapLength = 65535;
constexpr int PcapHeaderSize = 24;
constexpr int PcapRecordHeaderSize = 16;

const QByteArray CsvHeader = "time,kind,slave,function,function_name,start,count,byte_count,values,exception,crc,"
                             "length,bytes,text";

void putU32le(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

void putU16le(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

quint32 u32(const QByteArray& b, qsizetype at, bool bigEndian) {
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        const quint32 byte = quint8(b[at + i]);
        v |= bigEndian ? byte << (8 * (3 - i)) : byte << (8 * i);
    }
    return v;
}

// One CSV field, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString number(int value) {
    return value < 0 ? QString() : QString::number(value);
}

// The records of an RFC 4180 file; none when a quoted field is left open.
std::optional<QList<QStringList>> csvRecords(const QString& text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == QLatin1Char(',')) {
            record.append(field);
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            record.append(field);
            records.append(record);
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (fieldStarted || !record.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

std::optional<QByteArray> parseHex(const QString& text) {
    QByteArray bytes;
    for (const QString& token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint v = token.toUInt(&ok, 16);
        if (!ok || token.size() != 2)
            return std::nullopt;
        bytes.append(char(v));
    }
    return bytes;
}

bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

// The bytes at the start of a log line: two hexadecimal digits and two blanks each.
QByteArray lineBytes(const QString& line) {
    QByteArray bytes;
    for (qsizetype at = 0; at + 4 <= line.size(); at += 4) {
        if (!isHexDigit(line[at]) || !isHexDigit(line[at + 1]) || line[at + 2] != QLatin1Char(' ') ||
            line[at + 3] != QLatin1Char(' '))
            break;
        bytes.append(char(line.mid(at, 2).toUInt(nullptr, 16)));
    }
    return bytes;
}

std::optional<QList<CapturedFrame>> readPcap(const QByteArray& file) {
    if (file.size() < PcapHeaderSize)
        return std::nullopt;
    const quint32 magicLe = u32(file, 0, false);
    const bool bigEndian = magicLe != PcapMagicMicro && magicLe != PcapMagicNano;
    const quint32 magic = u32(file, 0, bigEndian);
    if (magic != PcapMagicMicro && magic != PcapMagicNano)
        return std::nullopt;
    if (u32(file, 20, bigEndian) != PcapLinkTypeUser0)
        return std::nullopt; // not Modbus RTU frames
    const qint64 fractionPerMs = magic == PcapMagicNano ? 1000000 : 1000;
    QList<CapturedFrame> frames;
    qsizetype at = PcapHeaderSize;
    while (at < file.size()) {
        if (file.size() - at < PcapRecordHeaderSize)
            return std::nullopt;
        const qint64 seconds = u32(file, at, bigEndian);
        const qint64 fraction = u32(file, at + 4, bigEndian);
        const quint32 length = u32(file, at + 8, bigEndian);
        at += PcapRecordHeaderSize;
        if (length > PcapSnapLength || file.size() - at < qsizetype(length))
            return std::nullopt;
        frames.append({seconds * 1000 + fraction / fractionPerMs, file.mid(at, length)});
        at += length;
    }
    return frames;
}

std::optional<QList<CapturedFrame>> readCsv(const QByteArray& file) {
    const std::optional<QList<QStringList>> records = csvRecords(QString::fromUtf8(file));
    if (!records || records->isEmpty())
        return std::nullopt;
    const QStringList header = records->first();
    const qsizetype timeColumn = header.indexOf(QStringLiteral("time"));
    const qsizetype bytesColumn = header.indexOf(QStringLiteral("bytes"));
    if (timeColumn < 0 || bytesColumn < 0)
        return std::nullopt;
    QList<CapturedFrame> frames;
    for (qsizetype r = 1; r < records->size(); ++r) {
        const QStringList& row = records->at(r);
        if (row.size() == 1 && row.first().isEmpty())
            continue; // an empty line
        if (row.size() <= std::max(timeColumn, bytesColumn))
            return std::nullopt;
        const std::optional<qint64> time = parseCaptureTime(row[timeColumn]);
        const std::optional<QByteArray> bytes = parseHex(row[bytesColumn]);
        if (!time || !bytes)
            return std::nullopt;
        frames.append({*time, *bytes});
    }
    return frames;
}

std::optional<QList<CapturedFrame>> readText(const QByteArray& file) {
    QList<CapturedFrame> frames;
    const QStringList lines = QString::fromUtf8(file).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0)
            return std::nullopt;
        const std::optional<qint64> time = parseCaptureTime(line.left(tab));
        if (!time)
            return std::nullopt;
        frames.append({*time, lineBytes(line.mid(tab + 1))});
    }
    if (frames.isEmpty() && !file.trimmed().isEmpty())
        return std::nullopt;
    return frames;
}

} // namespace

CaptureFormat captureFormatForPath(const QString& path) {
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return CaptureFormat::Csv;
    if (path.endsWith(QLatin1String(".pcap"), Qt::CaseInsensitive))
        return CaptureFormat::Pcap;
    return CaptureFormat::Text;
}

QString captureTime(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toString(Qt::ISODateWithMs);
}

std::optional<qint64> parseCaptureTime(const QString& text) {
    const QDateTime t = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    if (!t.isValid())
        return std::nullopt;
    return t.toMSecsSinceEpoch();
}

QByteArray textCapture(const QList<CapturedFrame>& frames, const QStringList& shownLines) {
    QString text;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        text += captureTime(frames[i].msecs);
        text += QLatin1Char('\t');
        text += shownLines.value(i);
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}

QByteArray csvCapture(const QList<CapturedFrame>& frames, const QList<DecodedFrame>& decoded,
                      const QStringList& texts, const DecodeTexts& names) {
    QString csv = QString::fromLatin1(CsvHeader) + QStringLiteral("\r\n");
    for (qsizetype i = 0; i < frames.size() && i < decoded.size(); ++i) {
        const DecodedFrame& f = decoded[i];
        QStringList values;
        for (const quint16 w : f.words)
            values.append(QString::number(w));
        if (values.isEmpty() && !f.bits.isEmpty())
            values.append(hexBytes(f.bits));
        const QStringList row{
            captureTime(frames[i].msecs),
            kindToken(f.kind),
            number(f.slave),
            number(f.function),
            f.function < 0 ? QString() : functionName(f.baseFunction(), names),
            number(f.start),
            number(f.count),
            number(f.byteCount),
            values.join(QLatin1Char(' ')),
            number(f.exceptionCode),
            f.crcChecked ? (f.crcOk ? QStringLiteral("ok") : QStringLiteral("bad")) : QString(),
            f.lengthOk ? QStringLiteral("ok") : QStringLiteral("bad"),
            hexBytes(frames[i].bytes),
            texts.value(i),
        };
        QStringList fields;
        for (const QString& field : row)
            fields.append(csvField(field));
        csv += fields.join(QLatin1Char(','));
        csv += QStringLiteral("\r\n");
    }
    return csv.toUtf8();
}

QByteArray pcapCapture(const QList<CapturedFrame>& frames) {
    QByteArray b;
    putU32le(b, PcapMagicMicro);
    putU16le(b, 2); // version 2.4
    putU16le(b, 4);
    putU32le(b, 0); // times in UTC
    putU32le(b, 0); // accuracy of the times
    putU32le(b, PcapSnapLength);
    putU32le(b, PcapLinkTypeUser0);
    for (const CapturedFrame& frame : frames) {
        const qint64 ms = std::max<qint64>(frame.msecs, 0);
        putU32le(b, quint32(ms / 1000));
        putU32le(b, quint32(ms % 1000 * 1000));
        putU32le(b, quint32(frame.bytes.size()));
        putU32le(b, quint32(frame.bytes.size()));
        b.append(frame.bytes);
    }
    return b;
}

std::optional<QList<CapturedFrame>> readCapture(const QByteArray& file) {
    if (file.size() >= 4) {
        const quint32 le = u32(file, 0, false);
        const quint32 be = u32(file, 0, true);
        if (le == PcapMagicMicro || le == PcapMagicNano || be == PcapMagicMicro || be == PcapMagicNano)
            return readPcap(file);
    }
    if (file.startsWith("time,"))
        return readCsv(file);
    return readText(file);
}

} // namespace kvt::modbus

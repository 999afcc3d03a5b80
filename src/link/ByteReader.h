#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>

namespace kvt {

// Reads typed values at fixed offsets of a response or file record. Offsets past the end read
// as zero bytes, so a short record never reads out of bounds.
class ByteReader {
public:
    explicit ByteReader(const QByteArray& bytes) : bytes_(bytes) {}

    int size() const { return int(bytes_.size()); }
    quint8 u8(int at) const { return at >= 0 && at < bytes_.size() ? quint8(bytes_[at]) : 0; }
    qint8 i8(int at) const { return qint8(u8(at)); }
    quint16 u16le(int at) const { return quint16(u8(at) | (u8(at + 1) << 8)); }
    quint16 u16be(int at) const { return quint16((u8(at) << 8) | u8(at + 1)); }
    quint32 u32le(int at) const {
        return quint32(u8(at)) | (quint32(u8(at + 1)) << 8) | (quint32(u8(at + 2)) << 16) |
               (quint32(u8(at + 3)) << 24);
    }
    qint32 i32le(int at) const { return qint32(u32le(at)); }
    float f32le(int at) const {
        const quint32 raw = u32le(at);
        float value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    // 8-bit text from `at` up to the first zero byte or the end.
    QByteArray cstring(int at) const {
        if (at < 0 || at >= bytes_.size())
            return {};
        const qsizetype end = bytes_.indexOf('\0', at);
        return bytes_.mid(at, end < 0 ? -1 : end - at);
    }

private:
    QByteArray bytes_;
};

// Builds a command: typed values appended in order.
class ByteWriter {
public:
    ByteWriter& u8(quint8 v) {
        bytes_.append(char(v));
        return *this;
    }
    ByteWriter& u16le(quint16 v) { return u8(quint8(v)).u8(quint8(v >> 8)); }
    ByteWriter& u16be(quint16 v) { return u8(quint8(v >> 8)).u8(quint8(v)); }
    ByteWriter& u32le(quint32 v) { return u16le(quint16(v)).u16le(quint16(v >> 16)); }
    ByteWriter& i32le(qint32 v) { return u32le(quint32(v)); }
    ByteWriter& f32le(float v) {
        quint32 raw;
        std::memcpy(&raw, &v, sizeof raw);
        return u32le(raw);
    }
    ByteWriter& zeros(int count) {
        bytes_.append(count, '\0');
        return *this;
    }
    ByteWriter& bytes(const QByteArray& b) {
        bytes_.append(b);
        return *this;
    }
    int size() const { return int(bytes_.size()); }
    const QByteArray& data() const { return bytes_; }

private:
    QByteArray bytes_;
};

} // namespace kvt

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Bytes.h"

#include <QByteArray>
#include <QString>

namespace kvt {

// Reads typed values at fixed offsets of one response or record (see Bytes.h).
class ByteReader {
public:
    explicit ByteReader(const QByteArray& bytes) : bytes_(bytes) {}

    int size() const { return int(bytes_.size()); }
    quint8 u8(int at) const { return bytes::u8(bytes_, at); }
    qint8 i8(int at) const { return qint8(u8(at)); }
    quint16 u16le(int at) const { return bytes::u16le(bytes_, at); }
    quint16 u16be(int at) const { return bytes::u16be(bytes_, at); }
    quint32 u32le(int at) const { return bytes::u32le(bytes_, at); }
    qint32 i32le(int at) const { return bytes::i32le(bytes_, at); }
    float f32le(int at) const { return bytes::f32le(bytes_, at); }
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
    ByteWriter& u16be(quint16 v) {
        bytes::putU16be(bytes_, size(), v);
        return *this;
    }
    ByteWriter& u32le(quint32 v) {
        bytes::putU32le(bytes_, size(), v);
        return *this;
    }
    ByteWriter& i32le(qint32 v) { return u32le(quint32(v)); }
    ByteWriter& f32le(float v) {
        bytes::putF32le(bytes_, size(), v);
        return *this;
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

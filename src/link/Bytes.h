// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <bit>

// Reading and writing the fixed-position fields of commands, responses and file records.
// Readers treat bytes beyond the end as zero, since every report is padded with zeros, so a
// short record never reads out of bounds.
namespace kvt::bytes {

inline quint8 u8(const QByteArray& b, int at) {
    return at >= 0 && at < b.size() ? static_cast<quint8>(b.at(at)) : 0;
}

inline quint32 u32le(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | u8(b, at + i);
    return v;
}

inline qint32 i32le(const QByteArray& b, int at) {
    return static_cast<qint32>(u32le(b, at));
}
inline float f32le(const QByteArray& b, int at) {
    return std::bit_cast<float>(u32le(b, at));
}
inline quint16 u16le(const QByteArray& b, int at) {
    return static_cast<quint16>(u8(b, at) | u8(b, at + 1) << 8);
}
inline quint16 u16be(const QByteArray& b, int at) {
    return static_cast<quint16>(u8(b, at) << 8 | u8(b, at + 1));
}

// Writers grow the array with zeros as needed.
inline void putU8(QByteArray& b, int at, quint8 v) {
    if (b.size() <= at)
        b.resize(at + 1, '\0');
    b[at] = static_cast<char>(v);
}

inline void putU32le(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        putU8(b, at + i, static_cast<quint8>(v >> (8 * i)));
}

inline void putI32le(QByteArray& b, int at, qint32 v) {
    putU32le(b, at, static_cast<quint32>(v));
}
inline void putF32le(QByteArray& b, int at, float v) {
    putU32le(b, at, std::bit_cast<quint32>(v));
}

inline void putU16be(QByteArray& b, int at, quint16 v) {
    putU8(b, at, static_cast<quint8>(v >> 8));
    putU8(b, at + 1, static_cast<quint8>(v));
}

} // namespace kvt::bytes

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/LiveStatus.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

namespace kvt::sim {

QByteArray encodeLiveStatus(const LiveState& s) {
    using namespace bytes;
    QByteArray b(51, '\0');
    putU8(b, 0, op::LiveStatus);
    putF32le(b, 1, s.position);
    putF32le(b, 5, s.speed);
    const auto outputs = static_cast<quint8>((s.outputs & io::OutputMask) << 6);
    putU8(b, 9, static_cast<quint8>((s.inputs & io::InputMask) | outputs));
    putU8(b, 10, s.motorState);
    putI32le(b, 15, s.temperatureRaw);
    putU32le(b, 19, s.analogMv);
    putU32le(b, 23, s.supplyMv);
    putI32le(b, 27, s.encoderCount);
    putF32le(b, 31, s.destination);
    putF32le(b, 35, s.moveTime);
    putF32le(b, 39, s.accTime);
    putF32le(b, 47, s.accDistance);
    return b;
}

QByteArray encodeIdentity(float firmware, const QString& deviceText) {
    QByteArray b(5, '\0');
    bytes::putU8(b, 0, op::Identity);
    bytes::putF32le(b, 1, firmware);
    b.append(deviceText.toLatin1());
    b.append('\0');
    return b;
}

} // namespace kvt::sim

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/RegisterBank.h"

#include "link/Bytes.h"
#include "link/OpCode.h"

#include <bit>

namespace kvt::sim {

bool RegisterBank::set(const QByteArray& command) {
    const int offset = bytes::u8(command, 5);
    if (offset + 4 > live_.size())
        return false;
    for (int i = 0; i < 4; ++i)
        live_[offset + i] = static_cast<char>(bytes::u8(command, 1 + i));
    return true;
}

void RegisterBank::load(const QByteArray& live, const QByteArray& saved) {
    live_ = live.left(2 * Count).leftJustified(2 * Count, '\0');
    saved_ = saved.left(2 * Count).leftJustified(2 * Count, '\0');
}

quint16 RegisterBank::reg(int n) const {
    const int at = 2 * (n - First);
    return at >= 0 && at + 1 < live_.size() ? bytes::u16be(live_, at) : 0;
}

quint32 RegisterBank::pair(int n) const {
    return quint32{reg(n + 1)} << 16 | reg(n);
}

float RegisterBank::pairAsFloat(int n) const {
    return std::bit_cast<float>(pair(n));
}

QList<QByteArray> RegisterBank::report() const {
    QByteArray lower(2, '\0');
    bytes::putU8(lower, 0, op::ReadRegisters);
    lower.append(live_.left(60)); // 15 pairs: registers 50..79
    QByteArray upper(2, '\0');
    bytes::putU8(upper, 0, op::ReadRegisters);
    bytes::putU8(upper, 1, 1);
    upper.append(live_.mid(60)); // 10 pairs: registers 80..99
    return {lower, upper};
}

} // namespace kvt::sim

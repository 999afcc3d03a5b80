// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace kvt::sim {

// The user registers 50..99, 16 bits each, kept as they travel on the wire: high byte first,
// register 50 at byte offset 0. A 32-bit value in the pair N, N+1 has its low half in N.
class RegisterBank {
public:
    static constexpr int First = 50;
    static constexpr int Count = 50;

    // Command 234: the four value bytes go to the byte offset in byte 5. Returns false (and
    // changes nothing) when they would not fit.
    bool set(const QByteArray& command);
    void save() { saved_ = live_; }    // command 235: into non-volatile memory
    void restore() { live_ = saved_; } // power-on

    // Both banks as wire bytes (register 50 first), and both set from such bytes (cut or
    // zero-filled to 2 * Count).
    QByteArray liveBytes() const { return live_; }
    QByteArray savedBytes() const { return saved_; }
    void load(const QByteArray& live, const QByteArray& saved);

    quint16 reg(int n) const;
    quint32 pair(int n) const; // the 32-bit value of the pair n, n+1
    float pairAsFloat(int n) const;

    // Response 106 as its two reports: registers 50..79, then 80..99.
    QList<QByteArray> report() const;

private:
    QByteArray live_ = QByteArray(2 * Count, '\0');
    QByteArray saved_ = QByteArray(2 * Count, '\0');
};

} // namespace kvt::sim

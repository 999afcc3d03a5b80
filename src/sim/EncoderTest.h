// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace kvt::sim {

// The encoder test: the motor turns one revolution while the encoder pulses are counted. The
// running count (response 90) goes out every 100 ms, the result (response 91) at the end. The
// fitted encoder may be wired correctly, have its channels swapped (it counts backwards) or give
// no signal, and its resolution may differ from the configured one (SimController decides).
class EncoderTest {
public:
    static constexpr int DurationMs = 1000;
    static constexpr int ReportPeriodMs = 100;

    // Verdicts of the result.
    static constexpr quint8 WiringCorrect = 0;
    static constexpr quint8 ChannelsSwapped = 1;
    static constexpr quint8 NoSignal = 2;

    // `pulses`: the count one revolution gives with correct wiring.
    void start(qint32 pulses, quint8 verdict);
    void cancel() { running_ = false; }
    bool running() const { return running_; }
    QList<QByteArray> advance(int ms);

private:
    qint32 countAt(int ms) const;

    bool running_ = false;
    int elapsed_ = 0;
    int nextReport_ = 0;
    qint32 pulses_ = 0;
    quint8 verdict_ = WiringCorrect;
};

} // namespace kvt::sim

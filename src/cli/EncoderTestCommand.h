// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"

namespace kvt::cli {

class ArgReader;

// What the encoder test found: the count of one revolution against the count the configured
// encoder should give.
struct EncoderJudgement {
    enum class Verdict { Correct, ResolutionDoubtful, ChannelsSwapped, NoSignal, Unknown };
    Verdict verdict = Verdict::Unknown;
    qint32 count = 0;
    qint32 expected = 0;
    qint32 tolerance = 0;
};
// `wiring` is the controller's verdict byte; `encoderMode` and `resolution` come from the
// configuration record (an absolute encoder counts 256, 1024 or 4096 per revolution).
EncoderJudgement judgeEncoderTest(qint32 count, quint8 wiring, int encoderMode, qint32 resolution);

// encoder-test: the motor turns one revolution while the controller counts the encoder's pulses.
class EncoderTestCommand : public Command {
    Q_OBJECT
public:
    EncoderTestCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("encoder-test"); }
    void start(ControllerLink* link, std::optional<Model> model) override;
};

} // namespace kvt::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/EncoderTestCommand.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "config/core/ConfigRecord.h"
#include "encoder/core/EncoderVerdict.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"

#include <array>
#include <cstdlib>

namespace kvt::cli {

namespace {

// The revolution takes its time; the wait for the result allows for it on top of the time-out.
constexpr int RevolutionAllowanceMs = 10000;

} // namespace

EncoderJudgement judgeEncoderTest(qint32 count, quint8 wiring, int encoderMode, qint32 resolution) {
    EncoderJudgement j;
    j.count = count;
    switch (wiring) {
    case encoder::ChannelsSwapped:
        j.verdict = EncoderJudgement::Verdict::ChannelsSwapped;
        return j;
    case encoder::NoSignal:
        j.verdict = EncoderJudgement::Verdict::NoSignal;
        return j;
    case encoder::WiringCorrect:
        break;
    default:
        return j;
    }
    // The encoder as the configuration record describes it, judged by the encoder test window's
    // rules.
    encoder::EncoderSettings settings;
    if (encoderMode == 2) {
        settings.kind = encoder::EncoderSettings::Kind::Absolute;
        settings.ssiBits = std::array{8, 10, 12}[std::size_t(config::ssiIndexForResolution(resolution))];
    } else {
        settings.kind = encoder::EncoderSettings::Kind::Incremental;
        settings.resolution = resolution;
    }
    const encoder::Expectation expected = *encoder::expectedCount(settings);
    j.expected = expected.count;
    j.tolerance = expected.tolerance;
    // In 64 bits, so that counts near the ends of the range cannot overflow.
    const bool within = std::llabs(qint64(count) - qint64(j.expected)) <= qint64(j.tolerance);
    j.verdict = within ? EncoderJudgement::Verdict::Correct : EncoderJudgement::Verdict::ResolutionDoubtful;
    return j;
}

EncoderTestCommand::EncoderTestCommand(Session& session, ArgReader& args) : Command(session) {
    if (!args.positionals().isEmpty())
        args.setError(tr_("encoder-test takes no arguments", "encoder-test nie przyjmuje argumentów"));
}

void EncoderTestCommand::start(ControllerLink* link, std::optional<Model>) {
    link->request(
        config::readConfigCommand(), op::Configuration,
        tr_("reading the configuration (99)", "odczytu konfiguracji (99)"), [this, link](const Response& r) {
            const config::ConfigReport config = config::decodeConfigReport(r.data);
            if (config.EncoderMode != 1 && config.EncoderMode != 2) {
                fail(Exit::Failure, tr_("no encoder is configured (EncoderMode); set its type and "
                                        "resolution with kvtctl config set first",
                                        "nie skonfigurowano enkodera (EncoderMode); ustaw jego typ i "
                                        "rozdzielczość poleceniem kvtctl config set"));
                return;
            }
            link->send(QByteArray(1, char(op::EncoderTest)));
            link->await(
                tr_("testing the encoder (219)", "testu enkodera (219)"),
                [](const Response& report) {
                    if (report.code() == op::EncoderCount)
                        return ControllerLink::Take::Progress;
                    return report.code() == op::EncoderResult ? ControllerLink::Take::Done
                                                              : ControllerLink::Take::Ignore;
                },
                [this, link, config](const Response& result) {
                    const encoder::EncoderResult outcome = encoder::decodeEncoderResult(result.data);
                    const EncoderJudgement j = judgeEncoderTest(outcome.count, outcome.verdict,
                                                                config.EncoderMode, config.EncoderResol);
                    QString text;
                    QString verdict;
                    switch (j.verdict) {
                    case EncoderJudgement::Verdict::Correct:
                        verdict = QStringLiteral("correct");
                        text = tr_("encoder connected correctly: %1 pulses per revolution",
                                   "enkoder podłączony poprawnie: %1 impulsów na obrót")
                                   .arg(j.count);
                        break;
                    case EncoderJudgement::Verdict::ResolutionDoubtful:
                        verdict = QStringLiteral("resolution");
                        text = tr_("encoder connected correctly, but it gave %1 pulses per revolution "
                                   "where %2 were expected; check the encoder resolution",
                                   "enkoder podłączony poprawnie, ale dał %1 impulsów na obrót zamiast "
                                   "%2; sprawdź rozdzielczość enkodera")
                                   .arg(j.count)
                                   .arg(j.expected);
                        break;
                    case EncoderJudgement::Verdict::ChannelsSwapped:
                        verdict = QStringLiteral("swapped");
                        text = tr_("encoder connected incorrectly: channels A and B are swapped",
                                   "enkoder podłączony błędnie: zamienione kanały A i B");
                        break;
                    case EncoderJudgement::Verdict::NoSignal:
                        verdict = QStringLiteral("no-signal");
                        text = tr_("no signal from the encoder; check its connection",
                                   "brak sygnału z enkodera; sprawdź podłączenie");
                        break;
                    case EncoderJudgement::Verdict::Unknown:
                        verdict = QStringLiteral("unknown");
                        text = tr_("the controller gave an unknown verdict %1",
                                   "sterownik podał nieznany wynik %1")
                                   .arg(outcome.verdict);
                        break;
                    }
                    const bool ok = j.verdict == EncoderJudgement::Verdict::Correct;
                    if (ok)
                        out().line(text);
                    const QJsonObject found{{QStringLiteral("device"), deviceJson(link->device()->info())},
                                            {QStringLiteral("verdict"), verdict},
                                            {QStringLiteral("count"), j.count},
                                            {QStringLiteral("expected"), j.expected}};
                    if (ok)
                        succeed(found);
                    else
                        fail(Exit::Mismatch, text, found);
                },
                link->timeoutMs() + RevolutionAllowanceMs);
        });
}

} // namespace kvt::cli
